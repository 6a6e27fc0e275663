#include "import/KSnameParticles.h"

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
    }
}

} // namespace
} // namespace ks
