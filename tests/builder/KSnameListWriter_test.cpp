#include "builder/writers/KSnameListWriter.h"

#include "support/WriterTestKit.h"

#include <gtest/gtest.h>

#include <regex>

namespace ks {
namespace {

using test::FakeTemplateOutput;
using test::WriterWorld;

std::string Entry(const std::string& surname, int32_t page, int32_t record) {
    return "X\t" + surname + "\tJan\t\t\t\t" + std::to_string(page) + "\t" +
           std::to_string(record) + "\t1\t0,a.htm#1";
}

// Names on their own pages (names#NR!.htm) linking to the index pages.
class NameListTest : public ::testing::Test {
protected:
    NameListTest() {
        world.AddDocument("tree1/a.htx", "Tree one", 1);
        world.AddEntry("index, index.tpl, index#NR!.htm, Index pages", true);
        names = &world.AddEntry("names, names.tpl, names#NR!.htm, Names", true);
        world.State().StartEntry(names, 1);
        world.State().IndexType = TKSindexType::Parts50;
        world.SetPages({{"J", "Jansen", "Klaassen", 4}, {"M", "Mulder, de", "Mulder, de", 5}});
        std::vector<std::string> lines;
        for (int32_t r = 12; r <= 14; ++r)
            lines.push_back(Entry("Jansen", 1, r));
        lines.push_back(Entry("Klaassen", 1, 15));
        for (int32_t r = 16; r <= 20; ++r)
            lines.push_back(Entry("Mulder, de", 2, r));
        world.WriteEntries(lines);
    }

