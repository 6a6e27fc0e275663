#include "LINE_INPUT/KSFileStream.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace ks {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

} // namespace

TKSFileStream::TKSFileStream(const std::string& fileName, OpenMode mode) {
    File file = File::Open(fileName, mode);
    opened_ = file.Valid();
    if (mode == OpenMode::Read) {
        in_ = std::move(file);
        text_.Open(TStreamText::Mode::Input);
        return;
    }
    writing_ = true;
    if (mode == OpenMode::Append) startSize_ = file.Size();
    out_ = BufferedWriter(std::move(file));
    text_.Open(mode == OpenMode::Append ? TStreamText::Mode::InOut : TStreamText::Mode::Output);
}

TKSFileStream::~TKSFileStream() {
    WriteOut();
}

TKSFileStream& TKSFileStream::operator=(TKSFileStream&& other) noexcept {
    if (this != &other) {
        WriteOut();
        in_ = std::move(other.in_);
        out_ = std::move(other.out_);
        text_ = std::move(other.text_);
        startSize_ = std::exchange(other.startSize_, 0);
        lineCount_ = std::exchange(other.lineCount_, 0);
        opened_ = std::exchange(other.opened_, false);
        writing_ = std::exchange(other.writing_, false);
        writeThrough_ = std::exchange(other.writeThrough_, false);
        convert_ = std::exchange(other.convert_, nullptr);
    }
    return *this;
}

void TKSFileStream::WriteOut() noexcept {
    if (text_.IsOutput()) {
        try {
            out_.Flush();
        } catch (...) {
            // Nobody is left to tell; callers that care close the stream.
        }
    }
    out_.Discard();
    text_.Close();
}

void TKSFileStream::CountLine() {
    if (lineCount_ < INT_MAX) ++lineCount_;
}

bool TKSFileStream::Eof() {
    return text_.Eof(in_);
}

std::string TKSFileStream::ReadLine() {
    std::string line;
    ReadLine(line);
    return line;
}

void TKSFileStream::ReadLine(std::string& line) {
    text_.ReadLine(in_, line);
    CountLine();
}

void TKSFileStream::WriteLine(std::string_view text) {
    if (convert_ != nullptr) {
        convert_(text, converted_);
        text_.Write(out_, converted_);
    } else {
        text_.Write(out_, text);
    }
    EndLine();
}

void TKSFileStream::WriteLine(std::string_view text, std::span<const TKSbyteRange> asIs) {
    if (convert_ == nullptr || asIs.empty()) {
        WriteLine(text);
        return;
    }
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    std::size_t from = 0;
    for (const TKSbyteRange& range : asIs) {
        const std::size_t begin = std::clamp(range.Begin, from, text.size());
        const std::size_t end = std::clamp(range.End, begin, text.size());
        convert_(text.substr(from, begin - from), converted_);
        out += converted_;
        out.append(text, begin, end - begin);
        from = end;
    }
    convert_(text.substr(from), converted_);
    out += converted_;
    text_.Write(out_, out);
    EndLine();
}

void TKSFileStream::EndLine() {
    text_.Write(out_, kLineBreak);
    CountLine();
    if (writeThrough_) out_.Flush();
}

void TKSFileStream::WriteText(std::string_view text) {
    if (convert_ != nullptr) {
        convert_(text, converted_);
        text_.Write(out_, converted_);
    } else {
        text_.Write(out_, text);
    }
    if (writeThrough_) out_.Flush();
}

void TKSFileStream::Flush() {
    if (text_.IsOutput()) out_.Flush();
}

void TKSFileStream::Close() {
    if (text_.IsOutput()) {
        text_.Close();
        out_.Close();
    } else {
        text_.Close();
        in_.Reset();
    }
}

std::int64_t TKSFileStream::Position() const {
    return writing_ ? startSize_ + out_.Written() : text_.BytesTaken();
}

std::int64_t TKSFileStream::Size() const {
    return writing_ ? startSize_ + out_.Written() : in_.Size();
}

} // namespace ks
