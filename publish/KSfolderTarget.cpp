#include "publish/KSfolderTarget.h"

#include "common/KSerrors.h"
#include "common/KSfileio.h"
#include "common/KSlocal.h"
#include "common/KSreplacingFile.h"
#include "common/KSsha256.h"
#include "publish/KSabandonedCopies.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <set>
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

// Removes the folders of relative below root that are empty now, deepest first.
void RemoveEmptyFolders(const std::string& root, std::string relative) {
    for (std::size_t slash; (slash = relative.rfind('/')) != std::string::npos;) {
        relative.resize(slash);
        if (::rmdir((root + "/" + relative).c_str()) != 0) return;
    }
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

class FolderTarget : public TKSpublishTarget {
public:
    explicit FolderTarget(std::string folder) : folder_(std::move(folder)) {}

    bool StillThere(const std::string& path, std::uint64_t size) override {
        return RegularFileSize(folder_ + "/" + path) == static_cast<long long>(size);
    }

    long long Size(const std::string& path) override {
        return RegularFileSize(folder_ + "/" + path);
    }

    TKSsentFile Fetch(const std::string& path) override {
        return ReadThrough(folder_ + "/" + path);
    }

    // What a killed publish was writing there.
    void Prepare(const std::string& folder,
                 const std::function<bool(const std::string& name)>& ours) override {
        RemoveAbandonedCopies(folder.empty() ? folder_ : folder_ + "/" + folder, ours);
    }

    std::uint64_t Send(const std::string& source, const std::string& path) override {
        MakeFolders(folder_, path);
        const std::string target = folder_ + "/" + path;
        ReplacingFile copy(target, ReplacingOptions::WithMode(0644));
        copy.RequireValid("#1611.7=kan niet geschreven worden");
        const TKSsentFile sent =
            ReadThrough(source, [&copy](std::string_view chunk) { copy.Writer().Write(chunk); });
        if (::fchmod(copy.Writer().GetFile().Descriptor(), 0644) != 0)
            throw EWriteError(target, LocalReason("#1611.7=kan niet geschreven worden", errno));
        copy.Commit();
        return sent.Size;
    }

    void Remove(const std::string& path) override {
        const std::string target = folder_ + "/" + path;
        if (::unlink(target.c_str()) != 0 && errno != ENOENT)
            throw EWriteError(target, LocalReason("#1611.8=kan niet verwijderd worden", errno));
        RemoveEmptyFolders(folder_, path);
    }

private:
    std::string folder_;
};

} // namespace

TKSsentFile ReadThrough(const std::string& path,
                        const std::function<void(std::string_view)>& sink) {
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

std::unique_ptr<TKSpublishTarget> OpenFolderTarget(const std::string& outputFolder,
                                                   const std::string& folder, bool dryRun) {
    CheckDestination(outputFolder, folder, dryRun);
    return std::make_unique<FolderTarget>(folder);
}

} // namespace ks
