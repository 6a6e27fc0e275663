#include "LINE_INPUT/StreamIO.h"

#include "common/KSerrors.h"
#include "common/KSlocal.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace ks {

TStreamText::TStreamText(TStreamText&& other) noexcept
    : mode_(std::exchange(other.mode_, Mode::Closed)), bufPos_(std::exchange(other.bufPos_, 0)),
      bufEnd_(std::exchange(other.bufEnd_, 0)) {
    std::memcpy(buffer_, other.buffer_, kBufferSize);
}

TStreamText& TStreamText::operator=(TStreamText&& other) noexcept {
    if (this != &other) {
        mode_ = std::exchange(other.mode_, Mode::Closed);
        bufPos_ = std::exchange(other.bufPos_, 0);
        bufEnd_ = std::exchange(other.bufEnd_, 0);
        std::memcpy(buffer_, other.buffer_, kBufferSize);
    }
    return *this;
}

void TStreamText::Open(FileHandle& file, Mode mode) {
    bufPos_ = 0;
    bufEnd_ = 0;
    switch (mode) {
    case Mode::Input:
    case Mode::Output:
        mode_ = mode;
        file.Seek(0, 0);
        break;
    case Mode::InOut:
        mode_ = Mode::Output;
        file.Seek(0, 0);
        file.Seek(0, 2);
        break;
    case Mode::Closed:
        break;
    }
}

void TStreamText::Close(FileHandle& file) noexcept {
    if (mode_ == Mode::Output) {
        try {
            WriteOut(file);
        } catch (...) {
            bufPos_ = 0; // closing has nobody to report to; the caller saw every earlier failure
        }
    }
    mode_ = Mode::Closed;
    bufPos_ = 0;
    bufEnd_ = 0;
}

void TStreamText::RequireInput() const {
    if (mode_ == Mode::Input) return;
    throw EInOutError(mode_ == Mode::Closed ? "File not open" : "File not open for input");
}

void TStreamText::RequireOutput() const {
    if (mode_ == Mode::Output) return;
    throw EInOutError(mode_ == Mode::Closed ? "File not open" : "File not open for output");
}

bool TStreamText::Refill(FileHandle& file) {
    bufPos_ = 0;
    bufEnd_ = 0;
    bufEnd_ = file.Read(buffer_, kBufferSize);
    return bufEnd_ > 0;
}

void TStreamText::WriteOut(FileHandle& file) {
    if (bufPos_ == 0) return;
    const std::size_t count = bufPos_;
    bufPos_ = 0; // a failed write is not retried by a later flush
    file.WriteBuffer(buffer_, count);
}

bool TStreamText::Eof(FileHandle& file) {
    RequireInput();
    return bufPos_ == bufEnd_ && !Refill(file);
}

void TStreamText::ReadLine(FileHandle& file, std::string& line) {
    RequireInput();
    line.clear();
    for (;;) {
        if (bufPos_ == bufEnd_ && !Refill(file)) return;
        const char* const begin = buffer_ + bufPos_;
        const char* const end = buffer_ + bufEnd_;
        const char* const stop =
            std::find_if(begin, end, [](char c) { return c == '\n' || c == '\r'; });
        line.append(begin, stop); // one append per run of ordinary bytes
        if (stop == end) {
            bufPos_ = bufEnd_;
            continue;
        }
        bufPos_ = static_cast<std::size_t>(stop - buffer_) + 1;
        // A CR never belongs to the text; only the LF (alone or after a CR) ends the line.
        if (*stop == '\n') return;
    }
}

void TStreamText::Write(FileHandle& file, const std::string& text) {
    RequireOutput();
    // Also an empty write fails on a file that never opened.
    if (!file.Valid())
        throw EWriteError(file.FileName(), LocalText("#1564.5=kan niet geschreven worden") + ": " +
                                               file.OpenError());
    std::size_t done = 0;
    while (done < text.size()) {
        const std::size_t count = std::min(kBufferSize - bufPos_, text.size() - done);
        std::memcpy(buffer_ + bufPos_, text.data() + done, count);
        bufPos_ += count;
        done += count;
        if (bufPos_ == kBufferSize) WriteOut(file);
    }
    WriteOut(file);
}

} // namespace ks
