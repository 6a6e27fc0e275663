// The handle-based file stream under the line stream: a move-only owner of a
// POSIX file descriptor with open by name and mode, read, write, seek and
// size. File names are passed to the system as bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace ks {

class FileHandle {
public:
    enum class OpenMode {
        Read,   // an existing file, read-only
        Create, // created or emptied, write-only
        Append  // created when missing, write-only, positioned at the end
    };

    FileHandle() = default;
    // Never throws: when the file cannot be opened (or is a folder), the
    // handle stays invalid.
    FileHandle(const std::string& fileName, OpenMode mode);
    ~FileHandle();
    FileHandle(FileHandle&& other) noexcept;
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool Valid() const { return fd_ >= 0; }
    const std::string& FileName() const { return fileName_; }
    // Why the file could not be opened (the system's reason).
    const std::string& OpenError() const { return openError_; }

    // Up to count bytes; 0 at the end of the file or on an invalid handle.
    // A read error throws EInOutError. The system is asked for larger blocks
    // than callers take (small reads cost one system call each), and a block
    // that runs out is followed by a fresh read, so text appended by another
    // writer is still seen.
    std::size_t Read(char* buffer, std::size_t count);
    // All count bytes or EWriteError (also on an invalid handle).
    void WriteBuffer(const char* data, std::size_t count);
    // Moves to offset from the start (origin 0), the current position (1) or
    // the end (2); returns the new position, or -1 on an invalid handle.
    std::int64_t Seek(std::int64_t offset, int origin);
    // Where the next byte is read or written: bytes read or written since
    // opening, plus where the file was opened (bytes read ahead not counted).
    std::int64_t Position() const { return position_; }
    // Current size of the file; 0 on an invalid handle.
    std::int64_t Size() const;

private:
    static constexpr std::size_t kReadAheadSize = 64 * 1024;

    void Close() noexcept;
    void DropReadAhead() noexcept;
    bool FillReadAhead();

    int fd_ = -1;
    std::int64_t position_ = 0;
    std::string fileName_;
    std::string openError_ = "not open"; // why opening failed, for the write error
    std::unique_ptr<char[]> readAhead_;  // allocated by the first read
    std::size_t aheadPos_ = 0;
    std::size_t aheadEnd_ = 0;
};

} // namespace ks
