// The text-file driver of the line stream: a text record with a 128-byte
// buffer that reads and writes lines over a FileHandle by the platform's text
// line rules. The record never owns the handle; its owner passes it in.
//
// Reading: a line ends at LF or CR LF; a CR that is not followed by LF neither
// ends the line nor belongs to it; byte 26 is an ordinary byte; lines have no
// length limit; a last line without a break is returned whole.
// Writing: every Write pushes the buffer to the file before it returns, so
// the buffer only splits long texts into writes of at most 128 bytes.
#pragma once

#include "LINE_INPUT/FileHandle.h"

#include <cstddef>
#include <string>

namespace ks {

class TStreamText {
public:
    enum class Mode { Closed, Input, Output, InOut };
    static constexpr std::size_t kBufferSize = 128;

    TStreamText() = default;
    TStreamText(TStreamText&& other) noexcept;
    TStreamText& operator=(TStreamText&& other) noexcept;
    TStreamText(const TStreamText&) = delete;
    TStreamText& operator=(const TStreamText&) = delete;

    // Opens the record: Input reads from the start of the file, Output writes
    // from the start, InOut writes at the end (the record then counts as Output).
    void Open(FileHandle& file, Mode mode);
    // Writes out what is still buffered and closes the record; never throws
    // (after a failed write the unwritten rest is dropped, not retried).
    void Close(FileHandle& file) noexcept;
    Mode GetMode() const { return mode_; }

    // True when no byte is left: the buffer is empty and a refill gives none.
    bool Eof(FileHandle& file);
    // The next line without its break; empty at the end of the file.
    void ReadLine(FileHandle& file, std::string& line);
    // Appends text to the file (through the buffer) and flushes.
    void Write(FileHandle& file, const std::string& text);

private:
    void RequireInput() const;
    void RequireOutput() const;
    bool Refill(FileHandle& file);
    void WriteOut(FileHandle& file);

    Mode mode_ = Mode::Closed;
    std::size_t bufPos_ = 0; // next byte to read, or bytes waiting to be written
    std::size_t bufEnd_ = 0; // end of the valid bytes read into the buffer
    char buffer_[kBufferSize] = {};
};

} // namespace ks
