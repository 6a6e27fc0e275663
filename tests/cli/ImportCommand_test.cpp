#include "cli/RunInProcess.h"
#include "cli/RunTool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace ks {
namespace {

// A published tree with its gendex.txt (UTF-8, links to persons.htm), copied into a folder of the
// test's own.
class ImportTool : public ::testing::Test {
protected:
    ImportTool() {
        fs::create_directories(dir.file("docs"));
        fs::create_directories(dir.file("trees"));
        fs::copy(std::string(KS_TEST_SOURCE_DIR) + "tests/data/import/tree", dir.file("trees/tree"),
                 fs::copy_options::recursive);
    }

    // In English: the tests read the tool's messages.
    Outcome Run(const std::string& command, std::vector<std::string> args) {
        args.insert(args.begin(), {command, "--language=GB"});
        return RunInProcess(args, dir.path().string());
    }

    std::string IndexData(const std::string& document) {
        const std::string text = ReadFileBytes(dir.file(document));
        const auto start = text.find("[indexdata]\r\n");
        return start == std::string::npos ? "(none)" : text.substr(start + 13);
    }

    test::TempDir dir;
};

TEST_F(ImportTool, ImportedTreeBuildsIntoASiteWhoseLinksResolve) {
    const Outcome imported =
        Run("import", {"-o", "docs/tree.htx", "--charset", "windows-1252", "--title",
                       "Stamboom Bakker", "--user", "Ann", "trees/tree/gendex.txt"});
    ASSERT_EQ(0, imported.exitCode) << imported.err;
    EXPECT_EQ("docs/tree.htx\n", imported.out);
    EXPECT_EQ("kestrin-index: trees/tree/gendex.txt: 8 persons read, 6 written, 1 left out as "
              "possibly living, 0 as private, 1 without a name, 2 letters replaced\n",
              imported.err);
    // In the builder's order, the particle split off, the relative links
    // leading from the document's folder to the tree's.
    EXPECT_EQ("A\tArtois, d'\tLouis\t\t1650\t1701\t5\t../trees/tree/persons.htm#p6\r\n"
              "B\tBakker\tJan\t\t1801\t1870\t1\t../trees/tree/persons.htm#p1\r\n"
              "D\tDvor\xE1k\tAnton\xEDn\t\t1841\t1904\t2\t../trees/tree/persons.htm#p2\r\n"
              "L\tLukasiewicz\tJan\t\t1878\t1956\t4\t../trees/tree/persons.htm#p4\r\n"
              "M\tMeer, van der\tAnna\t\t1799\t1861\t3\t../trees/tree/persons.htm#p3\r\n"
              "V\tVisser\tGeert\t\t1760\t1822\t6\thttps://example.org/visser/"
              "persons.php?id=8&tak=2#p8\r\n",
              IndexData("docs/tree.htx"));
    const std::string header = ReadFileBytes(dir.file("docs/tree.htx"));
    EXPECT_NE(std::string::npos, header.find("\r\nusername=Ann\r\n"));
    EXPECT_NE(std::string::npos, header.find("\r\ntitle=Stamboom Bakker\r\n"));

    const Outcome built = Run("build", {"-q", "-o", "site", "docs/tree.htx"});
    ASSERT_EQ(0, built.exitCode) << built.err;
    test::RunOptions checker;
    checker.folder = dir.path().string();
    checker.program = KS_CHECK_LINKS_PATH;
    const Outcome links = test::RunTool({"--persons", "site"}, checker);
    EXPECT_EQ(0, links.exitCode) << links.out << links.err;
    // An absolute address is linked as it stands (escaped for HTML only).
    std::string pages;
    for (const auto& page : fs::directory_iterator(dir.file("site")))
        if (page.path().extension() == ".htm") pages += ReadFileBytes(page.path().string());
    EXPECT_NE(std::string::npos,
              pages.find("href=\"https://example.org/visser/persons.php?id=8&amp;tak=2#p8\""));
}

struct Refusal {
    const char* name;
    std::string existing; // at docs/tree.htx before the run ("" = none)
    std::vector<std::string> args;
    int exitCode;
    std::string inErr;
    std::string document;   // the document looked at afterwards
    std::string inDocument; // "" = it must be as it was (or still missing)
};

TEST_F(ImportTool, WritesOnlyWhereItMayAndReportsWhy) {
    const std::string kGedcom = std::string(KS_TEST_SOURCE_DIR) + "tests/data/import/utf8-70.ged";
    const std::string oldDocument = "[KESTRIN]\r\ntype=htx\r\nformat=1\r\n[indexdata]"
                                    "\r\nV\tVos\tEva\t\t1900\t1960\t1\tx.htm\r\n";
    const std::string keptDocument = "[KESTRIN]\r\ntype=htx\r\nformat=1\r\n[import]\r\n"
                                     "link=r/{id}.htm\r\n[indexdata]\r\n";
    const Refusal cases[] = {
        {"another file at the name",
         "my notes\n",
         {"-o", "docs/tree.htx", "trees/tree/gendex.txt"},
         1,
         "docs/tree.htx: exists and is no index document",
         "docs/tree.htx",
         ""},
        {"an index document is replaced",
         oldDocument,
         {"-o", "docs/tree.htx", "trees/tree/gendex.txt"},
         0,
         "6 written",
         "docs/tree.htx",
         "B\tBakker\tJan\t"},
        {"--living keeps everyone",
         "",
         {"--living", "-o", "docs", "trees/tree/gendex.txt"},
         0,
         "7 written",
         "docs/gendex.htx",
         "B\tBakker\tKees\t\t2001\t\t5\t../trees/tree/persons"},
        {"beside the file by default",
         "",
         {"trees/tree/gendex.txt"},
         0,
         "6 written",
         "trees/tree/gendex.htx",
         "\t1\tpersons.htm#p1\r\n"},
        {"no name list",
         "",
         {"-o", "docs/tree.htx", "trees/tree/persons.htm"},
         1,
         "trees/tree/persons.htm: no line of it is a GENDEX line",
         "docs/tree.htx",
         ""},
        {"a missing file",
         "",
         {"-o", "docs/tree.htx", "trees/none.txt"},
         1,
         "trees/none.txt: cannot be read",
         "docs/tree.htx",
         ""},
        {"a GEDCOM file with a link pattern",
         "",
         {"-o", "docs/tree.htx", "--link", "https://example.org/t?pid={id}", kGedcom},
         0,
         "1 written",
         "docs/tree.htx",
         "\tFontaine, de la\tRen\xC3\xA9 R\xC3\xB6"
         "bert\t\t1792\t1850\t1\thttps://example.org/t?pid=X1\r\n"},
        {"a link pattern on a host for examples is used with a warning",
         "",
         {"-o", "docs/tree.htx", "--link", "https://Stamboom.TEST./t?pid={id}", kGedcom},
         0,
         std::string("kestrin-index: ") + kGedcom +
             ": link pattern https://Stamboom.TEST./t?pid={id} leads to an example address: "
             "the links of these persons do not work\n",
         "docs/tree.htx",
         "\t1\thttps://Stamboom.TEST./t?pid=X1\r\n"},
        {"a GEDCOM file without one",
         "",
         {"-o", "docs/tree.htx", kGedcom},
         2,
         "give --link",
         "docs/tree.htx",
         ""},
        {"a GEDCOM file imported again: the link pattern of the last import",
         keptDocument,
         {"-o", "docs/tree.htx", kGedcom},
         0,
         ": as in the last import: --link (--fresh takes none of it)\n",
         "docs/tree.htx",
         "/import/r/X1.htm\r\n"},
        {"--fresh takes nothing from the last import",
         keptDocument,
         {"--fresh", "-o", "docs/tree.htx", kGedcom},
         2,
         "give --link",
         "docs/tree.htx",
         ""},
        {"a named pipe, never waited on",
         "",
         {"-o", "docs/tree.htx", "trees/pipe.ged"},
         1,
         "trees/pipe.ged: not a file",
         "docs/tree.htx",
         ""},
        {"two files",
         "",
         {"trees/tree/gendex.txt", "trees/tree/persons.htm"},
         2,
         "one file at a time",
         "docs/tree.htx",
         ""},
        {"a character set of neither kind",
         "",
         {"--charset", "latin-1", "-o", "docs/tree.htx", "trees/tree/gendex.txt"},
         2,
         "--charset must be utf-8 or windows-1252, not latin-1",
         "docs/tree.htx",
         ""},
        {"a living age that is no number of years",
         "",
         {"--living-age", "0", "-o", "docs/tree.htx", "trees/tree/gendex.txt"},
         2,
         "--living-age must be a number of years from 1 to 999, not 0",
         "docs/tree.htx",
         ""},
        {"a living age of 10 years keeps one born in 2001",
         "",
         {"--living-age", "10", "-o", "docs", "trees/tree/gendex.txt"},
         0,
         "7 written",
         "docs/gendex.htx",
         "B\tBakker\tKees\t\t2001\t"},
        {"a start page that is no link",
         "",
         {"--start-page", "javascript:go()", "-o", "docs/tree.htx", "trees/tree/gendex.txt"},
         2,
         "--start-page: start page \"javascript:go()\": only a relative path",
         "docs/tree.htx",
         ""},
        {"a link pattern of another scheme",
         "",
         {"-o", "docs/tree.htx", "--link", "javascript:alert({id})", kGedcom},
         2,
         "import: --link: link pattern \"javascript:alert({id})\": only a relative path or an "
         "http or https address can be a link\n",
         "docs/tree.htx",
         ""},
        {"CR line ends, and the line that is no person named",
         "",
         {"-o", "docs/tree.htx", "--charset", "windows-1252", "trees/cr/gendex.txt"},
         0,
         "8 persons read, 6 written, 1 left out as possibly living, 0 as private, 1 without a "
         "name, 2 letters "
         "replaced\nkestrin-index: trees/cr/gendex.txt: 1 line skipped: 4\n",
         "docs/tree.htx",
         "B\tBakker\tJan\t"},
    };
    ASSERT_EQ(0, ::mkfifo(dir.file("trees/pipe.ged").c_str(), 0600));
    std::string cr = ReadFileBytes(dir.file("trees/tree/gendex.txt"));
    std::replace(cr.begin(), cr.end(), '\n', '\r');
    cr.insert(cr.find("persons.htm#p4"), "only|two\r");
    fs::create_directories(dir.file("trees/cr"));
    WriteFileBytes(dir.file("trees/cr/gendex.txt"), cr);
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* made : {"docs/tree.htx", "docs/gendex.htx", "trees/tree/gendex.htx"})
            fs::remove(dir.file(made));
        if (!c.existing.empty()) WriteFileBytes(dir.file("docs/tree.htx"), c.existing);
        const Outcome r = Run("import", c.args);
        EXPECT_EQ(c.exitCode, r.exitCode) << r.err;
        EXPECT_NE(std::string::npos, r.err.find(c.inErr)) << r.err;
        if (!c.inDocument.empty())
            EXPECT_NE(std::string::npos, IndexData(c.document).find(c.inDocument))
                << IndexData(c.document);
        else if (c.existing.empty())
            EXPECT_FALSE(fs::exists(dir.file(c.document)));
        else
            EXPECT_EQ(c.existing, ReadFileBytes(dir.file(c.document)));
        EXPECT_TRUE(fs::is_empty(dir.file("docs")) || c.exitCode == 0 || !c.existing.empty())
            << "a temporary file was left behind";
    }
    // A GEDCOM file's submitter fills a missing --user; --description wins over its note.
    fs::remove(dir.file("docs/tree.htx"));
    const Outcome own = Run(
        "import", {"-o", "docs/tree.htx", "--link", "{id}.htm", "--description", "Eigen", kGedcom});
    ASSERT_EQ(0, own.exitCode);
    EXPECT_EQ(std::string::npos, own.err.find("example")) << own.err;
    const std::string header = ReadFileBytes(dir.file("docs/tree.htx"));
    EXPECT_NE(std::string::npos, header.find("username=Anna Visser-\xC3\x98rsted\r\n")) << header;
    EXPECT_NE(std::string::npos, header.find("description1=Eigen\r\n")) << header;
}

