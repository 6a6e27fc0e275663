#include "common/KSfileio.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ks {

void CloseQuietly(int fd) {
    ::close(fd);
}

bool CloseChecked(int fd) {
    return ::close(fd) == 0;
}

namespace {

FileStamp StampFromStat(const struct stat& st) {
    FileStamp stamp;
    stamp.exists = true;
    stamp.device = static_cast<std::uint64_t>(st.st_dev);
    stamp.inode = static_cast<std::uint64_t>(st.st_ino);
    stamp.size = static_cast<std::uint64_t>(st.st_size);
    stamp.modifiedSeconds = static_cast<std::int64_t>(st.st_mtim.tv_sec);
    stamp.modifiedNanoseconds = static_cast<std::int64_t>(st.st_mtim.tv_nsec);
    return stamp;
}

// A temporary file beside the target; removed unless it was renamed into place.
class TemporaryFile {
public:
    TemporaryFile(const std::string& folder, const std::string& baseName, mode_t mode) {
        static std::atomic<unsigned> counter{0};
        for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
            auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
            char suffix[80];
            std::snprintf(suffix, sizeof suffix, ".tmp-%d-%u-%llx", static_cast<int>(::getpid()),
                          counter.fetch_add(1), static_cast<unsigned long long>(ticks));
            path_ = folder + "/." + baseName + suffix;
            fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (fd_ < 0 && errno != EEXIST) break;
        }
        if (fd_ < 0) path_.clear();
    }
    ~TemporaryFile() {
        const int error = errno; // the caller reports why the write failed
        if (fd_ >= 0) ::close(fd_);
        if (!path_.empty()) ::unlink(path_.c_str());
        errno = error;
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    bool CloseFile() {
        int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }
    bool RenameTo(const std::string& target) {
        if (::rename(path_.c_str(), target.c_str()) != 0) return false;
        path_.clear();
        return true;
    }

private:
    std::string path_;
    int fd_ = -1;
};

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

void SyncFolder(const std::string& folder) {
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0) ::fsync(fd.get());
}

} // namespace

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

FileReader::FileReader(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd_ < 0) {
        outcome_ =
            (errno == ENOENT || errno == ENOTDIR) ? ReadOutcome::Missing : ReadOutcome::Unreadable;
        return;
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        CloseDescriptor();
        outcome_ = ReadOutcome::Unreadable;
        return;
    }
    stamp_ = StampFromStat(st);
    outcome_ = ReadOutcome::Read;
}

FileReader::~FileReader() {
    CloseDescriptor();
}

void FileReader::CloseDescriptor() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool FileReader::ReadChunk(std::string& text, std::size_t maxBytes) {
    if (fd_ < 0 || maxBytes == 0) return false;
    std::size_t oldSize = text.size();
    text.resize(oldSize + maxBytes);
    ssize_t n = 0;
    do {
        n = ::read(fd_, text.data() + oldSize, maxBytes);
    } while (n < 0 && errno == EINTR);
    text.resize(oldSize + static_cast<std::size_t>(n > 0 ? n : 0));
    if (n > 0) return true;
    failed_ = n < 0;
    CloseDescriptor();
    return false;
}

ReadOutcome ReadWholeFile(const std::string& path, std::string& contents, FileStamp& stamp) {
    contents.clear();
    FileReader reader(path);
    stamp = reader.Stamp();
    if (reader.Outcome() != ReadOutcome::Read) return reader.Outcome();
    contents.reserve(static_cast<std::size_t>(stamp.size));
    while (reader.ReadChunk(contents, 1 << 20)) {
    }
    if (reader.Failed()) {
        contents.clear();
        return ReadOutcome::Unreadable;
    }
    return ReadOutcome::Read;
}

FileStamp StampOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return FileStamp{};
    return StampFromStat(st);
}

bool WriteFileAtomically(const std::string& path, const std::vector<std::string_view>& pieces,
                         mode_t newFileMode) {
    std::string target;
    if (path.empty()) errno = ENOENT;
    if (path.empty() || !ResolveTarget(path, target)) return false;

    struct stat old {};
    bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        errno = S_ISDIR(old.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    // A file the user made read-only is not rewritten behind their back.
    if (exists && ::access(target.c_str(), W_OK) != 0) return false;

    std::size_t slash = target.rfind('/');
    std::string folder = slash == std::string::npos ? "." : target.substr(0, slash);
    if (folder.empty()) folder = "/";
    std::string baseName = slash == std::string::npos ? target : target.substr(slash + 1);

    TemporaryFile temp(folder, baseName, exists ? S_IRUSR | S_IWUSR : newFileMode);
    if (!temp.IsOpen()) return false;
    if (exists) {
        // Owner first: changing it may clear set-id bits that the mode then restores.
        if (::fchown(temp.fd(), old.st_uid, old.st_gid) != 0) {
            // Not allowed for other users' files; the group alone may still be kept.
            (void)!::fchown(temp.fd(), static_cast<uid_t>(-1), old.st_gid);
        }
        if (::fchmod(temp.fd(), old.st_mode & 07777) != 0) return false;
    }
    for (std::string_view piece : pieces) {
        if (!WriteAll(temp.fd(), piece)) return false;
    }
    if (::fsync(temp.fd()) != 0) return false;
    if (!temp.CloseFile()) return false;
    if (!temp.RenameTo(target)) return false;
    SyncFolder(folder);
    return true;
}

} // namespace ks
