#include "builder/run/KSbuilder.h"
#include "builder/writers/KSindexDataWriter.h"
#include "builder/writers/KSreportListWriter.h"

#include "support/WriterTestKit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace ks {
namespace {

using test::FakeTemplateOutput;
using test::WriterWorld;

// Two trees beside the output folder and a split index entry.
class IndexDataTest : public ::testing::Test {
protected:
    IndexDataTest() {
        world.AddDocument("tree1/a.htx", "Tree one", 1);
        world.AddDocument("tree2/b.htx", "Tree two", 2);
        index = &world.AddEntry("index, index.tpl, index#NR!.htm, Index pages", true);
        world.State().StartEntry(index, 1);
    }

    WriterWorld world;
    TKSkslFile* index = nullptr;
};

TEST_F(IndexDataTest, WritesAnchorsSurnameAndTheEntryLineOfTheExample) {
    world.SetPageCount(1);
    world.Settings().IndexWithYears = true;
    world.WriteEntries({"J\tJansen\tJan Pieter\t\t1850\t1910\t1\t12\t2\t0,p3.htm#i12|1,p7.htm#i9",
                        "B\tBerg, van den\tAnna\t\t\t\t1\t13\t1\t1,p1.htm#i1"});
    FakeTemplateOutput out(world.OutFolder(), {"index1.htm"});
    WriteIndexData(world.Run(), out);
    EXPECT_EQ("<a name=\"index1\" id=\"index1\"></a>\r\n"
              "<a name=\"bm12\" id=\"bm12\"></a>\r\n"
              "<span class=\"Idx1\">Jansen</span><br />\r\n"
              "<span class=\"Idx2\"><span class=\"VN\" title=\"1850-1910\">Jan Pieter"
              "<span class=\"YR\"> (1850-1910)</span></span>"
              " <a class=\"IdxR\" href=\"../tree1/p3.htm#i12\" title=\"Tree one\">1</a>"
              " <a class=\"IdxR\" href=\"../tree2/p7.htm#i9\" title=\"Tree two\">2</a>"
              "</span><br />\r\n"
              "<a name=\"bm13\" id=\"bm13\"></a>\r\n"
              "<span class=\"Idx1\">Berg, <span class=\"Idx1vv\">van den</span></span><br />\r\n"
              "<span class=\"Idx2\"><span class=\"VN\">Anna</span>"
              " <a class=\"IdxR\" href=\"../tree2/p1.htm#i1\" title=\"Tree two\">2</a>"
              "</span><br />\r\n",
              out.Text(0));
    EXPECT_EQ(0, out.NextPageCalls());
}

TEST_F(IndexDataTest, ATreeLabelNamesEachTreeInTheLinksAriaLabel) {
    world.SetPageCount(1);
    world.AddDocument("tree3/c.htx", "Smit & \"Zn\"", 3);
    world.WriteEntries({"J\tJansen\tJan\t\t\t\t1\t12\t2\t0,p3.htm#i12|2,p7.htm#i9"});
    FakeTemplateOutput out(world.OutFolder(), {"index1.htm"});
    WriteIndexData(world.Run(), out, "%1, tree %2");
    EXPECT_NE(std::string::npos,
              out.Text(0).find("<span class=\"VN\">Jan</span>"
                               " <a class=\"IdxR\" href=\"../tree1/p3.htm#i12\" title=\"Tree one\""
                               " aria-label=\"Tree one, tree 1\">1</a>"
                               " <a class=\"IdxR\" href=\"../tree3/p7.htm#i9\""
                               " title=\"Smit &amp; &quot;Zn&quot;\""
                               " aria-label=\"Smit &amp; &quot;Zn&quot;, tree 3\">3</a>"
                               "</span><br />\r\n"))
        << out.Text(0);

    // Without a label the links are those of the example above.
    FakeTemplateOutput plain(world.OutFolder(), {"index1.htm"});
    WriteIndexData(world.Run(), plain, "");
    EXPECT_EQ(std::string::npos, plain.Text(0).find("aria-label"));
    EXPECT_NE(std::string::npos,
              plain.Text(0).find(" <a class=\"IdxR\" href=\"../tree1/p3.htm#i12\""
                                 " title=\"Tree one\">1</a> "));
}

TEST_F(IndexDataTest, ASplitEntryWritesEveryPageIntoItsOwnFileWithTheIndent) {
    world.SetPageCount(2);
    world.WriteEntries({"A\tAa\tJan\t\t\t\t1\t1\t1\t0,a.htm#1", "",
                        "A\taa\tPiet\t\t\t\t1\t2\t1\t0,a.htm#2",
                        "B\tBos\tEva\t\t\t\t2\t3\t1\t1,b.htm#3"});
    FakeTemplateOutput out(world.OutFolder(), {"index1.htm", "index2.htm"}, 2);
    WriteIndexData(world.Run(), out);
    // Same surname (ASCII case aside): no second heading.
    EXPECT_EQ(
        "  <a name=\"index1\" id=\"index1\"></a>\r\n"
        "  <a name=\"bm1\" id=\"bm1\"></a>\r\n"
        "  <span class=\"Idx1\">Aa</span><br />\r\n"
        "  <span class=\"Idx2\"><span class=\"VN\">Jan</span>"
        " <a class=\"IdxR\" href=\"../tree1/a.htm#1\" title=\"Tree one\">1</a></span><br />\r\n"
        "  <span class=\"Idx2\"><span class=\"VN\">Piet</span>"
        " <a class=\"IdxR\" href=\"../tree1/a.htm#2\" title=\"Tree one\">1</a></span><br />\r\n",
        out.Text(0));
    EXPECT_EQ(
        "  <a name=\"index2\" id=\"index2\"></a>\r\n"
        "  <a name=\"bm3\" id=\"bm3\"></a>\r\n"
        "  <span class=\"Idx1\">Bos</span><br />\r\n"
        "  <span class=\"Idx2\"><span class=\"VN\">Eva</span>"
        " <a class=\"IdxR\" href=\"../tree2/b.htm#3\" title=\"Tree two\">2</a></span><br />\r\n",
        out.Text(1));
    EXPECT_EQ(1, out.NextPageCalls());
    // One step and one breath per entry; the empty line and "#" count nothing.
    EXPECT_EQ(3, out.Progress());
    EXPECT_EQ(3, world.Breather().count);
}

// Every page ends with the trees linked on it, in the order of their
// numbers, each once; a page without a link to a tree names none.
TEST_F(IndexDataTest, ALegendHeadingEndsEveryPageWithTheTreesLinkedOnIt) {
    world.AddDocument("tree3/c.htx", "Smit & \"Zn\"", 3);
    world.SetPageCount(3);
    world.WriteEntries({"A\tAa\tJan\t\t\t\t1\t1\t1\t2,a.htm#1|0,a.htm#2",
                        "A\tAb\tPiet\t\t\t\t1\t2\t1\t2,a.htm#3",
                        "B\tBos\tEva\t\t\t\t2\t3\t1\t1,b.htm#3", "C\tCo\tIk\t\t\t\t3\t4\t1\t"});
    FakeTemplateOutput out(world.OutFolder(), {"index1.htm", "index2.htm", "index3.htm"}, 2);
    WriteIndexData(world.Run(), out, "", "Trees <i>here</i>");
    const std::string page1 = out.Text(0);
    const std::size_t legend = page1.find("  <div class=\"KSVIlegend\">");
    ASSERT_NE(std::string::npos, legend) << page1;
    EXPECT_EQ(
        "  <div class=\"KSVIlegend\"><p class=\"KSVIlegendHead\">Trees <i>here</i></p><ul>\r\n"
        "    <li><span class=\"KSVIlegendNr\">1</span> = Tree one</li>\r\n"
        "    <li><span class=\"KSVIlegendNr\">3</span> = Smit &amp; &quot;Zn&quot;</li>\r\n"
        "  </ul></div>\r\n",
        page1.substr(legend));
    EXPECT_NE(std::string::npos,
              out.Text(1).find("<li><span class=\"KSVIlegendNr\">2</span> = Tree two</li>\r\n"
                               "  </ul></div>\r\n"));
    EXPECT_EQ(std::string::npos, out.Text(1).find("Tree one</li>"));
    EXPECT_EQ(std::string::npos, out.Text(2).find("KSVIlegend"));

    // Without a heading the pages are as before.
    FakeTemplateOutput plain(world.OutFolder(), {"index1.htm", "index2.htm", "index3.htm"}, 2);
    WriteIndexData(world.Run(), plain, "");
    EXPECT_EQ(page1.substr(0, legend), plain.Text(0));
}

TEST_F(IndexDataTest, AnEntryThatIsNotSplitKeepsEveryPageInOneFile) {
    index->SetSplit(false);
    world.SetPageCount(2);
    world.WriteEntries(
        {"A\tAa\tJan\t\t\t\t1\t1\t1\t0,a.htm#1", "B\tBos\tEva\t\t\t\t2\t2\t1\t0,b.htm#2"});
    FakeTemplateOutput out(world.OutFolder(), {"index.htm", "never.htm"});
    WriteIndexData(world.Run(), out);
    const std::string text = out.Text(0);
    EXPECT_NE(std::string::npos, text.find("<a name=\"index1\" id=\"index1\"></a>\r\n"));
    EXPECT_NE(std::string::npos, text.find("<a name=\"index2\" id=\"index2\"></a>\r\n"));
    EXPECT_EQ(0, out.NextPageCalls());
}

TEST_F(IndexDataTest, APageThatStartsInsideASurnameStillGetsItsAnchorAndTheSurname) {
    world.SetPageCount(2);
    world.WriteEntries(
        {"A\tZwart\tJan\t\t\t\t1\t1\t1\t0,a.htm#1", "B\tZwart\tPiet\t\t\t\t2\t2\t1\t0,a.htm#2"});
    FakeTemplateOutput out(world.OutFolder(), {"index1.htm", "index2.htm"});
    WriteIndexData(world.Run(), out);
    EXPECT_EQ(
        "<a name=\"index2\" id=\"index2\"></a>\r\n"
        "<a name=\"bm2\" id=\"bm2\"></a>\r\n"
        "<span class=\"Idx1\">Zwart</span><br />\r\n"
        "<span class=\"Idx2\"><span class=\"VN\">Piet</span>"
        " <a class=\"IdxR\" href=\"../tree1/a.htm#2\" title=\"Tree one\">1</a></span><br />\r\n",
        out.Text(1));
}

TEST_F(IndexDataTest, YearsGivenNamesAndReferencesFollowTheOptions) {
    world.SetPageCount(1);
    world.WriteEntries({"A\tAa\t\t\t1850\t\t1\t1\t1\t0,a.htm#1",
                        "A\tAa\tJan\t\t\t1910\t1\t2\t1\t0,a.htm#2|1,|5,x.htm#1|0",
                        "A\tAa\tPiet\t\t\t\t1\t3\t1\t"});
    FakeTemplateOutput out(world.OutFolder(), {"index1.htm"});
    WriteIndexData(world.Run(), out);
    const std::string text = out.Text(0);
    // No given names: "?"; only the first year: "1850-"; years hidden.
    EXPECT_NE(std::string::npos,
              text.find("<span class=\"Idx2\"><span class=\"VN\" title=\"1850-\">?</span> <a "));
    // Items without a link or naming no document are left out.
    EXPECT_NE(std::string::npos,
              text.find("<span class=\"VN\" title=\"-1910\">Jan</span> <a class=\"IdxR\" "
                        "href=\"../tree1/a.htm#2\" title=\"Tree one\">1</a></span><br />\r\n"));
    EXPECT_NE(std::string::npos, text.find("<span class=\"VN\">Piet</span></span><br />\r\n"));
}

TEST_F(IndexDataTest, IgnoringYearsForDuplicatesDropsTheYearsText) {
    world.SetPageCount(1);
    world.Settings().IndexWithYears = true;
    world.Settings().DuplicatesIgnoreYears = true;
    world.WriteEntries({"A\tAa\tJan\t\t1850\t1910\t1\t1\t1\t0,a.htm#1"});
    FakeTemplateOutput out(world.OutFolder(), {"index1.htm"});
    WriteIndexData(world.Run(), out);
    EXPECT_NE(std::string::npos,
              out.Text(0).find("<span class=\"Idx2\"><span class=\"VN\">Jan</span> <a "));
}

TEST_F(IndexDataTest, NamesTitlesAndYearsAreEncodedAndLinksKeepTheirBytes) {
    world.SetPageCount(1);
    world.Settings().IndexWithYears = true;
    world.Document(0).Title = "Zo\xEB \"&\" co";
    world.WriteEntries(
        {"M\tM\xFCller, <d>\tZo\xEB & Anna\t\t<1\t\t1\t1\t1\t0,p\xE9 & q\"<x>.htm#i"});
    FakeTemplateOutput out(world.OutFolder(), {"index1.htm"});
    WriteIndexData(world.Run(), out);
    EXPECT_EQ(
        "<a name=\"index1\" id=\"index1\"></a>\r\n"
        "<a name=\"bm1\" id=\"bm1\"></a>\r\n"
        "<span class=\"Idx1\">M&uuml;ller, <span class=\"Idx1vv\">&lt;d&gt;</span></span><br />\r\n"
        "<span class=\"Idx2\"><span class=\"VN\" title=\"&lt;1-\">Zo&euml; &amp; Anna"
        "<span class=\"YR\"> (&lt;1-)</span></span>"
        " <a class=\"IdxR\" href=\"../tree1/p\xE9 &amp; q&quot;&lt;x&gt;.htm#i\""
        " title=\"Zo&euml; &quot;&amp;&quot; co\">1</a></span><br />\r\n",
        out.Text(0));
}

// A link that is no path and no web address as the tree gives it (also
// climbing out of a folder of the output folder, or joined to a folder
// beside it) keeps its number and title, without a link.
TEST_F(IndexDataTest, ALinkThatIsAScriptIsWrittenWithoutHref) {
    world.SetPageCount(1);
    world.AddDocument("out/own.htx", "Own", 3);
    world.AddDocument("out/sub/deep.htx", "Deep", 4);
    world.WriteEntries({"J\tJansen\tJan0\t\t\t\t1\t1\t1\t2,JavaScript:alert(1)",
                        "J\tJansen\tJan1\t\t\t\t1\t2\t1\t3,../javascript:alert(1)",
                        "J\tJansen\tJan2\t\t\t\t1\t3\t1\t0,javascript:alert(1)"});
    FakeTemplateOutput out(world.OutFolder(), {"index1.htm"});
    WriteIndexData(world.Run(), out);
    const std::string text = out.Text(0);
    for (const std::string link : {"Jan0</span> <a class=\"IdxR\" title=\"Own\">3</a>",
                                   "Jan1</span> <a class=\"IdxR\" title=\"Deep\">4</a>",
                                   "Jan2</span> <a class=\"IdxR\" title=\"Tree one\">1</a>"})
        EXPECT_NE(std::string::npos, text.find(link)) << link << "\n" << text;
}

TEST_F(IndexDataTest, NoRecordFileWritesNothing) {
    FakeTemplateOutput out(world.OutFolder(), {"index1.htm"});
    WriteIndexData(world.Run(), out);
    EXPECT_EQ("", out.Text(0));
    EXPECT_EQ(0, out.Progress());
}

// The whole way from index documents through merging and paging to HTML.
TEST(IndexDataRun, MergedDocumentsComeOutWithOneNumberedLinkPerTree) {
    test::TempDir dir;
    const std::string root = dir.path().string() + "/";
    std::filesystem::create_directories(root + "t1");
    std::filesystem::create_directories(root + "t2");
    const std::string head = "[KESTRIN]\r\nversion=3.22\r\ntype=htx\r\nformat=1\r\n[metadata]\r\n";
    test::WriteFileBytes(root + "t1/a.htx", head +
                                                "title=One\r\nhtmfile=start.htm\r\n[indexdata]\r\n"
                                                "J\tJansen\tJan\t\t1850\t\t1\tp2.htm#j\r\n");
    test::WriteFileBytes(root + "t2/b.htx", head + "title=Two\r\n[indexdata]\r\n"
                                                   "J\tJansen\tJan\t\t1850\t\t4\tq.htm#k\r\n");
    TKShtxData one(root + "t1/a.htx");
    TKShtxData two(root + "t2/b.htx");
    TKSkslData layout;
    layout.Items.push_back(std::make_unique<TKSkslFile>(layout, TKSkslFile::kTemplate));
    layout.Items.back()->ParseLine("index, index.tpl, index.htm, Index");
    TKSrunSettings settings;
    settings.Documents = {{&one, true}, {&two, true}};
    settings.Layout = &layout;
    settings.TempSwitchFolder = root;
    settings.DeveloperMode = true;
    TKSbuilder builder(settings);
    TKSnullProgressBar bar;
    TKSnullBreather breather;
    builder.MergeStep(bar, breather);
    builder.DuplicatesStep(bar, breather);
    builder.State().StartEntry(layout.Items.back().get(), 1);

    FakeTemplateOutput out(root + "site/", {"index.htm"}, 1);
    WriteIndexData(builder.View(), out);
    EXPECT_EQ(" <a name=\"index1\" id=\"index1\"></a>\r\n"
              " <a name=\"bm1\" id=\"bm1\"></a>\r\n"
              " <span class=\"Idx1\">Jansen</span><br />\r\n"
              " <span class=\"Idx2\"><span class=\"VN\" title=\"1850-\">Jan</span>"
              " <a class=\"IdxR\" href=\"../t1/p2.htm#j\" title=\"One\">1</a>"
              " <a class=\"IdxR\" href=\"../t2/q.htm#k\" title=\"Two\">2</a></span><br />\r\n",
              out.Text(0));
    WriteReportList(builder.View(), out, "title");
    // The tree's title opens the start page its document names.
    EXPECT_NE(std::string::npos,
              out.Text(0).find("<a class=\"KSVItd_href\" href=\"../t1/start.htm\">One</a>"));
}

} // namespace
} // namespace ks
