// The text-file driver of the line stream: a text record that reads and
// writes lines over a file by the platform's text line rules. The record
// never owns the file; its owner passes it in.
//
// Reading: a line ends at LF or CR LF; a CR that is not followed by LF neither
// ends the line nor belongs to it; byte 26 is an ordinary byte; lines have no
// length limit; a last line without a break is returned whole. The file is
// read a block at a time; a block that runs out is followed by a fresh read,
// so text appended by another writer is still seen.
// Writing: texts go to a buffered writer, which hands them to the file in
// blocks and when it is flushed or closed.
#pragma once

#include "common/KSfileio.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace ks {

class TStreamText {
public:
    enum class Mode { Closed, Input, Output, InOut };
    static constexpr std::size_t kBufferSize = 64 * 1024; // bytes read at a time

    // Opens the record: Input reads from the start of the file, Output writes
    // from the start, InOut writes at the end (the record then counts as Output).
    void Open(Mode mode);
    void Close() noexcept { mode_ = Mode::Closed; }
    bool IsOutput() const { return mode_ == Mode::Output; }

    // True when no byte is left: the buffer is empty and a refill gives none.
    bool Eof(File& file);
    // The next line without its break; empty at the end of the file.
    void ReadLine(File& file, std::string& line);
    // Appends text to the writer.
    void Write(BufferedWriter& out, std::string_view text);
    // Bytes of the file taken by the lines read so far: where the next begins.
    std::int64_t BytesTaken() const {
        return bytesRead_ - static_cast<std::int64_t>(bufEnd_ - bufPos_);
    }

private:
    void RequireInput() const;
    void RequireOutput() const;
    bool Refill(File& file);

    Mode mode_ = Mode::Closed;
    std::unique_ptr<char[]> buffer_; // allocated by the first read
    std::size_t bufPos_ = 0;         // next byte to read
    std::size_t bufEnd_ = 0;         // end of the valid bytes read into the buffer
    std::int64_t bytesRead_ = 0;
};

} // namespace ks
