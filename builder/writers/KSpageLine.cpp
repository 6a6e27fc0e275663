#include "builder/writers/KSpageLine.h"

#include "builder/writers/KShtmlPieces.h"
#include "common/KScodepage.h"
#include "common/KSunicode.h"
#include "common/KSutf8.h"

namespace ks {

namespace {

// Below the first letter written from right to left (Hebrew).
constexpr char32_t kFirstRightToLeft = 0x0590;

// One Windows-1252 byte, escaped as the writers escape their texts.
void AppendEscapedByte(std::string& out, char c, TKStreeEscape escape) {
    if (escape == TKStreeEscape::Href) {
        AppendHrefText(out, std::string_view(&c, 1));
    } else {
        AppendHtmlEncoded(out, std::string_view(&c, 1));
    }
}

void AppendUtf8Part(TKSpageLine& line, std::string_view bytes) {
    const std::size_t begin = line.Text.size();
    line.Text += bytes;
    if (!line.Utf8.empty() && line.Utf8.back().End == begin) {
        line.Utf8.back().End = line.Text.size();
    } else {
        line.Utf8.push_back({begin, line.Text.size()});
    }
}

void AppendPercentEncoded(std::string& out, std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        out += '%';
        out += kHex[byte >> 4];
        out += kHex[byte & 0x0F];
    }
}

void AppendOther(TKSpageLine& line, char32_t c, std::string_view bytes, bool utf8Layout,
                 TKStreeEscape escape) {
    if (c < 0xA0) return; // a control character
    if (utf8Layout) {
        AppendUtf8Part(line, bytes);
    } else if (escape == TKStreeEscape::Href) {
        AppendPercentEncoded(line.Text, bytes);
    } else {
        line.Text += "&#" + std::to_string(static_cast<unsigned long>(c)) + ';';
    }
}

bool HoldsRightToLeft(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const Utf8Char c = DecodeUtf8(text, pos);
        if (c.Valid() && c.CodePoint >= kFirstRightToLeft && IsRightToLeft(c.CodePoint))
            return true;
        pos += c.Valid() ? c.Length : 1;
    }
    return false;
}

} // namespace

void AppendTreeText(TKSpageLine& line, std::string_view utf8, bool utf8Layout,
                    TKStreeEscape escape) {
    const bool isolate = escape == TKStreeEscape::HtmlIsolated && HoldsRightToLeft(utf8);
    if (isolate) line.Text += "<bdi>";
    for (std::size_t pos = 0; pos < utf8.size();) {
        const Utf8Char c = DecodeUtf8(utf8, pos);
        if (!c.Valid()) {
            AppendEscapedByte(line.Text, utf8[pos], escape);
            ++pos;
            continue;
        }
        const int byte = Windows1252Byte(c.CodePoint);
        if (byte >= 0) {
            AppendEscapedByte(line.Text, static_cast<char>(byte), escape);
        } else {
            AppendOther(line, c.CodePoint, utf8.substr(pos, c.Length), utf8Layout, escape);
        }
        pos += c.Length;
    }
    if (isolate) line.Text += "</bdi>";
}

} // namespace ks
