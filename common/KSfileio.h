// Reading files in chunks or whole, and atomic replacement of files that
// matter (settings files, index documents, the per-user store). A replacement
// is written to a temporary file in the same folder, flushed to disk and
// renamed over the old file, so a crash or a full disk leaves either the old
// or the new contents, never a truncated file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace ks {

// What identifies one version of a file on disk; used to notice that a file
// changed after it was read.
struct FileStamp {
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;

    bool operator==(const FileStamp&) const = default;
};

void CloseQuietly(int fd);
bool CloseChecked(int fd); // false when the close reports an error

// Owns a descriptor and closes it when it goes out of scope. Move-only.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) CloseQuietly(fd_);
    }
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Gives up ownership without closing.
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    // Closes the old descriptor (if any) and owns fd.
    void reset(int fd = -1) {
        if (fd_ >= 0) CloseQuietly(fd_);
        fd_ = fd;
    }
    // Closes now and tells whether the close succeeded (a late write error shows here).
    bool Close() {
        int fd = fd_;
        fd_ = -1;
        return fd < 0 || CloseChecked(fd);
    }

private:
    int fd_ = -1;
};

// Writes all of bytes, retrying after interruptions and short writes. False
// when the system refuses (errno tells why); a write that makes no progress
// counts as a failure (errno ENOSPC) rather than a reason to try forever.
bool WriteAll(int fd, std::string_view bytes);

enum class ReadOutcome {
    Read,       // opened as a regular file (and, for ReadWholeFile, read completely)
    Missing,    // no such file (or a dangling link): counts as empty
    Unreadable, // exists but is no regular file, or cannot be opened or read
};

// Reads a regular file from the start in chunks, through one open descriptor:
// a file replaced by rename while it is read is still read consistently.
class FileReader {
public:
    explicit FileReader(const std::string& path);
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    // Read: open and ready; Missing or Unreadable: nothing can be read.
    ReadOutcome Outcome() const { return outcome_; }
    // The file as it was when opened.
    const FileStamp& Stamp() const { return stamp_; }
    // Appends up to maxBytes to text; false at the end of the file or on a read
    // error (then Failed is true). The descriptor is closed once false is returned.
    bool ReadChunk(std::string& text, std::size_t maxBytes);
    bool Failed() const { return failed_; }

private:
    void CloseDescriptor();

    int fd_ = -1;
    ReadOutcome outcome_ = ReadOutcome::Missing;
    FileStamp stamp_;
    bool failed_ = false;
};

// Reads the whole regular file at path (symbolic links followed). Never blocks
// on pipes or devices: anything that is not a regular file is Unreadable.
ReadOutcome ReadWholeFile(const std::string& path, std::string& contents, FileStamp& stamp);

// The stamp of the file at path as it is now (exists is false when missing).
FileStamp StampOf(const std::string& path);

// Replaces the file at path by the concatenation of pieces. A symbolic link is
// followed and its target replaced. An existing file keeps its permission bits
// (and, where allowed, its owner and group); a new file gets newFileMode less
// the process's umask. Returns false when anything fails (errno tells why);
// then the file at path is as it was and no temporary file is left behind.
bool WriteFileAtomically(const std::string& path, const std::vector<std::string_view>& pieces,
                         mode_t newFileMode);

} // namespace ks
