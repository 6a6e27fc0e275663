#include "import/KSimport.h"

#include "common/KSerrors.h"
#include "common/KSlockedFolder.h"
#include "index/KSretitle.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace ks {
namespace {

// Both front ends import through here: a link pattern that is no relative
// path or http(s) address is refused before anything is read or written,
// whatever the name list.
TEST(Import, LinkPatternsFollowTheRuleOfGendexPages) {
    const std::pair<const char*, bool> cases[] = {{"{id}.htm", true},
                                                  {"HTTPS://example.org/p?pid={id}", true},
                                                  {"javascript:x({id})", false},
                                                  {"//evil.example/{id}", false},
                                                  {"/tree/{id}.htm", false},
                                                  {"mailto:{given}@example.org", false}};
    test::TempDir dir;
    const std::string source = dir.file("a.ged");
    test::WriteFileBytes(source, "0 HEAD\n0 @I1@ INDI\n1 NAME A /B/\n1 DEAT Y\n0 TRLR\n");
    test::WriteFileBytes(dir.file("gendex.txt"), "p.htm|B|A /B/||||x|\n");
    for (const auto& [pattern, usable] : cases)
        for (const std::string& list : {source, dir.file("gendex.txt")}) {
            SCOPED_TRACE(pattern + (" " + list));
            TKSimportRequest request;
            request.Source = list, request.LinkPattern = pattern;
            std::filesystem::remove(ImportDocumentPath(request));
            if (usable) {
                EXPECT_NO_THROW(ImportNameList(request));
            } else {
                EXPECT_THROW(ImportNameList(request), EKSError);
                EXPECT_FALSE(std::filesystem::exists(ImportDocumentPath(request)));
            }
        }
}

// The folder of an import's run files is removed by the next import when
// the import that made it was killed; that of an import still going stays.
TEST(Import, RemovesTheRunFilesOfAKilledImport) {
    test::TempDir dir;
    const std::string temp = dir.file("temp");
    std::filesystem::create_directory(temp);
    std::filesystem::permissions(temp, std::filesystem::perms::owner_all);
    File held, killed;
    const std::string going = MakeLockedFolder(temp, "import-", held);
    const std::string left = MakeLockedFolder(temp, "import-", killed);
    test::WriteFileBytes(left + "persons-1.tmp", "A\tB\n0\n\n");
    killed.Close();
    test::WriteFileBytes(dir.file("gendex.txt"), "p.htm|B|A /B/||||x|\n");
    TKSimportRequest request;
    request.Source = dir.file("gendex.txt");
    request.TempFolder = temp;
    ImportNameList(request);
    EXPECT_TRUE(std::filesystem::exists(going));
    EXPECT_FALSE(std::filesystem::exists(left));
}

int ThisYear() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}

// The text with every "{N}" as the year N years back.
std::string YearsBack(std::string text) {
    for (std::size_t open = text.find('{'); open != std::string::npos; open = text.find('{')) {
        const std::size_t close = text.find('}', open);
        const int back = std::stoi(text.substr(open + 1, close - open - 1));
        text.replace(open, close + 1 - open, std::to_string(ThisYear() - back));
    }
    return text;
}

// Imports the GEDCOM text (UTF-8) as a.ged in dir and gives the document written.
std::string ImportGedcom(const test::TempDir& dir, const std::string& gedcom,
                         TKSimportRequest request, TKSimportReport* report = nullptr) {
    request.Source = dir.file("a.ged");
    request.Output = dir.file("a.htx");
    if (request.LinkPattern.empty()) request.LinkPattern = "p/{id}.htm";
    test::WriteFileBytes(request.Source, gedcom);
    std::filesystem::remove(request.Output);
    const TKSimportResult result = ImportNameList(request);
    if (report != nullptr) *report = result.Report;
    return test::ReadFileBytes(result.Document);
}

