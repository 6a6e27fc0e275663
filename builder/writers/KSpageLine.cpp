#include "builder/writers/KSpageLine.h"

#include "common/KScodepage.h"
#include "common/KSconvert.h"
#include "common/KSmarkedText.h"
#include "common/KSunicode.h"
#include "common/KSutf8.h"

namespace ks {

namespace {

// Below the first letter written from right to left (Hebrew).
constexpr char32_t kFirstRightToLeft = 0x0590;

// One Windows-1252 byte, escaped as the writers escape their texts.
void AppendEscapedByte(std::string& out, char c, TKStreeEscape escape) {
    if (escape == TKStreeEscape::Href) {
        switch (c) {
        case '"':
            out += "&quot;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
        return;
    }
    // A byte without an entity comes back as itself (byte 0 as "").
    const char* entity = HtmlEntity(static_cast<unsigned char>(c));
    if (entity[0] == c && c != '&') {
        out += c;
    } else {
        out += entity;
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

void AppendOther(std::string& line, char32_t c, std::string_view bytes, TKStreeEscape escape) {
    if (c < 0xA0) return; // a control character
    if (escape == TKStreeEscape::Href) {
        AppendPercentEncoded(line, bytes);
    } else {
        AppendMarkedUtf8(line, bytes);
    }
}

// The ASCII bytes that stand for themselves in element text, an attribute
// and a link alike.
struct PlainBytes {
    bool plain[128] = {};
    PlainBytes() {
        for (int b = 0; b < 128; ++b) {
            const char* entity = HtmlEntity(static_cast<unsigned char>(b));
            plain[b] =
                b != '&' && b != '"' && b != '<' && b != '>' && entity[0] == b && entity[1] == '\0';
        }
    }
};

// The length of the run of such bytes at pos.
std::size_t PlainRun(std::string_view text, std::size_t pos) {
    static const PlainBytes kPlain;
    std::size_t end = pos;
    while (end < text.size() && static_cast<unsigned char>(text[end]) < 0x80 &&
           kPlain.plain[static_cast<unsigned char>(text[end])])
        ++end;
    return end - pos;
}

bool HoldsRightToLeft(std::string_view text) {
    // Letters from U+0580 on begin with a byte of 0xD6 or more.
    constexpr unsigned char kFirstLead = 0xD6;
    for (std::size_t pos = 0; pos < text.size();) {
        if (static_cast<unsigned char>(text[pos]) < kFirstLead) {
            ++pos;
            continue;
        }
        const Utf8Char c = DecodeUtf8(text, pos);
        if (c.Valid() && c.CodePoint >= kFirstRightToLeft && IsRightToLeft(c.CodePoint))
            return true;
        pos += c.Valid() ? c.Length : 1;
    }
    return false;
}

} // namespace

void AppendTreeText(std::string& line, std::string_view utf8, TKStreeEscape escape) {
    const bool isolate = escape == TKStreeEscape::HtmlIsolated && HoldsRightToLeft(utf8);
    if (isolate) line += "<bdi>";
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t run = PlainRun(utf8, pos);
        if (run > 0) {
            line.append(utf8, pos, run);
            pos += run;
            continue;
        }
        const auto lead = static_cast<unsigned char>(utf8[pos]);
        if (lead < 0x80) {
            AppendEscapedByte(line, utf8[pos], escape);
            ++pos;
            continue;
        }
        const Utf8Char c = DecodeUtf8Sequence(utf8, pos);
        if (!c.Valid()) {
            AppendEscapedByte(line, utf8[pos], escape);
            ++pos;
            continue;
        }
        const int byte = Windows1252Byte(c.CodePoint);
        if (byte >= 0) {
            AppendEscapedByte(line, static_cast<char>(byte), escape);
        } else {
            AppendOther(line, c.CodePoint, utf8.substr(pos, c.Length), escape);
        }
        pos += c.Length;
    }
    if (isolate) line += "</bdi>";
}

std::string TreeText(std::string_view utf8, TKStreeEscape escape) {
    std::string text;
    text.reserve(utf8.size() + utf8.size() / 4);
    AppendTreeText(text, utf8, escape);
    return text;
}

} // namespace ks
