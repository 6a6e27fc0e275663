#include "common/KScodepage.h"

#include <cstdint>

namespace ks {
namespace {

// Code points of the bytes 128 to 159; the rest of the code page equals
// its byte value.
constexpr char32_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t CodePoint(unsigned char byte) {
    return byte >= 128 && byte < 160 ? kHigh[byte - 128] : byte;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

int ByteOf(char32_t cp) {
    if (cp < 128 || (cp >= 160 && cp < 256)) return static_cast<int>(cp);
    for (int k = 0; k < 32; ++k)
        if (kHigh[k] == cp) return 128 + k;
    return '?';
}

// Decodes one UTF-8 sequence at pos; an invalid one is one byte long and
// gives no code point.
bool Decode(std::string_view text, std::size_t& pos, char32_t& cp) {
    const auto lead = static_cast<unsigned char>(text[pos++]);
    int more = 0;
    char32_t min = 0;
    if (lead < 0x80) {
        cp = lead;
        return true;
    } else if (lead >= 0xC2 && lead < 0xE0) {
        more = 1, cp = lead & 0x1F, min = 0x80;
    } else if (lead >= 0xE0 && lead < 0xF0) {
        more = 2, cp = lead & 0x0F, min = 0x800;
    } else if (lead >= 0xF0 && lead < 0xF5) {
        more = 3, cp = lead & 0x07, min = 0x10000;
    } else {
        return false;
    }
    if (text.size() - pos < static_cast<std::size_t>(more)) return false;
    for (int k = 0; k < more; ++k) {
        const auto c = static_cast<unsigned char>(text[pos + static_cast<std::size_t>(k)]);
        if ((c & 0xC0) != 0x80) return false;
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) return false;
    pos += static_cast<std::size_t>(more);
    return true;
}

} // namespace

std::string Windows1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    // Pages are mostly ASCII: runs of it are copied whole.
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = pos;
        while (end < text.size() && static_cast<unsigned char>(text[end]) < 0x80)
            ++end;
        out.append(text.data() + pos, end - pos);
        if (end == text.size()) break;
        AppendUtf8(out, CodePoint(static_cast<unsigned char>(text[end])));
        pos = end + 1;
    }
    return out;
}

std::string MessageToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        char32_t cp = 0;
        if (Decode(text, pos, cp) && pos - start > 1) {
            out.append(text.substr(start, pos - start));
        } else {
            pos = start + 1;
            AppendUtf8(out, CodePoint(static_cast<unsigned char>(text[start])));
        }
    }
    return out;
}

std::string Utf8ToWindows1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        char32_t cp = 0;
        out += static_cast<char>(Decode(text, pos, cp) ? ByteOf(cp) : '?');
    }
    return out;
}

} // namespace ks
