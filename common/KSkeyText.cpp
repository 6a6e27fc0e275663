#include "common/KSkeyText.h"

#include "common/KScodepage.h"
#include "common/KSconvert.h"
#include "common/KSunicode.h"
#include "common/KSutf8.h"

namespace ks {

namespace {

constexpr unsigned char kUnit = 0x7F;
constexpr std::size_t kUnitLength = 4;

void AppendUnit(std::string& out, char32_t c) {
    out.push_back(static_cast<char>(kUnit));
    out.push_back(static_cast<char>(0x80 | ((c >> 14) & 0x7F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 7) & 0x7F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x7F)));
}

// Each letter of utf8 to out: runs of ASCII (nearly every name) through
// ascii at once, any other letter Windows-1252 holds (and a byte that is no
// UTF-8, read as that code page) through byte, any other through other.
template <typename Ascii, typename Byte, typename Other>
void AppendLetters(std::string& out, std::string_view utf8, Ascii ascii, Byte byte, Other other) {
    if (IsAsciiText(utf8)) {
        ascii(out, utf8);
        return;
    }
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t run = AsciiPrefixLength(utf8.substr(pos));
        if (run > 0) {
            ascii(out, utf8.substr(pos, run));
            pos += run;
            continue;
        }
        const auto lead = static_cast<unsigned char>(utf8[pos]);
        const Utf8Char c = DecodeUtf8Sequence(utf8, pos);
        if (!c.Valid()) {
            out.push_back(static_cast<char>(byte(lead)));
            ++pos;
            continue;
        }
        pos += c.Length;
        if (const int known = Windows1252Byte(c.CodePoint); known >= 0)
            out.push_back(static_cast<char>(byte(static_cast<unsigned char>(known))));
        else
            other(c.CodePoint);
    }
}

void AppendAscii(std::string& out, std::string_view ascii) {
    out.append(ascii);
}

} // namespace

void AppendKeyFold(std::string& out, std::string_view utf8) {
    AppendLetters(out, utf8, AppendFoldTable, FoldByte, [&out](char32_t c) {
        const char32_t base = BaseLetter(c);
        if (const int known = Windows1252Byte(base); known >= 0)
            out.push_back(static_cast<char>(FoldByte(static_cast<unsigned char>(known))));
        else if (IsLetterOrDigit(base))
            AppendUnit(out, UpperCaseLetter(base));
        else if (!IsCombiningMark(c))
            out.push_back(' ');
    });
}

void AppendKeyUpperCase(std::string& out, std::string_view utf8) {
    AppendLetters(out, utf8, AppendUpperCaseTable, UpperCaseByte, [&out](char32_t c) {
        const char32_t upper = UpperCaseLetter(c);
        if (const int known = Windows1252Byte(upper); known >= 0)
            out.push_back(static_cast<char>(UpperCaseByte(static_cast<unsigned char>(known))));
        else
            AppendUnit(out, upper);
    });
}

void AppendKeyText(std::string& out, std::string_view utf8) {
    AppendLetters(
        out, utf8, AppendAscii, [](unsigned char b) { return b; },
        [&out](char32_t c) { AppendUnit(out, c); });
}

std::string KeyTextToUtf8(std::string_view field) {
    std::string text;
    std::size_t from = 0;
    for (std::size_t pos = 0; pos < field.size();) {
        if (static_cast<unsigned char>(field[pos]) != kUnit || field.size() - pos < kUnitLength) {
            ++pos;
            continue;
        }
        text += Windows1252ToUtf8(field.substr(from, pos - from));
        const auto bits = [&](std::size_t i) {
            return static_cast<char32_t>(static_cast<unsigned char>(field[pos + i]) & 0x7F);
        };
        AppendUtf8(text, (bits(1) << 14) | (bits(2) << 7) | bits(3));
        pos += kUnitLength;
        from = pos;
    }
    return text + Windows1252ToUtf8(field.substr(from));
}

} // namespace ks
