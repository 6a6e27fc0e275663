#include "cli/RunInProcess.h"
#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace ks {
namespace {

std::string Tree(const std::string& title, const std::string& lines) {
    return "[KESTRIN]\r\nversion=3.22\r\ntype=htx\r\nformat=1\r\n[userdata]\r\nusername=Ann\r\n"
           "[metadata]\r\ntitle=" +
           title + "\r\ncreated=01-02-2019\r\ndescription1=First line\r\n[indexdata]\r\n" + lines;
}

// Two trees, a one-template layout and an output folder to be made.
class BuildTool : public ::testing::Test {
protected:
    BuildTool() {
        fs::create_directories(dir.file("trees/a"));
        fs::create_directories(dir.file("layout"));
        WriteFileBytes(dir.file("trees/a/a.htx"),
                       Tree("Tree A", "B\tBos\tEva\t\t1901\t\t1\tp.htm#1\r\n"));
        WriteFileBytes(dir.file("trees/debug.htx"),
                       Tree("Tree D", "B\tBos\tEva\t\t1901\t\t2\tq.htm#2\r\n"
                                      "V\tVos\tJan\t\t\t\t3\tq.htm#3\r\n"));
        WriteLayout("askuser=indextype\r\n", "1=index, index.tpl, #PREFIX!.htm, Index\r\n");
        WriteFileBytes(dir.file("layout/index.tpl"), "<p>#TITLE$!</p>\r\n#INDEXDATA!\r\n");
    }

    void WriteLayout(const std::string& general, const std::string& templates) {
        WriteFileBytes(dir.file("layout/l.ksl"),
                       "[KESTRIN]\r\ntype=KSL\r\nformat=1\r\n[General]\r\nTitle=L\r\n" + general +
                           "[Templates]\r\n" + templates);
    }

    // In English: the tests read the tool's messages.
    Outcome Build(std::vector<std::string> args) {
        std::vector<std::string> all = {"build", "--language=GB", "-l", "layout/l.ksl",
                                        "-o",    "out",           "-b", "idx"};
        all.insert(all.end(), args.begin(), args.end());
        return RunInProcess(all, dir.path().string());
    }

    std::string Out(const std::string& name) { return ReadFileBytes(dir.file("out/" + name)); }

