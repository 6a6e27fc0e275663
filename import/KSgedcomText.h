// The character sets of GEDCOM files and the way their texts become the
// Windows-1252 texts of an index document. Values are decoded to UTF-8 first,
// whatever the file's set, so that a link pattern can carry a name exactly
// and the nearest-letter rules are applied in one place.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace ks {

enum class EGedcomEncoding { Utf8, Utf16LE, Utf16BE, Ansel, Ansi };

// The set named by a header's CHAR value (UTF-8, UNICODE, ANSEL, ANSI,
// ASCII; any case); nothing for a value this reader does not know.
std::optional<EGedcomEncoding> GedcomEncodingFromChar(std::string_view value);

// The set the first bytes of a file show: a byte-order mark (its length in
// bomLength), or the zero bytes of UTF-16 text without one ("0" of "0 HEAD").
std::optional<EGedcomEncoding> GedcomEncodingFromBytes(std::string_view first,
                                                       std::size_t& bomLength);

// UTF-16 bytes to UTF-8, block by block: an odd byte or the first half of a
// surrogate pair at the end of a block waits for the next block. A lone
// surrogate becomes U+FFFD.
class TUtf16Decoder {
public:
    explicit TUtf16Decoder(bool bigEndian) : bigEndian_(bigEndian) {}
    void Append(std::string_view bytes, std::string& utf8);
    // What is left over at the end of the file (a cut character) as U+FFFD.
    void Finish(std::string& utf8);

private:
    bool bigEndian_;
    int oddByte_ = -1;
    char32_t highSurrogate_ = 0;
};

// ANSEL (with the GEDCOM additions) to UTF-8. A combining mark precedes its
// letter in ANSEL and follows it in Unicode, so marks are moved behind the
// letter they belong to.
std::string AnselToUtf8(std::string_view ansel);

// A value of a file in the given set as UTF-8 (UTF-16 files are already
// UTF-8 by the time lines are split). Bytes that are no valid UTF-8 in a
// UTF-8 file are read as Windows-1252, as files that say UTF-8 but are not
// are common.
std::string GedcomValueToUtf8(std::string_view value, EGedcomEncoding encoding);

// UTF-8 to Windows-1252: a letter followed by a combining mark becomes the
// marked letter where the code page has it ("e" + acute is "é"); any other
// character the code page lacks becomes its nearest letter. replaced counts
// the characters not written as they were.
std::string Utf8ToWindows1252Counted(std::string_view utf8, long& replaced);

// UTF-8 percent-encoded for a web address: every byte but letters, digits
// and "-._~".
std::string PercentEncode(std::string_view utf8);

} // namespace ks
