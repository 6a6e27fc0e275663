#include "common/KSunicode.h"

#include "common/KSutf8.h"

#include <utf8proc.h>

#include <cstdlib>
#include <memory>

namespace ks {

namespace {

// Letters that Unicode builds on no other letter, and the letter a name
// holding one is filed with.
constexpr struct {
    char32_t Letter;
    char32_t Base;
} kFiledWith[] = {
    {U'\u0110', U'D'},      {U'\u0111', U'd'}, // Đ đ
    {U'\u0126', U'H'},      {U'\u0127', U'h'}, // Ħ ħ
    {U'\u0131', U'i'},                         // ı
    {U'\u0138', U'k'},                         // ĸ
    {U'\u0141', U'L'},      {U'\u0142', U'l'}, // Ł ł
    {U'\u014A', U'N'},      {U'\u014B', U'n'}, // Ŋ ŋ
    {U'\u0166', U'T'},      {U'\u0167', U't'}, // Ŧ ŧ
    {U'\u1E9E', U'\u00DF'},                    // ẞ
};

utf8proc_int32_t Point(char32_t c) {
    return static_cast<utf8proc_int32_t>(c);
}

} // namespace

// A letter without a decomposition as it is filed; any other as it is.
char32_t Filed(char32_t c) {
    for (const auto& filed : kFiledWith)
        if (filed.Letter == c) return filed.Base;
    return c;
}

std::u32string BaseLetters(char32_t c) {
    if (const char32_t filed = Filed(c); filed != c) return std::u32string(1, filed);
    utf8proc_int32_t parts[18];
    const utf8proc_ssize_t count = utf8proc_decompose_char(
        Point(c), parts, std::size(parts),
        static_cast<utf8proc_option_t>(UTF8PROC_DECOMPOSE | UTF8PROC_COMPAT | UTF8PROC_STRIPMARK),
        nullptr);
    if (count < 1 || count > static_cast<utf8proc_ssize_t>(std::size(parts)))
        return std::u32string(1, c);
    std::u32string letters;
    // A letter built on one that is filed with another (ł̄) goes with that one.
    for (utf8proc_ssize_t i = 0; i < count; ++i)
        letters.push_back(Filed(static_cast<char32_t>(parts[i])));
    return letters;
}

char32_t BaseLetter(char32_t c) {
    return BaseLetters(c).front();
}

char32_t UpperCaseLetter(char32_t c) {
    return static_cast<char32_t>(utf8proc_toupper(Point(c)));
}

char32_t LowerCaseLetter(char32_t c) {
    return static_cast<char32_t>(utf8proc_tolower(Point(c)));
}

bool IsLetterOrDigit(char32_t c) {
    switch (utf8proc_category(Point(c))) {
    case UTF8PROC_CATEGORY_LU:
    case UTF8PROC_CATEGORY_LL:
    case UTF8PROC_CATEGORY_LT:
    case UTF8PROC_CATEGORY_LM:
    case UTF8PROC_CATEGORY_LO:
    case UTF8PROC_CATEGORY_ND:
    case UTF8PROC_CATEGORY_NL:
        return true;
    default:
        return false;
    }
}

bool IsCombiningMark(char32_t c) {
    const utf8proc_category_t category = utf8proc_category(Point(c));
    return category == UTF8PROC_CATEGORY_MN || category == UTF8PROC_CATEGORY_MC ||
           category == UTF8PROC_CATEGORY_ME;
}

bool IsRightToLeft(char32_t c) {
    const int direction = utf8proc_get_property(Point(c))->bidi_class;
    return direction == UTF8PROC_BIDI_CLASS_R || direction == UTF8PROC_BIDI_CLASS_AL;
}

std::string ComposedText(std::string_view text) {
    bool marks = false;
    for (std::size_t pos = 0; pos < text.size() && !marks;) {
        const Utf8Char c = DecodeUtf8(text, pos);
        if (!c.Valid()) return std::string(text);
        marks = IsCombiningMark(c.CodePoint);
        pos += c.Length;
    }
    if (!marks) return std::string(text);
    utf8proc_uint8_t* composed = nullptr;
    const utf8proc_ssize_t length =
        utf8proc_map(reinterpret_cast<const utf8proc_uint8_t*>(text.data()),
                     static_cast<utf8proc_ssize_t>(text.size()), &composed,
                     static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_COMPOSE));
    const std::unique_ptr<utf8proc_uint8_t, decltype(&std::free)> owned(composed, &std::free);
    if (length < 0) return std::string(text);
    return std::string(reinterpret_cast<const char*>(composed), static_cast<std::size_t>(length));
}

} // namespace ks
