#include "import/KSgedcomReader.h"

#include "common/KSerrors.h"
#include "import/KSgedcomDate.h"
#include "support/ShippedTexts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ks {
namespace {

using test::TempDir;
using test::WriteFileBytes;

// Surname|Prefix|Given|birth|death|events|Id|Link@line; events is "BD" with
// lower case for an event the person lacks.
std::string Describe(const TKSimportPerson& p) {
    return p.Surname + "|" + p.Prefix + "|" + p.GivenNames + "|" + p.BirthYear + "|" + p.DeathYear +
           "|" + (p.HasBirthEvent ? "B" : "b") + (p.HasDeathEvent ? "D" : "d") + "|" + p.Id + "|" +
           p.Link + "@" + std::to_string(p.Line);
}

std::vector<std::string> Read(const std::string& path, const std::string& pattern,
                              TKSimportReport& report) {
    std::vector<std::string> persons;
    ReadGedcom(
        path, TKSgedcomOptions{pattern},
        [&](TKSimportPerson& p) { persons.push_back(Describe(p)); }, report);
    return persons;
}

struct FixtureCase {
    const char* File;
    const char* Pattern;
    std::vector<std::string> Persons;
    long Replaced;
    std::vector<long> Skipped;
    bool MissingTrailer;
};

TEST(GedcomReader, ReadsPersonsOfEveryVersionAndEncoding) {
    const std::vector<FixtureCase> cases = {
        // ANSEL marks before their letter; CONC inside a name; the particle
        // left of SURN; Julian, Hebrew and interpreted dates; first NAME only.
        // "12 MAR 1780/81" is 1781 New Style, Julian 25 DEC 1700 is 5 JAN 1701.
        {"ansel-551.ged",
         "",
         {"M\xFCller||Jos\xE9|1781||BD|I1|@8", "Cech|van den|Anna Maria|1701|1750|BD|I2|@13",
          "Kowalski||Pawel|1780|1801|BD|I3|@24"},
         2,
         {29},
         false},
        // Byte-order mark; French Republican and Hebrew years; given names
        // after the surname; a year before the common era is no year.
        {"utf16le-555.ged",
         "",
         {"Erdos||Zolt\xE1n|1800|1850|BD|P1|@7", "\xD8ster||Kirsten|1779||BD|P2|@13"},
         1,
         {},
         false},
        // Decomposed marks composed; SPFX and SURN; a birth without a date
        // falls back to the christening; "@@"; a record without a name.
        {"utf8-70.ged",
         "https://example.org/p?pid={id}&n={surname}&g={given}",
         {"Fontaine|de la|Ren\xE9 R\xF6"
          "bert|1792|1850|BD|X1|https://example.org/"
          "p?pid=X1&n=de%20la%20Fontaine&g=Rene%CC%81%20Ro%CC%88bert@7",
          "Nowak||@Lukasz|||Bd|X2|https://example.org/p?pid=X2&n=Nowak&g=%40%C5%81ukasz@16",
          "|||||bd|X3|https://example.org/p?pid=X3&n=&g=@20"},
         1,
         {},
         false},
        // Windows-1252 with CR line ends, a control character in a name, a
        // line without a level, no TRLR.
        {"ansi-551.ged",
         "{id}.html",
         {"Ha\xEB"
          "ck||Ren\xE9"
          "e|1699|1760|BD|I7|I7.html@5"},
         0,
         {9},
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.File);
        TKSimportReport report;
        EXPECT_EQ(c.Persons, Read(std::string(KS_TEST_SOURCE_DIR) + "tests/data/import/" + c.File,
                                  c.Pattern, report));
        EXPECT_EQ(static_cast<long>(c.Persons.size()), report.PersonsRead);
        EXPECT_EQ(c.Replaced, report.LettersReplaced);
        EXPECT_EQ(c.Skipped, report.SkippedLines);
        EXPECT_EQ(c.MissingTrailer, report.MissingTrailer);
        // The header's submitter (the one it names) and note, for the document's header.
        if (std::string(c.File) == "utf8-70.ged") {
            EXPECT_EQ("Anna Visser-\xD8rsted", report.SourceUser);
            EXPECT_EQ("Stamboom van de familie Fontaine uit Lyon", report.SourceDescription);
        }
    }
}

// The year shown is the first the date names; whether a person may be
// alive is judged by the latest year it allows.
TEST(GedcomReader, DatesGiveTheYearTheyFallIn) {
    constexpr int kOpen = kYearWithoutEnd;
    const struct {
        const char* Date;
        const char* Year;
        int Latest;
    } cases[] = {
        {"12 MAR 1780", "1780", 1780},
        {"abt 1780", "1780", 1780},
        // The last day of Julian 1710 is 11 January 1711.
        {"BET @#DJULIAN@ 1700 AND 1710", "1700", 1711},
        {"TO 1790", "1790", 1790},
        {"1699/00", "1700", 1700},
        {"INT 1801 (circa 1800)", "1801", 1801},
        {"(in the war)", "", 0},
        {"MAR 1780", "1780", 1780},
        {"@#DHEBREW@ 1 TSH 5541", "1780", 1780},
        {"HEBREW 10 ELL 5540", "1780", 1780},
        {"@#DFRENCH R@ 3 COMP 2", "1794", 1794},
        {"FRENCH_R 1 VEND 1", "1792", 1792},
        {"@#DROMAN@ 753", "", 0},
        {"44 B.C.", "", 0},
        {"12-03-1780", "", 1780},
        {"99999999999", "", 0},
        {"BET 1900 AND 1990", "1900", 1990},
        {"AFT 1900", "1900", kOpen},
        {"BET 1900", "1900", kOpen},
        {"FROM 1900 TO 1950", "1900", 1950},
        {"BEF 1950", "1950", 1950},
        {"@#DJULIAN@ 1721/22", "1722", 1722},
        {"FEB 1925/26", "1926", 1926},
        // 5686 runs from September 1925 to September 1926, Tevet of it from
        // December to January; year VIII from September 1799.
        {"@#DHEBREW@ 5686", "1925", 1926},
        {"@#DHEBREW@ TVT 5686", "1925", 1926},
        {"@#DFRENCH R@ 8", "1799", 1800},
        {"1900-1990", "", 1990},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.Year, GedcomDateYear(c.Date)) << c.Date;
        EXPECT_EQ(c.Latest, GedcomDateLatestYear(c.Date)) << c.Date;
    }
}

