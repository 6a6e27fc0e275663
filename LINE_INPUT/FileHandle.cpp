#include "LINE_INPUT/FileHandle.h"

#include "common/KSerrors.h"
#include "common/KSfileio.h"
#include "common/KSlocal.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace ks {

namespace {

int OpenFlags(FileHandle::OpenMode mode) {
    switch (mode) {
    case FileHandle::OpenMode::Read:
        return O_RDONLY;
    // A file is written only under its own name, never through a symbolic
    // link planted there that may point anywhere.
    case FileHandle::OpenMode::Create:
        return O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW;
    case FileHandle::OpenMode::Append:
        return O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW;
    }
    return O_RDONLY;
}

bool IsFolder(int fd) {
    struct stat info {};
    return fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

FileHandle::FileHandle(const std::string& fileName, OpenMode mode) : fileName_(fileName) {
    int fd = -1;
    do {
        fd = ::open(fileName.c_str(), OpenFlags(mode) | O_CLOEXEC | O_NOCTTY, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        openError_ = errno == ELOOP ? LocalText("#1564.6=het is een symbolische koppeling")
                                    : std::strerror(errno);
        return;
    }
    // A folder opens read-only on this platform but holds no text.
    if (IsFolder(fd)) {
        ::close(fd);
        openError_ = std::strerror(EISDIR);
        return;
    }
    fd_ = fd;
    if (mode == OpenMode::Append) position_ = Seek(0, 2);
}

FileHandle::~FileHandle() {
    Close();
}

FileHandle::FileHandle(FileHandle&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), position_(std::exchange(other.position_, 0)),
      fileName_(std::move(other.fileName_)), openError_(std::move(other.openError_)),
      readAhead_(std::move(other.readAhead_)), aheadPos_(std::exchange(other.aheadPos_, 0)),
      aheadEnd_(std::exchange(other.aheadEnd_, 0)) {}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        position_ = std::exchange(other.position_, 0);
        fileName_ = std::move(other.fileName_);
        openError_ = std::move(other.openError_);
        readAhead_ = std::move(other.readAhead_);
        aheadPos_ = std::exchange(other.aheadPos_, 0);
        aheadEnd_ = std::exchange(other.aheadEnd_, 0);
    }
    return *this;
}

void FileHandle::Close() noexcept {
    // Every write has been handed to the system already; a late close error
    // has nobody left to report to.
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    DropReadAhead();
}

void FileHandle::DropReadAhead() noexcept {
    aheadPos_ = 0;
    aheadEnd_ = 0;
}

bool FileHandle::FillReadAhead() {
    if (!readAhead_) readAhead_ = std::make_unique<char[]>(kReadAheadSize);
    DropReadAhead();
    for (;;) {
        const ssize_t n = ::read(fd_, readAhead_.get(), kReadAheadSize);
        if (n >= 0) {
            aheadEnd_ = static_cast<std::size_t>(n);
            return n > 0;
        }
        if (errno != EINTR)
            throw EInOutError(fileName_, LocalReason("#1564.7=lezen mislukt", errno));
    }
}

std::size_t FileHandle::Read(char* buffer, std::size_t count) {
    if (fd_ < 0 || count == 0) return 0;
    if (aheadPos_ == aheadEnd_ && !FillReadAhead()) return 0;
    const std::size_t n = std::min(count, aheadEnd_ - aheadPos_);
    std::memcpy(buffer, readAhead_.get() + aheadPos_, n);
    aheadPos_ += n;
    position_ += static_cast<std::int64_t>(n);
    return n;
}

void FileHandle::WriteBuffer(const char* data, std::size_t count) {
    if (fd_ < 0)
        throw EWriteError(fileName_,
                          LocalText("#1564.5=kan niet geschreven worden") + ": " + openError_);
    if (!WriteAll(fd_, std::string_view(data, count)))
        throw EWriteError(fileName_, LocalReason("#1564.1=schrijven mislukt", errno));
    position_ += static_cast<std::int64_t>(count);
}

std::int64_t FileHandle::Seek(std::int64_t offset, int origin) {
    if (fd_ < 0) return -1;
    // The system's offset runs ahead of position_ by the bytes read ahead.
    if (origin == 1) offset += position_;
    const off_t at = ::lseek(fd_, static_cast<off_t>(offset), origin == 2 ? SEEK_END : SEEK_SET);
    if (at < 0) return -1;
    DropReadAhead();
    position_ = at;
    return at;
}

std::int64_t FileHandle::Size() const {
    struct stat info {};
    if (fd_ < 0 || fstat(fd_, &info) != 0) return 0;
    return info.st_size;
}

} // namespace ks
