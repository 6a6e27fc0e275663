#include "builder/writers/KSjsText.h"

#include "common/KScodepage.h"
#include "common/KSutf8.h"

#include <array>

namespace ks {

namespace {

// Code points of the UTF-8 form of a Windows-1252 text (at most three
// bytes each, always valid).
template <typename F> void ForEachCodePoint(const std::string& utf8, F f) {
    for (std::size_t i = 0; i < utf8.size();) {
        const Utf8Char c = DecodeUtf8(utf8, i);
        f(static_cast<unsigned int>(c.CodePoint));
        i += c.Length;
    }
}

void AppendEscape(std::string& out, unsigned int cp) {
    static const char kHex[] = "0123456789abcdef";
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += kHex[(cp >> shift) & 0xFu];
}

// What every byte becomes inside a literal. Each byte is one character of
// Windows-1252, so the literal of a text is that of its bytes in turn.
const std::array<std::string, 256>& LiteralBytes() {
    static const std::array<std::string, 256> table = [] {
        std::array<std::string, 256> bytes;
        for (std::size_t b = 0; b < bytes.size(); ++b) {
            const char c = static_cast<char>(b);
            ForEachCodePoint(Windows1252ToUtf8(std::string_view(&c, 1)),
                             [&literal = bytes[b]](unsigned int cp) {
                                 if (cp == '"' || cp == '\\') {
                                     literal += '\\';
                                     literal += static_cast<char>(cp);
                                 } else if (cp < 0x20 || cp == '<' || cp > 0x7E) {
                                     AppendEscape(literal, cp);
                                 } else {
                                     literal += static_cast<char>(cp);
                                 }
                             });
        }
        return bytes;
    }();
    return table;
}

} // namespace

std::string JsString(std::string_view utf8) {
    std::string literal;
    literal.reserve(utf8.size() + 2);
    AppendJsString(literal, utf8);
    return literal;
}

void AppendJsString(std::string& out, std::string_view utf8) {
    const std::array<std::string, 256>& bytes = LiteralBytes();
    out += '"';
    for (std::size_t pos = 0; pos < utf8.size();) {
        // A run of characters that stand for themselves goes at once.
        std::size_t end = pos;
        while (end < utf8.size() && bytes[static_cast<unsigned char>(utf8[end])].size() == 1)
            ++end;
        if (end > pos) {
            out.append(utf8, pos, end - pos);
            pos = end;
            continue;
        }
        const auto lead = static_cast<unsigned char>(utf8[pos]);
        const Utf8Char c = lead < 0x80 ? Utf8Char{} : DecodeUtf8Sequence(utf8, pos);
        if (!c.Valid()) {
            const std::string& literal = bytes[lead];
            if (literal.size() == 1) {
                out += literal.front();
            } else {
                out += literal;
            }
            ++pos;
            continue;
        }
        pos += c.Length;
        const unsigned int cp = c.CodePoint;
        if (cp < 0x10000) {
            AppendEscape(out, cp);
        } else {
            AppendEscape(out, 0xD800u + ((cp - 0x10000u) >> 10));
            AppendEscape(out, 0xDC00u + ((cp - 0x10000u) & 0x3FFu));
        }
    }
    out += '"';
}

std::string JsEmbedded(std::string_view text) {
    std::string embedded;
    embedded.reserve(text.size() + text.size() / 8);
    AppendJsEmbedded(embedded, text);
    return embedded;
}

void AppendJsEmbedded(std::string& out, std::string_view text) {
    for (char c : text) {
        if (c == '\\' || c == '\'') out += '\\';
        out += c;
    }
}

} // namespace ks