TEST(GedcomReader, BadInputGivesAnErrorNamingFileAndLine) {
    const std::string head = "0 HEAD\n1 CHAR UTF-8\n";
    std::string conc = head + "0 @I1@ INDI\n1 NAME a\n";
    for (int k = 0; k < 100001; ++k)
        conc += "2 CONC a\n";
    std::string skipped;
    for (int k = 0; k < 100001; ++k)
        skipped += "x\n";
    // Parts of the message after the file's name, in either language of a run.
    const struct {
        std::string Bytes;
        std::string Pattern;
        std::string Reason;
        std::string Dutch;
    } cases[] = {
        {"0 HEAD\n1 CHAR KOI8-R\n0 TRLR\n", "", "line 2: unknown character set \"KOI8-R\"",
         "regel 2: onbekende tekenset \"KOI8-R\""},
        {head + "0 @I1@ INDI\n1 NAME Jan /Smit", "", "line 4: the file ends in the middle",
         "regel 4: het bestand eindigt midden in een regel"},
        {head + "0 @I1@ INDI\n1 NAME " + std::string(1024 * 1024 + 1, 'x') + "\n0 TRLR\n", "",
         "line 4: the line is longer than 1 MiB", "regel 4: de regel is langer dan 1 MiB"},
        {std::string(3 * 1024 * 1024, 'x'), "", "line 1: the line is longer than 1 MiB",
         "regel 1: de regel is langer"},
        {conc, "", "line 100005: more than 100000 CONC/CONT lines",
         "regel 100005: meer dan 100000 CONC/CONT-regels voor \xE9\xE9n waarde"},
        {"PK\x03\x04 not a family file", "", "line 1: no GEDCOM file",
         "regel 1: geen GEDCOM-bestand: het begint niet met 0 HEAD"},
        {head + skipped, "", "line 100003: more than 100000 lines cannot be read",
         "regel 100003: meer dan 100000 regels kunnen niet gelezen worden"},
        {"", "", "no GEDCOM file: it is empty", "geen GEDCOM-bestand: het is leeg"},
        {head + "0 TRLR\n", "x{name}", "unknown field {name}", "onbekend veld {name}"},
        {head + "0 TRLR\n", "https://x.org/a b?id={id}", "must be written as %XX",
         "moeten als %XX geschreven worden"},
        {head + "0 TRLR\n", "javascript:alert({id})", "only a relative path or an http",
         "alleen een relatief pad of een http"},
    };
    TempDir dir;
    const std::string path = dir.file("bad.ged");
    for (const char* language : {"GB", "NL"}) {
        const test::ShippedTexts texts(language);
        for (const auto& c : cases) {
            const std::string& reason = language == std::string("GB") ? c.Reason : c.Dutch;
            SCOPED_TRACE(reason);
            WriteFileBytes(path, c.Bytes);
            TKSimportReport report;
            try {
                Read(path, c.Pattern, report);
                ADD_FAILURE() << "no error";
            } catch (const EKSError& e) {
                EXPECT_NE(std::string::npos, std::string(e.what()).find(reason)) << e.what();
                if (c.Pattern.empty()) {
                    EXPECT_EQ(path, e.Path());
                }
            }
        }
        TKSimportReport report;
        EXPECT_THROW(Read(dir.file("missing.ged"), "", report), EInOutError);
    }
}

} // namespace
} // namespace ks
