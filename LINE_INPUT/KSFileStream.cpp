#include "LINE_INPUT/KSFileStream.h"

#include <climits>
#include <utility>

namespace ks {

namespace {

constexpr const char* kLineBreak = "\r\n";

} // namespace

TKSFileStream::TKSFileStream(const std::string& fileName, const std::string& mode) {
    TStreamText::Mode textMode = TStreamText::Mode::Closed;
    if (mode == "I") {
        file_ = FileHandle(fileName, FileHandle::OpenMode::Read);
        textMode = TStreamText::Mode::Input;
    } else if (mode == "O") {
        file_ = FileHandle(fileName, FileHandle::OpenMode::Create);
        textMode = TStreamText::Mode::Output;
    } else if (mode == "A") {
        file_ = FileHandle(fileName, FileHandle::OpenMode::Append);
        textMode = TStreamText::Mode::InOut;
    } else {
        // An unknown mode must not empty a file that nobody is going to write.
        file_ = FileHandle();
    }
    opened_ = file_.Valid();
    text_.Open(file_, textMode);
    lineCount_ = 0;
}

TKSFileStream::~TKSFileStream() {
    text_.Close(file_);
}

TKSFileStream& TKSFileStream::operator=(TKSFileStream&& other) noexcept {
    if (this != &other) {
        text_.Close(file_);
        file_ = std::move(other.file_);
        text_ = std::move(other.text_);
        lineCount_ = std::exchange(other.lineCount_, 0);
        opened_ = std::exchange(other.opened_, false);
        convert_ = std::exchange(other.convert_, nullptr);
    }
    return *this;
}

void TKSFileStream::CountLine() {
    if (lineCount_ < INT_MAX) ++lineCount_;
}

bool TKSFileStream::Eof() {
    return text_.Eof(file_);
}

std::string TKSFileStream::ReadLine() {
    std::string line;
    ReadLine(line);
    return line;
}

void TKSFileStream::ReadLine(std::string& line) {
    text_.ReadLine(file_, line);
    CountLine();
}

void TKSFileStream::WriteLine(const std::string& text) {
    // One write for text and break, so that a line is never half on disk
    // unless it is longer than the buffer.
    text_.Write(file_, (convert_ != nullptr ? convert_(text) : text) + kLineBreak);
    CountLine();
}

void TKSFileStream::WriteText(const std::string& text) {
    text_.Write(file_, convert_ != nullptr ? convert_(text) : text);
}

} // namespace ks
