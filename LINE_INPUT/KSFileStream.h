// TKSFileStream: the one way text files are read and written line by line
// (index documents, temporary record files, templates, output files).
//
// Modes: Read reads an existing file; Create creates the file or empties an
// existing one; Append appends to the file, creating it when missing (nothing
// is inserted between the old content and the first text written).
//
// Opening never throws: a file that cannot be opened leaves Opened() false;
// reading it then finds Eof at once, and the first WriteLine or WriteText
// raises EWriteError. Reading a stream opened for writing, or the reverse,
// raises EInOutError. What is written is gathered in a 64 KiB buffer and
// reaches the file when the buffer is full, on Flush() and on Close(); a
// write the system refuses (disk full) raises EWriteError naming the file, at
// whichever of these hands it over. Callers close a stream they wrote when
// they are done; the destructor of a stream that was not closed writes out
// what is left but cannot report a failure. Each stream keeps its own buffer
// and position, so several readers can be read alternately.
#pragma once

#include "LINE_INPUT/StreamIO.h"
#include "common/KSfileio.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace ks {

// Bytes [Begin, End) of a line.
struct TKSbyteRange {
    std::size_t Begin = 0;
    std::size_t End = 0;
};

class TKSFileStream {
public:
    using OpenMode = File::OpenMode;

    TKSFileStream(const std::string& fileName, OpenMode mode);
    ~TKSFileStream();
    TKSFileStream(TKSFileStream&&) noexcept = default;
    TKSFileStream& operator=(TKSFileStream&& other) noexcept;
    TKSFileStream(const TKSFileStream&) = delete;
    TKSFileStream& operator=(const TKSFileStream&) = delete;

    bool Eof();
    std::string ReadLine();
    // The same, reusing the caller's string (for long loops).
    void ReadLine(std::string& line);
    void WriteLine(std::string_view text); // text, then CR LF
    // The same for a line whose bytes in asIs (in line order) are UTF-8
    // already: the conversion passes them by and they are written as they
    // are; the rest is converted as usual. A range that overlaps the one
    // before it or runs past the text is cut to fit.
    void WriteLine(std::string_view text, std::span<const TKSbyteRange> asIs);
    void WriteText(std::string_view text); // text only; the line count stays
    // Hands what is buffered to the file.
    void Flush();
    // Flushes and closes the file; afterwards nothing can be read or written.
    void Close();
    // Every WriteLine and WriteText is in the file before it returns: for a
    // file that is read while it is being written.
    void SetWriteThrough(bool on) { writeThrough_ = on; }

    // A conversion that every text written passes through first (the
    // character set of a page); nullptr, the default, writes texts as given.
    // It writes the converted text to its second argument.
    using TextConversion = void (*)(std::string_view, std::string&);
    void SetConversion(TextConversion convert) { convert_ = convert; }

    bool Opened() const { return opened_; }
    // Why the file could not be opened (the system's reason).
    const std::string& OpenError() const { return Handle().OpenError(); }
    // Lines read or written since opening.
    int LineCount() const { return lineCount_; }
    const std::string& FileName() const { return Handle().Path(); }
    // Where the next line begins when reading; when writing, the bytes
    // written, buffered ones included.
    std::int64_t Position() const;
    std::int64_t Size() const;

private:
    const File& Handle() const { return writing_ ? out_.GetFile() : in_; }
    void WriteOut() noexcept;
    void CountLine();
    void EndLine();

    File in_;            // when reading
    BufferedWriter out_; // when writing: owns the file
    TStreamText text_;
    std::int64_t startSize_ = 0; // of a file opened for appending
    int lineCount_ = 0;
    bool opened_ = false;
    bool writing_ = false;
    bool writeThrough_ = false;
    TextConversion convert_ = nullptr;
    std::string converted_; // room for a converted text, reused
};

} // namespace ks
