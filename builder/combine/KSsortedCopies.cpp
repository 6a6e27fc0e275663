#include "builder/combine/KSsortedCopies.h"

#include "builder/combine/KSsortOld.h"
#include "builder/entries/KSrunFolder.h"
#include "builder/entries/KSrunSettings.h"
#include "builder/entries/KSrunState.h"
#include "common/KSerrors.h"
#include "common/KSlocal.h"
#include "common/KSpaths.h"
#include "common/KSreplacingFile.h"
#include "index/KShtxData.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <set>
#include <signal.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace ks {

namespace {

timespec ModificationTime(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) throw EInOutError(path, std::strerror(errno));
    return st.st_mtim;
}

// A copy that a run finished for the document as it is now: a regular file
// with the document's time and not empty (a copy holds at least the header).
bool IsCurrent(int fd, const timespec& documentTime) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 &&
           st.st_mtim.tv_sec == documentTime.tv_sec && st.st_mtim.tv_nsec == documentTime.tv_nsec;
}

// Removes the pending copies that runs killed while sorting left beside the
// copy path: their writer is gone and nobody holds their lock. The pending
// copy of a process still alive (this user's or another's) is never touched;
// one bearing this process's own id is held by this process while it is ours.
void RemoveAbandonedPendingCopies(const std::string& copyPath) {
    const std::string folder = FolderOf(copyPath);
    const std::string copyName = copyPath.substr(folder.size());
    std::vector<std::string> abandoned;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder.empty() ? "." : folder, ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const pid_t writer = PendingReplacementWriter(name, copyName);
        if (writer == 0) continue;
        if (writer != ::getpid() && (::kill(writer, 0) == 0 || errno != ESRCH)) continue;
        abandoned.push_back(folder + name);
    }
    for (const std::string& path : abandoned) {
        const File file = File::OpenWith(path, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
        struct stat locked {};
        struct stat now {};
        if (!file.Valid() || ::fstat(file.Descriptor(), &locked) != 0 || !S_ISREG(locked.st_mode) ||
            ::flock(file.Descriptor(), LOCK_EX | LOCK_NB) != 0 ||
            ::lstat(path.c_str(), &now) != 0 || now.st_ino != locked.st_ino ||
            now.st_dev != locked.st_dev)
            continue;
        ::unlink(path.c_str());
    }
}

// Sorts the document into a new file that replaces copyPath when whole. It is
// locked from the start, so that a run clearing the leftovers of killed runs
// never takes it for one, and renamed locked: the file at copyPath is never
// without its lock. It carries the document's time.
File BuildCopy(const std::string& documentPath, const timespec& documentTime,
               const std::string& copyPath, const std::string& runPrefix, bool keepRunFiles) {
    ReplacingOptions options;
    options.Lock = true;
    options.ModifiedTime = documentTime;
    ReplacingFile copy(copyPath, options);
    if (!copy.Valid())
        throw EWriteError(copyPath,
                          LocalReason("#1564.2=kan niet gemaakt worden", copy.OpenErrno()));
    SortOldIndex(documentPath, copy.Writer(), runPrefix, keepRunFiles);
    return copy.Commit();
}

// The lock on the file at a copy path. An empty file made here only to be
// locked (the copy is then renamed over it) goes again when the copy could
// not be made.
class PathLock {
public:
    ~PathLock() {
        struct stat mine {};
        struct stat now {};
        if (created_ && file_.Valid() && ::fstat(file_.Descriptor(), &mine) == 0 &&
            mine.st_size == 0 && ::lstat(path_.c_str(), &now) == 0 && now.st_ino == mine.st_ino &&
            now.st_dev == mine.st_dev)
            ::unlink(path_.c_str());
    }

    // Opens and locks the file at path, made empty when there is none; waits
    // while another run holds it. False when the path cannot hold a copy (a
    // folder, no permission, no locks there). A link found there is removed:
    // the copy replaces it, never writes through it.
    bool Acquire(const std::string& path) {
        path_ = path;
        for (int attempt = 0; attempt < 100; ++attempt) {
            if (!Open()) return false;
            struct stat locked {};
            if (::fstat(file_.Descriptor(), &locked) != 0 || !S_ISREG(locked.st_mode)) return false;
            int result = 0;
            do
                result = ::flock(file_.Descriptor(), LOCK_EX);
            while (result != 0 && errno == EINTR);
            if (result != 0) return false;
            // A run that held the lock may have renamed a new copy over the
            // file locked here: then lock the file that is there now.
            struct stat now {};
            if (::lstat(path.c_str(), &now) == 0 && now.st_ino == locked.st_ino &&
                now.st_dev == locked.st_dev)
                return true;
        }
        return false; // it keeps being replaced
    }

