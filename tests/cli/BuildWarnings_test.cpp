// What build and info say of pages that grow too large, of documents that
// look like UTF-8, and the index type auto.
#include "cli/RunInProcess.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

namespace ks {
namespace {

std::string Tree(const std::string& title, const std::string& lines) {
    return "[KESTRIN]\r\nversion=3.22\r\ntype=htx\r\nformat=1\r\n[metadata]\r\ntitle=" + title +
           "\r\n[indexdata]\r\n" + lines;
}

// A Windows-1252 tree and one saved as UTF-8 by some other program; a layout
// with an index split over pages and a start page.
class BuildWarnings : public ::testing::Test {
protected:
    BuildWarnings() {
        fs::create_directories(dir.file("layout"));
        WriteFileBytes(dir.file("ansi.htx"),
                       Tree("M\xFCller", "M\tM\xFCller\tJan\t\t\t\t1\tp.htm#1\r\n"
                                         "S\tSmit\tEva\t\t\t\t2\tp.htm#2\r\n"));
        WriteFileBytes(dir.file("utf8.htx"),
                       Tree("M\xC3\xBCller", "M\tM\xC3\xBCller\tJan\t\t\t\t1\tq.htm#1\r\n"));
        WriteLayout("");
        WriteFileBytes(dir.file("layout/index.tpl"), "<title>#TITLE$!</title>\r\n#INDEXDATA!\r\n");
        WriteFileBytes(dir.file("layout/start.tpl"), "<p>#TITLE$!</p>\r\n");
    }

    void WriteLayout(const std::string& general) {
        WriteFileBytes(dir.file("layout/l.ksl"),
                       "[KESTRIN]\r\ntype=KSL\r\nformat=1\r\n[General]\r\naskuser=indextype\r\n" +
                           general +
                           "[Templates]\r\n1=start, start.tpl, #PREFIX!.htm, Start\r\n"
                           "2=index, index.tpl, #PREFIX!#NR!.htm, Index\r\n");
    }

    // In English: the tests read the tool's messages.
    Outcome Build(std::vector<std::string> args) {
        std::vector<std::string> all = {"build", "--language=GB", "-l", "layout/l.ksl",
                                        "-o",    "out",           "-b", "idx"};
        all.insert(all.end(), args.begin(), args.end());
        return RunInProcess(all, dir.path().string());
    }

