#include "LINE_INPUT/StreamIO.h"

#include "common/KSerrors.h"

#include <cstring>

namespace ks {

void TStreamText::Open(Mode mode) {
    bufPos_ = 0;
    bufEnd_ = 0;
    bytesRead_ = 0;
    // Appending writes at the end of the file, which opening put it at.
    mode_ = mode == Mode::InOut ? Mode::Output : mode;
}

void TStreamText::RequireInput() const {
    if (mode_ == Mode::Input) return;
    throw EInOutError(mode_ == Mode::Closed ? "File not open" : "File not open for input");
}

void TStreamText::RequireOutput() const {
    if (mode_ == Mode::Output) return;
    throw EInOutError(mode_ == Mode::Closed ? "File not open" : "File not open for output");
}

bool TStreamText::Refill(File& file) {
    if (!buffer_) buffer_ = std::make_unique<char[]>(kBufferSize);
    bufPos_ = 0;
    bufEnd_ = file.Read(buffer_.get(), kBufferSize);
    bytesRead_ += static_cast<std::int64_t>(bufEnd_);
    return bufEnd_ > 0;
}

bool TStreamText::Eof(File& file) {
    RequireInput();
    return bufPos_ == bufEnd_ && !Refill(file);
}

void TStreamText::ReadLine(File& file, std::string& line) {
    RequireInput();
    line.clear();
    for (;;) {
        if (bufPos_ == bufEnd_ && !Refill(file)) return;
        const char* begin = buffer_.get() + bufPos_;
        const char* const end = buffer_.get() + bufEnd_;
        const auto* lf = static_cast<const char*>(std::memchr(begin, '\n', end - begin));
        const char* const stop = lf != nullptr ? lf : end;
        // A CR never belongs to the text: copy the runs between them.
        while (begin < stop) {
            const auto* cr = static_cast<const char*>(std::memchr(begin, '\r', stop - begin));
            const char* const runEnd = cr != nullptr ? cr : stop;
            line.append(begin, runEnd);
            begin = cr != nullptr ? cr + 1 : stop;
        }
        bufPos_ = static_cast<std::size_t>(stop - buffer_.get());
        if (lf != nullptr) {
            ++bufPos_;
            return;
        }
    }
}

void TStreamText::Write(BufferedWriter& out, std::string_view text) {
    RequireOutput();
    out.Write(text);
}

} // namespace ks
