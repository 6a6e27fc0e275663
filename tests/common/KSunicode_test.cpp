#include "common/KSunicode.h"

#include <gtest/gtest.h>

namespace ks {
namespace {

// Letters of names from all over Europe and beyond: the letter each is
// filed with, its capital, and what kind of character it is.
TEST(Unicode, LettersAreKnownByWhatTheyAreBuiltOn) {
    const struct {
        char32_t Letter, Base, Upper;
        bool Letterlike, RightToLeft;
    } cases[] = {
        {U'\u0151', U'o', U'\u0150', true, false},       // ő (Hungarian)
        {U'\u0218', U'S', U'\u0218', true, false},       // Ș (Romanian)
        {U'\u011F', U'g', U'\u011E', true, false},       // ğ (Turkish)
        {U'\u0131', U'i', U'I', true, false},            // ı, without a decomposition
        {U'\u0142', U'l', U'\u0141', true, false},       // ł (Polish)
        {U'\u0110', U'D', U'\u0110', true, false},       // Đ (Croatian)
        {U'\u01FE', U'\u00D8', U'\u01FE', true, false},  // Ǿ, built on Ø
        {U'\uFB01', U'f', U'\uFB01', true, false},       // the ligature ﬁ
        {U'\u1E9E', U'\u00DF', U'\u1E9E', true, false},  // capital ẞ
        {U'\u03AC', U'\u03B1', U'\u0386', true, false},  // ά (Greek)
        {U'\u03C2', U'\u03C2', U'\u03A3', true, false},  // final ς
        {U'\u0416', U'\u0416', U'\u0416', true, false},  // Ж (Cyrillic)
        {U'\u05D0', U'\u05D0', U'\u05D0', true, true},   // א (Hebrew)
        {U'\u0627', U'\u0627', U'\u0627', true, true},   // ا (Arabic)
        {U'\uAC00', U'\u1100', U'\uAC00', true, false},  // 가: its leading consonant
        {U'\u0661', U'\u0661', U'\u0661', true, false},  // ١, an Arabic digit
        {U'\u0301', U'\u0301', U'\u0301', false, false}, // a combining accent
        {U'\u2013', U'\u2013', U'\u2013', false, false}, // a dash
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<unsigned>(c.Letter));
        EXPECT_EQ(c.Base, BaseLetter(c.Letter));
        EXPECT_EQ(c.Upper, UpperCaseLetter(c.Letter));
        EXPECT_EQ(c.Letterlike, IsLetterOrDigit(c.Letter));
        EXPECT_EQ(c.RightToLeft, IsRightToLeft(c.Letter));
        EXPECT_EQ(c.Letter == U'\u0301', IsCombiningMark(c.Letter));
    }
    EXPECT_EQ(U'\u0142', LowerCaseLetter(U'\u0141'));
}

// An accent written apart becomes part of its letter; a text without one
// comes back as it is, even when it is no UTF-8.
TEST(Unicode, AccentsWrittenApartAreComposed) {
    EXPECT_EQ("Dvo\xC5\x99\xC3\xA1k", ComposedText("Dvor\xCC\x8C"
                                                   "a\xCC\x81k"));
    EXPECT_EQ("Wa\xC5\x82\xC4\x99sa", ComposedText("Wa\xC5\x82\xC4\x99sa"));
    EXPECT_EQ("M\xFCller", ComposedText("M\xFCller"));
}

} // namespace
} // namespace ks
