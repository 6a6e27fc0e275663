#include "builder/run/KSstagedOutput.h"

#include "builder/run/KSrunChecks.h"
#include "builder/run/KSwrittenRecord.h"
#include "common/KSerrors.h"
#include "common/KSfiles.h"
#include "common/KSlocal.h"
#include "common/KSlockedFolder.h"
#include "common/KSpaths.h"
#include "common/KStrash.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <unordered_set>
#include <utility>

namespace ks {

namespace fs = std::filesystem;

namespace {

// Hidden, so that no mask of old results takes them for a result.
const char* const kNewPrefix = ".kestrin-new-";
const char* const kOldPrefix = ".kestrin-old-";

// Adds path to paths unless it is there already.
void AddOnce(std::vector<std::string>& paths, std::unordered_set<std::string>& seen,
             const std::string& path) {
    if (seen.insert(path).second) paths.push_back(path);
}

void RemoveFolder(const std::string& path) {
    std::error_code ec;
    if (!path.empty()) fs::remove_all(path, ec);
}

// What Publish changed in the output folder, taken back in reverse order
// when a later step fails.
class Undo {
public:
    void MadeFolder(const std::string& path) { folders_.push_back(path); }
    void MovedAside(const std::string& from, const std::string& to) {
        aside_.push_back({from, to});
    }
    void PutInPlace(const std::string& path) { placed_.push_back(path); }
    void Trashed(TKStrashed trashed) { trashed_.push_back(std::move(trashed)); }

    // False when an old file could not be moved back.
    bool Rollback() {
        for (auto it = placed_.rbegin(); it != placed_.rend(); ++it)
            ::unlink(it->c_str());
        bool complete = true;
        for (auto it = aside_.rbegin(); it != aside_.rend(); ++it)
            complete = ::rename(it->second.c_str(), it->first.c_str()) == 0 && complete;
        for (auto it = trashed_.rbegin(); it != trashed_.rend(); ++it)
            complete = PutBackFromTrash(*it) && complete;
        for (auto it = folders_.rbegin(); it != folders_.rend(); ++it)
            ::rmdir(it->c_str());
        return complete;
    }

private:
    std::vector<std::string> folders_;
    std::vector<std::pair<std::string, std::string>> aside_;
    std::vector<std::string> placed_;
    std::vector<TKStrashed> trashed_;
};

// Makes the subfolders of name inside folder, noting those made here.
void MakeFolders(const std::string& folder, const std::string& name, Undo& undo) {
    std::vector<std::string> missing;
    for (std::size_t slash = name.find('/'); slash != std::string::npos;
         slash = name.find('/', slash + 1)) {
        const std::string path = folder + name.substr(0, slash);
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 && errno == ENOENT) missing.push_back(path);
    }
    try {
        MakeOutputSubfolders(folder, name);
    } catch (...) {
        for (const std::string& path : missing)
            if (IsFolder(path)) undo.MadeFolder(path);
        throw;
    }
    for (const std::string& path : missing)
        undo.MadeFolder(path);
}

} // namespace

