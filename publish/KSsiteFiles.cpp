#include "publish/KSsiteFiles.h"

#include "common/KSerrors.h"
#include "common/KSlocal.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

namespace ks {

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// ".NAME.PID-N.tmp": a file being replaced whole, or one a killed writer left.
bool IsReplacementName(const std::string& name) {
    if (name.size() < 9 || name[0] != '.' || !EndsWith(name, ".tmp")) return false;
    const std::string stem = name.substr(0, name.size() - 4);
    const std::size_t dash = stem.rfind('-');
    const std::size_t dot = stem.rfind('.');
    if (dash == std::string::npos || dot == std::string::npos || dot == 0 || dot > dash)
        return false;
    const auto digits = [&](std::size_t from, std::size_t to) {
        return to > from && std::all_of(stem.begin() + static_cast<std::ptrdiff_t>(from),
                                        stem.begin() + static_cast<std::ptrdiff_t>(to),
                                        [](char c) { return c >= '0' && c <= '9'; });
    };
    return digits(dot + 1, dash) && digits(dash + 1, stem.size());
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

void ListFolder(const std::string& root, const std::string& relative, TKSsiteListing& listing) {
    const std::string folder = relative.empty() ? root : root + "/" + relative;
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir) throw EInOutError(folder, LocalReason("#1611.4=kan niet gelezen worden", errno));
    std::vector<std::string> names;
    errno = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != ".." && !IsProgramFileName(name, relative.empty()))
            names.push_back(name);
    }
    if (errno != 0)
        throw EInOutError(folder, LocalReason("#1611.4=kan niet gelezen worden", errno));
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        const std::string path = relative.empty() ? name : relative + "/" + name;
        struct stat info {};
        if (::fstatat(::dirfd(dir.get()), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
            throw EInOutError(root + "/" + path,
                              LocalReason("#1611.4=kan niet gelezen worden", errno));
        if (name.find_first_of("\r\n") != std::string::npos)
            throw EKSError(root + "/" + path,
                           LocalText("#1611.5=een naam met een regeleinde kan niet "
                                     "gepubliceerd worden"));
        if (S_ISDIR(info.st_mode))
            ListFolder(root, path, listing);
        else if (S_ISREG(info.st_mode))
            listing.Files.push_back({path, static_cast<std::uint64_t>(info.st_size)});
        else
            listing.Skipped.push_back(path);
    }
}

} // namespace

bool IsProgramFileName(const std::string& name, bool topLevel) {
    if (IsReplacementName(name)) return true;
    // The record of written files, the staged and moved-aside folders and
    // the publish records all start so.
    return topLevel && name.rfind(".kestrin-", 0) == 0;
}

TKSsiteListing ListSiteFiles(const std::string& outputFolder) {
    TKSsiteListing listing;
    ListFolder(outputFolder, "", listing);
    std::sort(listing.Files.begin(), listing.Files.end(),
              [](const TKSsiteFile& a, const TKSsiteFile& b) { return a.Path < b.Path; });
    return listing;
}

} // namespace ks
