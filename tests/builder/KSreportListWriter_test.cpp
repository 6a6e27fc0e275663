#include "builder/writers/KSreportListWriter.h"

#include "support/WriterTestKit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ks {
namespace {

using test::FakeTemplateOutput;
using test::WriterWorld;

class ReportListTest : public ::testing::Test {
protected:
    ReportListTest() {
        TKShtxData& one = world.AddDocument("tree1/a.htx", "Tree <one>", 1);
        TKSdocumentRun& oneRun = world.DocumentRun(0);
        oneRun.EntryCount = 1523;
        oneRun.MinYear = 1650;
        oneRun.MaxYear = 1910;
        oneRun.FirstPage = "p1.htm";
        one.UserName = "J. de Vries & zn";
        one.Created = "12-03-2018";
        world.AddDocument("tree2/b.htx", "Skipped", 0, false);
        world.DocumentRun(1).FirstPage = "b.htm";
        // No years seen and no link in its index lines.
        TKShtxData& three = world.AddDocument("tree3/sub/c.htx", "Three", 2);
        three.HtmFile = "start page.htm";
        three.UserName = "M\xFCller";
    }

    WriterWorld world;
};

TEST_F(ReportListTest, WritesOneRowPerSelectedDocumentWithTheAskedColumns) {
    FakeTemplateOutput out(world.OutFolder(), {"report.htm"}, 2);
    WriteReportList(world.Run(), out, "id,title,count,min,max,user,date,other");
    EXPECT_EQ("  <tr class=\"KSVItr KSVItr_odd\">\r\n"
              "    <td class=\"KSVItd KSVItd_id\">1</td>\r\n"
              "    <td class=\"KSVItd KSVItd_title\"><a class=\"KSVItd_href\" "
              "href=\"../tree1/p1.htm\">Tree &lt;one&gt;</a></td>\r\n"
              "    <td class=\"KSVItd KSVItd_count\">1523</td>\r\n"
              "    <td class=\"KSVItd KSVItd_min\">1650</td>\r\n"
              "    <td class=\"KSVItd KSVItd_max\">1910</td>\r\n"
              "    <td class=\"KSVItd KSVItd_user\">J. de Vries &amp; zn</td>\r\n"
              "    <td class=\"KSVItd KSVItd_date\">12-03-2018</td>\r\n"
              "    <td class=\"KSVItd KSVItd_other\"></td>\r\n"
              "  </tr>\r\n"
              "  <tr class=\"KSVItr KSVItr_even\">\r\n"
              "    <td class=\"KSVItd KSVItd_id\">2</td>\r\n"
              "    <td class=\"KSVItd KSVItd_title\"><a class=\"KSVItd_href\" "
              "href=\"../tree3/sub/start page.htm\">Three</a></td>\r\n"
              "    <td class=\"KSVItd KSVItd_count\">0</td>\r\n"
              "    <td class=\"KSVItd KSVItd_min\"></td>\r\n"
              "    <td class=\"KSVItd KSVItd_max\"></td>\r\n"
              "    <td class=\"KSVItd KSVItd_user\">M&uuml;ller</td>\r\n"
              "    <td class=\"KSVItd KSVItd_date\"></td>\r\n"
              "    <td class=\"KSVItd KSVItd_other\"></td>\r\n"
              "  </tr>\r\n",
              out.Text(0));
    // Every document of the list counts, selected or not.
    EXPECT_EQ(3, out.Progress());
}

// A tree in the output folder, in a folder of it or beside it, whose lowest
// link or start page is no path and no web address: the title stays,
// without a link.
TEST_F(ReportListTest, ATitleWhoseLinkIsAScriptIsNoLink) {
    struct Case {
        std::string document, firstPage, htmFile, cell;
    };
    const std::vector<Case> cases = {
        {"out/c.htx", "", "  jAvAsCrIpT:alert(1)", "<a class=\"KSVItd_href\">T</a>"},
        {"out/sub/d.htx", "../javascript:alert(1)", "", "<a class=\"KSVItd_href\">T</a>"},
        {"out/e.htx", "p1.htm", "", "<a class=\"KSVItd_href\" href=\"p1.htm\">T</a>"},
        {"js/f.htx", "mailto:x@example.org", "", "<a class=\"KSVItd_href\">T</a>"},
        {"js/g.htx", "", "javascript:alert(1)", "<a class=\"KSVItd_href\">T</a>"},
    };
    for (const Case& c : cases) {
        WriterWorld own;
        TKShtxData& document = own.AddDocument(c.document, "T", 1);
        if (!c.firstPage.empty()) own.DocumentRun(0).FirstPage = c.firstPage;
        document.HtmFile = c.htmFile;
        FakeTemplateOutput out(own.OutFolder(), {"report.htm"});
        WriteReportList(own.Run(), out, "title");
        EXPECT_EQ("<tr class=\"KSVItr KSVItr_odd\">\r\n"
                  "  <td class=\"KSVItd KSVItd_title\">" +
                      c.cell +
                      "</td>\r\n"
                      "</tr>\r\n",
                  out.Text(0))
            << c.document;
    }
}

// The title opens the tree's start page when the document names a page,
// else the lowest page its index lines point to.
TEST(ReportList, ATitleOpensTheStartPageTheDocumentNames) {
    struct Case {
        std::string htmFile, href;
    };
    const std::vector<Case> cases = {
        {"index.htm", "../tree/index.htm"},
        {" start page.htm ", "../tree/start page.htm"},
        {"sub/home.htm#top", "../tree/sub/home.htm#top"},
        {"https://example.org/tree/start.htm", "https://example.org/tree/start.htm"},
        {"", "../tree/p7.htm"},
        {"   ", "../tree/p7.htm"},
        {"sub/", "../tree/p7.htm"},
        {"sub\\", "../tree/p7.htm"},
        {"#top", "../tree/p7.htm"},
        {"?page=1", "../tree/p7.htm"},
        {"javascript:alert(1)", "../tree/p7.htm"},
    };
    for (const Case& c : cases) {
        WriterWorld world;
        TKShtxData& document = world.AddDocument("tree/a.htx", "T", 1);
        world.DocumentRun(0).FirstPage = "p7.htm";
        document.HtmFile = c.htmFile;
        FakeTemplateOutput out(world.OutFolder(), {"report.htm"});
        WriteReportList(world.Run(), out, "title");
        EXPECT_NE(std::string::npos, out.Text(0).find(" href=\"" + c.href + "\">T</a>"))
            << "[" << c.htmFile << "] " << out.Text(0);
    }
}

TEST_F(ReportListTest, ColumnNamesAreTakenAsWrittenAndMatchedWithoutLetterCase) {
    FakeTemplateOutput out(world.OutFolder(), {"report.htm"});
    WriteReportList(world.Run(), out, "ID, title");
    const std::string text = out.Text(0);
    EXPECT_NE(std::string::npos, text.find("  <td class=\"KSVItd KSVItd_ID\">1</td>\r\n"
                                           "  <td class=\"KSVItd KSVItd_ title\"></td>\r\n"));
}

TEST_F(ReportListTest, YearBoundsLeaveOutOnlyTheMarksOfNoYear) {
    TKSdocumentRun& one = world.DocumentRun(0);
    one.MinYear = 2999;
    one.MaxYear = -2999;
    FakeTemplateOutput out(world.OutFolder(), {"report.htm"});
    WriteReportList(world.Run(), out, "min,max");
    EXPECT_NE(std::string::npos, out.Text(0).find("<td class=\"KSVItd KSVItd_min\">2999</td>\r\n"
                                                  "  <td class=\"KSVItd KSVItd_max\">-2999</td>"));
    one.MinYear = 3000;
    one.MaxYear = -3000;
    FakeTemplateOutput none(world.OutFolder(), {"report2.htm"});
    WriteReportList(world.Run(), none, "min,max");
    EXPECT_NE(std::string::npos, none.Text(0).find("<td class=\"KSVItd KSVItd_min\"></td>\r\n"
                                                   "  <td class=\"KSVItd KSVItd_max\"></td>"));
}

TEST_F(ReportListTest, NoColumnsStillWriteTheRows) {
    FakeTemplateOutput out(world.OutFolder(), {"report.htm"});
    WriteReportList(world.Run(), out, "");
    EXPECT_EQ("<tr class=\"KSVItr KSVItr_odd\">\r\n</tr>\r\n"
              "<tr class=\"KSVItr KSVItr_even\">\r\n</tr>\r\n",
              out.Text(0));
}

} // namespace
} // namespace ks
