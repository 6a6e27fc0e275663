#include "import/KSgedcomText.h"

#include "common/KScodepage.h"
#include "common/KSutf8.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>

namespace ks {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsCombiningMark(char32_t cp) {
    return (cp >= 0x0300 && cp < 0x0370) || (cp >= 0xFE20 && cp < 0xFE30);
}

// The Windows-1252 letters that are a base letter with one mark.
struct Composition {
    char32_t Mark;
    const char* Bases;
    const char* Letters; // Windows-1252 bytes, one per base
};
// clang-format off
constexpr Composition kCompositions[] = {
    {0x0300, "AEIOUaeiou", "\xC0\xC8\xCC\xD2\xD9\xE0\xE8\xEC\xF2\xF9"},
    {0x0301, "AEIOUYaeiouy", "\xC1\xC9\xCD\xD3\xDA\xDD\xE1\xE9\xED\xF3\xFA\xFD"},
    {0x0302, "AEIOUaeiou", "\xC2\xCA\xCE\xD4\xDB\xE2\xEA\xEE\xF4\xFB"},
    {0x0303, "ANOano", "\xC3\xD1\xD5\xE3\xF1\xF5"},
    {0x0308, "AEIOUYaeiouy", "\xC4\xCB\xCF\xD6\xDC\x9F\xE4\xEB\xEF\xF6\xFC\xFF"},
    {0x030A, "Aa", "\xC5\xE5"},
    {0x030C, "SZsz", "\x8A\x8E\x9A\x9E"},
    {0x0327, "Cc", "\xC7\xE7"},
};
// clang-format on

int Composed(char base, char32_t mark) {
    for (const auto& entry : kCompositions) {
        if (entry.Mark != mark) continue;
        const char* found = base == '\0' ? nullptr : std::strchr(entry.Bases, base);
        if (found == nullptr) return -1;
        return static_cast<unsigned char>(entry.Letters[found - entry.Bases]);
    }
    return -1;
}

// ANSEL bytes 0xA1 to 0xFE; 0 where the byte is undefined. 0xE0 and up
// are the combining marks.
// clang-format off
constexpr char32_t kAnsel[94] = {
    /* A1 */ 0x0141, 0x00D8, 0x0110, 0x00DE, 0x00C6, 0x0152, 0x02B9, 0x00B7,
    /* A9 */ 0x266D, 0x00AE, 0x00B1, 0x01A0, 0x01AF, 0x02BC, 0,
    /* B0 */ 0x02BB, 0x0142, 0x00F8, 0x0111, 0x00FE, 0x00E6, 0x0153, 0x02BA,
    /* B8 */ 0x0131, 0x00A3, 0x00F0, 0, 0x01A1, 0x01B0, 0x25A1, 0x25A0,
    /* C0 */ 0x00B0, 0x2113, 0x2117, 0x00A9, 0x266F, 0x00BF, 0x00A1, 0x00DF,
    /* C8 */ 0x20AC, 0, 0, 0, 0, 0x0065, 0x006F, 0x00DF,
    /* D0 */ 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    /* E0 */ 0x0309, 0x0300, 0x0301, 0x0302, 0x0303, 0x0304, 0x0306, 0x0307,
    /* E8 */ 0x0308, 0x030C, 0x030A, 0xFE20, 0xFE21, 0x0315, 0x030B, 0x0310,
    /* F0 */ 0x0327, 0x0328, 0x0323, 0x0324, 0x0325, 0x0333, 0x0332, 0x0326,
    /* F8 */ 0x031C, 0x032E, 0xFE22, 0xFE23, 0x0338, 0, 0x0313,
};
// clang-format on

bool AllAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

} // namespace

std::optional<EGedcomEncoding> GedcomEncodingFromChar(std::string_view value) {
    const std::string name = Upper(value);
    if (name == "UTF-8" || name == "UTF8") return EGedcomEncoding::Utf8;
    // UNICODE is UTF-16; a file whose lines could be read byte by byte is
    // not, and then its bytes are best read as UTF-8.
    if (name == "UNICODE" || name == "UTF-16") return EGedcomEncoding::Utf8;
    if (name == "ANSEL") return EGedcomEncoding::Ansel;
    // ASCII files often hold Windows-1252 letters all the same.
    if (name == "ANSI" || name == "ASCII") return EGedcomEncoding::Ansi;
    return std::nullopt;
}

std::optional<EGedcomEncoding> GedcomEncodingFromBytes(std::string_view first,
                                                       std::size_t& bomLength) {
    bomLength = 0;
    if (first.substr(0, 3) == "\xEF\xBB\xBF") {
        bomLength = 3;
        return EGedcomEncoding::Utf8;
    }
    if (first.size() >= 2) {
        const auto b0 = static_cast<unsigned char>(first[0]);
        const auto b1 = static_cast<unsigned char>(first[1]);
        if (b0 == 0xFF && b1 == 0xFE) return bomLength = 2, EGedcomEncoding::Utf16LE;
        if (b0 == 0xFE && b1 == 0xFF) return bomLength = 2, EGedcomEncoding::Utf16BE;
        if (b0 != 0 && b1 == 0) return EGedcomEncoding::Utf16LE;
        if (b0 == 0 && b1 != 0) return EGedcomEncoding::Utf16BE;
    }
    return std::nullopt;
}

