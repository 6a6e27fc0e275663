#include "template/KStemplateParser.h"

#include "common/KSerrors.h"
#include "common/KSprogress.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace ks {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;
using Lines = std::vector<std::string>;

const char* const kBuilderNames = "FILE,REPORTLIST,NAMELIST,INDEXKEYS,INDEXDATA,LINKFIRST,LINKPREV,"
                                  "LINKNEXT,LINKLAST,TEMPLATE$,TITLE$,HOMEPAGE$,EMAIL$,KSLTEXT";

std::string Joined(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

// A processor on a template in a fresh folder, writing "page1.htm" there.
class TemplateTest : public ::testing::Test {
protected:
    TemplateTest() {
        parser.SetVariableNames(kBuilderNames);
        parser.TemplateFile = dir.file("page.tpl");
        parser.SetOutputFolder(dir.path().string());
        parser.SetOutputFile("page1.htm");
    }

    void Template(const Lines& lines) { WriteFileBytes(parser.TemplateFile, Joined(lines)); }
    std::string Written(const std::string& name) { return ReadFileBytes(dir.file(name)); }
    // Answers registered placeholders from a fixed table, counting the calls.
    void Answer(const std::string& expression, const std::string& replacement) {
        answers.emplace_back(expression, replacement);
        parser.OnVariable = [this](const std::string& text, TKStemplateParser&) {
            calls.push_back(text);
            for (const auto& [key, value] : answers)
                if (key == text) return value;
            return std::string();
        };
    }
    std::string Expand(const std::string& line) {
        return parser.ExpandLine(line, TKStemplateParser::Mode::Expand);
    }
    std::string Collect(const std::string& line) {
        return parser.ExpandLine(line, TKStemplateParser::Mode::Collect);
    }

    TempDir dir;
    TKStemplateParser parser;
    std::vector<std::pair<std::string, std::string>> answers;
    Lines calls;
};

TEST_F(TemplateTest, UnregisteredPlaceholdersAreEvaluatedQuietly) {
    EXPECT_EQ("<b>ABC</b>", Expand("<b>#UCASE$(\"abc\")!</b>"));
    EXPECT_EQ("3", Expand("#LEN(\"abc\")!"));
    EXPECT_EQ("x=0.3333;", Expand("x=#1/3!;"));
    EXPECT_EQ("ab", Expand("a#nosuchword!b")); // does not compile: nothing
    EXPECT_EQ("3 3", Expand("#len(\"abc\")! #LEN(\"abc\")!"));
    // A "!" in quotes does not end the placeholder.
    EXPECT_EQ("[A!B]", Expand("[#UCASE$(\"a!b\")!]"));
    // Run-time errors are not swallowed.
    EXPECT_THROW(Expand("#1/0!"), EKSError);
}

TEST_F(TemplateTest, TextsThatAreNoPlaceholdersStay) {
    EXPECT_EQ("#!", Expand("#!"));
    EXPECT_EQ("a #(x)! b", Expand("a #(x)! b")); // empty name
    EXPECT_EQ("no end # here", Expand("no end # here"));
    EXPECT_EQ("! first #then", Expand("! first #then"));
    EXPECT_EQ("", Expand(""));
    // Every "!" after the "#" lies in quotes: evaluated, but nothing replaced.
    EXPECT_EQ("#UCASE$(\"a!b", Expand("#UCASE$(\"a!b"));
    EXPECT_TRUE(calls.empty());
}

TEST_F(TemplateTest, RegisteredPlaceholdersGoToTheCallbackAsWritten) {
    Answer("IndexData(1)", "<data>");
    Answer("FILE(a!b)", "f.htm");
    Answer("TITLE$", "Title");
    EXPECT_EQ("x <data> y", Expand("x #IndexData(1)! y"));
    EXPECT_EQ("href=\"f.htm\"", Expand("href=\"#FILE(a!b)!\"")); // "!" in brackets
    // Identical placeholders, in any case, are answered once and all replaced.
    calls.clear();
    EXPECT_EQ("Title - Title - Title", Expand("#TITLE$! - #title$! - #TITLE$!"));
    EXPECT_EQ(Lines{"TITLE$"}, calls);
    // A name with a comma is no registered name.
    calls.clear();
    EXPECT_EQ("", Expand("#INDEXKEYS,INDEXDATA!"));
    EXPECT_TRUE(calls.empty());
    // An unfinished placeholder still reaches the callback, the line stays.
    EXPECT_EQ("#FILE(\"a!", Expand("#FILE(\"a!"));
    EXPECT_EQ("#FILE\tx!", Expand("#FILE\tx!"));
    EXPECT_EQ((Lines{"FILE(\"a!", "FILE"}), calls);
}

TEST_F(TemplateTest, PlaceholdersRightAfterShortReplacementsAreReplacedToo) {
    Answer("REPORTLIST", "");
    Answer("EMAIL$", "@");
    Answer("TITLE$", "T");
    EXPECT_EQ("T", Expand("#REPORTLIST!#TITLE$!"));
    EXPECT_EQ("@T", Expand("#EMAIL$!#TITLE$!"));
    EXPECT_EQ("TT", Expand("#TITLE$!#TITLE$!"));
    EXPECT_EQ("3T", Expand("#LEN(\"abc\")!#TITLE$!"));
    EXPECT_EQ("INDEXKEYS,INDEXDATA", Collect("#INDEXKEYS!#INDEXDATA!"));
}

TEST_F(TemplateTest, ReplacementsAreScannedAgainFromTheirThirdCharacter) {
    Answer("TITLE$", "T");
    Answer("KSLTEXT(head)", "<b>#TITLE$!</b>");
    Answer("KSLTEXT(raw)", "#TITLE$!");
    Answer("KSLTEXT(deep)", "<i>#KSLTEXT(head)!</i>");
    EXPECT_EQ("[<b>T</b>]", Expand("[#KSLTEXT(head)!]"));
    EXPECT_EQ("[<i><b>T</b></i>]", Expand("[#KSLTEXT(deep)!]"));
    // The first two characters of a replacement are not looked at again.
    EXPECT_EQ("[#TITLE$!]", Expand("[#KSLTEXT(raw)!]"));
    Answer("KSLTEXT(expr)", "<b>#UCASE$(\"x\")!</b>");
    EXPECT_EQ("[<b>X</b>]", Expand("[#KSLTEXT(expr)!]"));
}

TEST_F(TemplateTest, AReplacementHoldingItsOwnPlaceholderEnds) {
    Answer("KSLTEXT(same)", "#KSLTEXT(same)!");
    EXPECT_EQ("#KSLTEXT(same)!", Expand("#KSLTEXT(same)!"));
    EXPECT_EQ(1u, calls.size());

    Answer("KSLTEXT(grow)", "ab#KSLTEXT(grow)!");
    calls.clear();
    const std::string grown = Expand("<#KSLTEXT(grow)!>");
    EXPECT_LE(calls.size(), 64u);
    EXPECT_EQ("<abab", grown.substr(0, 5));
    EXPECT_EQ("#KSLTEXT(grow)!>", grown.substr(grown.size() - 16));

    // Two variables that answer each other.
    Answer("FILE(a)", "..#FILE(b)!");
    Answer("FILE(b)", "..#FILE(a)!");
    calls.clear();
    const std::string ping = Expand("#FILE(a)!");
    EXPECT_LE(calls.size(), 64u);
    EXPECT_EQ("....", ping.substr(0, 4));

    // Ten copies of itself: the line stops growing at some megabytes.
    std::string tenCopies = "x";
    for (int i = 0; i < 10; ++i)
        tenCopies += "#KSLTEXT(ten)!";
    Answer("KSLTEXT(ten)", tenCopies);
    const std::string line = Expand("#KSLTEXT(ten)!");
    EXPECT_GT(line.size(), std::size_t{1} << 20);
    EXPECT_LE(line.size(), std::size_t{64} << 20);
}

TEST_F(TemplateTest, TextsAUserTypedAreInsertedAsTheyAre) {
    parser.OnVariable = [this](const std::string& text, TKStemplateParser& p) {
        calls.push_back(text);
        return p.Verbatim("Stamboom #3 - #TITLE$! #LEN(\"ab\")!");
    };
    EXPECT_EQ("<h1>Stamboom #3 - #TITLE$! #LEN(\"ab\")!</h1> 2",
              Expand("<h1>#TITLE$!</h1> #LEN(\"ab\")!"));
    EXPECT_EQ(1u, calls.size());
}

TEST_F(TemplateTest, ALineStopsExpandingAfterTenThousandReplacements) {
    std::string line;
    std::string expected;
    for (int i = 0; i < 10050; ++i) {
        line += "#" + std::to_string(i) + "!";
        expected += i < 10000 ? std::to_string(i) : "#" + std::to_string(i) + "!";
    }
    EXPECT_EQ(expected, Expand(line));
}

TEST_F(TemplateTest, LongLinesAndLinesFullOfHashes) {
    Answer("TITLE$", "T");
    const std::string filler(1 << 20, 'x');
    EXPECT_EQ("T" + filler + "T" + filler + "3",
              Expand("#TITLE$!" + filler + "#title$!" + filler + "#LEN(\"abc\")!"));

    const std::string hashes(200000, '#');
    EXPECT_EQ(hashes, Expand(hashes));
    std::string empties;
    for (int i = 0; i < 50000; ++i)
        empties += "#!";
    EXPECT_EQ(empties, Expand(empties));

    // Thousands of different placeholders on one line.
    std::string line;
    std::string expected;
    for (int i = 0; i < 3000; ++i) {
        line += "<#FILE(" + std::to_string(i) + ")!>";
        expected += "<" + std::to_string(i) + ">";
    }
    parser.OnVariable = [](const std::string& text, TKStemplateParser&) {
        return text.substr(5, text.size() - 6);
    };
    EXPECT_EQ(expected, Expand(line));
}

TEST_F(TemplateTest, CollectModeNamesTheRegisteredVariablesAndCallsNothing) {
    parser.OnVariable = [](const std::string&, TKStemplateParser&) -> std::string {
        throw EKSError("called");
    };
    EXPECT_EQ("", Collect("<p>#TITLE$x!#1/0!</p>")); // nothing evaluated
    EXPECT_EQ("INDEXKEYS,INDEXDATA", Collect("#IndexKeys(a,b)! #INDEXDATA!"));
    EXPECT_EQ("INDEXDATA", Collect("#INDEXDATA! #indexdata!"));
    EXPECT_EQ("FILE,FILE", Collect("#FILE(a)! #FILE(b)!"));
    // The search goes on after the "#" of a placeholder that stays.
    EXPECT_EQ("TEMPLATE$", Collect("#(#TEMPLATE$!"));
    // A placeholder inside a replaced one goes with it.
    EXPECT_EQ("", Collect("#UCASE$(\"#TEMPLATE$!\")!"));
}

TEST_F(TemplateTest, CountVariablesSummarisesTheTemplate) {
    Lines lines(37, "<p>plain</p>");
    lines[3] = "  #INDEXKEYS(page,,1)!";
    lines[20] = "#LEN(\"x\")! #INDEXDATA!";
    Template(lines);
    using Names = std::vector<std::string>;
    TKSvariableCount count = parser.CountVariables();
    EXPECT_EQ(37, count.Lines);
    EXPECT_EQ((Names{"INDEXKEYS", "INDEXDATA"}), count.Names);
    EXPECT_EQ(37, parser.LinesRead());

    Template({"#NAMELIST(a)!#INDEXKEYS(a)!", "#title$! #TITLE$!", "#FILE(x)!"});
    count = parser.CountVariables();
    EXPECT_EQ(3, count.Lines);
    EXPECT_EQ((Names{"NAMELIST", "INDEXKEYS", "TITLE$", "FILE"}), count.Names);

    parser.TemplateFile = dir.file("missing.tpl");
    count = parser.CountVariables();
    EXPECT_EQ(0, count.Lines);
    EXPECT_TRUE(count.Names.empty());
}

TEST_F(TemplateTest, ExecuteWritesEveryExpandedLine) {
    Template({"<h1>#TITLE$!</h1>", "", "#1+1! #UCASE$(\"end\")!"});
    Answer("TITLE$", "Kwartierstaat");
    TKSnullProgressBar bar;
    bar.SetRange(0, 100);
    parser.ProgressBar = &bar;
    EXPECT_TRUE(parser.Execute());
    EXPECT_EQ("<h1>Kwartierstaat</h1>\r\n\r\n2 END\r\n", Written("page1.htm"));
    EXPECT_EQ(3, parser.LinesRead());
    EXPECT_EQ(3, bar.Position());
    // The same processor runs again with the files closed.
    parser.SetOutputFile("page2.htm");
    EXPECT_TRUE(parser.Execute());
    EXPECT_EQ(Written("page1.htm"), Written("page2.htm"));
}

// A user's text kept as typed reaches a page in UTF-8 byte for byte, while
// everything around it, on the same line, is converted from Windows-1252.
TEST_F(TemplateTest, TypedTextsPassUnconvertedIntoPagesInUtf8) {
    const std::string typed = "Drzewa \xC5\x81\xC3\xB3"
                              "d\xC5\xBA";                     // UTF-8
    const std::string title = "\xC2\xAB" + typed + "\xC2\xBB"; // converted quotes
    parser.OnVariable = [&](const std::string& text, TKStemplateParser& p) {
        if (text == "KSLTEXT(x)") return std::string("\xE8 #TITLE$! \xE8");
        return p.VerbatimUtf8("\xAB" + typed + "\xBB", 1, typed.size());
    };
    const struct {
        const char* Line;
        std::string Expected;
    } cases[] = {
        {"<h1>#TITLE$!</h1>\xE9", "<h1>" + title + "</h1>\xC3\xA9"},
        // Two copies at once, then a shorter replacement behind them.
        {"#title$!\xE9#TITLE$! #LEN(\"abc\")!", title + "\xC3\xA9" + title + " 3"},
        // Inside a replacement that is itself scanned.
        {"<#KSLTEXT(x)!>", "<\xC3\xA8 " + title + " \xC3\xA8>"},
        {"plain \xE9", "plain \xC3\xA9"},
    };
    parser.Utf8Output = true;
    for (const auto& c : cases) {
        Template({c.Line});
        ASSERT_TRUE(parser.Execute());
        EXPECT_EQ(c.Expected + "\r\n", Written("page1.htm")) << c.Line;
    }
}

// A replacement may carry several parts in UTF-8 (names of trees); text
// between them is converted.
TEST_F(TemplateTest, SeveralPartsOfAReplacementPassUnconverted) {
    const std::string names = "\xC5\x81\xE9\xCE\xA0"; // Ł, é in Windows-1252, Π
    parser.OnVariable = [&](const std::string&, TKStemplateParser& p) {
        return p.VerbatimUtf8(names, {{0, 2}, {3, 5}, {4, 9}});
    };
    Template({"\xE9#TITLE$!|#TITLE$!"});
    parser.Utf8Output = true;
    ASSERT_TRUE(parser.Execute());
    const std::string written = "\xC5\x81\xC3\xA9\xCE\xA0";
    EXPECT_EQ("\xC3\xA9" + written + "|" + written + "\r\n", Written("page1.htm"));
}

TEST_F(TemplateTest, CallbacksWriteLinesBeforeTheirOwnLine) {
    Template({"<ul>", "  #REPORTLIST!</ul>"});
    parser.OnVariable = [](const std::string&, TKStemplateParser& p) {
        const std::string indent(static_cast<std::size_t>(p.PlaceholderColumn()), ' ');
        p.Output().WriteLine(indent + "<li>a</li>");
        p.Output().WriteLine(indent + "<li>b</li>");
        return std::string();
    };
    ASSERT_TRUE(parser.Execute());
    EXPECT_EQ("<ul>\r\n  <li>a</li>\r\n  <li>b</li>\r\n  </ul>\r\n", Written("page1.htm"));
}

TEST_F(TemplateTest, MissingTemplatesAndUncreatableOutputs) {
    parser.TemplateFile = dir.file("missing.tpl");
    EXPECT_TRUE(parser.Execute());
    EXPECT_TRUE(std::filesystem::exists(dir.file("page1.htm")));
    EXPECT_EQ("", Written("page1.htm"));

    parser.SetOutputFile(dir.file("no-folder") + "/page.htm");
    try {
        parser.Execute();
        ADD_FAILURE() << "an output that cannot be created was reported as written";
    } catch (const EWriteError& e) {
        EXPECT_NE(std::string(e.what()).find("no-folder/page.htm"), std::string::npos);
    }
    Template({"line"});
    parser.TemplateFile = dir.file("page.tpl");
    EXPECT_THROW(parser.Execute(), EWriteError);
}

TEST_F(TemplateTest, TheTemplateIsNeverItsOwnOutput) {
    Template({"keep #TITLE$!"});
    parser.SetOutputFile(parser.TemplateFile);
    EXPECT_THROW(parser.Execute(), EWriteError);
    EXPECT_EQ("keep #TITLE$!\r\n", ReadFileBytes(parser.TemplateFile));
}

TEST_F(TemplateTest, ErrorsOfExpressionsEndTheRunAndCloseTheFiles) {
    Template({"before", "#10/0!", "after"});
    EXPECT_THROW(parser.Execute(), EKSError);
    EXPECT_EQ("before\r\n", Written("page1.htm"));
    Template({"again"});
    EXPECT_TRUE(parser.Execute());
    EXPECT_EQ("again\r\n", Written("page1.htm"));
}

TEST_F(TemplateTest, OutputFolderAndFile) {
    parser.SetOutputFolder("/tmp/out");
    EXPECT_EQ("/tmp/out/", parser.OutputFolder());
    parser.SetOutputFolder("/tmp/out/");
    EXPECT_EQ("/tmp/out/", parser.OutputFolder());
    parser.SetOutputFile("index.htm");
    EXPECT_EQ("/tmp/out/", parser.OutputFolder());
    EXPECT_EQ("index.htm", parser.OutputFile());
    parser.SetOutputFile("/srv/site/a.htm");
    EXPECT_EQ("/srv/site/", parser.OutputFolder());
    EXPECT_EQ("a.htm", parser.OutputFile());
    parser.SetOutputFolder("");
    EXPECT_EQ("", parser.OutputFolder()) << "the current folder, not the root";
}

TEST(TemplateProgress, StepsNeverPassTheMaximum) {
    TKStemplateParser parser;
    parser.StepProgress(1); // without a bar: nothing
    TKSnullProgressBar bar;
    bar.SetRange(0, 4);
    parser.ProgressBar = &bar;
    parser.StepProgress(3);
    EXPECT_EQ(3, bar.Position());
    parser.StepProgress(2);
    EXPECT_EQ(3, bar.Position());
    parser.StepProgress(1);
    EXPECT_EQ(4, bar.Position());
    parser.StepProgress(INT64_MAX);
    EXPECT_EQ(4, bar.Position());
}

// Pages: "#SPLIT!" changes to the next page as often as splits says.
class PageTest : public TemplateTest {
protected:
    PageTest() {
        parser.Entry = "Index";
        parser.OnVariable = [this](const std::string& text, TKStemplateParser& p) {
            if (text != "INDEXDATA") return std::string("?");
            p.Output().WriteLine("before");
            for (int i = 0; i < splits; ++i)
                results.push_back(p.NextPage());
            p.Output().WriteLine("after");
            return std::string("x");
        };
        parser.OnNextFile = [this](TKStemplateParser& p) {
            names.push_back(p.EntryName() + ":" + p.OutputFile());
            if (pagesLeft <= 0) return std::string();
            --pagesLeft;
            return "page" + std::to_string(names.size() + 1) + ".htm";
        };
    }
    Lines Page(int n) {
        Lines lines;
        std::string text = Written("page" + std::to_string(n) + ".htm");
        for (std::size_t at; (at = text.find("\r\n")) != std::string::npos; text.erase(0, at + 2))
            lines.push_back(text.substr(0, at));
        return lines;
    }

    int splits = 1;
    int pagesLeft = 10;
    std::vector<bool> results;
    Lines names;
};

TEST_F(PageTest, HeadAndTailBeginAndEndEveryPage) {
    Template({"one", "<#INDEXDATA!>", "three"});
    TKSnullProgressBar bar;
    bar.SetRange(0, 100);
    parser.ProgressBar = &bar;
    ASSERT_TRUE(parser.Execute());
    EXPECT_EQ((Lines{"one", "before", "three"}), Page(1));
    EXPECT_EQ((Lines{"one", "after", "<x>", "three"}), Page(2));
    EXPECT_EQ(Lines{"Index:page1.htm"}, names);
    EXPECT_EQ("page2.htm", parser.OutputFile());
    EXPECT_EQ(5, bar.Position()) << "one step per template line written";
}

TEST_F(PageTest, TwoPageChangesOnOneLineMakeThreeFiles) {
    splits = 2;
    Template({"one", "<#INDEXDATA!>", "three"});
    ASSERT_TRUE(parser.Execute());
    EXPECT_EQ((Lines{"one", "before", "three"}), Page(1));
    EXPECT_EQ((Lines{"one", "three"}), Page(2));
    EXPECT_EQ((Lines{"one", "after", "<x>", "three"}), Page(3));
    EXPECT_EQ((std::vector<bool>{true, true}), results);
}

// Pages written elsewhere for now: every page goes there, while the output
// folder (what links start from) stays.
TEST_F(PageTest, AWriteFolderTakesEveryPageWhileTheOutputFolderStays) {
    std::filesystem::create_directories(dir.file("staged"));
    parser.SetWriteFolder(dir.file("staged"));
    Template({"one", "<#INDEXDATA!>"});
    ASSERT_TRUE(parser.Execute());
    EXPECT_EQ("one\r\nbefore\r\n", ReadFileBytes(dir.file("staged/page1.htm")));
    EXPECT_EQ("one\r\nafter\r\n<x>\r\n", ReadFileBytes(dir.file("staged/page2.htm")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("page1.htm")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("page2.htm")));
    EXPECT_EQ(dir.path().string() + "/", parser.OutputFolder());
    EXPECT_EQ(dir.file("staged") + "/", parser.WriteFolder());
    parser.SetWriteFolder("");
    EXPECT_EQ(parser.OutputFolder(), parser.WriteFolder());
}

TEST_F(PageTest, TheCallingLineMayBeTheFirstOrTheLast) {
    Template({"#INDEXDATA!", "two", "three"});
    ASSERT_TRUE(parser.Execute());
    EXPECT_EQ((Lines{"before", "two", "three"}), Page(1));
    EXPECT_EQ((Lines{"after", "x", "two", "three"}), Page(2));

    Template({"one", "two", "#INDEXDATA!"});
    parser.SetOutputFile("page1.htm");
    ASSERT_TRUE(parser.Execute());
    EXPECT_EQ((Lines{"one", "two", "before"}), Page(1));
    EXPECT_EQ((Lines{"one", "two", "after", "x"}), Page(3));
}

TEST_F(PageTest, WithoutANextFileTheRestGoesNowhere) {
    pagesLeft = 0;
    int calls = 0;
    parser.OnVariable = [&](const std::string&, TKStemplateParser& p) {
        ++calls;
        EXPECT_FALSE(p.NextPage());
        p.Output().WriteLine("lost");
        return std::string("lost too");
    };
    Template({"one", "#INDEXDATA!", "three"});
    ASSERT_TRUE(parser.Execute());
    EXPECT_EQ((Lines{"one", "three"}), Page(1));
    EXPECT_EQ(1, calls) << "the template is not started over";
    EXPECT_EQ(3, parser.LinesRead());
    EXPECT_FALSE(std::filesystem::exists(dir.file("page2.htm")));
}

TEST_F(PageTest, HeadAndTailCannotChangePagesThemselves) {
    pagesLeft = 2;
    Template({"H", "#INDEXDATA!", "#INDEXDATA!", "T"});
    ASSERT_TRUE(parser.Execute());
    EXPECT_EQ((Lines{"H", "before", "before", "after", "x", "T"}), Page(1));
    EXPECT_EQ((Lines{"H", "after", "x", "before", "T"}), Page(2));
    EXPECT_EQ((Lines{"H", "before", "after", "x", "after", "x", "T"}), Page(3));
    EXPECT_EQ((std::vector<bool>{false, true, false, true}), results);
}

TEST_F(PageTest, TheWriterKeepsItsColumnAcrossThePageChange) {
    Template({"      #TITLE$!", "  #INDEXDATA!"});
    std::vector<int32_t> columns;
    parser.OnVariable = [&](const std::string& text, TKStemplateParser& p) {
        if (text != "INDEXDATA") return std::string("t");
        columns.push_back(p.PlaceholderColumn());
        p.NextPage();
        columns.push_back(p.PlaceholderColumn());
        return std::string();
    };
    ASSERT_TRUE(parser.Execute());
    EXPECT_EQ((std::vector<int32_t>{2, 2}), columns);
}

TEST_F(PageTest, Utf8OutputConvertsEveryLineOfEveryPage) {
    parser.Utf8Output = true;
    parser.OnVariable = [&](const std::string& text, TKStemplateParser& p) {
        if (text != "INDEXDATA") return std::string("Caf\xE9 \x80");
        p.Output().WriteLine("<b>J\xF6rg</b> &ouml;");
        p.Output().WriteText("\x8A");
        p.NextPage();
        p.Output().WriteLine("\xC5str\xF6m");
        return std::string("\x93x\x94");
    };
    Template({"<title>#TITLE$!</title> \xAB#CHR$(233)!\xBB", "#INDEXDATA!", "end \xFF"});
    ASSERT_TRUE(parser.Execute());
    // Template text, expression results, the variable's value and the lines
    // its writer wrote: all in UTF-8; entities stay as written.
    EXPECT_EQ("<title>Caf\xC3\xA9 \xE2\x82\xAC</title> \xC2\xAB\xC3\xA9\xC2\xBB\r\n"
              "<b>J\xC3\xB6rg</b> &ouml;\r\n"
              "\xC5\xA0"
              "end \xC3\xBF\r\n",
              Written("page1.htm"));
    EXPECT_EQ("<title>Caf\xC3\xA9 \xE2\x82\xAC</title> \xC2\xAB\xC3\xA9\xC2\xBB\r\n"
              "\xC3\x85str\xC3\xB6m\r\n"
              "\xE2\x80\x9Cx\xE2\x80\x9D\r\n"
              "end \xC3\xBF\r\n",
              Written("page2.htm"));

    // Without it the same template is written byte for byte.
    parser.Utf8Output = false;
    parser.SetOutputFile("page1.htm");
    ASSERT_TRUE(parser.Execute());
    EXPECT_EQ("<title>Caf\xE9 \x80</title> \xAB\xE9\xBB\r\n<b>J\xF6rg</b> &ouml;\r\n\x8A"
              "end \xFF\r\n",
              Written("page1.htm"));
}

TEST_F(PageTest, NoPageChangeOutsideARun) {
    EXPECT_FALSE(parser.NextPage());
    EXPECT_TRUE(names.empty());
    EXPECT_NO_THROW(parser.Output().WriteLine("nowhere"));
}

} // namespace
} // namespace ks