    test::TempDir dir;
};

TEST_F(BuildTool, BuildsTheIndexAndPrintsTheResult) {
    const Outcome r =
        Build({"--title", "Stamboom #3 - Bakker!", "trees/a/a.htx", "trees/debug.htx"});
    EXPECT_EQ(0, r.exitCode) << r.err;
    EXPECT_EQ(dir.file("out/idx.htm") + "\n", r.out);
    EXPECT_EQ("", r.err); // no terminal: no progress display
    const std::string page = Out("idx.htm");
    // A typed title is inserted as it is, never read as a placeholder.
    EXPECT_EQ(0u, page.find("<p>Stamboom #3 - Bakker!</p>\r\n")) << page;
    // "debug.htx" is a document, not the DEBUG switch: its references are there.
    EXPECT_NE(std::string::npos, page.find("../trees/q.htm#3"));
    EXPECT_NE(std::string::npos, page.find(">1</a> <a class=\"IdxR\" href=\"../trees/q.htm#2\""));
}

// Letters Windows-1252 lacks: a page in UTF-8 shows the texts as typed, a
// page in Windows-1252 the nearest letters; the layout's own text around
// them ("«", "»", "é") is converted either way.
TEST_F(BuildTool, APageInUtf8ShowsTheTextsAsTyped) {
    WriteFileBytes(dir.file("layout/index.tpl"),
                   "<p>#TITLE$(\xAB,\xBB)!<a href=\"#HOMEPAGE$!\">#EMAIL$!</a>\xE9</p>\r\n"
                   "#INDEXDATA!\r\n");
    const std::string title = "Drzewa \xC5\x81\xC3\xB3"
                              "d\xC5\xBA",
                      laka = "\xC5\x82\xC4\x85"
                             "ka.pl";
    const std::string email = "\xC5\xBC"
                              "aba@" +
                              laka;
    for (const auto& [charset, expected] :
         {std::pair<std::string, std::string>{"charset=UTF-8\r\n",
                                              "<p>\xC2\xAB" + title + "\xC2\xBB<a href=\"http://" +
                                                  laka + "\">" + email + "</a>\xC3\xA9</p>\r\n"},
          {"", "<p>\xAB"
               "Drzewa L\xF3"
               "dz\xBB<a href=\"http://laka.pl\">zaba@laka.pl</a>\xE9</p>\r\n"}}) {
        WriteLayout(charset + "askuser=title homepage email\r\n",
                    "1=index, index.tpl, #PREFIX!.htm, Index\r\n");
        const Outcome r =
            Build({"--title", title, "--homepage", laka, "--email", email, "trees/a/a.htx"});
        ASSERT_EQ(0, r.exitCode) << r.err;
        EXPECT_EQ(0u, Out("idx.htm").find(expected)) << charset << Out("idx.htm").substr(0, 200);
    }
}

// On a terminal the steps are drawn as bars on standard error and a
// successful run ends with a summary; --quiet draws nothing.
TEST_F(BuildTool, OnATerminalTheProgressAndASummaryAreShown) {
    test::RunOptions options;
    options.folder = dir.path().string();
    options.errIsTerminal = true;
    std::vector<std::string> args = {
        "build",         "--language=GB",  "-l", "layout/l.ksl", "-o", "out", "-b", "idx",
        "trees/a/a.htx", "trees/debug.htx"};
    Outcome r = RunInProcess(args, options);
    EXPECT_EQ(0, r.exitCode) << r.err;
    EXPECT_EQ(dir.file("out/idx.htm") + "\n", r.out);
    EXPECT_TRUE(r.err.starts_with("\r[")) << r.err;
    EXPECT_NE(std::string::npos, r.err.find("\r[" + std::string(30, '#') + "] ")) << r.err;
    // Eva Bos is in both trees: three index lines, two names, two letters
    // (B, V) and so two parts of the index, written as one file.
    EXPECT_TRUE(
        std::regex_search(r.err, std::regex("\n2 documents, 3 index lines, 2 merged entries, "
                                            "2 pages, 1 file written in [0-9.]+ s\n$")))
        << r.err;
    // The run's own summary comes before that line; the start page is on standard output.
    EXPECT_NE(std::string::npos, r.err.find("\nIndex lines read: 3\nEntries after folding "
                                            "duplicates: 2\nPages: "))
        << r.err;
    args.push_back("-q");
    r = RunInProcess(args, options);
    EXPECT_EQ(0, r.exitCode) << r.err;
    EXPECT_EQ("", r.err);
}

TEST_F(BuildTool, AnUnselectedDocumentKeepsItsPlaceButContributesNothing) {
    const Outcome r = Build({"--unselected", "trees/a/a.htx", "trees/debug.htx"});
    EXPECT_EQ(0, r.exitCode) << r.err;
    const std::string page = Out("idx.htm");
    EXPECT_EQ(std::string::npos, page.find("p.htm#1"));
    // The one selected document is reference number 1.
    EXPECT_NE(std::string::npos, page.find("title=\"Tree D\">1</a>"));
}

// A tree published elsewhere: the index, the table of trees and the search
// data link to it at its address; an http(s) link of a tree is kept as it is.
TEST_F(BuildTool, AWebAddressMakesTheLinksToItsTreeAbsolute) {
    WriteFileBytes(dir.file("trees/a/a.htx"),
                   Tree("Tree A", "B\tBos\tEva\t\t1901\t\t1\ta/p.htm#1\r\n"
                                  "V\tVos\tJan\t\t\t\t2\thttps://x.org/v?id=2\r\n"));
    const Outcome r = RunInProcess({"--language=GB", "build", "-q", "-l", "Modern", "-o", "out",
                                    "-b", "idx", "--url", "a.htx=https://ex.org/a&b", "--gendex",
                                    "trees/a/a.htx", "trees/debug.htx"},
                                   dir.path().string());
    ASSERT_EQ(0, r.exitCode) << r.err;
    std::string pages, search;
    for (const auto& item : fs::directory_iterator(dir.file("out")))
        if (item.path().filename().string().starts_with("idx"))
            (item.path().filename().string().starts_with("idx_search") ? search : pages) +=
                ReadFileBytes(item.path().string());
    for (const char* link :
         {"href=\"https://ex.org/a&amp;b/a/p.htm#1\"", "href=\"https://x.org/v?id=2\"",
          "href=\"../trees/q.htm#2\"", "KSVItd_href\" href=\"https://ex.org/a&amp;b/a/p.htm\""})
        EXPECT_NE(std::string::npos, pages.find(link)) << link;
    for (const char* link : {"\"folder\":\"https://ex.org/a&b/\"", "\"folder\":\"../trees/\"",
                             "a/p.htm#1", "https://x.org/v?id=2"})
        EXPECT_NE(std::string::npos, search.find(link)) << link;
    const std::string gendex = ReadFileBytes(dir.file("out/gendex.txt"));
    for (const char* line : {"https://ex.org/a&b/a/p.htm#1|BOS|", "https://x.org/v?id=2|VOS|"})
        EXPECT_NE(std::string::npos, gendex.find(line)) << gendex;
    EXPECT_EQ(std::string::npos, (pages + search + gendex).find("trees/a/"));
}

TEST_F(BuildTool, ReportsEveryProblemBeforeStarting) {
    WriteFileBytes(dir.file("notes.htx"), "just text\n");
    const Outcome r = Build({"--url", "nope.htx=https://ex.org/", "--url", "a.htx=ftp://ex.org/",
                             "trees/a/a.htx", "missing.htx", "notes.htx"});
    EXPECT_EQ(1, r.exitCode);
    EXPECT_NE(std::string::npos, r.err.find("nope.htx: --url names no document of this command"));
    EXPECT_NE(std::string::npos,
              r.err.find("trees/a/a.htx: the web address ftp://ex.org/ is no http or https"));
    EXPECT_NE(std::string::npos, r.err.find("missing.htx: no such index document")) << r.err;
    EXPECT_NE(std::string::npos, r.err.find("notes.htx: not an index document")) << r.err;
    EXPECT_FALSE(fs::exists(dir.file("out/idx.htm")));
}

TEST_F(BuildTool, UsageErrorsExitWithTwo) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {},
             {"--years", "--ignore-years", "trees/a/a.htx"},
             {"-i", "7", "trees/a/a.htx"},
             {"--frobnicate", "trees/a/a.htx"},
             {"-b", "../x", "trees/a/a.htx"},
             {"--url", "a.htx", "trees/a/a.htx"},
             {"--site-url", "ftp://x.org/", "trees/a/a.htx"},
             {"--site-url", "https://", "trees/a/a.htx"},
             {"--site-url", "https://a b", "trees/a/a.htx"},
             {"--site-url", "http://a.org/\"", "trees/a/a.htx"}}) {
        const Outcome r = Build(args);
        EXPECT_EQ(2, r.exitCode) << r.err;
        EXPECT_NE(std::string::npos, r.err.find("usage: kestrin-index build")) << r.err;
    }
}

