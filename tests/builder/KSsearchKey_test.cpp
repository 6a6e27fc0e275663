#include "builder/KSsearchKey.h"

#include <gtest/gtest.h>

#include <string>

namespace ks {
namespace {

TEST(SearchFold, DropsAccentsCaseAndEverythingButLettersAndDigits) {
    EXPECT_EQ("muller", SearchFold("M\xFCller"));
    EXPECT_EQ("muller", SearchFold("M\xDCLLER"));
    EXPECT_EQ("obrien", SearchFold("O'Brien"));
    EXPECT_EQ("smithjones2", SearchFold("Smith-Jones 2"));
    EXPECT_EQ("", SearchFold("?"));
    EXPECT_EQ("", SearchFold(" \t.,;:!&()[]{}<>\"'/\\|_-+*=~^`@#$%"));
}

TEST(SearchFold, SpellsOutLigaturesAndTheSharpS) {
    EXPECT_EQ("aebelholt", SearchFold("\xC6"
                                      "belholt"));
    EXPECT_EQ("weiss", SearchFold("Wei\xDF"));
    EXPECT_EQ("thorsson", SearchFold("\xDEorsson"));
    EXPECT_EQ("oeuvreoe", SearchFold("\x8C"
                                     "uvre \x9C"));
    EXPECT_EQ("ostergaard", SearchFold("\xD8stergaard"));
    EXPECT_EQ("sz", SearchFold("\x8A\x8E"));
    EXPECT_EQ("szyf", SearchFold("\x9A\x9E\x9F\x83"));
}

TEST(SearchFold, EveryByteOfTheUpperHalf) {
    // 128..191: only f with hook, S/Z caron, OE and Y diaeresis are letters.
    std::string high;
    for (int c = 128; c < 192; ++c)
        high += SearchFold(std::string(1, static_cast<char>(c)));
    EXPECT_EQ("fsoezsoezy", high);
    // 192..223 and 224..255: the same letters in capitals and in small ones;
    // the multiplication and division signs are no letters.
    const char* const kLetters[32] = {"a", "a", "a", "a", "a", "a", "ae", "c", "e",  "e", "e",
                                      "e", "i", "i", "i", "i", "d", "n",  "o", "o",  "o", "o",
                                      "o", "",  "o", "u", "u", "u", "u",  "y", "th", "ss"};
    for (int c = 192; c < 256; ++c) {
        std::string expected = kLetters[(c - 192) % 32];
        if (c == 255) expected = "y"; // y diaeresis, where the capitals have the sharp s
        EXPECT_EQ(expected, SearchFold(std::string(1, static_cast<char>(c)))) << c;
    }
}

TEST(SurnameSearchKey, LeavesOutThePrefixWordsInFront) {
    EXPECT_EQ("berg", SurnameSearchKey("Berg"));
    EXPECT_EQ("berg", SurnameSearchKey("van den Berg"));
    EXPECT_EQ("berg", SurnameSearchKey("Van Den  Berg "));
    EXPECT_EQ("berg", SurnameSearchKey("v.d. Berg"));
    EXPECT_EQ("hooft", SurnameSearchKey("'t Hooft"));
    EXPECT_EQ("fontaine", SurnameSearchKey("La Fontaine"));
    // The last word stays, even when it is a prefix word.
    EXPECT_EQ("van", SurnameSearchKey("Van"));
    EXPECT_EQ("la", SurnameSearchKey("de la"));
    // Other words are part of the surname.
    EXPECT_EQ("grootwassink", SurnameSearchKey("Groot Wassink"));
    EXPECT_EQ("vanderbilt", SurnameSearchKey("Vanderbilt"));
    EXPECT_EQ("", SurnameSearchKey("?"));
    EXPECT_EQ("", SurnameSearchKey(""));
}

} // namespace
} // namespace ks