// A person may be alive unless the file, their own dates or those of a
// parent, spouse or child say otherwise; the margins of the relatives hold
// to the year; a person kept private is never written. The families come
// before their members, as some programs write them.
TEST(Import, TheLivingAreJudgedByTheirDatesAndTheirRelatives) {
    const struct {
        const char* Given;
        const char* Lines; // of the INDI record, years as {years back}
        bool At100, At50, Living;
        const char* Xref = nullptr; // when not Given
    } persons[] = {
        {"Died", "1 DEAT\n", true, true, true},
        {"Buried", "1 BURI Y\n", true, true, true},
        {"Cremated", "1 CREM\n", true, true, true},
        {"Young", "1 BIRT\n2 DATE {20}\n", false, false, true},
        {"Sixty", "1 BIRT\n2 DATE ABT {60}\n", false, true, true},
        {"Baptised", "1 BAPM\n2 DATE 3 MAY {101}\n", true, true, true},
        {"Resident", "1 RESI\n2 DATE {120}\n", true, true, true},
        {"Changed", "1 CHAN\n2 DATE {120}\n", false, false, true},
        {"BornLate", "1 BIRT\n2 DATE AFT {120}\n1 OCCU smith\n2 DATE {110}\n", true, true, true},
        {"Husband", "1 FAMS @F1@\n", true, true, true},
        {"Wife", "", true, true, true},
        {"ParentOld", "1 BIRT\n2 DATE {145}\n", true, true, true},
        {"ChildOfOld", "", true, true, true},
        {"ParentYounger", "1 BIRT\n2 DATE {144}\n", true, true, true},
        {"ChildOfYounger", "", false, true, true},
        {"OldSpouse", "1 BIRT\n2 DATE {140}\n", true, true, true},
        {"SpouseOfOld", "", true, true, true},
        {"OtherSpouse", "1 CHR\n2 DATE {139}\n", true, true, true},
        {"SpouseOfOther", "", false, true, true},
        {"ParentOfAdult", "", true, true, true},
        {"AdultChild", "1 BIRT\n2 DATE {85}\n", false, true, true},
        {"ParentOfYoung", "", false, true, true},
        {"YoungChild", "1 BIRT\n2 DATE {84}\n", false, true, true},
        {"Private", "1 RESN privacy\n1 DEAT\n", false, false, false},
        {"Confidential", "1 RESN CONFIDENTIAL, LOCKED\n1 DEAT\n", false, false, false},
        {"Locked", "1 RESN locked\n1 DEAT\n", true, true, true},
        // Two records of one identifier: the family names neither.
        {"TwinA", "", false, false, true, "Twin"},
        {"TwinB", "", false, false, true, "Twin"},
    };
    const std::string families = "0 @F1@ FAM\n1 HUSB @Husband@\n1 WIFE @Wife@\n1 MARR\n"
                                 "2 DATE {101}\n"
                                 "0 @F2@ FAM\n1 HUSB @ParentOld@\n1 CHIL @ChildOfOld@\n"
                                 "0 @F3@ FAM\n1 HUSB @ParentYounger@\n1 CHIL @ChildOfYounger@\n"
                                 "0 @F4@ FAM\n1 HUSB @OldSpouse@\n1 WIFE @SpouseOfOld@\n"
                                 "0 @F5@ FAM\n1 HUSB @OtherSpouse@\n1 WIFE @SpouseOfOther@\n"
                                 "0 @F6@ FAM\n1 WIFE @ParentOfAdult@\n1 CHIL @AdultChild@\n"
                                 "0 @F7@ FAM\n1 WIFE @ParentOfYoung@\n1 CHIL @YoungChild@\n"
                                 "0 @F8@ FAM\n1 HUSB @Unknown@\n1 CHIL @Young@\n"
                                 "0 @F9@ FAM\n1 HUSB @ParentOld@\n1 CHIL @Twin@\n";
    std::string gedcom = "0 HEAD\n1 CHAR UTF-8\n" + families;
    for (const auto& p : persons)
        gedcom += "0 @" + std::string(p.Xref ? p.Xref : p.Given) + "@ INDI\n1 NAME " + p.Given +
                  " /Test/\n" + p.Lines;
    gedcom = YearsBack(gedcom + "0 TRLR\n");
    test::TempDir dir;
    for (const int run : {100, 50, 0}) {
        SCOPED_TRACE(run);
        TKSimportRequest request;
        request.LivingAge = run == 0 ? 100 : run;
        request.IncludeLiving = run == 0;
        TKSimportReport report;
        const std::string document = ImportGedcom(dir, gedcom, request, &report);
        long written = 0;
        for (const auto& p : persons) {
            const bool expected = run == 100 ? p.At100 : run == 50 ? p.At50 : p.Living;
            written += expected;
            EXPECT_EQ(expected,
                      document.find("\tTest\t" + std::string(p.Given) + "\t") != std::string::npos)
                << p.Given;
        }
        EXPECT_EQ(written, report.PersonsWritten);
        EXPECT_EQ(2, report.LeftOutPrivate);
        EXPECT_EQ(static_cast<long>(std::size(persons)) - written - 2, report.LeftOutLiving);
        // Numbered 1, 2, ... in file order among the persons written.
        EXPECT_NE(std::string::npos, document.find("\tTest\tDied\t\t\t\t1\tp/Died.htm\r\n"));
    }
}

