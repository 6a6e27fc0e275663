#include "import/KSnameParticles.h"

#include "common/KScodepage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ks {
namespace {

struct Case {
    std::string surname, prefix; // as read
    std::vector<std::string> languages;
    std::string wantSurname, wantPrefix;
};

TEST(NameParticles, SplitsLongestParticleAndCasesCapitals) {
    const Case cases[] = {
        // the longest particle first, letter case aside
        {"van den Berg", "", {}, "Berg", "van den"},
        {"VAN DEN BERG", "", {}, "Berg", "van den"},
        {"van den BERG", "", {}, "Berg", "van den"},
        {"van der Meer", "", {}, "Meer", "van der"},
        {"de la Fontaine", "", {}, "Fontaine", "de la"},
        {"von Goethe", "", {}, "Goethe", "von"},
        {"'t Hart", "", {}, "Hart", "'t"},
        {"d'Artois", "", {}, "Artois", "d'"},
        {"D\x92"
         "ARTOIS",
         "",
         {},
         "Artois",
         "d'"},
        {"Van Buren", "", {}, "Buren", "Van"}, // mixed case stays as written
        {"  ter  Horst ", "", {}, "Horst", "ter"},
        // no particle: part of a word, nothing behind it, no name behind it
        {"Vanderbilt", "", {}, "Vanderbilt", ""},
        {"De", "", {}, "De", ""},
        {"van ", "", {}, "van", ""},
        {"van 3", "", {}, "van 3", ""},
        {"Devries", "", {}, "Devries", ""},
        // per language
        {"ter Horst", "", {"fr"}, "ter Horst", ""},
        {"ter Horst", "", {"nl"}, "Horst", "ter"},
        {"von Goethe", "", {"nl", "fr"}, "von Goethe", ""},
        {"du Pont", "", {"fr"}, "Pont", "du"},
        // capitals get their usual case
        {"\xC5STR\xD6M", "", {}, "\xC5str\xF6m", ""},
        {"O'BRIEN-SMIT", "", {}, "O'Brien-Smit", ""},
        {"X", "", {}, "X", ""},
        {"McDonald", "", {}, "McDonald", ""},
        // pieces the source gives win
        {"BERG", "VAN DEN", {}, "Berg", "van den"},
        {"de Vries", "ter", {}, "de Vries", "ter"},
        {"", "", {}, "", ""},
    };
    for (const Case& c : cases) {
        TKSimportPerson person;
        person.Surname = c.surname;
        person.Prefix = c.prefix;
        FinishSurname(person, c.languages);
        EXPECT_EQ(c.wantSurname, person.Surname) << c.surname;
        EXPECT_EQ(c.wantPrefix, person.Prefix) << c.surname;
        // The UTF-8 form treats a name Windows-1252 holds alike.
        TKSimportPerson utf8;
        utf8.Surname = Windows1252ToUtf8(c.surname);
        utf8.Prefix = Windows1252ToUtf8(c.prefix);
        FinishSurname(utf8, c.languages, TKSimportCharset::Utf8);
        EXPECT_EQ(Windows1252ToUtf8(c.wantSurname), utf8.Surname) << c.surname;
        EXPECT_EQ(Windows1252ToUtf8(c.wantPrefix), utf8.Prefix) << c.surname;
    }
}

// Letters Windows-1252 lacks, in UTF-8: capitals get their usual case by
// their own letters, particles are split before them.
TEST(NameParticles, Utf8NamesOfOtherLetters) {
    const Case cases[] = {
        {"DVO\xC5\x98\xC3\x81K", "", {}, "Dvo\xC5\x99\xC3\xA1k", ""},
        {"VAN DER WA\xC5\x81\xC4\x98SA", "", {}, "Wa\xC5\x82\xC4\x99sa", "van der"},
        {"D\xE2\x80\x99\xC5\x81UKASZ", "", {}, "\xC5\x81ukasz", "d'"},
        {"Wa\xC5\x82\xC4\x99sa", "", {}, "Wa\xC5\x82\xC4\x99sa", ""},
        // Greek: the final sigma; Hebrew has no capitals
        {"\xCE\xA0\xCE\x91\xCE\xA0\xCE\x91\xCE\xA3 \xCE\xA3\xCE\x91\xCE\xA3",
         "",
         {},
         "\xCE\xA0\xCE\xB1\xCF\x80\xCE\xB1\xCF\x82 \xCE\xA3\xCE\xB1\xCF\x82",
         ""},
        {"van \xD7\x9B\xD7\x94\xD7\x9F", "", {}, "\xD7\x9B\xD7\x94\xD7\x9F", "van"},
    };
    for (const Case& c : cases) {
        TKSimportPerson person;
        person.Surname = c.surname;
        person.Prefix = c.prefix;
        FinishSurname(person, c.languages, TKSimportCharset::Utf8);
        EXPECT_EQ(c.wantSurname, person.Surname) << c.surname;
        EXPECT_EQ(c.wantPrefix, person.Prefix) << c.surname;
    }
}

} // namespace
} // namespace ks
