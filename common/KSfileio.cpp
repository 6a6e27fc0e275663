#include "common/KSfileio.h"

#include "common/KSerrors.h"
#include "common/KSlocal.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ks {

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

int OpenFlags(File::OpenMode mode) {
    switch (mode) {
    case File::OpenMode::Read:
        // Never waits for a writer: a named pipe or device is refused below.
        return O_RDONLY | O_NONBLOCK;
    case File::OpenMode::Create:
        return O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW;
    case File::OpenMode::Append:
        return O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW;
    }
    return O_RDONLY;
}

} // namespace

File::File(File&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), openErrno_(other.openErrno_),
      path_(std::move(other.path_)), openError_(std::move(other.openError_)) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Reset();
        fd_ = std::exchange(other.fd_, -1);
        openErrno_ = other.openErrno_;
        path_ = std::move(other.path_);
        openError_ = std::move(other.openError_);
    }
    return *this;
}

File File::OpenWith(const std::string& path, int flags, mode_t mode) {
    int fd = -1;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    File file(fd, path);
    if (fd < 0) {
        file.openErrno_ = errno;
        file.openError_ = std::strerror(errno);
    }
    return file;
}

std::string NotAFileText() {
    return LocalText("#1563.3=geen bestand");
}

File File::Open(const std::string& path, OpenMode mode) {
    File file = OpenWith(path, OpenFlags(mode) | O_NOCTTY);
    if (!file.Valid()) {
        if (file.openErrno_ == ELOOP)
            file.openError_ = LocalText("#1564.6=het is een symbolische koppeling");
        return file;
    }
    // A folder opens read-only on this platform but holds no text.
    struct stat info {};
    if (::fstat(file.fd_, &info) == 0 && S_ISDIR(info.st_mode)) {
        file.Reset();
        file.openErrno_ = EISDIR;
        file.openError_ = std::strerror(EISDIR);
        return file;
    }
    if (mode == OpenMode::Read) {
        // A pipe, device or socket could keep the reader waiting forever.
        if (!S_ISREG(info.st_mode)) {
            file.Reset();
            file.openErrno_ = EINVAL;
            file.openError_ = NotAFileText();
            return file;
        }
        ::fcntl(file.fd_, F_SETFL, ::fcntl(file.fd_, F_GETFL) & ~O_NONBLOCK);
    }
    if (mode == OpenMode::Append) file.Seek(0, 2);
    return file;
}

std::size_t File::Read(char* buffer, std::size_t count) {
    if (fd_ < 0 || count == 0) return 0;
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, count);
        if (n >= 0) return static_cast<std::size_t>(n);
        if (errno != EINTR) throw EInOutError(path_, LocalReason("#1564.7=lezen mislukt", errno));
    }
}

bool File::TryWrite(std::string_view bytes) noexcept {
    if (fd_ < 0) {
        errno = EBADF;
        return false;
    }
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
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

void File::RequireOpen() const {
    if (fd_ < 0)
        throw EWriteError(path_,
                          LocalText("#1564.5=kan niet geschreven worden") + ": " + openError_);
}

void File::Write(std::string_view bytes) {
    RequireOpen();
    if (!TryWrite(bytes)) throw EWriteError(path_, LocalReason("#1564.1=schrijven mislukt", errno));
}

std::int64_t File::Seek(std::int64_t offset, int origin) {
    if (fd_ < 0) return -1;
    const int whence = origin == 2 ? SEEK_END : origin == 1 ? SEEK_CUR : SEEK_SET;
    const off_t at = ::lseek(fd_, static_cast<off_t>(offset), whence);
    return at < 0 ? -1 : static_cast<std::int64_t>(at);
}

std::int64_t File::Size() const {
    struct stat info {};
    if (fd_ < 0 || ::fstat(fd_, &info) != 0) return 0;
    return info.st_size;
}

void File::Sync() {
    RequireOpen();
    if (::fsync(fd_) != 0)
        throw EWriteError(path_, LocalReason("#1564.1=schrijven mislukt", errno));
}

void File::Close() {
    if (fd_ < 0) return;
    if (::close(std::exchange(fd_, -1)) != 0)
        throw EWriteError(path_, LocalReason("#1564.1=schrijven mislukt", errno));
}

void File::Reset() noexcept {
    if (fd_ < 0) return;
    const int error = errno;
    ::close(std::exchange(fd_, -1));
    errno = error;
}

int File::Release() noexcept {
    return std::exchange(fd_, -1);
}

void BufferedWriter::WriteSlow(std::string_view bytes) {
    file_.RequireOpen();
    if (!buffer_) buffer_ = std::make_unique<char[]>(capacity_);
    if (bytes.size() > capacity_ - used_) Flush();
    if (bytes.size() >= capacity_) {
        // Too large to gather: straight to the file.
        file_.Write(bytes);
        flushed_ += static_cast<std::int64_t>(bytes.size());
        return;
    }
    std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
    used_ += bytes.size();
}

void BufferedWriter::Flush() {
    if (used_ == 0) return;
    const std::size_t count = std::exchange(used_, 0); // a failed write is not retried
    file_.Write(std::string_view(buffer_.get(), count));
    flushed_ += static_cast<std::int64_t>(count);
}

bool BufferedWriter::TryFlush() noexcept {
    if (used_ == 0) return true;
    const std::size_t count = std::exchange(used_, 0); // a failed write is not retried
    if (!file_.TryWrite(std::string_view(buffer_.get(), count))) return false;
    flushed_ += static_cast<std::int64_t>(count);
    return true;
}

void BufferedWriter::Close() {
    Flush();
    file_.Close();
}

void BufferedWriter::Discard() noexcept {
    used_ = 0;
    file_.Reset();
}

FileReader::FileReader(const std::string& path)
    : file_(File::OpenWith(path, O_RDONLY | O_NONBLOCK | O_NOCTTY)) {
    if (!file_.Valid()) {
        const int error = file_.OpenErrno();
        outcome_ =
            (error == ENOENT || error == ENOTDIR) ? ReadOutcome::Missing : ReadOutcome::Unreadable;
        return;
    }
    struct stat st {};
    if (::fstat(file_.Descriptor(), &st) != 0 || !S_ISREG(st.st_mode)) {
        file_.Reset();
        outcome_ = ReadOutcome::Unreadable;
        return;
    }
    stamp_ = StampFromStat(st);
    outcome_ = ReadOutcome::Read;
}

bool FileReader::ReadChunk(std::string& text, std::size_t maxBytes) {
    if (!file_.Valid() || maxBytes == 0) return false;
    const std::size_t oldSize = text.size();
    text.resize(oldSize + maxBytes);
    std::size_t n = 0;
    try {
        n = file_.Read(text.data() + oldSize, maxBytes);
    } catch (const EInOutError&) {
        failed_ = true;
    }
    text.resize(oldSize + n);
    if (n > 0) return true;
    file_.Reset();
    return false;
}

ReadOutcome ReadWholeFile(const std::string& path, std::string& contents, FileStamp& stamp) {
    contents.clear();
    FileReader reader(path);
    stamp = reader.Stamp();
    if (reader.Outcome() != ReadOutcome::Read) return reader.Outcome();
    contents.reserve(static_cast<std::size_t>(stamp.size));
    // Up to the size the file had, in the room reserved; whatever it gained
    // since is read apart, so that the string grows only for that.
    while (contents.size() < contents.capacity() &&
           reader.ReadChunk(
               contents, std::min<std::size_t>(1 << 20, contents.capacity() - contents.size()))) {
    }
    for (std::string more; reader.ReadChunk(more, 1 << 20); more.clear())
        contents += more;
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

} // namespace ks