// The names and years an index line shows, as the file writes them.
TEST(Import, NamesAndDatesAsWritten) {
    const struct {
        const char* Lines; // of the INDI record
        const char* Line;  // the start of its index line
    } cases[] = {
        {"1 NAME Cosimo /de'_Medici/\n", "M\tMedici, de'\tCosimo\t\t\t\t"},
        {"1 NAME Jean /la_Fontaine/\n", "L\tla Fontaine\tJean\t\t\t\t"},
        {"1 NAME Anna /van_den_Berg/\n", "B\tBerg, van den\tAnna\t\t\t\t"},
        {"1 NAME Jan_Jacob /\xC3\x98stergaard/\n1 BIRT\n2 DATE 1687\n",
         "O\t\xC3\x98stergaard\tJan Jacob\t\t1687\t\t"},
        {"1 NAME Baptised /Date/\n1 BAPM\n2 DATE 3 MAY 1790\n", "D\tDate\tBaptised\t\t1790\t\t"},
        {"1 NAME Christened /Date/\n1 BAPM\n2 DATE 1790\n1 CHR\n2 DATE 1789\n",
         "D\tDate\tChristened\t\t1789\t\t"},
    };
    std::string gedcom = "0 HEAD\n1 CHAR UTF-8\n1 NOTE Eerste, tweede\n2 CONT derde, vierde\n";
    for (const auto& c : cases)
        gedcom += std::string("0 @I@ INDI\n") + c.Lines + "1 DEAT\n";
    test::TempDir dir;
    const std::string document = ImportGedcom(dir, gedcom + "0 TRLR\n", {});
    for (const auto& c : cases)
        EXPECT_NE(std::string::npos, document.find(std::string("\r\n") + c.Line)) << c.Line;
    EXPECT_NE(std::string::npos,
              document.find("\r\ndescription1=Eerste, tweede derde, vierde\r\n"));
    // The link keeps the name as the file spells it.
    TKSimportRequest request;
    request.LinkPattern = "p.htm?n={surname}";
    EXPECT_NE(std::string::npos,
              ImportGedcom(dir, gedcom + "0 TRLR\n", request).find("p.htm?n=de%27_Medici\r\n"));
}

// The tree's start page as given, relative links made from the document's
// folder; without one, an index.htm beside the file; a page that is no link
// is refused before anything is written.
TEST(Import, TheStartPageOpensTheTree) {
    const struct {
        const char* StartPage;
        const char* Output;  // "" beside the file
        const char* HtmFile; // nullptr: refused
    } cases[] = {
        {"", "", "index.htm"},
        {"start.htm", "", "start.htm"},
        {"  tree/start.htm#top ", "", "tree/start.htm#top"},
        {"start.htm", "docs/a.htx", "../start.htm"},
        {"https://example.org/tree/", "docs/a.htx", "https://example.org/tree/"},
        {"javascript:alert(1)", "", nullptr},
        {"/start.htm", "", nullptr},
        {"st\xC3\xA4rt.htm", "", nullptr},
    };
    test::TempDir dir;
    std::filesystem::create_directory(dir.file("docs"));
    test::WriteFileBytes(dir.file("a.ged"), "0 HEAD\n0 @I1@ INDI\n1 NAME A /B/\n1 DEAT\n0 TRLR\n");
    test::WriteFileBytes(dir.file("index.htm"), "<html></html>");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.StartPage);
        TKSimportRequest request;
        request.Source = dir.file("a.ged");
        request.Output = *c.Output ? dir.file(c.Output) : "";
        request.LinkPattern = "{id}.htm";
        request.StartPage = c.StartPage;
        const std::string document = ImportDocumentPath(request);
        std::filesystem::remove(document);
        if (c.HtmFile == nullptr) {
            EXPECT_THROW(ImportNameList(request), EKSError);
            EXPECT_FALSE(std::filesystem::exists(document));
            continue;
        }
        ImportNameList(request);
        EXPECT_NE(std::string::npos, test::ReadFileBytes(document).find(
                                         std::string("\r\nhtmfile=") + c.HtmFile + "\r\n"));
    }
}