// Years are shown unless asked not to, so that persons of one name tell
// apart; the option that asked for them is still taken.
TEST_F(BuildTool, YearsAreShownUnlessTurnedOff) {
    WriteFileBytes(dir.file("trees/h.htx"),
                   Tree("Hanover", "H\tHanover\tMary\t\t1723\t1772\t1\tp.htm#1\r\n"
                                   "H\tHanover\tMary\t\t1776\t1857\t2\tp.htm#2\r\n"
                                   "H\tHanover\tMary\t\t1868\t1953\t3\tp.htm#3\r\n"));
    // Folded without comparing years, the three Marys are one entry.
    struct Case {
        std::vector<std::string> args;
        bool shown;
        std::size_t entries;
    };
    const std::vector<Case> cases = {
        {{}, true, 3},
        {{"--no-years"}, false, 3},
        {{"--years", "--no-years"}, false, 3},
        {{"--no-years", "--years"}, true, 3},
        {{"--ignore-years"}, false, 1},
    };
    for (Case c : cases) {
        const std::string name = c.args.empty() ? "(none)" : c.args.front();
        c.args.push_back("trees/h.htx");
        const Outcome r = Build(c.args);
        ASSERT_EQ(0, r.exitCode) << r.err;
        const std::string page = Out("idx.htm");
        for (const char* years : {"(1723-1772)", "(1868-1953)"})
            EXPECT_EQ(c.shown, page.find(std::string("Mary<span class=\"YR\"> ") + years +
                                         "</span>") != std::string::npos)
                << name << page;
        std::size_t found = 0;
        for (std::size_t at = page.find(">Mary<"); at != std::string::npos;
             at = page.find(">Mary<", at + 1))
            ++found;
        EXPECT_EQ(c.entries, found) << name << page;
    }
}

