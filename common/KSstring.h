// Texts with embedded style codes. An escape byte (27) and one code byte form
// a pair: 13 breaks the line, 26 ends the text, 27 stands for one visible
// escape, 64-95 switch a style on and 96-127 switch style c-32 off, 128-255
// start an embedded block (its total length and visible width follow as two
// 16-bit little-endian numbers); every other pair, the tab mark 0 included,
// is invisible. TKSstring counts visible characters only and keeps the
// styles balanced when it cuts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ks {

constexpr char kEscape = 27;

class TKSstring {
public:
    TKSstring() = default;
    explicit TKSstring(const std::string& text) { SetText(text); }

    void SetText(const std::string& text);
    const std::string& Data() const { return data_; }
    int64_t VisibleLength() const { return visibleLength_; }
    int64_t LineCount() const { return lineCount_; } // 0 for the empty text
    bool HasCodes() const { return hasCodes_; }

    // Recounts; cuts the text after an end pair.
    int64_t Measure();
    // The text without codes: a line break becomes CR LF, an escape pair one
    // escape, a block is skipped, the end pair ends it.
    std::string PlainText() const;

    // Positions and counts in visible characters, from 1. The result switches
    // on the styles in force at its start and off those open at its end.
    std::string Left(int64_t n) const;
    std::string Right(int64_t n) const;
    std::string Mid(int64_t from, int64_t n) const;
    // The same with fixed-point numbers (ten-thousandths), rounded ties to even.
    std::string LeftFixed(int64_t n) const;
    std::string RightFixed(int64_t n) const;

    // Writes text over width visible characters from position: cut to width
    // or filled with blanks; blanks first when position lies beyond the end.
    void Put(int64_t position, int64_t width, const std::string& text);

    // Lines of at most width visible characters, broken at line breaks and
    // at the last blank before the limit (dropped), else cut at the width.
    void Wrap(int64_t width, std::vector<std::string>& lines, int64_t& count) const;
    int64_t WrapCount(int64_t width) const;
    std::string WrapLine(int64_t width, int64_t n) const; // line n from 1, or ""

private:
    struct Span;
    struct Line;
    std::string LineText(const Line& line) const;
    Span Locate(int64_t from, int64_t n, bool endAtLastVisible) const;
    template <typename Visit> void WalkLines(int64_t width, Visit visit) const;

    std::string data_;
    int64_t visibleLength_ = 0;
    int64_t lineCount_ = 0;
    bool hasCodes_ = false;
};

} // namespace ks
