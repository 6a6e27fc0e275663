#include "common/KScodepage.h"

#include <gtest/gtest.h>

namespace ks {
namespace {

TEST(KScodepage, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(all, Utf8ToWindows1252(Windows1252ToUtf8(all)));
}

TEST(KScodepage, KnownCharactersMapBothWays) {
    EXPECT_EQ("\xE2\x82\xAC", Windows1252ToUtf8("\x80")); // euro sign
    EXPECT_EQ("\xC5\xA0", Windows1252ToUtf8("\x8A"));     // S caron
    EXPECT_EQ("\xC5\xB8", Windows1252ToUtf8("\x9F"));     // Y diaeresis
    EXPECT_EQ("\xC3\xA9", Windows1252ToUtf8("\xE9"));     // e acute
    EXPECT_EQ("\xC2\x81", Windows1252ToUtf8("\x81"));     // undefined: U+0081
    EXPECT_EQ("M\xFCller", Utf8ToWindows1252("M\xC3\xBCller"));
    EXPECT_EQ("\x80 \x9C", Utf8ToWindows1252("\xE2\x82\xAC \xC5\x93"));
}

TEST(KScodepage, MessagesKeepTheirPathsAndConvertTheirTexts) {
    // A layout's entry name in Windows-1252 beside a path spelled in UTF-8.
    EXPECT_EQ("entry \xC3\xA9\xC3\xA9n: /b\xC3\xA4ume/x.htm",
              MessageToUtf8("entry \xE9\xE9n: /b\xC3\xA4ume/x.htm"));
    EXPECT_EQ("M\xC3\xBCller \xE2\x82\xAC", MessageToUtf8("M\xFCller \x80"));
    EXPECT_EQ("\xC3\x83", MessageToUtf8("\xC3")); // a lone lead byte is a 1252 letter
}

TEST(KScodepage, UnmappableAndInvalidInputBecomesQuestionMarks) {
    EXPECT_EQ("?", Utf8ToWindows1252("\xE4\xB8\xAD"));     // a CJK character
    EXPECT_EQ("?", Utf8ToWindows1252("\xF0\x9F\x98\x80")); // an emoji
    EXPECT_EQ("a?b", Utf8ToWindows1252("a\xFF"
                                       "b"));
    EXPECT_EQ("??", Utf8ToWindows1252("\xC0\xAF"));      // overlong
    EXPECT_EQ("??", Utf8ToWindows1252("\xE2\x82"));      // cut short: one per byte
    EXPECT_EQ("???", Utf8ToWindows1252("\xED\xA0\x80")); // a surrogate
}

struct NearestCase {
    const char* Typed; // UTF-8
    const char* Kept;  // Windows-1252
    bool Replaced;
};

TEST(KScodepage, TypedTextKeepsTheNearestLetters) {
    const NearestCase cases[] = {
        {"Drzewa \xC5\x81\xC3\xB3"
         "d\xC5\xBA",
         "Drzewa L\xF3"
         "dz",
         true},                                             // Lodz: L stroke, o acute, z acute
        {"\xC5\x81\xC5\x82\xC4\x90\xC4\x91", "LlDd", true}, // L/l stroke, D/d stroke
        {"\xC5\x91\xC5\xB1\xC5\xBC\xC5\x9B\xC4\x87\xC5\x84\xC4\x99\xC4\x85\xC4\x8D\xC5\x99\xC4\x9F"
         "\xC4\xB1\xC5\x9F\xC8\x9B\xC8\x99\xC4\x81\xC4\x93\xC4\xAB\xC5\x8D\xC5\xAB",
         "ouzscneacrgistsaeiou", true},
        {"\xC4\xB2sselmeer", "IJsselmeer", true}, // a ligature letter spelled out
        {"\xC7\x96", "\xFC", true},               // u diaeresis macron: keeps the diaeresis
        {"Nguy\xE1\xBB\x85n", "Nguy\xEAn", true}, // e circumflex tilde: keeps the circumflex
        {"\xEF\xAC\x81ne", "fine", true},         // fi ligature
        {"1\xE2\x80\x90"
         "2\xE2\x80\xB2\xE2\x80\x83"
         "b",
         "1-2' b", true},                     // hyphen, prime, em space
        {"e\xCC\x81t\xCC\x81", "et", true},   // marks typed apart from their letters
        {"\xD0\x96\xE4\xB8\xAD", "??", true}, // other scripts: nothing near
        {"a\xFF"
         "b",
         "a?b", true}, // invalid UTF-8
        // What the code page holds is kept as it is and reports nothing.
        {"\xC5\xA1\xC5\xBE M\xC3\xBCller \xE2\x82\xAC? \xE2\x80\x94",
         "\x9A\x9E M\xFCller \x80? \x97", false},
        {"", "", false},
    };
    for (const NearestCase& c : cases) {
        const NearestText got = Utf8ToNearestWindows1252(c.Typed);
        EXPECT_EQ(c.Kept, got.Text) << c.Typed;
        EXPECT_EQ(c.Replaced, got.Replaced) << c.Typed;
    }
}

} // namespace
} // namespace ks