// Names are shown as written in titles, headings, the row of keys and the
// menu; persons without a surname are a section named in words.
TEST_F(BuildTool, NamesShowAsWrittenAndPersonsWithoutASurnameHaveASectionNamedInWords) {
    WriteFileBytes(dir.file("trees/n.htx"),
                   Tree("Names", "B\tBurke_Roche\tFrances\t\t1885\t\t1\tp.htm#1\r\n"
                                 "L\tla_Fontaine\tJean\t\t1621\t\t2\tp.htm#2\r\n"
                                 "_\t_\tAlbert\t\t1819\t\t4\tp.htm#4\r\n"
                                 "_\t_\tVictoria\t\t1819\t\t3\tp.htm#3\r\n"));
    WriteLayout("askuser=indextype\r\n", "1=index, index.tpl, #PREFIX!#NR!.htm, Index\r\n");
    WriteFileBytes(dir.file("layout/index.tpl"),
                   "<title>Index #PAGE$!</title>\r\n#INDEXKEYS(index,,0,,distinct)!\r\n"
                   "#INDEXKEYS(index,,1,Choose)!\r\n#INDEXDATA!\r\n");
    struct Case {
        std::string division, page;
        std::vector<std::string> lines;
    };
    const std::string row =
        "<span class=\"KSVIkey\"><a href=\"idx3.htm\" title=\"No surname (2)\">";
    const std::vector<Case> cases = {
        {"3",
         "idx1.htm",
         {"<title>Index Burke_Roche</title>", "<span class=\"Idx1\">Burke_Roche</span>",
          "title=\"Burke_Roche (1)\">Burke_Roche</a>", "title=\"la_Fontaine (1)\">la_Fontaine</a>",
          ">Burke_Roche</option>", ">la_Fontaine</option>", row + "No surname</a>",
          ">No surname</option>"}},
        {"3",
         "idx3.htm",
         {"<title>Index No surname</title>", "<span class=\"Idx1 KSVInoSurname\">No surname</span>",
          ">Albert<", ">Victoria<"}},
        {"1", "idx2.htm", {"<title>Index L</title>", "<span class=\"Idx1\">la_Fontaine</span>"}},
        {"1",
         "idx3.htm",
         {"<title>Index No surname</title>", row + "No surname</a>",
          "<span class=\"Idx1 KSVInoSurname\">No surname</span>"}},
    };
    for (const Case& c : cases) {
        const Outcome r = Build({"-i", c.division, "trees/n.htx"});
        ASSERT_EQ(0, r.exitCode) << r.err;
        const std::string page = Out(c.page);
        for (const std::string& line : c.lines)
            EXPECT_NE(std::string::npos, page.find(line)) << c.division << " " << line << page;
        for (const char* never : {"Burke?Roche", "la?Fontaine", "Index ?", ">?<", "\"? ("})
            EXPECT_EQ(std::string::npos, page.find(never)) << c.division << " " << never << page;
    }
}

TEST_F(BuildTool, RefusesAnIndexDivisionTheLayoutDoesNotAskFor) {
    WriteLayout("", "1=index, index.tpl, #PREFIX!#NR!.htm, Index\r\n");
    Outcome r = Build({"-i", "2", "trees/a/a.htx"});
    EXPECT_EQ(1, r.exitCode);
    EXPECT_NE(std::string::npos, r.err.find("does not ask for an index division")) << r.err;
    WriteLayout("askuser=indextype\r\n", "1=index, index.tpl, #PREFIX!.htm, Index\r\n");
    r = Build({"-i", "2", "trees/a/a.htx"});
    EXPECT_EQ(1, r.exitCode);
    EXPECT_NE(std::string::npos, r.err.find("needs an output that is split")) << r.err;
}