// Each import of one name list does what the last one was asked, with what
// is given now on top: the title as retitled since, the description, the
// link pattern, the start page and the living options; Fresh takes nothing.
TEST(Import, AReimportKeepsWhatTheUserGave) {
    const struct {
        // title|description|link|start page|living age|include living; "-": unset
        const char* Given;
        bool Fresh;
        std::vector<std::string> Kept;
        const char* Holds; // each text the document holds, "|" between
        const char* Lacks;
    } imports[] = {
        {"Smit|Twee takken|t/{id}.htm|start.htm|60|0",
         false,
         {},
         "title=Smit|description1=Twee takken|t/I1.htm|htmfile=start.htm|link=t/{id}.htm",
         "Jong"},
        // Retitled in between; the living age given anew.
        {"-|-|-|-|50|-",
         false,
         {"title", "description", "link", "start-page", "living"},
         "title=Stamboom Smit|description1=Twee takken|t/I1.htm|htmfile=start.htm|livingage=50",
         "Jong"},
        {"-|-|-|-|-|1",
         false,
         {"title", "description", "link", "start-page", "living-age"},
         "title=Stamboom Smit|t/I2.htm|living=1",
         "index.htm"},
        // An empty start page is the default again; Fresh forgets the rest.
        {"-|-|-||-|-",
         false,
         {"title", "description", "link", "living", "living-age"},
         "title=Stamboom Smit|t/I2.htm|htmfile=index.htm",
         "start.htm"},
        {"-|-|p/{id}|-|-|-",
         true,
         {},
         "title=tree|p/I1|htmfile=index.htm",
         "Stamboom|Jong|living="},
    };
    test::TempDir dir;
    std::filesystem::create_directory(dir.file("tree"));
    const std::string source = dir.file("tree/a.ged");
    test::WriteFileBytes(dir.file("tree/index.htm"), "<html></html>");
    test::WriteFileBytes(source, YearsBack("0 HEAD\n0 @I1@ INDI\n1 NAME Piet /Smit/\n1 DEAT\n"
                                           "0 @I2@ INDI\n1 NAME Jong /Smit/\n1 BIRT\n2 DATE "
                                           "{40}\n0 TRLR\n"));
    const auto split = [](const std::string& text) {
        std::vector<std::string> parts;
        for (std::size_t from = 0, bar = 0; bar != std::string::npos; from = bar + 1)
            parts.push_back(text.substr(from, (bar = text.find('|', from)) - from));
        return parts;
    };
    int run = 0;
    for (const auto& c : imports) {
        SCOPED_TRACE(++run);
        const std::vector<std::string> given = split(c.Given);
        TKSimportRequest request;
        request.Source = source;
        request.Fresh = c.Fresh;
        const auto set = [](auto& field, const std::string& value, auto converted) {
            if (value != "-") field = converted(value);
        };
        const auto text = [](const std::string& v) { return v; };
        set(request.Title, given[0], text);
        set(request.Description, given[1], text);
        set(request.LinkPattern, given[2], text);
        set(request.StartPage, given[3], text);
        set(request.LivingAge, given[4], [](const std::string& v) { return std::stoi(v); });
        set(request.IncludeLiving, given[5], [](const std::string& v) { return v == "1"; });
        const TKSimportResult result = ImportNameList(request);
        EXPECT_EQ(c.Kept, result.Kept);
        const std::string document = test::ReadFileBytes(result.Document);
        for (const std::string& line : split(c.Holds))
            EXPECT_NE(std::string::npos, document.find(line)) << line;
        for (const std::string& line : split(c.Lacks))
            EXPECT_EQ(std::string::npos, document.find(line)) << line;
        if (run == 1) RetitleDocument(result.Document, "Stamboom Smit");
    }
}

} // namespace
} // namespace ks