void TUtf16Decoder::Append(std::string_view bytes, std::string& utf8) {
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        unsigned lo = 0, hi = 0;
        if (oddByte_ >= 0) {
            lo = static_cast<unsigned>(oddByte_);
            hi = static_cast<unsigned char>(bytes[pos++]);
            oddByte_ = -1;
        } else if (bytes.size() - pos == 1) {
            oddByte_ = static_cast<unsigned char>(bytes[pos]);
            return;
        } else {
            lo = static_cast<unsigned char>(bytes[pos]);
            hi = static_cast<unsigned char>(bytes[pos + 1]);
            pos += 2;
        }
        const char32_t unit = bigEndian_ ? (lo << 8 | hi) : (hi << 8 | lo);
        if (highSurrogate_ != 0) {
            const char32_t high = highSurrogate_;
            highSurrogate_ = 0;
            if (unit >= 0xDC00 && unit < 0xE000) {
                AppendUtf8(utf8, 0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
                continue;
            }
            AppendUtf8(utf8, kReplacement);
        }
        if (unit >= 0xD800 && unit < 0xDC00)
            highSurrogate_ = unit;
        else if (unit >= 0xDC00 && unit < 0xE000)
            AppendUtf8(utf8, kReplacement);
        else
            AppendUtf8(utf8, unit);
    }
}

void TUtf16Decoder::Finish(std::string& utf8) {
    if (oddByte_ >= 0 || highSurrogate_ != 0) AppendUtf8(utf8, kReplacement);
    oddByte_ = -1;
    highSurrogate_ = 0;
}

std::string AnselToUtf8(std::string_view ansel) {
    std::string out;
    out.reserve(ansel.size() + ansel.size() / 4);
    std::string marks; // UTF-8 of the marks waiting for their letter
    for (const char c : ansel) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
            out += marks;
            marks.clear();
            continue;
        }
        const char32_t cp = byte >= 0xA1 && byte <= 0xFE ? kAnsel[byte - 0xA1] : 0;
        if (cp == 0) {
            // Control bytes and undefined ones; the non-sorting markers of
            // library catalogues (0x88, 0x89) carry no text.
            if (byte != 0x88 && byte != 0x89) AppendUtf8(out, kReplacement);
        } else if (byte >= 0xE0) {
            AppendUtf8(marks, cp);
        } else {
            AppendUtf8(out, cp);
            out += marks;
            marks.clear();
        }
    }
    out += marks; // marks without a letter; they are dropped and counted later
    return out;
}

std::string GedcomValueToUtf8(std::string_view value, EGedcomEncoding encoding) {
    if (AllAscii(value)) return std::string(value);
    switch (encoding) {
    case EGedcomEncoding::Ansel:
        return AnselToUtf8(value);
    case EGedcomEncoding::Ansi:
        return Windows1252ToUtf8(value);
    default:
        return MessageToUtf8(value);
    }
}

std::string Utf8ToWindows1252Counted(std::string_view utf8, long& replaced) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const Utf8Char decoded = DecodeUtf8(utf8, pos);
        const char32_t cp = decoded.CodePoint;
        const std::size_t length = decoded.Length;
        if (!decoded.Valid()) {
            out += '?';
            ++replaced;
            ++pos;
            continue;
        }
        const std::string_view sequence = utf8.substr(pos, length);
        pos += length;
        // The marks that follow this character.
        int composed = -1;
        int marks = 0;
        while (pos < utf8.size()) {
            const Utf8Char mark = DecodeUtf8(utf8, pos);
            if (!mark.Valid() || !IsCombiningMark(mark.CodePoint)) break;
            if (marks++ == 0 && cp < 0x80)
                composed = Composed(static_cast<char>(cp), mark.CodePoint);
            pos += mark.Length;
        }
        if (composed >= 0) {
            out += static_cast<char>(composed);
            if (marks > 1) ++replaced;
            continue;
        }
        if (IsCombiningMark(cp)) { // a mark without a letter
            ++replaced;
            continue;
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else {
            const NearestText nearest = Utf8ToNearestWindows1252(sequence);
            out += nearest.Text;
            if (nearest.Replaced) {
                ++replaced;
                continue; // the marks went with the letter
            }
        }
        if (marks > 0) ++replaced;
    }
    return out;
}

std::string PercentEncode(std::string_view utf8) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) && byte < 0x80) {
            out += c;
        } else if (c == '-' || c == '.' || c == '_' || c == '~') {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        }
    }
    return out;
}

} // namespace ks
