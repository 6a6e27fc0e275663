#include "import/KSimportWriter.h"

#include "import/KSgedcomReader.h"
#include "import/KSgendexReader.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ks {
namespace {

// A date of birth (or christening) is judged by the latest year it allows,
// whichever reader read it: in 2025, a person born after 1925 may be alive.
TEST(ImportWriter, LivingIsJudgedByTheLatestYearADateAllows) {
    const struct {
        const char* Birth;
        const char* Christening; // GEDCOM only
        bool Living;
    } cases[] = {
        {"BET 1900 AND 1990", "", true},
        {"AFT 1900", "", true},
        {"BET 1910 AND 2005", "", true},
        {"1925/26", "", true},
        {"@#DHEBREW@ 5686", "", true},
        {"@#DFRENCH R@ 134", "", true},
        {"1900-1990", "", true},
        {"EST 1920", "", false},
        {"@#DJULIAN@ 1925", "", false},
        {"", "BET 1900 AND 1990", true},
        {"1800", "BET 1900 AND 1990", false}, // the birth counts when it has a year
    };
    test::TempDir dir;
    std::string gedcom = "0 HEAD\n1 CHAR UTF-8\n", gendex;
    std::vector<bool> expected, expectedGendex;
    for (const auto& c : cases) {
        gedcom += "0 @I@ INDI\n1 NAME A /B/\n";
        if (*c.Birth) gedcom += "1 BIRT\n2 DATE " + std::string(c.Birth) + "\n";
        if (*c.Christening) gedcom += "1 CHR\n2 DATE " + std::string(c.Christening) + "\n";
        expected.push_back(c.Living);
        if (*c.Christening) continue;
        gendex += "p.htm|B|A /B/|" + std::string(c.Birth) + "||||\n";
        expectedGendex.push_back(c.Living);
    }
    test::WriteFileBytes(dir.file("a.ged"), gedcom + "0 TRLR\n");
    test::WriteFileBytes(dir.file("gendex.txt"), gendex);
    std::vector<bool> living, livingGendex;
    TKSimportReport report;
    ReadGedcom(
        dir.file("a.ged"), {}, [&](TKSimportPerson& p) { living.push_back(IsLiving(p, 2025)); },
        report);
    ReadGendex(
        dir.file("gendex.txt"),
        [&](TKSimportPerson& p) { livingGendex.push_back(IsLiving(p, 2025)); }, report);
    EXPECT_EQ(expected, living);
    EXPECT_EQ(expectedGendex, livingGendex);
}

} // namespace
} // namespace ks