    test::TempDir dir;
};

TEST_F(BuildWarnings, ADocumentThatLooksLikeUtf8IsPointedOut) {
    Outcome r = Build({"ansi.htx", "utf8.htx"});
    EXPECT_EQ(0, r.exitCode) << r.err;
    EXPECT_EQ(
        "kestrin-index: warning: utf8.htx: looks like UTF-8 text; index documents are read "
        "as Windows-1252, so its accented names will show wrong; charset=utf-8 in its [KESTRIN] "
        "section has it read as UTF-8\n",
        r.err);
    // Only what goes into the index counts.
    r = Build({"ansi.htx", "--unselected", "utf8.htx"});
    EXPECT_EQ("", r.err);

    // info says it in the language of the run, as build does.
    for (const auto& [language, said] :
         {std::pair{"--language=GB", "\nwarning: looks like UTF-8 text; index documents are"},
          std::pair{"--language=NL", "\nwaarschuwing: lijkt UTF-8-tekst te zijn;"}}) {
        r = RunInProcess({language, "info", "utf8.htx"}, dir.path().string());
        EXPECT_EQ(0, r.exitCode);
        EXPECT_NE(std::string::npos, r.out.find(said)) << r.out;
    }
    r = RunInProcess({"info", "ansi.htx"}, dir.path().string());
    EXPECT_EQ(std::string::npos, r.out.find("UTF-8")) << r.out;
}

TEST_F(BuildWarnings, ATitleReachesAUtf8PageAsUtf8) {
    ASSERT_EQ(0, Build({"--title", "Caf\xC3\xA9", "ansi.htx"}).exitCode);
    EXPECT_EQ("<p>Caf\xE9</p>\r\n", ReadFileBytes(dir.file("out/idx.htm")));
    WriteLayout("charset=utf-8\r\n");
    ASSERT_EQ(0, Build({"--title", "Caf\xC3\xA9", "ansi.htx"}).exitCode);
    EXPECT_EQ("<p>Caf\xC3\xA9</p>\r\n", ReadFileBytes(dir.file("out/idx.htm")));
    EXPECT_NE(std::string::npos,
              ReadFileBytes(dir.file("out/idx1.htm")).find("<span class=\"Idx1\">M&uuml;ller"));
}

TEST_F(BuildWarnings, IndexTypeAutoIsAnIndexDivision) {
    Outcome r = Build({"-i", "auto", "ansi.htx"});
    EXPECT_EQ(0, r.exitCode) << r.err;
    // Two small pages: per letter.
    EXPECT_TRUE(fs::exists(dir.file("out/idx2.htm")));
    EXPECT_FALSE(fs::exists(dir.file("out/idx3.htm")));

    r = Build({"-i", "AUTO", "--no-split", "index", "ansi.htx"});
    EXPECT_EQ(1, r.exitCode);
    EXPECT_NE(std::string::npos, r.err.find("needs an output that is split")) << r.err;
    r = Build({"-i", "automatic", "ansi.htx"});
    EXPECT_EQ(2, r.exitCode);
    EXPECT_NE(std::string::npos, r.err.find("the index type must be 1 to 6 or auto")) << r.err;
}

// One letter whose index alone would make a page of well over 2 MB.
std::string ManyBakers(int count) {
    std::string lines;
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(100000 + i);
        lines += "B\tBakker" + n + "\tJan Hendrik Cornelis\t\t1901\t1960\t" + n + "\tpersons/p" +
                 n + ".htm#" + n + "\r\n";
    }
    return lines;
}

TEST_F(BuildWarnings, WithoutAnIndexTypeTheIndexIsDividedBySize) {
    WriteFileBytes(dir.file("big.htx"), Tree("Bakker", ManyBakers(12000)));
    Outcome r = Build({"big.htx"});
    ASSERT_EQ(0, r.exitCode) << r.err;
    EXPECT_EQ("", r.err);                               // no page over 2 MB to warn of
    EXPECT_TRUE(fs::exists(dir.file("out/idx02.htm"))); // parts, numbered with two digits
    for (const auto& page : fs::directory_iterator(dir.file("out")))
        EXPECT_LT(page.file_size(), 2'000'000u) << page.path();

    // Per letter on request: one page, too large, with the division that helps.
    r = Build({"-i", "1", "big.htx"});
    ASSERT_EQ(0, r.exitCode) << r.err;
    EXPECT_FALSE(fs::exists(dir.file("out/idx2.htm")));
    EXPECT_FALSE(fs::exists(dir.file("out/idx02.htm"))); // the old result is gone
    EXPECT_GT(fs::file_size(dir.file("out/idx1.htm")), 2'000'000u);
    EXPECT_NE(std::string::npos, r.err.find("would keep the index pages under 2 MB")) << r.err;
}

TEST_F(BuildWarnings, WithoutAnIndexTypeALayoutThatCannotBeDividedIsPerLetter) {
    // No division asked for, or no output split: no problem, one page per letter.
    for (const std::string extra : {"", "--no-split"}) {
        WriteFileBytes(dir.file("layout/l.ksl"),
                       "[KESTRIN]\r\ntype=KSL\r\nformat=1\r\n[General]\r\n" +
                           std::string(extra.empty() ? "" : "askuser=indextype\r\n") +
                           "[Templates]\r\n1=index, index.tpl, #PREFIX!#NR!.htm, Index\r\n");
        const Outcome r = extra.empty() ? Build({"ansi.htx"}) : Build({extra, "index", "ansi.htx"});
        EXPECT_EQ(0, r.exitCode) << extra << r.err;
        EXPECT_EQ("", r.err);
    }
}

TEST_F(BuildWarnings, PagesOverTwoMegabytesAreNamedWithTheirSize) {
    // 3 x 700,000 letters on every index page.
    WriteFileBytes(dir.file("layout/index.tpl"), "#STRING$(700000,65)!\r\n#INDEXDATA!\r\n"
                                                 "#STRING$(700000,65)!\r\n"
                                                 "#STRING$(700000,65)!\r\n");
    const Outcome r = Build({"-i", "1", "ansi.htx"});
    EXPECT_EQ(0, r.exitCode) << r.err;
    const auto size = fs::file_size(dir.file("out/idx1.htm"));
    ASSERT_GT(size, 2'000'000u);
    EXPECT_NE(std::string::npos,
              r.err.find("kestrin-index: warning: " + dir.file("out/idx1.htm") + " is 2.1 MB (" +
                         std::to_string(size) + " bytes); pages over 2 MB load slowly\n"))
        << r.err;
    EXPECT_NE(std::string::npos, r.err.find(dir.file("out/idx2.htm"))) << r.err;
    EXPECT_EQ(std::string::npos, r.err.find(dir.file("out/idx.htm") + " ")) << r.err;
    // And a division that would do better (no division can: the letters
    // stand on every page).
    EXPECT_TRUE(std::regex_search(r.err, std::regex("warning: -i (auto|[1-6]) \\(.*\\) would "
                                                    "keep the index pages under 2 MB\n")))
        << r.err;
}

// info escapes at the terminal what it shows as it stands (the version, a
// file name); the header texts are cleaned where they are read.
TEST_F(BuildWarnings, InfoNeverWritesAControlCharacterToTheTerminal) {
    WriteFileBytes(dir.file("esc.htx"),
                   "[KESTRIN]\r\nversion=3.22\x1B[2J\x07\r\ntype=htx\r\n"
                   "format=1\r\n[metadata]\r\ntitle=\x1B[31mRed\x07\x81 tree\r\n"
                   "description1=\x9B"
                   "two\r\n[indexdata]\r\n");
    const Outcome r = RunInProcess({"--language=GB", "info", "esc.htx"}, dir.path().string());
    EXPECT_EQ(0, r.exitCode) << r.err;
    const Outcome missing = RunInProcess({"info", "bad\x1B[2J\x07.htx"}, dir.path().string());
    EXPECT_EQ(1, missing.exitCode);
    EXPECT_TRUE(missing.err.starts_with("kestrin-index: bad\\x1B[2J\\x07.htx: ")) << missing.err;
    for (const unsigned char c : r.out + r.err + missing.err)
        EXPECT_TRUE(c >= 0x20 || c == '\n') << int(c) << "\n" << r.out;
    EXPECT_NE(std::string::npos, r.out.find("3.22\\x1B[2J\\x07")) << r.out;
    EXPECT_NE(std::string::npos, r.out.find("\xE2\x80\xBAtwo\n")) << r.out; // 0x9B is a quote
}

// A tree that links to a host for examples, and a site address on one, are
// named among the warnings; the pages carry nothing of them.
TEST_F(BuildWarnings, AddressesOnHostsForExamplesAreNamedButNotWritten) {
    WriteFileBytes(dir.file("ex.htx"),
                   Tree("Ex", "B\tBos\tAn\t\t\t\t1\thttps://example.org/t?pid=I1\r\n"));
    const Outcome r = Build({"--site-url", "https://index.test/i", "ansi.htx", "ex.htx"});
    EXPECT_EQ(0, r.exitCode) << r.err;
    EXPECT_EQ("kestrin-index: warning: ex.htx: links to https://example.org/t?pid=I1, an example "
              "address that leads nowhere; give the real address of the tree\n"
              "kestrin-index: warning: the web address of the site, https://index.test/i/, is an "
              "example address that leads nowhere\n",
              r.err);
    for (const auto& item : fs::directory_iterator(dir.file("out")))
        EXPECT_EQ(std::string::npos, ReadFileBytes(item.path().string()).find("example address"))
            << item.path();
}

} // namespace
} // namespace ks
