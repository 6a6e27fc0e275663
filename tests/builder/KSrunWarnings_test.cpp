// The warnings a run returns: documents that look like UTF-8, names cut,
// pages over the limit and the division that would help, in that order, in
// the run's language.
#include "builder/run/KSrunWarnings.h"

#include "builder/run/KSbuilder.h"
#include "builder/run/KSgenerate.h"
#include "builder/run/KSrunProgress.h"
#include "builder/run/KSrunSetup.h"
#include "common/KScommon.h"
#include "index/KSksl.h"

#include "support/ShippedTexts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace ks {
namespace {

namespace fs = std::filesystem;
using test::WriteFileBytes;

std::string Tree(const std::string& title, const std::string& lines) {
    return "[KESTRIN]\r\nversion=3.22\r\ntype=htx\r\nformat=1\r\n[metadata]\r\ntitle=" + title +
           "\r\n[indexdata]\r\n" + lines;
}

class RunWarningsTest : public ::testing::Test {
protected:
    RunWarningsTest() {
        fs::create_directories(dir.file("layout"));
        fs::create_directories(dir.file("out"));
        WriteFileBytes(dir.file("ansi.htx"),
                       Tree("M\xFCller", "M\tM\xFCller\tJan\t\t\t\t1\tp.htm#1\r\n"
                                         "S\tSmit\tEva\t\t\t\t2\tp.htm#2\r\n"
                                         "Z\tZ" +
                                             std::string(300, 'z') + "\tAb\t\t\t\t3\tp.htm#3\r\n"));
        WriteFileBytes(dir.file("utf8.htx"),
                       Tree("M\xC3\xBCller", "M\tM\xC3\xBCller\tJan\t\t\t\t1\tq.htm#1\r\n"));
        WriteFileBytes(dir.file("utf8b.htx"),
                       Tree("B\xC3\xBCller", "B\tB\xC3\xBCller\tJan\t\t\t\t1\tq.htm#1\r\n"));
        WriteFileBytes(dir.file("layout/l.ksl"),
                       "[KESTRIN]\r\ntype=KSL\r\nformat=1\r\n[General]\r\naskuser=indextype\r\n"
                       "[Templates]\r\n1=start, start.tpl, #PREFIX!.htm, Start\r\n"
                       "2=index, index.tpl, #PREFIX!#NR!.htm, Index\r\n");
        WriteFileBytes(dir.file("layout/start.tpl"), "<p>start</p>\r\n");
        WriteIndexTemplate(0);
    }

    // Every index page holds letters letters besides its index.
    void WriteIndexTemplate(int letters) {
        WriteFileBytes(dir.file("layout/index.tpl"),
                       "#STRING$(" + std::to_string(letters) + ",65)!\r\n#INDEXDATA!\r\n");
    }

    TKSrunResult Run() {
        TKSrunSetup setup;
        setup.Documents.Add(dir.file("utf8.htx"), true);
        setup.Documents.Add(dir.file("utf8b.htx"), false); // not in the index: not named
        setup.Documents.Add(dir.file("ansi.htx"), true);
        auto layout = std::make_unique<TKSkslData>();
        EXPECT_TRUE(layout->Load(dir.file("layout/l.ksl"), ""));
        setup.SetLayout(std::move(layout));
        setup.OutputFolder = dir.file("out");
        setup.BaseName = "idx";
        const TKScommon environment({}, dir.path().string(), {});
        TKSbuilder builder(setup.Settings(environment));
        TKSquietRunProgress quiet;
        TKSgenerator generator(builder, quiet);
        return generator.GenerateIndex();
    }

