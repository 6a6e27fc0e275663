#include "import/KSimportWriter.h"

#include "import/KSgedcomReader.h"
#include "import/KSgendexReader.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
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
        {"@#DJULIAN@ 1920", "", false},
        {"@#DJULIAN@ 1925", "", true}, // its last day is 13 January 1926
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

// Persons with many equal names (told apart by their numbers), some left
// out as living, with links relative and absolute.
std::vector<TKSimportPerson> ManyPersons(int count) {
    const char* const surnames[] = {"Berg", "Aa", "\xC9mile", "_", "berg", "Zwart"};
    const char* const given[] = {"Jan", "Anna", "", "jan"};
    std::vector<TKSimportPerson> persons;
    for (int i = 0; i < count; ++i) {
        TKSimportPerson p;
        p.Surname = surnames[i % 6];
        p.Prefix = i % 5 == 0 ? "van den" : "";
        p.GivenNames = given[i % 4];
        p.BirthYear = std::to_string(1800 + i % 250);
        p.DeathYear = i % 3 == 0 ? "" : std::to_string(1900 + i % 7);
        p.Link = (i % 2 ? "p.htm#" : "https://example.org/#") + std::to_string(i);
        persons.push_back(p);
    }
    return persons;
}

// However little memory it sorts in, an import writes the same document; its
// run files are in a folder of its own inside the temporary folder, which goes
// with the writer.
TEST(ImportWriter, SortingThroughRunFilesWritesTheSameDocument) {
    test::TempDir dir;
    const std::string temp = dir.file("temp");
    std::filesystem::create_directory(temp);
    const std::vector<TKSimportPerson> persons = ManyPersons(900);
    TKSimportHeader header;
    header.Title = "Titel";
    std::string expected;
    // the whole import in memory; about 20 run files; one per person, so
    // many that they are merged in passes
    for (const std::size_t buffer : {std::size_t{1} << 20, std::size_t{4000}, std::size_t{1}}) {
        SCOPED_TRACE(buffer);
        TKSimportReport report;
        const std::string path = dir.file("out.htx");
        {
            TKSimportWriter writer(2025, false, "../", {temp, buffer});
            for (const TKSimportPerson& person : persons)
                writer.Add(person, report);
            EXPECT_EQ(expected.empty(), std::filesystem::is_empty(temp));
            writer.Write(path, header, report);
        }
        EXPECT_TRUE(std::filesystem::is_empty(temp)) << "the run files and their folder are gone";
        // Every third has no death; of those, the ones born after 1925 are left out.
        EXPECT_EQ(768, report.PersonsWritten);
        if (expected.empty()) expected = test::ReadFileBytes(path);
        EXPECT_EQ(expected, test::ReadFileBytes(path));
    }
}

// A UTF-8 document: control characters dropped (C0 and C1), a name cut at
// its 255th letter however many bytes they take, the index letter of the
// letter the name is built on or of its own script.
TEST(ImportWriter, Utf8NamesAreCleanedAndCutByLetters) {
    std::string l300, l255;
    for (int i = 0; i < 300; ++i)
        l300 += "\xC5\x82";
    for (int i = 0; i < 255; ++i)
        l255 += "\xC5\x82";
    const struct {
        std::string surname, prefix, given, line;
    } cases[] = {
        {"Wa\x01\xC5\x82\xC4\x99sa", "", "Lech\xC2\x85", "W\tWa\xC5\x82\xC4\x99sa\tLech\t"},
        {"\xC5\x81ukasz", "", l300, "L\t\xC5\x81ukasz\t" + l255 + "\t"},
        {"\xCE\xA0\xCE\xB1\xCF\x80\xCE\xB1\xCF\x82", "", "Nikos",
         "\xCE\xA0\t\xCE\xA0\xCE\xB1\xCF"
         "\x80\xCE\xB1\xCF\x82\tNikos\t"},
        {"Berg", "van den", " _ ", "B\tBerg, van den\t_\t"},
    };
    test::TempDir dir;
    TKSimportReport report;
    TKSimportWriter writer(2025, true, "", {}, kDefaultLivingAge, TKSimportCharset::Utf8);
    for (const auto& c : cases) {
        TKSimportPerson person;
        person.Surname = c.surname;
        person.Prefix = c.prefix;
        person.GivenNames = c.given;
        person.Link = "p.htm";
        writer.Add(person, report);
    }
    TKSimportHeader header;
    header.Title = "Stamboom \xC5\x81\x07";
    writer.Write(dir.file("out.htx"), header, report);
    const std::string document = test::ReadFileBytes(dir.file("out.htx"));
    EXPECT_NE(std::string::npos, document.find("\r\nformat=1\r\ncharset=utf-8\r\n"));
    EXPECT_NE(std::string::npos, document.find("\r\ntitle=Stamboom \xC5\x81\r\n"));
    for (const auto& c : cases)
        EXPECT_NE(std::string::npos, document.find("\r\n" + c.line)) << c.line << document;
}

} // namespace
} // namespace ks
