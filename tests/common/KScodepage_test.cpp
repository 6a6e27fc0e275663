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

} // namespace
} // namespace ks
