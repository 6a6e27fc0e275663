// What a publish does at its destination, whatever kind it is: a folder on
// this computer (KSfolderTarget) or a folder on a host (KShostTarget). Paths
// are relative to the destination's folder, "/" between folders.
#pragma once

#include "publish/KSpublishManifest.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace ks {

class TKSpublishTarget {
public:
    virtual ~TKSpublishTarget() = default;

    // Whether a file the manifest records as sent may be taken to be there
    // still, as sent.
    virtual bool StillThere(const std::string& path, std::uint64_t size) = 0;
    // The size of the file at path; -1 when there is none.
    virtual long long Size(const std::string& path) = 0;
    // The size and hash of the file at path as it is now.
    virtual TKSsentFile Fetch(const std::string& path) = 0;
    // Once before the first file is sent into folder ("" for the top): ours
    // tells which names the site has there.
    virtual void Prepare(const std::string& folder,
                         const std::function<bool(const std::string& name)>& ours) = 0;
    // Puts the bytes of the file source at path, whole or not at all where
    // the protocol allows; returns the number of bytes sent. Missing folders
    // are made.
    virtual std::uint64_t Send(const std::string& source, const std::string& path) = 0;
    // Removes the file at path (gone already is no error), and the folders
    // above it that are empty then.
    virtual void Remove(const std::string& path) = 0;
};

// Reads the file at path whole in chunks; each chunk goes to sink. Raises
// EInOutError naming the file when it cannot be read.
TKSsentFile ReadThrough(const std::string& path,
                        const std::function<void(std::string_view)>& sink = nullptr);

} // namespace ks