// Names of other scripts and letters Windows-1252 lacks, from a UTF-8 GEDCOM
// file (Dvořák with its caron written apart) and a UTF-8 gendex.txt: kept as
// written in a UTF-8 document, in the order of the sort key (Wałęsa before
// Walter, other scripts after Latin letters); the nearest letters, counted,
// with --charset windows-1252, which the next import keeps.
TEST_F(ImportTool, NamesOfEveryScriptKeptAsWritten) {
    const std::string dvorak = "Dvo\xC5\x99\xC3\xA1k";
    const std::string walesa = "Wa\xC5\x82\xC4\x99sa";
    const std::string greek = "\xCE\xA0\xCE\xB1\xCF\x80\xCE\xB1\xCE\xB4\xCF\x8C\xCF\x80\xCE\xBF"
                              "\xCF\x85\xCE\xBB\xCE\xBF\xCF\x82";
    const std::string persons[][3] = {{"Anton\xC3\xADn", dvorak, "1841 1904"},
                                      {"Lech", walesa, "1843 1900"},
                                      {"Jan", "Walter", "1800 1870"},
                                      {"Nikos", greek, "1850 1920"}};
    std::string gedcom = "0 HEAD\n1 CHAR UTF-8\n";
    std::string gendex;
    for (int i = 0; i < 4; ++i) {
        const std::string& surname = persons[i][1];
        const std::string spelt =
            i == 0 ? "Dvor\xCC\x8C\xC3\xA1k" : surname; // r and a combining caron
        const std::string born = persons[i][2].substr(0, 4), died = persons[i][2].substr(5);
        gedcom += "0 @I" + std::to_string(i + 1) + "@ INDI\n1 NAME " + persons[i][0] + " /" +
                  spelt + "/\n1 BIRT\n2 DATE " + born + "\n1 DEAT\n2 DATE " + died + "\n";
        gendex += "I" + std::to_string(i + 1) + ".htm|" + surname + "|" + persons[i][0] + " /" +
                  surname + "/|" + born + "||" + died + "||\r\n";
    }
    fs::create_directories(dir.file("u"));
    WriteFileBytes(dir.file("u/tree.ged"), gedcom + "0 TRLR\n");
    WriteFileBytes(dir.file("u/gendex.txt"), gendex);
    const std::string utf8Lines = "D\t" + dvorak + "\tAnton\xC3\xADn\t\t1841\t1904\t1\tI1.htm\r\n" +
                                  "W\t" + walesa + "\tLech\t\t1843\t1900\t2\tI2.htm\r\n" +
                                  "W\tWalter\tJan\t\t1800\t1870\t3\tI3.htm\r\n" + "\xCE\xA0\t" +
                                  greek + "\tNikos\t\t1850\t1920\t4\tI4.htm\r\n";
    for (const char* source : {"u/tree.ged", "u/gendex.txt"}) {
        SCOPED_TRACE(source);
        const std::string document = fs::path(source).replace_extension(".htx").string();
        const Outcome utf8 = Run("import", {"--link", "{id}.htm", source});
        ASSERT_EQ(0, utf8.exitCode) << utf8.err;
        EXPECT_NE(std::string::npos, utf8.err.find("4 written")) << utf8.err;
        EXPECT_NE(std::string::npos, utf8.err.find(", 0 letters replaced")) << utf8.err;
        EXPECT_NE(std::string::npos,
                  ReadFileBytes(dir.file(document)).find("\r\nformat=1\r\ncharset=utf-8\r\n"));
        EXPECT_EQ(utf8Lines, IndexData(document));

        const Outcome old = Run("import", {"--charset", "windows-1252", source});
        ASSERT_EQ(0, old.exitCode) << old.err;
        EXPECT_NE(std::string::npos, old.err.find(", 15 letters replaced")) << old.err;
        const std::string oldText = ReadFileBytes(dir.file(document));
        EXPECT_EQ(std::string::npos, oldText.find("charset=utf-8"));
        EXPECT_NE(std::string::npos, oldText.find("\r\ncharset=windows-1252\r\n"));
        EXPECT_EQ(0u,
                  IndexData(document).find("D\tDvor\xE1k\tAnton\xEDn\t\t1841\t1904\t1\tI1.htm\r\n"
                                           "W\tWalesa\tLech\t\t1843\t1900\t2\tI2.htm\r\n"
                                           "W\tWalter\tJan\t\t1800\t1870\t3\tI3.htm\r\n"))
            << IndexData(document);

        const Outcome again = Run("import", {source});
        EXPECT_NE(std::string::npos, again.err.find("--charset")) << again.err;
        EXPECT_EQ(oldText.substr(oldText.find("[indexdata]")),
                  ReadFileBytes(dir.file(document)).substr(oldText.find("[indexdata]")));
    }
    // A Windows-1252 gendex.txt gives a UTF-8 document too; a title typed in
    // that code page is read as it, and a decomposed accent joined.
    fs::create_directories(dir.file("w"));
    WriteFileBytes(dir.file("w/gendex.txt"),
                   "p.htm|M\xDCLLER|J\xF6rg /M\xFCller/|1801||1870||\r\n");
    ASSERT_EQ(
        0,
        Run("import", {"--title", "Gro\xDF", "--user", "Rene\xCC\x81", "w/gendex.txt"}).exitCode);
    const std::string header = ReadFileBytes(dir.file("w/gendex.htx"));
    EXPECT_NE(std::string::npos, header.find("\r\ntitle=Gro\xC3\x9F\r\n")) << header;
    EXPECT_NE(std::string::npos, header.find("\r\nusername=Ren\xC3\xA9\r\n")) << header;
    EXPECT_EQ("M\tM\xC3\xBCller\tJ\xC3\xB6rg\t\t1801\t1870\t1\tp.htm\r\n",
              IndexData("w/gendex.htx"));
}

} // namespace
} // namespace ks