    int Descriptor() const { return file_.Descriptor(); }
    File Release() { return std::move(file_); }

private:
    bool Open() {
        constexpr int kFlags = O_RDONLY | O_NOFOLLOW | O_NOCTTY;
        created_ = false;
        file_.Reset(); // the lock on a file that was replaced goes
        for (int attempt = 0; attempt < 100; ++attempt) {
            file_ = File::OpenWith(path_, kFlags | O_NONBLOCK);
            if (file_.Valid()) return true;
            int error = file_.OpenErrno();
            if (error == ENOENT) {
                file_ = File::OpenWith(path_, kFlags | O_CREAT | O_EXCL);
                created_ = file_.Valid();
                if (created_) return true;
                error = file_.OpenErrno();
            }
            if (error == ELOOP && IsLink(path_) && ::unlink(path_.c_str()) == 0) continue;
            if (error != EEXIST && error != ENOENT) return false;
        }
        return false;
    }

    std::string path_;
    File file_;
    bool created_ = false;
};

// One old document of the run and where its copy goes.
struct CopyJob {
    const TKShtxData* document = nullptr;
    TKSdocumentRun* run = nullptr;
    std::size_t number = 0; // 1-based place in the document list
    std::string beside;     // the document's path with ".new-htx"
    std::string key;        // the same with the links of its folder resolved
    bool besideFree = true; // neither this document nor an earlier one has the copy path
};

// Run files of a sort: in the private folder, named after the copy and the
// document's place in the list, so that no two sorts of a run share them.
std::string RunPrefix(const std::string& privateFolder, const CopyJob& job,
                      const std::string& copyPath) {
    return privateFolder + std::to_string(job.number) + "-" +
           copyPath.substr(FolderOf(copyPath).size());
}

// Makes the copy beside the document current and keeps its lock in copies.
// False when it cannot be there; nothing new is left beside the document then.
bool CopyBeside(const CopyJob& job, TKSrunFolder& runFolder, bool keepRunFiles,
                TKSsortedCopies& copies) {
    PathLock lock;
    if (!lock.Acquire(job.beside)) return false;
    const std::string& document = job.document->FileName;
    const timespec time = ModificationTime(document);
    if (IsCurrent(lock.Descriptor(), time)) {
        copies.Hold(lock.Release());
        return true;
    }
    try {
        copies.Hold(BuildCopy(document, time, job.beside,
                              RunPrefix(runFolder.PrivatePath(), job, job.beside), keepRunFiles));
    } catch (const EWriteError&) {
        return false;
    }
    return true; // the old file's lock goes now; its waiters find the new copy
}

// A name in the private folder that two documents with the same file name
// never share: the full path's hash goes into it.
std::string PrivateCopyPath(const std::string& documentPath, const std::string& privateFolder) {
    uint64_t hash = 1469598103934665603ull; // FNV-1a
    for (unsigned char c : documentPath) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return privateFolder + std::filesystem::path(documentPath).stem().string() + "-" + hex +
           ".new-htx";
}

std::string CopyInPrivateFolder(const CopyJob& job, TKSrunFolder& runFolder, bool keepRunFiles) {
    const std::string& folder = runFolder.PrivatePath();
    const std::string& document = job.document->FileName;
    const std::string path = PrivateCopyPath(document, folder);
    BuildCopy(document, ModificationTime(document), path, RunPrefix(folder, job, path),
              keepRunFiles);
    return path;
}

std::string CopyKey(const std::string& copyPath) {
    const std::string absolute = AbsolutePath(copyPath);
    const std::string folder = FolderOf(absolute);
    return JoinPath(ResolvedPath(folder), absolute.substr(folder.size()));
}

} // namespace

TKSsortedCopies PrepareSortedCopies(const TKSrunSettings& settings, bool inRunFolder,
                                    std::vector<TKSdocumentRun>& documents,
                                    TKSrunFolder& runFolder) {
    std::vector<CopyJob> jobs;
    std::set<std::string> keys;
    for (std::size_t i = 0; i < settings.Documents.size(); ++i) {
        const TKSrunDocument& entry = settings.Documents[i];
        if (!entry.Selected || entry.Data == nullptr) continue;
        const TKShtxData& data = *entry.Data;
        TKSdocumentRun& run = documents.at(i);
        run.DataFileName = data.FileName;
        if (!data.NeedsSorting()) continue;
        CopyJob job;
        job.document = &data;
        job.run = &run;
        job.number = i + 1;
        job.beside = std::filesystem::path(data.FileName).replace_extension(".new-htx").string();
        job.key = CopyKey(job.beside);
        // A document that already has the copy's name is never replaced.
        job.besideFree =
            !inRunFolder && job.key != CopyKey(data.FileName) && keys.insert(job.key).second;
        jobs.push_back(std::move(job));
    }
    // Every run locks the copies in the same order, so two runs never wait
    // for each other crosswise.
    std::sort(jobs.begin(), jobs.end(),
              [](const CopyJob& a, const CopyJob& b) { return a.key < b.key; });
    TKSsortedCopies copies;
    for (CopyJob& job : jobs) {
        if (!inRunFolder) RemoveAbandonedPendingCopies(job.beside);
        if (!job.besideFree) continue;
        if (CopyBeside(job, runFolder, settings.DeveloperMode, copies))
            job.run->DataFileName = job.beside;
        else
            job.besideFree = false;
    }
    for (const CopyJob& job : jobs)
        if (!job.besideFree)
            job.run->DataFileName = CopyInPrivateFolder(job, runFolder, settings.DeveloperMode);
    return copies;
}

} // namespace ks