    WriterWorld world;
    TKSkslFile* names = nullptr;
};

TEST_F(NameListTest, WritesOneBlockPerPageAndMovesOnWithTheSplitOutput) {
    FakeTemplateOutput out(world.OutFolder(), {"names1.htm", "names2.htm"}, 2);
    WriteNameList(world.Run(), out, "index");
    EXPECT_EQ("  <span class=\"KSVIletter\">\r\n"
              "    <a name=\"index1\" id=\"index1\"></a>\r\n"
              "    <span class=\"Letter\">Ja</span>\r\n"
              "    <span class=\"FromTo\">Jansen - Klaassen</span>\r\n"
              "    <span class=\"Records\">\r\n"
              "      <span class=\"Record\"><span class=\"N2\"><a href=\"index1.htm#bm12\" "
              "class=\"Naam\">Jansen</a> <span class=\"Aantal\">(3)</span></span> |</span>\r\n"
              "      <span class=\"Record\"><span class=\"N1\"><a href=\"index1.htm#bm15\" "
              "class=\"Naam\">Klaassen</a> <span class=\"Aantal\">(1)</span></span></span>\r\n"
              "    </span>\r\n"
              "  </span>\r\n",
              out.Text(0));
    EXPECT_EQ("  <span class=\"KSVIletter\">\r\n"
              "    <a name=\"index2\" id=\"index2\"></a>\r\n"
              "    <span class=\"Letter\">Mu</span>\r\n"
              "    <span class=\"FromTo\">Mulder, de</span>\r\n"
              "    <span class=\"Records\">\r\n"
              "      <span class=\"Record\"><span class=\"N5\"><a href=\"index2.htm#bm16\" "
              "class=\"Naam\">Mulder, <span class=\"VV\">de</span></a> <span "
              "class=\"Aantal\">(5)</span></span></span>\r\n"
              "    </span>\r\n"
              "  </span>\r\n",
              out.Text(1));
    EXPECT_EQ(1, out.NextPageCalls());
    EXPECT_EQ(9, out.Progress());
    EXPECT_EQ(9, world.Breather().count);
}

// Per letter, one tree files IJzerman under "I" and another under "IJ": the
// surname runs over a page change.
TEST(NameListPages, ASurnameOnTwoPagesGetsAnItemOnEachAndEveryPageItsFile) {
    WriterWorld world;
    world.AddDocument("tree1/a.htx", "Tree one", 1);
    world.AddEntry("index, index.tpl, index#NR!.htm, Index pages", true);
    TKSkslFile& names = world.AddEntry("names, names.tpl, names#NR!.htm, Names", true);
    world.State().StartEntry(&names, 1);
    world.SetPages({{"I", "Ites", "IJzerman", 3},
                    {"IJ", "IJzerman", "IJzerman", 1},
                    {"J", "Jansen", "Jansen", 1}});
    world.WriteEntries({"I\tItes\tJan\t\t\t\t1\t1\t1\t0,a.htm#1",
                        "I\tIJzerman\tAnna\t\t\t\t1\t2\t1\t0,a.htm#2",
                        "I\tIJzerman\tPiet\t\t\t\t1\t3\t1\t0,a.htm#3",
                        "IJ\tIJzerman\tKees\t\t\t\t2\t4\t1\t0,a.htm#4",
                        "J\tJansen\tJan\t\t\t\t3\t5\t1\t0,a.htm#5"});
    FakeTemplateOutput out(world.OutFolder(), {"names1.htm", "names2.htm", "names3.htm", "x.htm"});
    WriteNameList(world.Run(), out, "index");
    EXPECT_EQ(2, out.NextPageCalls()) << "one file per page, no more, no less";
    const std::string first = out.Text(0);
    EXPECT_NE(std::string::npos, first.find("<a name=\"index1\""));
    EXPECT_NE(
        std::string::npos,
        first.find("<span class=\"N2\"><a href=\"index1.htm#bm2\" class=\"Naam\">IJzerman</a> "
                   "<span class=\"Aantal\">(2)</span></span></span>\r\n  </span>\r\n"
                   "</span>\r\n"))
        << first;
    EXPECT_EQ(std::string::npos, first.find("index2")) << first;
    // The second page's own block, linking to where that page starts.
    EXPECT_EQ("<span class=\"KSVIletter\">\r\n"
              "  <a name=\"index2\" id=\"index2\"></a>\r\n"
              "  <span class=\"Letter\">IJ</span>\r\n"
              "  <span class=\"FromTo\">IJ</span>\r\n"
              "  <span class=\"Records\">\r\n"
              "    <span class=\"Record\"><span class=\"N1\"><a href=\"index2.htm#bm4\" "
              "class=\"Naam\">IJzerman</a> <span class=\"Aantal\">(1)</span></span></span>\r\n"
              "  </span>\r\n"
              "</span>\r\n",
              out.Text(1));
    EXPECT_NE(std::string::npos, out.Text(2).find("<a name=\"index3\" id=\"index3\"></a>"));
    EXPECT_NE(std::string::npos, out.Text(2).find("index3.htm#bm5"));
}

TEST_F(NameListTest, AnOutputThatIsNotSplitHoldsEveryBlockAndLinksIntoTheSingleFile) {
    names->SetSplit(false);
    world.Layout().FindItem("index")->SetSplit(false);
    FakeTemplateOutput out(world.OutFolder(), {"names.htm", "never.htm"});
    WriteNameList(world.Run(), out, "INDEX");
    const std::string text = out.Text(0);
    EXPECT_EQ(0, out.NextPageCalls());
    EXPECT_NE(std::string::npos, text.find("<a href=\"index.htm#bm12\" class=\"Naam\">"));
    EXPECT_NE(std::string::npos, text.find("</span>\r\n<span class=\"KSVIletter\">\r\n"
                                           "  <a name=\"index2\" id=\"index2\"></a>\r\n"));
}

TEST_F(NameListTest, OpeningAndClosingTextsAreTheLayoutsOwn) {
    FakeTemplateOutput two(world.OutFolder(), {"a1.htm", "a2.htm"});
    WriteNameList(world.Run(), two, "index,[");
    EXPECT_NE(std::string::npos, two.Text(0).find("<span class=\"Aantal\">[3)</span>"));

    FakeTemplateOutput three(world.OutFolder(), {"b1.htm", "b2.htm"});
    WriteNameList(world.Run(), three, "index,<b>, names, or so</b>");
    EXPECT_NE(std::string::npos,
              three.Text(0).find("<span class=\"Aantal\"><b>3 names, or so</b></span>"));
}

TEST_F(NameListTest, AnUnknownEntryWritesNothing) {
    FakeTemplateOutput out(world.OutFolder(), {"names1.htm", "names2.htm"});
    WriteNameList(world.Run(), out, "nothing");
    EXPECT_EQ("", out.Text(0));
    EXPECT_EQ(0, out.NextPageCalls());
}

// Escaped, a page name that would read as a scheme is a plain path to it.
TEST(NameListPages, AnIndexPageThatReadsAsAScriptIsEscapedAsAPath) {
    WriterWorld world;
    world.AddEntry("index, index.tpl, data:text/html#NR!, Index pages", true);
    world.SetPages({{"J", "Jansen", "Jansen", 1}});
    world.WriteEntries({Entry("Jansen", 1, 12)});
    FakeTemplateOutput out(world.OutFolder(), {"names.htm"});
    WriteNameList(world.Run(), out, "index");
    EXPECT_NE(std::string::npos,
              out.Text(0).find("<span class=\"Record\"><span class=\"N1\"><a "
                               "href=\"data%3Atext/html1#bm12\" class=\"Naam\">Jansen</a> "
                               "<span class=\"Aantal\">(1)</span></span></span>"))
        << out.Text(0);
}

TEST(NameListSizes, SizeClassesGrowAtTwoFiveAndTen) {
    WriterWorld world;
    world.AddDocument("tree1/a.htx", "Tree one", 1);
    world.State().StartEntry(&world.AddEntry("index, index.tpl, index.htm, Index", false), 1);
    world.SetPages({{"A", "Aa", "Dd", 24}});
    std::vector<std::string> lines;
    int32_t record = 0;
    for (const auto& [surname, n] :
         std::vector<std::pair<std::string, int>>{{"Aa", 4}, {"Bb", 5}, {"Cc", 9}, {"Dd", 10}})
        for (int i = 0; i < n; ++i)
            lines.push_back(Entry(surname, 1, ++record));
    world.WriteEntries(lines);
    FakeTemplateOutput out(world.OutFolder(), {"index.htm"});
    WriteNameList(world.Run(), out, "index");
    const std::string text = out.Text(0);
    EXPECT_NE(std::string::npos, text.find("<span class=\"N2\"><a href=\"index.htm#bm1\""));
    EXPECT_NE(std::string::npos, text.find("<span class=\"N5\"><a href=\"index.htm#bm5\""));
    EXPECT_NE(std::string::npos, text.find("<span class=\"N5\"><a href=\"index.htm#bm10\""));
    EXPECT_NE(std::string::npos, text.find("<span class=\"N10\"><a href=\"index.htm#bm19\""));
    // Index type 1: the group letter in both labels.
    EXPECT_NE(std::string::npos, text.find("<span class=\"Letter\">A</span>\r\n"
                                           "  <span class=\"FromTo\">A</span>\r\n"));
}

TEST(NameListLabels, KeyLabelsAndSurnamesAreEncoded) {
    WriterWorld world;
    world.AddDocument("tree1/a.htx", "Tree one", 1);
    world.State().StartEntry(&world.AddEntry("index, index.tpl, index.htm, Index", false), 1);
    world.State().IndexType = TKSindexType::Parts100;
    world.SetPages({{"_", "D\xFCrer & co", "E\"", 2}});
    world.WriteEntries({Entry("D\xFCrer & co", 1, 1), Entry("E\"", 1, 2)});
    FakeTemplateOutput out(world.OutFolder(), {"index.htm"});
    WriteNameList(world.Run(), out, "index");
    const std::string text = out.Text(0);
    EXPECT_NE(std::string::npos, text.find("<span class=\"Letter\">D&uuml;</span>"));
    EXPECT_NE(std::string::npos,
              text.find("<span class=\"FromTo\">D&uuml;rer &amp; co - E&quot;</span>"));
    EXPECT_NE(std::string::npos, text.find("class=\"Naam\">D&uuml;rer &amp; co</a>"));
}

// Ordered by the number of persons: most first, ties in the order of the
// index, a surname filed under two letters once (linking to its first
// entry), limited when a number is given; one list whatever the split.
TEST(NameListByCount, ListsTheMostFrequentSurnamesFirst) {
    WriterWorld world;
    world.AddDocument("tree1/a.htx", "Tree one", 1);
    world.AddEntry("index, index.tpl, index#NR!.htm, Index pages", true);
    TKSkslFile& names = world.AddEntry("names, names.tpl, names#NR!.htm, Names", true);
    world.State().StartEntry(&names, 1);
    world.SetPages({{"I", "IJzer", "Klaassen", 5}, {"IJ", "IJzer", "Mulder", 4}});
    world.WriteEntries({Entry("IJzer", 1, 1), Entry("Jansen", 1, 2), Entry("Jansen", 1, 3),
                        Entry("Klaassen", 1, 4), Entry("Klaassen", 1, 5), Entry("IJzer", 2, 6),
                        Entry("Mulder", 2, 7), Entry("Mulder", 2, 8), Entry("Mulder", 2, 9),
                        Entry("?", 2, 10), Entry("?", 2, 11), Entry("?", 2, 12),
                        Entry("?", 2, 13)});
    const struct {
        const char* arguments;
        const char* expected; // surname, count and target per item
    } cases[] = {
        {"index frequent,[,]", "Mulder [3] index2.htm#bm7|IJzer [2] index1.htm#bm1|"
                               "Jansen [2] index1.htm#bm2|Klaassen [2] index1.htm#bm4|"},
        {"index  FREQUENT 2", "Mulder (3) index2.htm#bm7|IJzer (2) index1.htm#bm1|"},
        {"index 2 frequent", "Mulder (3) index2.htm#bm7|IJzer (2) index1.htm#bm1|"},
    };
    const std::regex item("<li class=\"Record\"><span class=\"N\\d+\"><a href=\"([^\"]+)\" "
                          "class=\"Naam\">([^<]+)</a> <span class=\"Aantal\">([^<]+)</span>"
                          "</span></li>\r\n");
    for (const auto& c : cases) {
        FakeTemplateOutput out(world.OutFolder(), {"names1.htm", "names2.htm"}, 2);
        WriteNameList(world.Run(), out, c.arguments);
        const std::string text = out.Text(0);
        std::string found;
        for (std::sregex_iterator it(text.begin(), text.end(), item), end; it != end; ++it)
            found += (*it)[2].str() + " " + (*it)[3].str() + " " + (*it)[1].str() + "|";
        EXPECT_EQ(c.expected, found) << c.arguments;
        EXPECT_EQ(0u, text.find("  <ol class=\"KSVIfrequent\">\r\n")) << text;
        EXPECT_EQ(0, out.NextPageCalls()) << c.arguments;
    }
}

} // namespace
} // namespace ks