TEST_F(BuildTool, MissingSourcesAndTemplateErrorsNameTheirFiles) {
    WriteLayout("", "1=index, index.tpl, #PREFIX!.htm, Index\r\n2=gone, gone.tpl, g.htm, Gone\r\n");
    Outcome r = Build({"trees/a/a.htx"});
    EXPECT_EQ(1, r.exitCode);
    EXPECT_EQ("", r.out); // no result offered unless the run succeeded
    EXPECT_NE(std::string::npos, r.err.find(dir.file("layout/gone.tpl"))) << r.err;
    EXPECT_TRUE(fs::exists(dir.file("out/idx.htm")));

    WriteFileBytes(dir.file("layout/index.tpl"), "one\r\n#1/0!\r\n");
    r = Build({"trees/a/a.htx"});
    EXPECT_EQ(1, r.exitCode);
    EXPECT_NE(std::string::npos, r.err.find("index.tpl:2: x/0 is not allowed")) << r.err;
}

TEST_F(BuildTool, SwitchNamesAsOptionValuesOrBareWordsAreNoSwitches) {
    fs::create_directories(dir.file("-odd"));
    fs::copy_file(dir.file("trees/a/a.htx"), dir.file("-odd/-a.htx"));
    const Outcome r = RunInProcess({"build", "-q", "-l", "layout/l.ksl", "-o", "temp", "-b", "idx",
                                    "--title", "Debug", "--", "-odd/-a.htx"},
                                   dir.path().string());
    EXPECT_EQ(0, r.exitCode) << r.err;
    EXPECT_EQ(0u, ReadFileBytes(dir.file("temp/idx.htm")).find("<p>Debug</p>"));

    // Without a dash no argument is a switch, whatever "=" it holds.
    fs::copy_file(dir.file("trees/a/a.htx"), dir.file("temp=1.htx"));
    fs::copy_file(dir.file("trees/debug.htx"), dir.file("language=x.htx"));
    const Outcome s = Build({"temp=1.htx", "language=x.htx"});
    EXPECT_EQ(0, s.exitCode) << s.err;
    const std::string page = Out("idx.htm");
    EXPECT_NE(std::string::npos, page.find("p.htm#1"));
    EXPECT_NE(std::string::npos, page.find("q.htm#3"));
}

TEST_F(BuildTool, NothingIsCreatedWhenTheChecksFail) {
    WriteLayout("", "1=index, index.tpl, ../#PREFIX!.htm, Index\r\n");
    const Outcome r = Build({"trees/a/a.htx", "missing.htx"});
    EXPECT_EQ(1, r.exitCode);
    EXPECT_NE(std::string::npos, r.err.find("missing.htx: no such index document")) << r.err;
    EXPECT_NE(std::string::npos, r.err.find("entry index: the output name ../idx.htm leaves"))
        << r.err;
    EXPECT_FALSE(fs::exists(dir.file("out")));
}

TEST_F(BuildTool, PathsArePrintedAsGivenAndUnreadableDocumentsSaySo) {
    const std::string name = "b\xC3\xA4ume.htx"; // UTF-8, as the system has it
    Outcome r = Build({"trees/a/a.htx", name});
    EXPECT_EQ(1, r.exitCode);
    EXPECT_NE(std::string::npos, r.err.find("kestrin-index: " + name + ": no such index document"))
        << r.err;

    fs::copy_file(dir.file("trees/a/a.htx"), dir.file(name));
    fs::permissions(dir.file(name), fs::perms::none);
    test::RunOptions options;
    options.folder = dir.path().string();
    options.withoutFileOverride = true;
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"build", "--language=GB", "-l", "layout/l.ksl", "-o", "out", "trees/a/a.htx", name},
             {"info", "--language=GB", name}}) {
        r = test::RunTool(args, options);
        if (r.exitCode == test::kCannotDropFileOverride) GTEST_SKIP() << "root keeps its rights";
        EXPECT_EQ(1, r.exitCode);
        EXPECT_NE(std::string::npos, r.err.find(name + ": cannot be read: Permission denied"))
            << r.err;
    }
}

TEST_F(BuildTool, ADocumentGivenTwiceIsAUsageError) {
    fs::create_symlink("a/a.htx", dir.file("trees/link.htx"));
    for (const std::string again : {"trees/a/../a/a.htx", "./trees/link.htx"}) {
        const Outcome r = Build({"trees/a/a.htx", "trees/debug.htx", "--unselected", again});
        EXPECT_EQ(2, r.exitCode) << r.err;
        EXPECT_NE(std::string::npos, r.err.find(again + ": the document is given twice")) << r.err;
    }
}