TKSclearing PlanClearing(const std::string& outputFolder, const std::vector<std::string>& masks,
                         const std::vector<std::string>& keep,
                         const std::vector<std::string>& newNames) {
    // The record is replaced by this run's, whatever the base name.
    std::vector<std::string> kept = keep;
    kept.push_back(outputFolder + kWrittenRecordName);
    // So are the digest of the run's persons and the history of its feed.
    for (const std::string& name : ProgramRecordNames())
        kept.push_back(outputFolder + name);
    std::vector<std::string> old;
    std::unordered_set<std::string> seen;
    for (const std::string& mask : masks)
        for (const std::string& path : FindDeletable(outputFolder, mask, kept))
            AddOnce(old, seen, path);
    for (const std::string& name : newNames) {
        // A folder at a new file's name stays: that file cannot be put in place.
        const std::string target = outputFolder + name;
        struct stat st {};
        if (::lstat(target.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) AddOnce(old, seen, target);
    }
    const TKSwrittenRecord recorded = TKSwrittenRecord::Read(outputFolder);
    TKSclearing clearing;
    for (std::string& path : old) {
        const bool ours = recorded.Holds(outputFolder, path.substr(outputFolder.size()));
        (ours ? clearing.Delete : clearing.Trash).push_back(std::move(path));
    }
    return clearing;
}

TKSstagedOutput::TKSstagedOutput(const std::string& outputFolder)
    : outputFolder_(WithSlash(outputFolder)) {
    RemoveAbandonedFolders(outputFolder_, kNewPrefix);
    RemoveAbandonedFolders(outputFolder_, kOldPrefix);
    RemoveUnfinishedRecords(outputFolder_);
    path_ = MakeLockedFolder(outputFolder_, kNewPrefix, lock_);
}

TKSstagedOutput::~TKSstagedOutput() {
    RemoveFolder(path_);
}

std::string TKSstagedOutput::FinalPath(const std::string& path) const {
    if (path.size() <= path_.size() || path.compare(0, path_.size(), path_) != 0) return path;
    return outputFolder_ + path.substr(path_.size());
}

std::vector<std::string> TKSstagedOutput::StagedFiles() const {
    std::vector<std::string> names;
    std::error_code ec;
    fs::recursive_directory_iterator it(path_, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        std::error_code statEc;
        if (it->is_regular_file(statEc) && !it->is_symlink(statEc))
            names.push_back(it->path().string().substr(path_.size()));
    }
    if (ec)
        throw EInOutError(path_,
                          LocalText("#1563.2=kan niet gelezen worden") + ": " + ec.message());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<TKSwrittenFile>
TKSstagedOutput::DescribeStaged(const std::vector<std::string>& names) const {
    std::vector<std::string> paths;
    for (const std::string& name : names)
        paths.push_back(path_ + name);
    std::vector<TKSwrittenFile> files;
    for (const std::optional<TKSwrittenFile>& file : DescribeWrittenFiles(paths, names))
        if (file) files.push_back(*file);
    return files;
}

std::vector<std::string> TKSstagedOutput::Publish(const std::vector<std::string>& oldResultMasks,
                                                  const std::vector<std::string>& keep) {
    const std::vector<std::string> names = StagedFiles();
    // A page of the record's name would take its place: it then leaves none.
    const bool recording = std::find(names.begin(), names.end(), kWrittenRecordName) == names.end();
    std::vector<TKSwrittenFile> earlier; // the earlier run's files, as recorded
    std::vector<TKSwrittenFile> placed;  // this run's, as they will be in place
    bool journalled = false;
    Undo undo;
    std::string aside; // the folder the old files are moved into
    File asideLock;
    std::vector<std::string> trashed;
    try {
        for (const std::string& name : names)
            MakeFolders(outputFolder_, name, undo);
        const TKSclearing clearing = PlanClearing(outputFolder_, oldResultMasks, keep, names);
        if (recording) {
            // Before anything moves, the record lists the earlier run's files
            // and the new ones (a rename keeps their bytes): a run killed at
            // any moment from here leaves the next one knowing every file of
            // the program. Without a record, the next run moves them to the
            // trash: nothing is lost, so a record that cannot be written does
            // not fail the run.
            earlier = TKSwrittenRecord::Read(outputFolder_).Proven(outputFolder_);
            placed = DescribeStaged(names);
            std::vector<TKSwrittenFile> journal = earlier;
            journal.insert(journal.end(), placed.begin(), placed.end());
            journalled = WriteWrittenRecord(outputFolder_, journal);
        }
        const std::string trash = HomeTrashFolder();
        RemoveTrashLeftovers(trash);
        for (const std::string& path : clearing.Trash) {
            undo.Trashed(MoveToTrash(path, trash));
            trashed.push_back(path);
        }
        // The old results are moved aside rather than deleted: they come
        // back when a later step fails.
        const std::vector<std::string>& old = clearing.Delete;
        if (!old.empty()) aside = MakeLockedFolder(outputFolder_, kOldPrefix, asideLock);
        for (std::size_t i = 0; i < old.size(); ++i) {
            const std::string to = aside + std::to_string(i + 1);
            if (::rename(old[i].c_str(), to.c_str()) == 0)
                undo.MovedAside(old[i], to);
            else if (errno != ENOENT)
                throw EWriteError(
                    old[i],
                    LocalReason("#1560.4=het oude resultaat kan niet verwijderd worden", errno));
        }
        for (const std::string& name : names) {
            const std::string target = outputFolder_ + name;
            if (::rename((path_ + name).c_str(), target.c_str()) != 0)
                throw EWriteError(
                    target, LocalReason("#1560.9=kan niet op zijn plaats gezet worden", errno));
            undo.PutInPlace(target);
        }
    } catch (...) {
        // What could not be moved back stays in its private folder rather
        // than being lost at once; the next run clears it.
        if (undo.Rollback()) RemoveFolder(aside);
        if (journalled) WriteWrittenRecord(outputFolder_, earlier);
        throw;
    }
    RemoveFolder(aside);
    if (recording) WriteWrittenRecord(outputFolder_, placed);
    return trashed;
}

} // namespace ks
