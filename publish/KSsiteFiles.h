// The files of a site in an output folder: every regular file below it but
// what a run of this program keeps there for itself (the record of written
// files, staged and moved-aside folders, the publish records, files being
// replaced).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ks {

struct TKSsiteFile {
    std::string Path; // relative to the output folder, "/" between folders
    std::uint64_t Size = 0;
};

struct TKSsiteListing {
    std::vector<TKSsiteFile> Files;   // by path
    std::vector<std::string> Skipped; // links and other things that are no file
};

// True for a name the program keeps in an output folder for itself; topLevel
// when it lies in the output folder itself.
bool IsProgramFileName(const std::string& name, bool topLevel);

// Raises EInOutError naming a folder that cannot be read, EKSError naming a
// file whose name a manifest line cannot hold.
TKSsiteListing ListSiteFiles(const std::string& outputFolder);

} // namespace ks
