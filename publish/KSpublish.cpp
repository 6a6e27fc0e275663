#include "publish/KSpublish.h"

#include "common/KSerrors.h"
#include "common/KSfileio.h"
#include "common/KSlocal.h"
#include "common/KSreplacingFile.h"
#include "common/KSsha256.h"
#include "publish/KSabandonedCopies.h"
#include "publish/KSpublishDestination.h"
#include "publish/KSpublishManifest.h"
#include "publish/KSsiteFiles.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ks {

namespace {

constexpr std::size_t kChunk = 64 * 1024;

std::string CanonicalPath(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr)
        throw EInOutError(path, LocalReason("#1611.4=kan niet gelezen worden", errno));
    return resolved;
}

bool Inside(const std::string& inner, const std::string& outer) {
    return inner == outer || outer == "/" ||
           (inner.size() > outer.size() && inner.compare(0, outer.size(), outer) == 0 &&
            inner[outer.size()] == '/');
}

// Reads the file at path whole in chunks; each chunk goes to sink.
TKSsentFile ReadThrough(const std::string& path,
                        const std::function<void(std::string_view)>& sink = nullptr) {
    File file = File::Open(path, File::OpenMode::Read);
    if (!file.Valid())
        throw EInOutError(path,
                          LocalText("#1611.4=kan niet gelezen worden") + ": " + file.OpenError());
    Sha256 hash;
    TKSsentFile sent;
    std::string buffer(kChunk, '\0');
    while (const std::size_t count = file.Read(buffer.data(), buffer.size())) {
        const std::string_view chunk(buffer.data(), count);
        hash.Update(chunk);
        if (sink) sink(chunk);
        sent.Size += count;
    }
    sent.Hash = hash.HexDigest();
    return sent;
}

// The size of the regular file at path; -1 when there is none.
long long RegularFileSize(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
    return info.st_size;
}

// Makes the folders of relative below root (0755), refusing to pass through
// a link or anything that is no folder.
void MakeFolders(const std::string& root, const std::string& relative) {
    for (std::size_t slash = relative.find('/'); slash != std::string::npos;
         slash = relative.find('/', slash + 1)) {
        const std::string folder = root + "/" + relative.substr(0, slash);
        struct stat info {};
        if (::lstat(folder.c_str(), &info) == 0) {
            if (S_ISDIR(info.st_mode)) continue;
            throw EWriteError(folder, LocalText("#1611.9=staat in de weg: geen map"));
        }
        if (::mkdir(folder.c_str(), 0755) != 0 || ::chmod(folder.c_str(), 0755) != 0)
            throw EWriteError(folder,
                              LocalReason("#1611.10=de map kan niet gemaakt worden", errno));
    }
}

TKSsentFile SendFile(const std::string& source, const std::string& root,
                     const std::string& relative) {
    MakeFolders(root, relative);
    const std::string target = root + "/" + relative;
    ReplacingOptions options;
    options.Mode = 0644;
    ReplacingFile copy(target, options);
    if (!copy.Valid())
        throw EWriteError(target,
                          LocalReason("#1611.7=kan niet geschreven worden", copy.OpenErrno()));
    const TKSsentFile sent =
        ReadThrough(source, [&copy](std::string_view chunk) { copy.Writer().Write(chunk); });
    if (::fchmod(copy.Writer().GetFile().Descriptor(), 0644) != 0)
        throw EWriteError(target, LocalReason("#1611.7=kan niet geschreven worden", errno));
    copy.Commit();
    return sent;
}

// Removes the folders of relative below root that are empty now, deepest first.
void RemoveEmptyFolders(const std::string& root, std::string relative) {
    for (std::size_t slash; (slash = relative.rfind('/')) != std::string::npos;) {
        relative.resize(slash);
        if (::rmdir((root + "/" + relative).c_str()) != 0) return;
    }
}

class Publisher {
public:
    Publisher(const TKSpublishRequest& request, const TKSpublishDestination& destination)
        : request_(request), folder_(destination.Folder),
          manifest_(request.OutputFolder, destination.Given) {}

    TKSpublishResult Run(const std::function<void(const TKSpublishProgress&)>& progress) {
        const TKSsiteListing site = ListSiteFiles(request_.OutputFolder);
        result_.Skipped = site.Skipped;
        for (const TKSsiteFile& file : site.Files)
            Plan(file);
        for (const auto& [path, sent] : manifest_.Files())
            if (!local_.contains(path)) PlanRemoval(path, sent);
        if (request_.DryRun) return result_;
        SendAll(progress);
        for (const std::string& path : result_.Remove)
            if (!removedFirst_.contains(path)) Remove(path);
        manifest_.Commit();
        return result_;
    }

private:
    void Plan(const TKSsiteFile& file) {
        const TKSsentFile now = ReadThrough(request_.OutputFolder + "/" + file.Path);
        local_[file.Path] = now;
        const auto sent = manifest_.Files().find(file.Path);
        const bool there =
            sent != manifest_.Files().end() && sent->second == now &&
            RegularFileSize(folder_ + "/" + file.Path) == static_cast<long long>(now.Size);
        if (there) {
            ++result_.Unchanged;
            return;
        }
        result_.Send.push_back(file.Path);
        result_.Bytes += now.Size;
    }

    // Only a file still as this program sent it goes; one changed since is
    // the user's now and stays.
    void PlanRemoval(const std::string& path, const TKSsentFile& sent) {
        const std::string target = folder_ + "/" + path;
        const long long size = RegularFileSize(target);
        if (size < 0) {
            forgotten_.push_back(path);
            return;
        }
        if (static_cast<std::uint64_t>(size) == sent.Size && ReadThrough(target) == sent)
            result_.Remove.push_back(path);
        else
            result_.Kept.push_back(path);
    }

