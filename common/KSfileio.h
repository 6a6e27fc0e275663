// The file layer: one move-only owner of an open file that names its path in
// every error, one write loop, a buffered writer, and reading files in chunks
// or whole. Files that matter are replaced whole through ReplacingFile
// (KSreplacingFile). File names are passed to the system as bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <utility>

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

// The reason given wherever an input is something other than a regular file
// (a folder, a named pipe, a device): "geen bestand".
std::string NotAFileText();

// An open file (or folder) and the path it was opened by. Opening never
// throws: a file that cannot be opened stays invalid and keeps the system's
// reason. Reading and writing throw EInOutError or EWriteError naming the
// path. The destructor closes quietly; Close() reports a late write error.
class File {
public:
    enum class OpenMode {
        Read,   // an existing file, read-only
        Create, // created or emptied, write-only
        Append  // created when missing, write-only, positioned at the end
    };

    File() = default;
    // Takes over fd (may be -1) opened by path.
    File(int fd, std::string path) noexcept : fd_(fd), path_(std::move(path)) {}
    ~File() { Reset(); }
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // A file to read or write as a text file. A file is written only under its
    // own name, never through a symbolic link planted there; a folder is
    // refused, as it holds no text, and so is anything to read that is not a
    // regular file (a named pipe, a device), which could block forever
    // (OpenError() is then NotAFileText()).
    static File Open(const std::string& path, OpenMode mode);
    // open(2) with flags (O_CLOEXEC added) and, when creating, mode; retried
    // when interrupted. errno and OpenErrno() tell why an invalid file failed.
    static File OpenWith(const std::string& path, int flags, mode_t mode = 0666);

    bool Valid() const { return fd_ >= 0; }
    int Descriptor() const { return fd_; }
    const std::string& Path() const { return path_; }
    // Why the file could not be opened (the system's reason), and its errno.
    const std::string& OpenError() const { return openError_; }
    int OpenErrno() const { return openErrno_; }

    // Up to count bytes from the current offset; 0 at the end of the file or
    // on an invalid file. A read error throws EInOutError.
    std::size_t Read(char* buffer, std::size_t count);
    // All of bytes, retrying after interruptions and short writes; false when
    // the system refuses (errno tells why). A write that makes no progress
    // counts as a failure (ENOSPC) rather than a reason to try forever.
    bool TryWrite(std::string_view bytes) noexcept;
    // The same, throwing EWriteError; also on an invalid file.
    void Write(std::string_view bytes);
    // EWriteError naming the file and why it did not open, when it is invalid.
    void RequireOpen() const;
    // Moves to offset from the start (origin 0), the current offset (1) or the
    // end (2); returns the new offset, or -1.
    std::int64_t Seek(std::int64_t offset, int origin);
    // Current size of the file; 0 on an invalid file.
    std::int64_t Size() const;
    // Flushes the file to the disk; EWriteError when that fails.
    void Sync();
    // Closes and reports a late write error as EWriteError; the file is
    // invalid afterwards either way.
    void Close();
    // Closes quietly (errno kept).
    void Reset() noexcept;
    // Gives up ownership without closing.
    int Release() noexcept;

private:
    int fd_ = -1;
    int openErrno_ = 0;
    std::string path_;
    std::string openError_;
};

// Collects bytes and hands them to its file in blocks, so that many small
// writes cost one system call per block. Close() (or Flush()) writes out what
// is buffered and reports a failure as EWriteError naming the file; the
// destructor only closes: after an error nobody is left to report to, and on
// the success path callers close.
class BufferedWriter {
public:
    static constexpr std::size_t kDefaultCapacity = 64 * 1024;

    BufferedWriter() = default;
    explicit BufferedWriter(File file, std::size_t capacity = kDefaultCapacity)
        : file_(std::move(file)), capacity_(capacity) {}
    BufferedWriter(BufferedWriter&&) noexcept = default;
    BufferedWriter& operator=(BufferedWriter&&) noexcept = default;

    // Appends bytes; a write to a file that never opened fails at once.
    void Write(std::string_view bytes) {
        if (buffer_ && bytes.size() <= capacity_ - used_) {
            std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
            used_ += bytes.size();
            return;
        }
        WriteSlow(bytes);
    }
    // Hands what is buffered to the file. A failed write is not retried.
    void Flush();
    // The same without throwing: false when the write fails (errno tells why).
    bool TryFlush() noexcept;
    // Flushes, then closes the file.
    void Close();
    // Drops what is buffered and closes quietly.
    void Discard() noexcept;
    // Flushes and gives the file back, open.
    File TakeFile() {
        Flush();
        return std::move(file_);
    }

    File& GetFile() { return file_; }
    const File& GetFile() const { return file_; }
    // Bytes written so far, buffered ones included.
    std::int64_t Written() const { return flushed_ + static_cast<std::int64_t>(used_); }

private:
    void WriteSlow(std::string_view bytes);

    File file_;
    std::size_t capacity_ = kDefaultCapacity;
    std::unique_ptr<char[]> buffer_; // allocated by the first write
    std::size_t used_ = 0;
    std::int64_t flushed_ = 0;
};

enum class ReadOutcome {
    Read,       // opened as a regular file (and, for ReadWholeFile, read completely)
    Missing,    // no such file (or a dangling link): counts as empty
    Unreadable, // exists but is no regular file, or cannot be opened or read
};

// Reads a regular file from the start in chunks, through one open file: a
// file replaced by rename while it is read is still read consistently.
class FileReader {
public:
    explicit FileReader(const std::string& path);

    // Read: open and ready; Missing or Unreadable: nothing can be read.
    ReadOutcome Outcome() const { return outcome_; }
    // The file as it was when opened.
    const FileStamp& Stamp() const { return stamp_; }
    // Appends up to maxBytes to text; false at the end of the file or on a read
    // error (then Failed is true). The file is closed once false is returned.
    bool ReadChunk(std::string& text, std::size_t maxBytes);
    bool Failed() const { return failed_; }

private:
    File file_;
    ReadOutcome outcome_ = ReadOutcome::Missing;
    FileStamp stamp_;
    bool failed_ = false;
};

// Reads the whole regular file at path (symbolic links followed). Never blocks
// on pipes or devices: anything that is not a regular file is Unreadable.
ReadOutcome ReadWholeFile(const std::string& path, std::string& contents, FileStamp& stamp);

// The stamp of the file at path as it is now (exists is false when missing).
FileStamp StampOf(const std::string& path);

} // namespace ks
