#include "common/KSutf8.h"

#include "common/KScodepage.h"

#include <cstdint>
#include <cstring>

namespace ks {

Utf8Char DecodeUtf8Sequence(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) return {lead, 1, Utf8Status::Valid};
    std::size_t length = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if (lead >= 0xC2 && lead < 0xE0) {
        length = 2, cp = lead & 0x1F, min = 0x80;
    } else if (lead >= 0xE0 && lead < 0xF0) {
        length = 3, cp = lead & 0x0F, min = 0x800;
    } else if (lead >= 0xF0 && lead < 0xF5) {
        length = 4, cp = lead & 0x07, min = 0x10000;
    } else {
        return {0, 1, Utf8Status::Invalid};
    }
    for (std::size_t k = 1; k < length; ++k) {
        if (pos + k == text.size()) return {0, k, Utf8Status::Cut};
        if (!IsUtf8Continuation(text[pos + k])) return {0, 1, Utf8Status::Invalid};
        cp = (cp << 6) | (static_cast<unsigned char>(text[pos + k]) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000))
        return {0, length, Utf8Status::Refused};
    return {cp, length, Utf8Status::Valid};
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::size_t Utf8PrefixLength(std::string_view text, std::size_t count) {
    std::size_t pos = 0;
    for (; count > 0 && pos < text.size(); --count) {
        const Utf8Char c = DecodeUtf8(text, pos);
        pos += c.Valid() ? c.Length : 1;
    }
    return pos;
}

std::string FirstLettersPadded(std::string_view text, std::size_t count) {
    std::string letters;
    std::size_t pos = 0;
    for (; count > 0; --count) {
        if (pos == text.size()) {
            letters += ' ';
            continue;
        }
        const Utf8Char c = DecodeUtf8(text, pos);
        const std::size_t length = c.Valid() ? c.Length : 1;
        letters.append(text.substr(pos, length));
        pos += length;
    }
    return letters;
}

std::size_t AsciiPrefixLength(std::string_view text) {
    std::size_t pos = 0;
    for (; pos + 8 <= text.size(); pos += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + pos, 8);
        if ((word & 0x8080808080808080ULL) != 0) break;
    }
    while (pos < text.size() && static_cast<unsigned char>(text[pos]) < 0x80)
        ++pos;
    return pos;
}

std::size_t EstimatedLengthOfOther(std::string_view utf8) {
    std::size_t length = AsciiPrefixLength(utf8);
    for (std::size_t pos = length; pos < utf8.size();) {
        if (static_cast<unsigned char>(utf8[pos]) < 0x80) {
            ++length;
            ++pos;
            continue;
        }
        const Utf8Char c = DecodeUtf8Sequence(utf8, pos);
        if (!c.Valid()) {
            ++length;
            ++pos;
            continue;
        }
        length += Windows1252Byte(c.CodePoint) >= 0 ? 1 : c.Length;
        pos += c.Length;
    }
    return length;
}

void TKSutf8Scanner::Feed(std::string_view piece) {
    std::size_t pos = 0;
    // The sequence the last piece ended in, a byte at a time.
    while (!cut_.empty() && !invalid_ && pos < piece.size()) {
        cut_ += piece[pos++];
        std::size_t length = 0;
        if (Take(cut_, length)) cut_.clear();
    }
    while (!invalid_ && pos < piece.size()) {
        if (static_cast<unsigned char>(piece[pos]) < 0x80) {
            ++pos;
            continue;
        }
        std::size_t length = 0;
        if (!Take(piece.substr(pos), length)) {
            cut_ = piece.substr(pos);
            return;
        }
        pos += length;
    }
}

bool TKSutf8Scanner::Take(std::string_view text, std::size_t& length) {
    const Utf8Char c = DecodeUtf8Sequence(text, 0);
    if (c.Status == Utf8Status::Cut) return false;
    length = c.Length;
    if (c.Valid() || (check_ == Check::Shape && c.Status == Utf8Status::Refused))
        ++sequences_;
    else
        invalid_ = true;
    return true;
}

} // namespace ks
