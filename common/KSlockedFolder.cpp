#include "common/KSlockedFolder.h"

#include "common/KSerrors.h"
#include "common/KSlocal.h"
#include "common/KSpaths.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace ks {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kSuffixLength = 6; // the "XXXXXX" of mkdtemp
const char* const kCannotCreate = "#1560.6=er kan geen map in gemaakt worden";

File OpenFolder(const std::string& path) {
    return File::OpenWith(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
}

// The folder open as fd is still the one at path (not removed, not replaced).
bool StillAt(const File& fd, const std::string& path) {
    struct stat held {};
    struct stat now {};
    return ::fstat(fd.Descriptor(), &held) == 0 && ::lstat(path.c_str(), &now) == 0 &&
           held.st_ino == now.st_ino && held.st_dev == now.st_dev;
}

} // namespace

std::string MakeLockedFolder(const std::string& parent, const std::string& prefix, File& lock) {
    const std::string base = WithSlash(parent);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string path = base + prefix + std::string(kSuffixLength, 'X');
        if (::mkdtemp(path.data()) == nullptr)
            throw EInOutError(base, LocalReason(kCannotCreate, errno));
        // Between making and locking, a run that clears leftovers may take the
        // new folder for one and remove it: then make another.
        File fd = OpenFolder(path);
        if (!fd.Valid()) continue;
        if (::flock(fd.Descriptor(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) continue;
        if (!StillAt(fd, path)) continue;
        lock = std::move(fd);
        return path + "/";
    }
    throw EInOutError(base, LocalText(kCannotCreate) + ": " +
                                LocalText("#1560.8=elke nieuwe map werd meteen weer verwijderd"));
}

bool IsLockedFolderName(const std::string& name, const std::string& prefix) {
    if (name.size() != prefix.size() + kSuffixLength || name.compare(0, prefix.size(), prefix) != 0)
        return false;
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                       [](unsigned char c) { return std::isalnum(c) != 0; });
}

int RemoveAbandonedFolders(const std::string& parent, const std::string& prefix,
                           const std::function<void(const std::string&)>& beforeRemoval) {
    const std::string base = WithSlash(parent);
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(base, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (IsLockedFolderName(name, prefix)) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    int removed = 0;
    for (const std::string& name : names) {
        const std::string path = base + name;
        const File fd = OpenFolder(path); // a link is never opened
        struct stat st {};
        if (!fd.Valid() || ::fstat(fd.Descriptor(), &st) != 0 || st.st_uid != ::geteuid()) continue;
        if (::flock(fd.Descriptor(), LOCK_EX | LOCK_NB) != 0 || !StillAt(fd, path)) continue;
        // Held now: a run that made the folder a moment ago finds it gone and
        // makes another.
        if (beforeRemoval) beforeRemoval(path + "/");
        std::error_code removeEc;
        fs::remove_all(path, removeEc);
        if (!removeEc) ++removed;
    }
    return removed;
}

bool IsPrivateFolder(const std::string& folder) {
    std::string path = folder;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    struct stat st {};
    return !path.empty() && ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_uid == ::geteuid() && (st.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

} // namespace ks