TEST_F(BuildTool, InfoDescribesADocument) {
    const Outcome r = RunInProcess({"info", "trees/debug.htx"}, dir.path().string());
    EXPECT_EQ(0, r.exitCode) << r.err;
    EXPECT_EQ(0u, r.out.find("Tree D\n"));
    EXPECT_NE(std::string::npos, r.out.find("KESTRIN gebruiker : Ann (0)")) << r.out;
    EXPECT_NE(std::string::npos, r.out.find("\n       indexregels : 2\n")) << r.out;
}

// A page of the user's where the index goes is moved to the trash, which the
// dry run announces and the run reports; a trash that cannot take it stops
// the run first; the page a run wrote is deleted by the next.
TEST_F(BuildTool, TheUsersPagesGoToTheTrashAndRecordedPagesAreDeleted) {
    test::TempDir data;
    const test::ScopedEnv trash("XDG_DATA_HOME", data.file("share"));
    fs::create_directories(dir.file("out"));
    WriteFileBytes(dir.file("out/index.htm"), "<p>my own page</p>\n");
    const auto build = [this](const std::string& more) {
        return RunInProcess({"build", "--language=GB", "-l", "layout/l.ksl", "-o", "out", "-b",
                             "index", more, "trees/a/a.htx"},
                            dir.path().string());
    };
    const std::string page = dir.file("out/index.htm");
    EXPECT_EQ("trash " + page + "\nwrite " + page + "\n", build("--dry-run").out);
    WriteFileBytes(data.file("share"), "a file where the data folder should be");
    EXPECT_EQ("kestrin-index: " + page + ": cannot be moved to the trash " +
                  data.file("share/Trash") + ": Not a directory\n",
              build("-q").err);
    EXPECT_EQ("<p>my own page</p>\n", Out("index.htm"));
    fs::remove(data.file("share"));
    EXPECT_EQ("kestrin-index: moved to the trash: " + page + "\n", build("-q").err);
    EXPECT_EQ("<p>my own page</p>\n", ReadFileBytes(data.file("share/Trash/files/index.htm")));
    EXPECT_NE(std::string::npos, ReadFileBytes(data.file("share/Trash/info/index.htm.trashinfo"))
                                     .find("\nPath=" + page + "\nDeletionDate="));
    EXPECT_EQ("delete " + page + "\nwrite " + page + "\n", build("--dry-run").out);
    EXPECT_EQ("", build("-q").err);
    EXPECT_EQ(1, std::distance(fs::directory_iterator(data.file("share/Trash/files")), {}));
}

// The record names a file the run wrote, but only that file is the run's: a
// file the user puts at its name later goes to the trash.
TEST_F(BuildTool, AFileOfTheUsersAtARecordedNameGoesToTheTrash) {
    test::TempDir data;
    const test::ScopedEnv trash("XDG_DATA_HOME", data.file("share"));
    const auto build = [this](const std::string& more) {
        return RunInProcess(
            {"build", "-l", "layout/l.ksl", "-o", "out", "-b", "index", more, "trees/a/a.htx"},
            dir.path().string());
    };
    ASSERT_EQ(0, build("-q").exitCode);
    fs::remove(dir.file("out/index.htm")); // the hidden record stays
    WriteFileBytes(dir.file("out/index.htm"), "MINE\n");
    const std::string page = dir.file("out/index.htm");
    EXPECT_EQ("trash " + page + "\nwrite " + page + "\n", build("--dry-run").out);
    ASSERT_EQ(0, build("-q").exitCode);
    EXPECT_EQ("MINE\n", ReadFileBytes(data.file("share/Trash/files/index.htm")));
}

