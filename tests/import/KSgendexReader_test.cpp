#include "import/KSgendexReader.h"

#include "common/KSerrors.h"
#include "support/ShippedTexts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ks {
namespace {

const std::string kData = std::string(KS_TEST_SOURCE_DIR) + "tests/data/import/";

struct Person {
    long line;
    std::string surname, prefix, given, birth, death;
    bool hasBirth, hasDeath;
    std::string link;
};

struct Fixture {
    std::string file;
    std::vector<Person> persons;
    std::vector<long> skipped;
    long replaced;
};

// Two writers' styles: Windows-1252 in capitals with /SURNAME/ markers and
// CR LF, and UTF-8 with a byte-order mark, mixed case, no markers and LF.
const Fixture kFixtures[] = {
    {"capitals/gendex.txt",
     {{2, "JANSEN", "", "Jan", "1780", "1840", true, true, "persons1.htm#I1"},
      {3, "VAN DEN BERG", "", "Piet", "1790", "1850", true, true, "persons1.htm#I2"},
      {4, "\xC5STR\xD6M", "", "\xC9milie jr.", "1650", "", true, false, "persons1.htm#I3"},
      {6, "", "", "Maria", "1990", "", true, false, "persons2.htm#I4"},
      {8, "DE VRIES", "", "", "", "", false, true, "persons2.htm#I5"},
      {11, "", "", "", "", "", false, false, "persons2.htm#I6"},
      {12, "D'ARTOIS", "", "Louis", "1650", "1701", true, true,
       "HTTPS://example.org/tree/p7.htm#I7"}},
     {7, 9, 10},
     0},
    {"tree/gendex.txt",
     {{1, "Bakker", "", "Jan", "1801", "1870", true, true, "persons.htm#p1"},
      {2, "Dvor\xE1k", "", "Anton\xEDn", "1841", "1904", true, true, "persons.htm#p2"},
      {3, "van der Meer", "", "Anna", "1799", "1861", true, true, "persons.htm#p3"},
      {4, "Lukasiewicz", "", "Jan", "1878", "1956", true, true, "persons.htm#p4"},
      {5, "Bakker", "", "Kees", "2001", "", true, false, "persons.htm#p5"},
      {6, "d'Artois", "", "Louis", "1650", "1701", true, true, "persons.htm#p6"},
      {7, "", "", "", "1700", "1750", true, true, "persons.htm#p7"},
      {8, "Visser", "", "Geert", "1760", "1822", true, true,
       "https://example.org/visser/persons.php?id=8&tak=2#p8"}},
     {},
     2},
};

TEST(GendexReader, ReadsEveryWritersForm) {
    for (const Fixture& fixture : kFixtures) {
        SCOPED_TRACE(fixture.file);
        std::vector<TKSimportPerson> read;
        TKSimportReport report;
        ReadGendex(
            kData + fixture.file, [&](TKSimportPerson& p) { read.push_back(p); }, report);
        ASSERT_EQ(fixture.persons.size(), read.size());
        for (std::size_t i = 0; i < read.size(); ++i) {
            const Person& want = fixture.persons[i];
            const TKSimportPerson& got = read[i];
            SCOPED_TRACE(want.line);
            EXPECT_EQ(want.line, got.Line);
            EXPECT_EQ(want.surname, got.Surname);
            EXPECT_EQ(want.prefix, got.Prefix);
            EXPECT_EQ(want.given, got.GivenNames);
            EXPECT_EQ(want.birth, got.BirthYear);
            EXPECT_EQ(want.death, got.DeathYear);
            EXPECT_EQ(want.hasBirth, got.HasBirthEvent);
            EXPECT_EQ(want.hasDeath, got.HasDeathEvent);
            EXPECT_EQ(want.link, got.Link);
        }
        EXPECT_EQ(static_cast<long>(fixture.persons.size()), report.PersonsRead);
        EXPECT_EQ(fixture.skipped, report.SkippedLines);
        EXPECT_EQ(fixture.replaced, report.LettersReplaced);
    }
}

TEST(GendexReader, YearsOfDates) {
    const std::pair<const char*, const char*> cases[] = {{"12 MAR 1780", "1780"},
                                                         {"ABT 1780", "1780"},
                                                         {"BET 1750 AND 1760", "1750"},
                                                         {"@#DJULIAN@ 1650", "1650"},
                                                         {"1780/81", "1780"},
                                                         {"AFT 5 JAN 980", "980"},
                                                         {"12 MAR", ""},
                                                         {"", ""},
                                                         {"12345", ""}};
    for (const auto& [date, year] : cases)
        EXPECT_EQ(year, YearOfDate(date)) << date;
}

// Lines end in CR LF, LF or CR alone, in any mix, also where a chunk of the
// file ends between CR and LF; a line that is no person is named.
TEST(GendexReader, EveryKindOfLineEndIsRead) {
    const std::string person = "p.htm#1|A|Jan /A/|1800||1850||";
    const std::string chunkEnd(kMaxGendexLineBytes - 1, '#'); // its CR ends the first chunk
    const struct {
        std::string Contents;
        std::vector<long> Persons; // their lines
        std::vector<long> Skipped;
    } cases[] = {
        {person + "\r" + person + "\r\r" + person + "\r", {1, 2, 4}, {}},
        {person + "\r\n" + person + "\n" + person + "\r" + person, {1, 2, 3, 4}, {}},
        {"#\rx|y\r\n" + person + "\n\r" + person + "\rtwo|fields\r", {3, 5}, {2, 6}},
        {chunkEnd + "\r\n" + person + "\r\n", {2}, {}},
    };
    test::TempDir dir;
    const std::string path = dir.file("gendex.txt");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Contents.substr(0, 60));
        test::WriteFileBytes(path, c.Contents);
        std::vector<long> lines;
        TKSimportReport report;
        ReadGendex(
            path,
            [&](TKSimportPerson& p) {
                EXPECT_EQ("Jan|1800|1850|p.htm#1",
                          p.GivenNames + "|" + p.BirthYear + "|" + p.DeathYear + "|" + p.Link);
                lines.push_back(p.Line);
            },
            report);
        EXPECT_EQ(c.Persons, lines);
        EXPECT_EQ(c.Skipped, report.SkippedLines);
    }
}

