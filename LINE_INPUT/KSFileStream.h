// TKSFileStream: the one way text files are read and written line by line
// (index documents, temporary record files, templates, output files, the log).
//
// Modes: "I" reads an existing file; "O" creates the file or empties an
// existing one; "A" appends to the file, creating it when missing (nothing
// is inserted between the old content and the first text written). Any
// other mode opens nothing: the file is not touched, Opened() is false and
// every read or write raises EInOutError("File not open").
//
// Opening never throws: a file that cannot be opened leaves Opened() false;
// reading it then finds Eof at once, and the first WriteLine or WriteText
// raises EWriteError. A write the system refuses (disk full) raises
// EWriteError too. Reading a stream opened for writing, or the reverse,
// raises EInOutError. Every WriteLine and WriteText is on disk before it
// returns. Each stream keeps its own buffer and position, so several readers
// can be read alternately.
#pragma once

#include "LINE_INPUT/FileHandle.h"
#include "LINE_INPUT/StreamIO.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace ks {

class TKSFileStream {
public:
    TKSFileStream(const std::string& fileName, const std::string& mode);
    ~TKSFileStream();
    TKSFileStream(TKSFileStream&&) noexcept = default;
    TKSFileStream& operator=(TKSFileStream&& other) noexcept;
    TKSFileStream(const TKSFileStream&) = delete;
    TKSFileStream& operator=(const TKSFileStream&) = delete;

    bool Eof();
    std::string ReadLine();
    // The same, reusing the caller's string (for long loops).
    void ReadLine(std::string& line);
    void WriteLine(const std::string& text); // text, then CR LF
    void WriteText(const std::string& text); // text only; the line count stays

    // A conversion that every text written passes through first (pages in
    // another character set); nullptr, the default, writes texts as given.
    using TextConversion = std::string (*)(std::string_view);
    void SetConversion(TextConversion convert) { convert_ = convert; }

    bool Opened() const { return opened_; }
    // Why the file could not be opened (the system's reason).
    const std::string& OpenError() const { return file_.OpenError(); }
    // Lines read or written since opening.
    int LineCount() const { return lineCount_; }
    const std::string& FileName() const { return file_.FileName(); }
    // Bytes taken from or written to the file so far (reading goes ahead of
    // the lines returned by at most one buffer).
    std::int64_t Position() const { return file_.Position(); }
    std::int64_t Size() const { return file_.Size(); }

private:
    void CountLine();

    FileHandle file_;
    TStreamText text_;
    int lineCount_ = 0;
    bool opened_ = false;
    TextConversion convert_ = nullptr;
};

} // namespace ks