TEST_F(BuildTool, ADryRunListsWhatWouldGoAndComeAndChangesNothing) {
    fs::create_directories(dir.file("out"));
    WriteFileBytes(dir.file("out/idx-old.htm"), "old");
    WriteFileBytes(dir.file("out/mine.htm"), "mine");
    std::string old =
        Tree("Tree O", "V\tVos\tJan\t\t\t\t3\tq.htm#3\r\nB\tBos\tEva\t\t\t\t2\tq.htm#2\r\n");
    old.replace(old.find("version=3.22"), 12, "version=3.0");
    WriteFileBytes(dir.file("trees/old.htx"), old);
    const Outcome r = Build({"--dry-run", "trees/a/a.htx", "trees/old.htx"});
    EXPECT_EQ(0, r.exitCode) << r.err;
    EXPECT_EQ("trash " + dir.file("out/idx-old.htm") + "\nwrite " + dir.file("out/idx.htm") + "\n",
              r.out);
    EXPECT_EQ("old", Out("idx-old.htm"));
    EXPECT_FALSE(fs::exists(dir.file("out/idx.htm")));
    EXPECT_FALSE(fs::exists(dir.file("trees/old.new-htx"))); // no sorted copy beside it

    // Without an output folder nothing is made, and a refused layout fails as a run would.
    fs::remove_all(dir.file("out"));
    EXPECT_EQ(0, Build({"--dry-run", "trees/a/a.htx"}).exitCode);
    EXPECT_FALSE(fs::exists(dir.file("out")));
    WriteLayout("", "1=index, index.tpl, *.htm, Index\r\n");
    const Outcome refused = Build({"--dry-run", "trees/a/a.htx"});
    EXPECT_EQ(1, refused.exitCode);
    EXPECT_NE(std::string::npos, refused.err.find("wildcard")) << refused.err;
}

// The sample trees inside the site's folder: gendex.txt has a line for each
// person of each tree, links made absolute under the site's address or
// relative ones that reach the trees' pages; sitemap.xml names every page
// once. A later run without the export clears the old one.
TEST_F(BuildTool, ExportsGendexAndSitemapOfTheSampleTrees) {
    std::size_t persons = 0;
    std::vector<std::string> documents;
    fs::create_directories(dir.file("site/trees"));
    for (const std::string tree : {"jansen", "deboer", "smit"}) {
        fs::copy(std::string(KS_TEST_SOURCE_DIR) + "samples/" + tree,
                 dir.file("site/trees/" + tree));
        const std::string text =
            ReadFileBytes(dir.file("site/trees/" + tree + "/" + tree + ".htx"));
        const std::size_t data = text.find("[indexdata]\r\n") + 13;
        persons += static_cast<std::size_t>(std::count(text.begin() + data, text.end(), '\t')) / 7;
        documents.push_back("site/trees/" + tree + "/" + tree + ".htx");
    }
    const auto build = [&](const std::string& out, std::vector<std::string> more) {
        std::vector<std::string> args = {"build", "--language=GB", "-q", "-o", out};
        args.insert(args.end(), more.begin(), more.end());
        args.insert(args.end(), documents.begin(), documents.end());
        return RunInProcess(args, dir.path().string());
    };
    const std::string site = "https://example.org/gen/index/";
    for (const std::string& address : {site.substr(0, site.size() - 1), std::string()}) {
        const std::string out = address.empty() ? "site/local" : "site/index";
        std::vector<std::string> more = {"--gendex"};
        if (!address.empty()) more.insert(more.end(), {"--site-url", address});
        Outcome r = build(out, more);
        ASSERT_EQ(0, r.exitCode) << r.err;
        std::istringstream lines(ReadFileBytes(dir.file(out + "/gendex.txt")));
        std::size_t count = 0;
        for (std::string line; std::getline(lines, line); ++count) {
            std::vector<std::string> fields;
            for (std::size_t from = 0, bar; (bar = line.find('|', from)) != std::string::npos;
                 from = bar + 1)
                fields.push_back(line.substr(from, bar - from));
            ASSERT_EQ(7u, fields.size()) << line;
            ASSERT_TRUE(line.ends_with('|')) << line;
            std::string upper = fields[1];
            for (char& c : upper)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            EXPECT_EQ(upper, fields[1]) << line;
            // "given /prefix SURNAME/"
            EXPECT_TRUE(fields[2].ends_with(fields[1] + "/")) << line;
            EXPECT_LT(fields[2].find('/'), fields[2].size() - fields[1].size() - 1) << line;
            std::string page = fields[0].substr(0, fields[0].find('#'));
            if (!address.empty()) {
                ASSERT_TRUE(page.starts_with("https://example.org/gen/trees/")) << line;
                page = "../trees/" + page.substr(30);
            }
            EXPECT_TRUE(fs::is_regular_file(dir.file(out + "/" + page))) << line;
        }
        EXPECT_EQ(persons, count);
        const std::string prefixed =
            "persons1.htm#p22|\xC3\x85STR\xC3\x96M|Cornelis Jacob /van den "
            "\xC3\x85STR\xC3\x96M/|1896||||\n";
        EXPECT_NE(std::string::npos,
                  ReadFileBytes(dir.file(out + "/gendex.txt"))
                      .find((address.empty() ? "../trees/deboer/"
                                             : site.substr(0, 24) + "trees/deboer/") +
                            prefixed));
        EXPECT_EQ(!address.empty(), fs::exists(dir.file(out + "/sitemap.xml")));
    }

    // Every page of the output once, and nothing else.
    std::set<std::string> pages;
    for (const auto& file : fs::recursive_directory_iterator(dir.file("site/index"))) {
        const std::string name = fs::relative(file.path(), dir.file("site/index")).string();
        if (name.ends_with(".htm") || name.ends_with(".html")) pages.insert(site + name);
    }
    const std::string sitemap = ReadFileBytes(dir.file("site/index/sitemap.xml"));
    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<urlset "
                             "xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\">\n";
    ASSERT_TRUE(sitemap.starts_with(head) && sitemap.ends_with("</urlset>\n")) << sitemap;
    const std::regex url(
        "<url><loc>([^<>&\"' ]+)</loc><lastmod>\\d{4}-\\d\\d-\\d\\d</lastmod></url>");
    std::istringstream body(sitemap.substr(head.size()));
    std::set<std::string> listed;
    std::size_t entries = 0;
    for (std::string line; std::getline(body, line) && line != "</urlset>"; ++entries) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(line, match, url)) << line;
        listed.insert(match[1]);
    }
    EXPECT_FALSE(pages.empty());
    EXPECT_EQ(pages, listed);
    EXPECT_EQ(pages.size(), entries);

    // Recorded, listed by a dry run, and cleared by a run that exports nothing.
    const std::string record = ReadFileBytes(dir.file("site/index/.kestrin-written"));
    EXPECT_NE(std::string::npos, record.find("\tgendex.txt\n"));
    EXPECT_NE(std::string::npos, record.find("\tsitemap.xml\n"));
    const std::string dry = build("site/index", {"--dry-run", "--gendex", "--site-url", site}).out;
    EXPECT_NE(std::string::npos, dry.find("write " + dir.file("site/index/gendex.txt") + "\n"));
    EXPECT_NE(std::string::npos, dry.find("write " + dir.file("site/index/sitemap.xml") + "\n"));
    EXPECT_EQ(0, build("site/index", {}).exitCode);
    EXPECT_FALSE(fs::exists(dir.file("site/index/gendex.txt")));
    EXPECT_FALSE(fs::exists(dir.file("site/index/sitemap.xml")));
}