// A file is UTF-8 by the shape of its sequences: a letter beyond U+FFFF
// written as two surrogates is lost, the other letters are not.
TEST(GendexReader, ASurrogateLeavesTheFileUtf8) {
    test::TempDir dir;
    const std::string path = dir.file("gendex.txt");
    test::WriteFileBytes(path,
                         "p.htm|\xC3\x85S|\xC3\xA9mile \xED\xA0\xBC\xED\xBC\xB3 /\xC3\x85S/|||\n");
    std::string given;
    TKSimportReport report;
    ReadGendex(
        path, [&](TKSimportPerson& p) { given = p.Surname + "|" + p.GivenNames; }, report);
    EXPECT_EQ("\xC5S|\xE9mile ??????", given);
}

// Files that are no name list stop the import, naming the file and the line.
TEST(GendexReader, RefusesDamagedFiles) {
    const std::pair<std::string, std::string> cases[] = {
        {"p.htm#1|A|B /A/|1800||1850||\n" + std::string(kMaxGendexLineBytes + 1, 'x') + "\n",
         "line 2 is longer than 1 MB"},
        {"p.htm#1|A|B /A/|1800||1850||\n" + std::string(kMaxGendexLineBytes + 1, 'x'),
         "line 2 is longer than 1 MB"},
        {"<html>\n<body>\n", "no line of it is a GENDEX line"},
        {"", "no line of it is a GENDEX line"}};
    const test::ShippedTexts texts("GB");
    test::TempDir dir;
    for (const auto& [contents, reason] : cases) {
        const std::string path = dir.file("gendex.txt");
        test::WriteFileBytes(path, contents);
        TKSimportReport report;
        try {
            ReadGendex(
                path, [](TKSimportPerson&) {}, report);
            ADD_FAILURE() << "no error for " << reason;
        } catch (const EInOutError& e) {
            EXPECT_EQ(path, e.Path());
            EXPECT_NE(std::string::npos, e.Reason().find(reason)) << e.Reason();
        }
    }
}

} // namespace
} // namespace ks