    void SendAll(const std::function<void(const TKSpublishProgress&)>& progress) {
        for (const std::string& path : forgotten_)
            manifest_.Removed(path);
        for (const std::string& path : result_.Kept)
            manifest_.Removed(path);
        RemoveWhatIsInTheWay();
        TKSpublishProgress state{0, result_.Send.size(), 0};
        for (const std::string& path : result_.Send) {
            CleanFolderOf(path);
            const TKSsentFile sent = SendFile(request_.OutputFolder + "/" + path, folder_, path);
            manifest_.Sent(path, sent);
            ++state.Done;
            state.Bytes += sent.Size;
            if (progress) progress(state);
        }
        result_.Bytes = state.Bytes;
    }

    // A page that became a folder, or a folder that became a page: the old
    // files go first, so that the new ones find their place free.
    void RemoveWhatIsInTheWay() {
        const std::set<std::string> removing(result_.Remove.begin(), result_.Remove.end());
        for (const std::string& path : result_.Send) {
            for (std::size_t slash = path.find('/'); slash != std::string::npos;
                 slash = path.find('/', slash + 1))
                if (removing.contains(path.substr(0, slash))) RemoveFirst(path.substr(0, slash));
            for (auto it = removing.lower_bound(path + "/");
                 it != removing.end() && it->starts_with(path + "/"); ++it)
                RemoveFirst(*it);
        }
    }

    void RemoveFirst(const std::string& path) {
        if (removedFirst_.insert(path).second) Remove(path);
    }

    // Once per folder sent into: what a killed publish was writing there.
    void CleanFolderOf(const std::string& path) {
        const std::size_t slash = path.rfind('/');
        const std::string relative = slash == std::string::npos ? "" : path.substr(0, slash);
        if (!cleaned_.insert(relative).second) return;
        RemoveAbandonedCopies(relative.empty() ? folder_ : folder_ + "/" + relative,
                              [this, &relative](const std::string& name) {
                                  return local_.contains(relative.empty() ? name
                                                                          : relative + "/" + name);
                              });
    }

    void Remove(const std::string& path) {
        const std::string target = folder_ + "/" + path;
        if (::unlink(target.c_str()) != 0 && errno != ENOENT)
            throw EWriteError(target, LocalReason("#1611.8=kan niet verwijderd worden", errno));
        manifest_.Removed(path);
        RemoveEmptyFolders(folder_, path);
    }

    const TKSpublishRequest& request_;
    std::string folder_;
    TKSpublishManifest manifest_;
    TKSpublishResult result_;
    std::vector<std::string> forgotten_;       // in the manifest, gone from the destination
    std::map<std::string, TKSsentFile> local_; // the site's files as they are now
    std::set<std::string> cleaned_;            // folders cleared of abandoned copies
    std::set<std::string> removedFirst_;       // removed before the sending
};

// A run of the build writes into the folder under this lock: a publish then
// would send a half-cleared site.
File LockOutputFolder(const std::string& folder) {
    File lock = File::OpenWith(folder, O_RDONLY | O_DIRECTORY);
    if (!lock.Valid())
        throw EInOutError(folder, LocalReason("#1611.4=kan niet gelezen worden", lock.OpenErrno()));
    if (::flock(lock.Descriptor(), LOCK_EX | LOCK_NB) != 0)
        throw EKSError(folder, LocalText("#1611.11=er wordt al in deze map geschreven of eruit "
                                         "gepubliceerd"));
    return lock;
}

// The canonical path of folder, or of its parent and its last name when it
// does not exist yet.
std::string WouldBePath(const std::string& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0) return CanonicalPath(folder);
    std::string trimmed = folder;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    const std::size_t slash = trimmed.rfind('/');
    const std::string parent = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : trimmed.substr(0, slash);
    return CanonicalPath(parent) + "/" + trimmed.substr(slash + 1);
}

// The destination must be a folder apart from the output folder; a missing
// last folder is made (not on a dry run).
void CheckDestination(const std::string& output, const std::string& folder, bool dryRun) {
    const std::string a = CanonicalPath(output);
    const std::string b = WouldBePath(folder);
    if (Inside(a, b) || Inside(b, a))
        throw EKSError(folder, LocalText("#1611.13=de bestemming en de uitvoermap %1 mogen niet in "
                                         "elkaar liggen",
                                         {output}));
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) {
        if (errno == ENOENT && dryRun) return;
        if (errno != ENOENT)
            throw EInOutError(folder, LocalReason("#1611.4=kan niet gelezen worden", errno));
        if (::mkdir(folder.c_str(), 0755) != 0 || ::chmod(folder.c_str(), 0755) != 0)
            throw EWriteError(folder,
                              LocalReason("#1611.10=de map kan niet gemaakt worden", errno));
    } else if (!S_ISDIR(info.st_mode)) {
        throw EWriteError(folder, LocalText("#1611.12=is geen map"));
    }
    if (!dryRun && ::access(folder.c_str(), W_OK | X_OK) != 0)
        throw EWriteError(folder, LocalReason("#1611.7=kan niet geschreven worden", errno));
}

} // namespace

TKSpublishResult Publish(const TKSpublishRequest& request,
                         const std::function<void(const TKSpublishProgress&)>& progress) {
    const TKSpublishDestination destination = ParseDestination(request.Destination);
    struct stat info {};
    if (::stat(request.OutputFolder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        throw EInOutError(request.OutputFolder, LocalText("#1611.12=is geen map"));
    const File lock = LockOutputFolder(request.OutputFolder);
    CheckDestination(request.OutputFolder, destination.Folder, request.DryRun);
    Publisher publisher(request, destination);
    return publisher.Run(progress);
}

} // namespace ks