// A link that may not be one leaves its line out; "|" and "/" in a name
// cannot break the fields; a layout's own file of the name is not overwritten.
TEST_F(BuildTool, GendexKeepsItsFieldsAndOverwritesNothing) {
    WriteFileBytes(dir.file("trees/h.htx"),
                   Tree("Tree H", "B\tBos|x, van\tEva/Jo\t\t1901\t1950\t1\tp q.htm#1\r\n"
                                  "V\tVos\tJan\t\t\t\t2\tjavascript:alert(1)\r\n"));
    EXPECT_EQ(0, Build({"--gendex", "trees/h.htx"}).exitCode);
    EXPECT_EQ("../trees/p%20q.htm#1|BOS X|Eva Jo /van BOS X/|1901||1950||\n", Out("gendex.txt"));
    WriteLayout("", "1=index, index.tpl, #PREFIX!.htm, Index\r\n2=g, index.tpl, gendex.txt, G\r\n");
    const Outcome r = Build({"--gendex", "trees/h.htx"});
    EXPECT_EQ(1, r.exitCode);
    EXPECT_NE(std::string::npos, r.err.find("gendex.txt: an entry of the layout already writes"))
        << r.err;
    EXPECT_EQ("../trees/p%20q.htm#1|BOS X|Eva Jo /van BOS X/|1901||1950||\n", Out("gendex.txt"));
}

} // namespace
} // namespace ks
