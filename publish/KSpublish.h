// Publishing an output folder to a folder on this computer or on a host
// (KSfolderTarget, KShostTarget), by changed file:
// only what differs from what the last publish to that destination sent goes,
// each file under a temporary name renamed into place; files an earlier
// publish put there that the site no longer has are removed, and nothing
// else. Every step is journalled (KSpublishManifest), so a killed publish is
// resumed by the next one.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ks {

struct TKSpublishRequest {
    std::string OutputFolder;
    std::string Destination; // as given: a folder, a file://, sftp://, ftps:// or ftp:// address
    bool DryRun = false;     // plan only: nothing is written anywhere
};

struct TKSpublishProgress {
    std::size_t Done = 0;  // files sent so far
    std::size_t Total = 0; // files to send
    std::uint64_t Bytes = 0;
};

struct TKSpublishResult {
    std::vector<std::string> Send;   // paths sent (or to send, on a dry run)
    std::vector<std::string> Remove; // paths removed (or to remove)
    // Files an earlier publish put there that were changed at the
    // destination since: the site no longer has them, but they stay.
    std::vector<std::string> Kept;
    std::vector<std::string> Skipped; // links and other things that are no file
    std::uint64_t Bytes = 0;          // bytes of the files sent (or to send)
    std::size_t Unchanged = 0;
};

// Raises EKSError (or a subclass) naming the file and the reason.
TKSpublishResult Publish(const TKSpublishRequest& request,
                         const std::function<void(const TKSpublishProgress&)>& progress = nullptr);

} // namespace ks
