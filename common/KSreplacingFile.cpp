#include "common/KSreplacingFile.h"

#include "common/KSerrors.h"
#include "common/KSlocal.h"
#include "common/KSpaths.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ks {

namespace {

constexpr const char* kSuffix = ".tmp";

std::string PendingName(const std::string& targetName, long pid, unsigned counter) {
    char suffix[40];
    std::snprintf(suffix, sizeof suffix, ".%ld-%u%s", pid, counter, kSuffix);
    return "." + targetName + suffix;
}

void SyncFolder(const std::string& folder) {
    const File dir = File::OpenWith(folder.empty() ? "." : folder, O_RDONLY | O_DIRECTORY);
    if (dir.Valid()) ::fsync(dir.Descriptor());
}

// The file that a write to path really replaces: the target of a symbolic link.
bool ResolveTarget(const std::string& path, std::string& target) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        target = path;
        return errno == ENOENT;
    }
    if (!S_ISLNK(st.st_mode)) {
        target = path;
        return true;
    }
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return false; // dangling or looping link: leave it alone
    target = resolved;
    std::free(resolved);
    return true;
}

} // namespace

ReplacingFile::ReplacingFile(std::string path, const ReplacingOptions& options)
    : path_(std::move(path)), options_(options) {
    static std::atomic<unsigned> counter{0};
    struct stat old {};
    const bool keep = options_.KeepMode && ::stat(path_.c_str(), &old) == 0;
    const std::string folder = FolderOf(path_);
    const std::string name = path_.substr(folder.size());
    File file;
    for (int attempt = 0; attempt < 100 && !file.Valid(); ++attempt) {
        temporary_ = folder + PendingName(name, static_cast<long>(::getpid()), ++counter);
        file = File::OpenWith(temporary_, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW,
                              keep ? S_IRUSR | S_IWUSR : options_.Mode);
        if (!file.Valid() && file.OpenErrno() != EEXIST) break;
    }
    if (!file.Valid()) {
        openErrno_ = file.OpenErrno();
        temporary_.clear();
        return;
    }
    if (options_.Lock) ::flock(file.Descriptor(), LOCK_EX | LOCK_NB); // new: nobody else has it
    if (keep) {
        // Owner first: changing it may clear set-id bits that the mode then restores.
        if (::fchown(file.Descriptor(), old.st_uid, old.st_gid) != 0) {
            // Not allowed for other users' files; the group alone may still be kept.
            (void)!::fchown(file.Descriptor(), static_cast<uid_t>(-1), old.st_gid);
        }
        if (::fchmod(file.Descriptor(), old.st_mode & 07777) != 0) {
            openErrno_ = errno;
            file.Reset();
            ::unlink(temporary_.c_str());
            temporary_.clear();
            return;
        }
    }
    writer_ = BufferedWriter(File(file.Release(), path_));
}

ReplacingFile::~ReplacingFile() {
    const int error = errno; // the caller reports why the write failed
    writer_.Discard();
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    errno = error;
}

void ReplacingFile::RequireValid(const char* cannotWrite) const {
    if (!Valid()) throw EWriteError(path_, LocalReason(cannotWrite, openErrno_));
}

bool ReplacingFile::TryCommit() noexcept {
    failed_ = Step::Write;
    File& file = writer_.GetFile();
    if (!file.Valid()) {
        errno = openErrno_ != 0 ? openErrno_ : EBADF;
        return false;
    }
    if (!writer_.TryFlush()) return false;
    if (options_.ModifiedTime) {
        const struct timespec times[2] = {{0, UTIME_OMIT}, *options_.ModifiedTime};
        failed_ = Step::Time;
        if (::futimens(file.Descriptor(), times) != 0) return false;
        failed_ = Step::Write;
    }
    if (::fsync(file.Descriptor()) != 0) return false;
    // A late write error shows on close; a locked file stays open for its lock.
    if (!options_.Lock && ::close(file.Release()) != 0) return false;
    failed_ = Step::Rename;
    if (::rename(temporary_.c_str(), path_.c_str()) != 0) return false;
    temporary_.clear();
    SyncFolder(FolderOf(path_));
    return true;
}

File ReplacingFile::Commit() {
    if (!TryCommit()) {
        const int error = errno;
        switch (failed_) {
        case Step::Time:
            throw EWriteError(path_, LocalReason("#1564.3=de tijd kan niet gezet worden", error));
        case Step::Rename:
            throw EWriteError(path_, LocalReason("#1564.4=kan niet vervangen worden", error));
        case Step::Write:
            break;
        }
        throw EWriteError(path_, LocalReason("#1564.1=schrijven mislukt", error));
    }
    return std::move(writer_.GetFile());
}

bool WriteFileAtomically(const std::string& path, const std::vector<std::string_view>& pieces,
                         mode_t newFileMode) {
    std::string target;
    if (path.empty()) errno = ENOENT;
    if (path.empty() || !ResolveTarget(path, target)) return false;
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        errno = S_ISDIR(old.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    // A file the user made read-only is not rewritten behind their back.
    if (exists && ::access(target.c_str(), W_OK) != 0) return false;
    ReplacingOptions options;
    options.Mode = newFileMode;
    options.KeepMode = true;
    ReplacingFile file(target, options);
    if (!file.Valid()) {
        errno = file.OpenErrno();
        return false;
    }
    // Whole pieces need no buffer, and a failure keeps its errno.
    for (std::string_view piece : pieces)
        if (!file.Writer().GetFile().TryWrite(piece)) return false;
    return file.TryCommit();
}

pid_t PendingReplacementWriter(const std::string& fileName, const std::string& targetName) {
    const std::string prefix = "." + targetName + ".";
    const std::string suffix = kSuffix;
    if (fileName.size() <= prefix.size() + suffix.size() || !fileName.starts_with(prefix) ||
        !fileName.ends_with(suffix))
        return 0;
    const std::string middle =
        fileName.substr(prefix.size(), fileName.size() - prefix.size() - suffix.size());
    const std::size_t dash = middle.find('-');
    const auto digits = [](const std::string& text) {
        return !text.empty() && text.size() <= 10 &&
               text.find_first_not_of("0123456789") == std::string::npos;
    };
    if (dash == std::string::npos || !digits(middle.substr(0, dash)) ||
        !digits(middle.substr(dash + 1)))
        return 0;
    const long long pid = std::stoll(middle.substr(0, dash));
    return pid > 0 && pid <= INT32_MAX ? static_cast<pid_t>(pid) : 0;
}

} // namespace ks
