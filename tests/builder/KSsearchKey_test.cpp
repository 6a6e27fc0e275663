#include "builder/writers/KSsearchKey.h"
#include "common/KScodepage.h"

#include <gtest/gtest.h>

#include <fstream>

#include <string>
#include <utility>
#include <vector>

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

// Names of the published examples of the coding, and spellings of one name
// that must share a key.
TEST(SurnameSoundKeys, CodesNamesAsTheyAreSaid) {
    const std::vector<std::pair<const char*, std::vector<std::string>>> cases = {
        {"peters", {"734000", "739400"}},
        {"peterson", {"734600", "739460"}},
        {"moskowitz", {"645740"}},
        {"moskovitz", {"645740"}},
        {"auerbach", {"097400", "097500"}},
        {"ohrbach", {"097400", "097500"}},
        {"lipshitz", {"874400"}},
        {"jackson", {"145460", "154600", "445460", "454600"}},
        {"meijer", {"619000", "649000"}},
        {"meyer", {"619000"}},
        {"jansen", {"164600", "464600"}},
        {"janssen", {"164600", "464600"}},
        {"schmidt", {"463000"}},
        {"smit", {"463000"}},
        {"a", {"000000"}},
        {"peterschmidtsen", {"734563", "734634", "739456", "739463"}}, // cut at six digits
        {"", {}},
        {"1815", {}},
    };
    for (const auto& [key, expected] : cases)
        EXPECT_EQ(expected, SurnameSoundKeys(key)) << key;
}

TEST(SurnameSoundKeys, BranchingStaysBounded) {
    const std::vector<std::string> keys = SurnameSoundKeys("cjcjcjcjcjcjcjcjcjcjcjcj");
    EXPECT_FALSE(keys.empty());
    EXPECT_LE(keys.size(), 32u);
    for (const std::string& k : keys)
        EXPECT_EQ(6u, k.size()) << k;
}

// The fold of a letter Windows-1252 holds is the same whether it comes as
// UTF-8 or, not being UTF-8, as that code page; other letters lose case and
// marks, other scripts stay as they are.
TEST(SearchFold, FoldsEveryScript) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(SearchFold(all), SearchFold(Windows1252ToUtf8(all)));
    // The table the browser's fold is checked against too.
    std::ifstream table(std::string(KS_TEST_SOURCE_DIR) + "tests/data/search-fold.tsv");
    int rows = 0;
    for (std::string line; std::getline(table, line);) {
        if (line.empty() || line[0] == '#') continue;
        const std::size_t tab = line.find('\t');
        EXPECT_EQ(line.substr(tab + 1), SearchFold(line.substr(0, tab))) << line;
        ++rows;
    }
    EXPECT_GE(rows, 10);
    EXPECT_EQ("ele", SearchFold("\xE9l\xE9")); // no UTF-8: read as Windows-1252
    EXPECT_EQ("walesa", SurnameSearchKey("van der Wa\xC5\x82\xC4\x99sa"));
    EXPECT_EQ((std::vector<std::string>{"jan", "\xCF\x83\xCE\xB1\xCF\x83"}),
              GivenSearchKeys("Jan J\xC3\xA1n \xCE\xA3\xCE\xAC\xCF\x82"));
}

} // namespace
} // namespace ks