    test::TempDir dir;
    test::ShippedTexts texts{"GB"};
};

// Pages over the limit add one warning each after the documents' ones, and
// a division that would help; a failed run after them names no page, since
// the large pages left behind are not its own; small pages leave the
// documents' warnings only.
TEST_F(RunWarningsTest, DocumentsThenLargePagesThenTheDivisionAndNothingStale) {
    WriteIndexTemplate(2'100'000);
    TKSrunResult result = Run();
    ASSERT_FALSE(result.Failed) << result.Error;
    ASSERT_GE(result.Warnings.size(), 5u);
    const TKSrunWarning& utf8 = result.Warnings[0];
    EXPECT_EQ(TKSrunWarningKind::Utf8Document, utf8.Kind);
    EXPECT_EQ(dir.file("utf8.htx") + ": looks like UTF-8 text; index documents are read as "
                                     "Windows-1252, so its accented names will show wrong; "
                                     "charset=utf-8 in its [KESTRIN] section has it read as UTF-8",
              utf8.Where + WarningSeparator(utf8) + utf8.Text);
    EXPECT_EQ(TKSrunWarningKind::NameCut, result.Warnings[1].Kind);
    const TKSrunWarning& page = result.Warnings[2];
    const auto size = static_cast<int64_t>(fs::file_size(dir.file("out/idx1.htm")));
    EXPECT_EQ(size, page.Size);
    EXPECT_EQ(dir.file("out/idx1.htm") + " is 2.1 MB (" + std::to_string(size) +
                  " bytes); pages over 2 MB load slowly",
              page.Where + WarningSeparator(page) + page.Text);
    for (std::size_t i = 2; i + 1 < result.Warnings.size(); ++i)
        EXPECT_EQ(TKSrunWarningKind::LargePage, result.Warnings[i].Kind) << i;
    const TKSrunWarning& division = result.Warnings.back();
    ASSERT_EQ(TKSrunWarningKind::Division, division.Kind);
    EXPECT_EQ("", division.Where + WarningSeparator(division));
    EXPECT_NE(TKSindexType::NotChosen, division.SuggestedIndexType);
    EXPECT_NE(TKSindexType::FirstLetter, division.SuggestedIndexType); // the one used
    EXPECT_EQ(division.SuggestedIndexType == TKSindexType::Auto
                  ? "the automatic index division (cutting the largest surnames into parts) "
                    "would keep the index pages under 2 MB"
                  : "the index division \"" + IndexTypeCaption(division.SuggestedIndexType) +
                        "\" would keep the index pages under 2 MB",
              division.Text);

    WriteFileBytes(dir.file("layout/start.tpl"), "<p>#1/0!</p>\r\n");
    result = Run();
    ASSERT_TRUE(result.Failed);
    for (const TKSrunWarning& warning : result.Warnings)
        EXPECT_NE(TKSrunWarningKind::LargePage, warning.Kind) << warning.Where;
    ASSERT_FALSE(result.Warnings.empty());
    EXPECT_EQ(TKSrunWarningKind::Utf8Document, result.Warnings[0].Kind);

    WriteIndexTemplate(0);
    WriteFileBytes(dir.file("layout/start.tpl"), "<p>start</p>\r\n");
    result = Run();
    ASSERT_FALSE(result.Failed) << result.Error;
    ASSERT_EQ(2u, result.Warnings.size());
    EXPECT_EQ(TKSrunWarningKind::NameCut, result.Warnings[1].Kind);
    EXPECT_EQ(dir.file("ansi.htx") + ":10", result.Warnings[1].Where); // line of the file
}

// A tree whose folder's address or start page lies on a host set aside for
// examples is named once, with the first such address (its persons' links and
// the site's address are shown by the command line's test); other hosts, and
// a document left out of the index, give no warning.
TEST_F(RunWarningsTest, AddressesOnHostsForExamplesAreNamedOncePerTree) {
    struct Case {
        const char* name;
        std::string lines;
        std::string htmFile;
        std::string webAddress;
        std::string siteAddress;
        bool selected;
        std::vector<std::string> expected;
    };
    const std::string tree = dir.file("tree.htx");
    const std::string line = "S\tSmit\tEva\t\t\t\t2\t";
    const std::vector<Case> cases = {
        {"its folder's address before its links",
         line + "http://x.test/3\r\n",
         "index.htm",
         "https://example.net/tree/",
         "",
         true,
         {tree + ": links to https://example.net/tree/, an example address that leads nowhere; "
                 "give the real address of the tree"}},
        {"its start page",
         line + "p.htm#2\r\n",
         "https://a.invalid/",
         "",
         "",
         true,
         {tree + ": links to https://a.invalid/, an example address that leads nowhere; give "
                 "the real address of the tree"}},
        {"real hosts",
         line + "https://example.nl/p.htm#2\r\n",
         "https://test.nl/",
         "https://ex.org/t/",
         "https://ex.org/i/",
         true,
         {}},
        {"a tree left out",
         line + "https://example.org/p.htm#2\r\n",
         "index.htm",
         "",
         "",
         false,
         {}},
    };
    // One environment for every run: its end closes the language's texts.
    const TKScommon environment({}, dir.path().string(), {});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFileBytes(
            tree, "[KESTRIN]\r\nversion=3.22\r\ntype=htx\r\nformat=1\r\n[metadata]\r\nhtmfile=" +
                      c.htmFile + "\r\ntitle=T\r\n[indexdata]\r\n" + c.lines);
        TKSrunSetup setup;
        setup.Documents.Add(dir.file("ansi.htx"), true);
        setup.Documents.Add(tree, c.selected);
        setup.Documents.SetWebAddress(1, c.webAddress);
        auto layout = std::make_unique<TKSkslData>();
        ASSERT_TRUE(layout->Load(dir.file("layout/l.ksl"), ""));
        setup.SetLayout(std::move(layout));
        setup.OutputFolder = dir.file("out");
        setup.BaseName = "idx";
        setup.SiteAddress = c.siteAddress;
        TKSbuilder builder(setup.Settings(environment));
        TKSquietRunProgress quiet;
        TKSgenerator generator(builder, quiet);
        const TKSrunResult result = generator.GenerateIndex();
        ASSERT_FALSE(result.Failed) << result.Error;
        std::vector<std::string> found;
        for (const TKSrunWarning& warning : result.Warnings)
            if (warning.Kind == TKSrunWarningKind::ExampleAddress)
                found.push_back(warning.Where + WarningSeparator(warning) + warning.Text);
        EXPECT_EQ(c.expected, found);
    }
}

} // namespace
} // namespace ks
