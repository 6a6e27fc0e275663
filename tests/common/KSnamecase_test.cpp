#include "common/KSnamecase.h"

#include <gtest/gtest.h>

namespace ks {
namespace {

TEST(KSnamecase, LettersOfWindows1252MatchWithoutRegardToCase) {
    EXPECT_TRUE(SameNameNoCase("KESTRIN", "kestrin"));
    EXPECT_TRUE(SameNameNoCase("IndexData", "INDEXDATA"));
    // é/É, ë/Ë, š/Š, œ/Œ, ž/Ž, ÿ/Ÿ
    EXPECT_TRUE(SameNameNoCase("\xE9\xEB\x9A\x9C\x9E\xFF", "\xC9\xCB\x8A\x8C\x8E\x9F"));
    EXPECT_EQ("\xC0\xDE", NameCaseKey("\xE0\xFE"));
}

TEST(KSnamecase, OtherBytesMatchOnlyThemselves) {
    EXPECT_FALSE(SameNameNoCase("\xF7", "\xD7")); // division sign is no small multiplication sign
    EXPECT_FALSE(SameNameNoCase("\xDF", "SS"));   // sharp s stays
    EXPECT_FALSE(SameNameNoCase("@", "`"));       // 0x40 and 0x60 differ by 0x20 but are no letters
    EXPECT_FALSE(SameNameNoCase("[", "{"));
    EXPECT_FALSE(SameNameNoCase("key", "key "));
    EXPECT_EQ("\xB5\xDF"
              "1",
              NameCaseKey("\xB5\xDF"
                          "1"));
}

} // namespace
} // namespace ks
