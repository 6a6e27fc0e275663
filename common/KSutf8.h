// The one reading and writing of UTF-8 in the program. A sequence is valid
// only in its shortest form, outside the surrogates and up to U+10FFFF, as a
// strict decoder has it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ks {

enum class Utf8Status {
    Valid,
    Cut,     // a lead byte and continuation bytes so far, but the text ends first
    Refused, // a lead byte and all its continuation bytes, but an overlong
             // form, a surrogate or a code point above U+10FFFF
    Invalid, // no lead byte, or a byte that is no continuation byte
};

struct Utf8Char {
    char32_t CodePoint = 0; // only when Valid
    std::size_t Length = 0; // the bytes of the sequence; for Refused its whole shape
    Utf8Status Status = Utf8Status::Invalid;

    bool Valid() const { return Status == Utf8Status::Valid; }
};

// Whether byte continues a sequence (10xxxxxx): a text cut before it would
// cut a letter in two.
inline bool IsUtf8Continuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

Utf8Char DecodeUtf8Sequence(std::string_view text, std::size_t pos);

// The sequence that starts at pos (pos < text.size()).
inline Utf8Char DecodeUtf8(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) return {lead, 1, Utf8Status::Valid};
    return DecodeUtf8Sequence(text, pos);
}

// The length of the run of ASCII bytes (below 128) at the start of text,
// read eight bytes at a time: nearly every name is ASCII.
std::size_t AsciiPrefixLength(std::string_view text);
// Whether every byte of a (short) text is below 128: inline, for the rules
// that run once or more per name and take a shorter way for plain ASCII.
inline bool IsAsciiText(std::string_view text) {
    unsigned char any = 0;
    for (const char c : text)
        any |= static_cast<unsigned char>(c);
    return any < 0x80;
}

// Appends the UTF-8 bytes of a code point (up to U+10FFFF).
void AppendUtf8(std::string& out, char32_t codePoint);

// The bytes of the first count letters of text (a byte that is no UTF-8
// counts as one letter), so that a cut there never splits a sequence.
std::size_t Utf8PrefixLength(std::string_view text, std::size_t count);
// The first count letters of text, padded with blanks to count letters.
std::string FirstLettersPadded(std::string_view text, std::size_t count);
// The length a name had in Windows-1252, on which the size estimates are
// built: 1 for each letter that code page holds (and each byte that is no
// UTF-8), the UTF-8 length for any other, so that a name the code page
// holds counts as it always did.
inline std::size_t EstimatedLength(std::string_view utf8);
// The same letter by letter, for a text that is not plain ASCII.
std::size_t EstimatedLengthOfOther(std::string_view utf8);
inline std::size_t EstimatedLength(std::string_view utf8) {
    return IsAsciiText(utf8) ? utf8.size() : EstimatedLengthOfOther(utf8);
}

// Reads a text piece by piece (a sequence may be cut between two pieces).
// The text looks like UTF-8 when it holds at least one multi-byte sequence
// and no byte above 127 outside one: plain ASCII does not count, and neither
// does Windows-1252 text with an accented letter that happens to look like a
// sequence somewhere beside one that does not. Strict scanning counts only
// valid sequences; by shape alone, Refused ones count too.
class TKSutf8Scanner {
public:
    enum class Check { Strict, Shape };
    explicit TKSutf8Scanner(Check check = Check::Strict) : check_(check) {}

    void Feed(std::string_view piece);
    // The verdict on everything fed so far; a sequence cut off at the end
    // counts as invalid.
    bool LooksLikeUtf8() const { return sequences_ > 0 && !invalid_ && cut_.empty(); }
    // True once the answer can no longer become yes.
    bool Invalid() const { return invalid_; }

private:
    // Judges the sequence at the start of text; false while it is cut.
    bool Take(std::string_view text, std::size_t& length);

    Check check_;
    std::string cut_; // the start of a sequence the last piece ended in
    long long sequences_ = 0;
    bool invalid_ = false;
};

} // namespace ks
