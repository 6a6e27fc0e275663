#include "builder/writers/KSindexKeysWriter.h"

#include "support/WriterTestKit.h"

#include <gtest/gtest.h>

namespace ks {
namespace {

using test::FakeTemplateOutput;
using test::WriterWorld;

class IndexKeysTest : public ::testing::Test {
protected:
    IndexKeysTest() {
        index = &world.AddEntry("index, index.tpl, index#NR!.htm, Index pages", true);
        world.SetPages({{"A", "Aa", "Bos", 7},
                        {"J", "Jansen", "jansen", 1},
                        {"J", "Jansen", "Klaassen", 412}});
    }

    WriterWorld world;
    TKSkslFile* index = nullptr;
};

TEST_F(IndexKeysTest, FewPagesPerTwoLettersGiveARowOfLinks) {
    world.State().IndexType = TKSindexType::TwoLetters;
    FakeTemplateOutput out(world.OutFolder(), {"frame.htm"}, 3);
    WriteIndexKeys(world.Run(), out, "index");
    EXPECT_EQ(
        "     <span class=\"KSVIkey\"><a href=\"index1.htm\" title=\"Aa - Bos "
        "(7)\">Aa</a></span>\r\n"
        "     <span class=\"KSVIkey\"><a href=\"index2.htm\" title=\"jansen (1)\">Ja</a></span>\r\n"
        "     <span class=\"KSVIkey\"><a href=\"index3.htm\" title=\"Jansen - Klaassen "
        "(412)\">Ja</a></span>\r\n",
        out.Text(0));
    EXPECT_EQ(3, out.Progress());
    EXPECT_EQ(0, world.State().KeyMenuCounter);

    FakeTemplateOutput framed(world.OutFolder(), {"frame2.htm"});
    WriteIndexKeys(world.Run(), framed, "index,VIindex");
    EXPECT_NE(std::string::npos,
              framed.Text(0).find("<span class=\"KSVIkey\"><a href=\"index1.htm\" title=\"Aa - Bos "
                                  "(7)\" target=\"VIindex\">Aa</a></span>\r\n"));
}

TEST_F(IndexKeysTest, PartsOfEqualSizeGiveANumberedMenuThatMarksThePageBeingWritten) {
    world.State().IndexType = TKSindexType::Parts50;
    world.State().StartEntry(index, 3);
    FakeTemplateOutput out(world.OutFolder(), {"index3.htm"}, 1);
    WriteIndexKeys(world.Run(), out, "index,VIindex");
    EXPECT_EQ(" <script type=\"text/javascript\">\r\n"
              "   function selectkey1() \r\n"
              "   {\r\n"
              "     if (document.getElementById(\"keymenu1\").value != \"none\")\r\n"
              "     {\r\n"
              "       parent.VIindex.location=document.getElementById(\"keymenu1\").value;\r\n"
              "     }\r\n"
              "   }\r\n"
              " </script>\r\n"
              " <select id=\"keymenu1\" class=\"KSVIkeyMenu\" onchange=\"selectkey1()\">\r\n"
              "   <option class=\"KSVIkeyOption\" value=\"index1.htm\" title=\"Aa - Bos (7)\">Aa - "
              "Bos</option>\r\n"
              "   <option class=\"KSVIkeyOption\" value=\"index2.htm\" title=\"jansen "
              "(1)\">Jansen</option>\r\n"
              "   <option class=\"KSVIkeyOption\" value=\"index3.htm\" title=\"Jansen - Klaassen "
              "(412)\" selected=\"selected\">Jansen - Klaassen</option>\r\n"
              " </select>\r\n",
              out.Text(0));
    EXPECT_EQ(1, world.State().KeyMenuCounter);

    // A second menu in the same output gets the next number; outside the
    // entry's own output nothing is selected.
    FakeTemplateOutput other(world.OutFolder(), {"frame.htm"});
    WriteIndexKeys(world.Run(), other, "index");
    const std::string text = other.Text(0);
    EXPECT_NE(std::string::npos, text.find("  function selectkey2() \r\n"));
    EXPECT_NE(std::string::npos,
              text.find("      window.location=document.getElementById(\"keymenu2\").value;\r\n"));
    EXPECT_EQ(std::string::npos, text.find("selected"));
}

TEST_F(IndexKeysTest, AnExplicitMenuNumberAndEmptyChoiceTakePrecedence) {
    world.State().IndexType = TKSindexType::FirstLetter;
    world.State().StartEntry(index, 2);
    FakeTemplateOutput out(world.OutFolder(), {"index2.htm"});
    WriteIndexKeys(world.Run(), out, "index,,7,<i>kies</i>");
    const std::string text = out.Text(0);
    EXPECT_NE(std::string::npos, text.find("<select id=\"keymenu7\" class=\"KSVIkeyMenu\" "
                                           "onchange=\"selectkey7()\">\r\n"
                                           "  <option class=\"KSVIkeyOption\" value=\"none\" "
                                           "selected=\"selected\"><i>kies</i></option>\r\n"));
    // The empty choice is the selected one, so page 2 is not.
    EXPECT_EQ(std::string::npos, text.find("title=\"jansen (1)\" selected"));
    EXPECT_NE(std::string::npos, text.find("value=\"index2.htm\" title=\"jansen (1)\">J</option>"));
    EXPECT_EQ(0, world.State().KeyMenuCounter);
}

TEST_F(IndexKeysTest, AMenuNumberOfZeroOrNoNumberGivesLinks) {
    world.State().IndexType = TKSindexType::Parts250;
    for (const std::string arguments : {"index,,0", "index,,", "index,,x7,label"}) {
        FakeTemplateOutput out(world.OutFolder(), {"frame.htm"});
        WriteIndexKeys(world.Run(), out, arguments);
        const std::string text = out.Text(0);
        EXPECT_EQ(std::string::npos, text.find("<select")) << arguments;
        EXPECT_NE(std::string::npos, text.find("<span class=\"KSVIkey\"><a href=\"index1.htm\" "
                                               "title=\"Aa - Bos (7)\">Aa</a></span>"))
            << arguments;
    }
}

TEST_F(IndexKeysTest, CurrentMarksTheLinkOfThePageBeingWrittenOnlyInTheEntrysOwnPages) {
    world.State().IndexType = TKSindexType::FirstLetter;
    world.State().StartEntry(index, 2);
    FakeTemplateOutput own(world.OutFolder(), {"index2.htm"});
    WriteIndexKeys(world.Run(), own, "index,_self,0,,current");
    EXPECT_EQ("  <span class=\"KSVIkey\"><a href=\"index1.htm\" title=\"Aa - Bos "
              "(7)\" target=\"_self\">A</a></span>\r\n"
              "  <span class=\"KSVIkey\"><a href=\"index2.htm\" title=\"jansen (1)\" "
              "target=\"_self\" aria-current=\"page\">J</a></span>\r\n"
              "  <span class=\"KSVIkey\"><a href=\"index3.htm\" title=\"Jansen - Klaassen "
              "(412)\" target=\"_self\">J</a></span>\r\n",
              own.Text(0));

    // Without the option, on another page, or in a menu: no aria-current.
    for (const std::string arguments :
         {"index,,0", "index,,0,,", "index,,0,,other", "index,,5,,current"}) {
        FakeTemplateOutput out(world.OutFolder(), {"index2.htm"});
        WriteIndexKeys(world.Run(), out, arguments);
        EXPECT_EQ(std::string::npos, out.Text(0).find("aria-current")) << arguments;
    }
    FakeTemplateOutput frame(world.OutFolder(), {"frame.htm"});
    WriteIndexKeys(world.Run(), frame, "index,VIindex,0,,CURRENT");
    EXPECT_EQ(std::string::npos, frame.Text(0).find("aria-current"));
}

TEST_F(IndexKeysTest, DistinctGivesEveryPartALabelOfItsOwn) {
    world.State().IndexType = TKSindexType::Parts50;
    // Jansen fills pages 2 to 4 (a surname cut over pages), in any case.
    world.SetPages({{"A", "Aa", "Bos", 7},
                    {"J", "Jansen", "Jansen", 9},
                    {"J", "JANSEN", "jansen", 9},
                    {"J", "Jansen", "Klaassen", 4},
                    {"K", "Kok, de", "Kok, de", 2}});
    FakeTemplateOutput links(world.OutFolder(), {"frame.htm"});
    WriteIndexKeys(world.Run(), links, "index,,0,,distinct");
    EXPECT_EQ(
        "  <span class=\"KSVIkey\"><a href=\"index1.htm\" title=\"Aa - Bos (7)\">Aa</a></span>\r\n"
        "  <span class=\"KSVIkey\"><a href=\"index2.htm\" title=\"Jansen "
        "(9)\">Jansen</a></span>\r\n"
        "  <span class=\"KSVIkey\"><a href=\"index3.htm\" title=\"jansen (9)\">JANSEN "
        "2</a></span>\r\n"
        "  <span class=\"KSVIkey\"><a href=\"index4.htm\" title=\"Jansen - Klaassen (4)\">Jansen "
        "3</a></span>\r\n"
        "  <span class=\"KSVIkey\"><a href=\"index5.htm\" title=\"Kok, de (2)\">Kok, "
        "de</a></span>\r\n",
        links.Text(0));

    // A menu keeps its ranges and numbers only a range that repeats.
    FakeTemplateOutput menu(world.OutFolder(), {"frame.htm"});
    WriteIndexKeys(world.Run(), menu, "index,,8,choose,Distinct current");
    const std::string text = menu.Text(0);
    EXPECT_NE(std::string::npos, text.find("title=\"Aa - Bos (7)\">Aa - Bos</option>"));
    EXPECT_NE(std::string::npos, text.find("title=\"Jansen (9)\">Jansen</option>"));
    EXPECT_NE(std::string::npos, text.find("title=\"jansen (9)\">JANSEN 2</option>"));
    EXPECT_NE(std::string::npos,
              text.find("title=\"Jansen - Klaassen (4)\">Jansen - Klaassen</option>"));

    // Without the option the labels are those of the rule: two letters.
    FakeTemplateOutput plain(world.OutFolder(), {"frame.htm"});
    WriteIndexKeys(world.Run(), plain, "index,,0");
    EXPECT_NE(std::string::npos, plain.Text(0).find("title=\"jansen (9)\">Ja</a>"));
    EXPECT_NE(std::string::npos, plain.Text(0).find("title=\"Jansen - Klaassen (4)\">Ja</a>"));
}

// Parts chosen by size: Bakker is cut over pages 1 and 2, page 3 holds J and K.
class LetterRowTest : public IndexKeysTest {
protected:
    LetterRowTest() {
        world.State().RequestedIndexType = TKSindexType::Auto;
        world.State().IndexType = TKSindexType::Parts50;
        world.SetPages(
            {{"A", "Aa", "Bakker", 7}, {"B", "Bakker", "Bos", 9}, {"J", "Jansen", "Kok_", 4}});
        TKSpageList& pages = world.State().Pages;
        pages.PageData(1).Letters = {{"A", "Aa"}, {"B", "Bakker"}};
        pages.PageData(2).Letters = {{"B", "Bakker"}};
        pages.PageData(3).Letters = {{"J", "Jansen"}, {"K", "Kok_"}};
    }
};

TEST_F(LetterRowTest, EachLetterLeadsToItsFirstPartWithItsPartsBesideIt) {
    world.State().StartEntry(index, 2);
    FakeTemplateOutput out(world.OutFolder(), {"index2.htm"});
    WriteIndexKeys(world.Run(), out, "index,,0,,current distinct");
    EXPECT_EQ("  <span class=\"KSVIkey\"><a href=\"index1.htm\" title=\"Aa - Bakker "
              "(7)\">A</a></span>\r\n"
              "  <span class=\"KSVIkey\"><a href=\"index1.htm\" title=\"Aa - Bakker "
              "(7)\">B</a></span>\r\n"
              "  <span class=\"KSVIkeyParts\"><a href=\"index1.htm\" title=\"Aa - Bakker "
              "(7)\">Bakker</a> <a href=\"index2.htm\" title=\"Bakker - Bos (9)\" "
              "aria-current=\"page\">Bakker 2</a></span>\r\n"
              "  <span class=\"KSVIkey\"><a href=\"index3.htm\" title=\"Jansen - Kok_ "
              "(4)\">J</a></span>\r\n"
              "  <span class=\"KSVIkey\"><a href=\"index3.htm\" title=\"Jansen - Kok_ "
              "(4)\">K</a></span>\r\n",
              out.Text(0));
    EXPECT_EQ(3, out.Progress());

    // Every link to the page being written is marked, letters as well as parts;
    // framed, in its pane.
    world.State().StartEntry(index, 1);
    FakeTemplateOutput first(world.OutFolder(), {"index1.htm"});
    WriteIndexKeys(world.Run(), first, "index,VIindex,0,,current");
    EXPECT_NE(std::string::npos, first.Text(0).find("title=\"Aa - Bakker (7)\" target=\"VIindex\" "
                                                    "aria-current=\"page\">B</a>"));
    int marks = 0; // A, B and the part Bakker
    for (auto at = first.Text(0).find("aria-current"); at != std::string::npos;
         at = first.Text(0).find("aria-current", at + 1))
        ++marks;
    EXPECT_EQ(3, marks);
}

TEST_F(LetterRowTest, OnlyTheDivisionChosenBySizeKeepsTheRowOfLetters) {
    // Without a menu number: the row, not a menu.
    FakeTemplateOutput row(world.OutFolder(), {"frame.htm"});
    WriteIndexKeys(world.Run(), row, "index");
    EXPECT_NE(std::string::npos, row.Text(0).find("\">K</a></span>"));
    EXPECT_EQ(0, world.State().KeyMenuCounter);
    // A menu asked for stays a menu of the parts.
    FakeTemplateOutput menu(world.OutFolder(), {"frame.htm"});
    WriteIndexKeys(world.Run(), menu, "index,,9001,choose");
    EXPECT_NE(std::string::npos, menu.Text(0).find(">Bakker - Bos</option>"));

    // Parts chosen by the user, or the size choosing per letter: as before.
    for (const auto& [requested, used] :
         {std::pair{TKSindexType::Parts50, TKSindexType::Parts50},
          std::pair{TKSindexType::Auto, TKSindexType::FirstLetter}}) {
        world.State().RequestedIndexType = requested;
        world.State().IndexType = used;
        FakeTemplateOutput links(world.OutFolder(), {"frame.htm"});
        WriteIndexKeys(world.Run(), links, "index,,0");
        EXPECT_EQ(std::string::npos, links.Text(0).find("KSVIkeyParts")) << links.Text(0);
        EXPECT_NE(std::string::npos,
                  links.Text(0).find("<a href=\"index2.htm\" title=\"Bakker - Bos (9)\">"));
    }
}

TEST(IndexKeysPages, CurrentMarksNothingInTheSingleFileOfAnEntryThatIsNotSplit) {
    WriterWorld world;
    world.AddEntry("all, all.tpl, all#NR!.htm, All", false);
    world.State().IndexType = TKSindexType::FirstLetter;
    world.SetPages({{"A", "Aa", "Aa", 1}, {"B", "Bos", "Bos", 2}});
    FakeTemplateOutput out(world.OutFolder(), {"all.htm"});
    WriteIndexKeys(world.Run(), out, "all,,0,,current");
    EXPECT_EQ(std::string::npos, out.Text(0).find("aria-current"));
    EXPECT_NE(std::string::npos, out.Text(0).find("<a href=\"all.htm#index1\""));
}

TEST(IndexKeysPages, MoreThanThirtyPagesGiveAMenuEvenPerLetter) {
    WriterWorld world;
    world.AddEntry("index, index.tpl, index#NR!.htm, Index pages", true);
    world.State().IndexType = TKSindexType::FirstLetter;
    world.SetPageCount(31);
    FakeTemplateOutput menu(world.OutFolder(), {"a.htm"});
    WriteIndexKeys(world.Run(), menu, "index");
    EXPECT_NE(std::string::npos, menu.Text(0).find("<select id=\"keymenu1\""));
    EXPECT_NE(std::string::npos,
              menu.Text(0).find("value=\"index31.htm\" title=\"S31 (1)\">L</option>"));
    EXPECT_EQ(31, menu.Progress());

    world.SetPageCount(30);
    FakeTemplateOutput links(world.OutFolder(), {"b.htm"});
    WriteIndexKeys(world.Run(), links, "index");
    EXPECT_EQ(std::string::npos, links.Text(0).find("<select"));
    EXPECT_NE(std::string::npos,
              links.Text(0).find("<a href=\"index30.htm\" title=\"S30 (1)\">L</a>"));
}

TEST(IndexKeysPages, AnEntryThatIsNotSplitLinksToTheAnchorsOfItsSingleFile) {
    WriterWorld world;
    world.AddEntry("all, all.tpl, #PREFIX!&all#NR!.htm, All", false);
    world.State().BaseName = "my";
    world.State().IndexType = TKSindexType::TwoLetters;
    world.SetPages({{"A", "A&b", "A&b", 1}, {"B", "B<", "Bz", 2}});
    FakeTemplateOutput out(world.OutFolder(), {"my&all.htm"});
    WriteIndexKeys(world.Run(), out, "all");
    EXPECT_EQ("  <span class=\"KSVIkey\"><a href=\"my&amp;all.htm#index1\" title=\"A&amp;b "
              "(1)\">A&amp;</a></span>\r\n"
              "  <span class=\"KSVIkey\"><a href=\"my&amp;all.htm#index2\" title=\"B&lt; - Bz "
              "(2)\">B&lt;</a></span>\r\n",
              out.Text(0));
}

// Pages whose file name would read as a script (a layout of someone
// else's): escaped, the name is a plain path to the page, in links and menus.
TEST(IndexKeysPages, APageFileThatReadsAsAScriptIsEscapedAsAPath) {
    WriterWorld world;
    world.AddEntry("index, index.tpl, JavaScript:alert(#NR!), Index pages", true);
    world.SetPages({{"A", "Aa", "Bos", 7}});
    world.State().IndexType = TKSindexType::TwoLetters;
    FakeTemplateOutput links(world.OutFolder(), {"frame.htm"});
    WriteIndexKeys(world.Run(), links, "index");
    EXPECT_EQ("  <span class=\"KSVIkey\"><a href=\"JavaScript%3Aalert(1)\" title=\"Aa - Bos "
              "(7)\">Aa</a></span>\r\n",
              links.Text(0));
    FakeTemplateOutput menu(world.OutFolder(), {"menu.htm"});
    WriteIndexKeys(world.Run(), menu, "index,,1");
    EXPECT_NE(std::string::npos,
              menu.Text(0).find("<option class=\"KSVIkeyOption\" value=\"JavaScript%3Aalert(1)\" "
                                "title=\"Aa - Bos (7)\">"))
        << menu.Text(0);
}

TEST(IndexKeysPages, AnUnknownEntryWritesNothing) {
    WriterWorld world;
    world.SetPageCount(3);
    FakeTemplateOutput out(world.OutFolder(), {"a.htm"});
    WriteIndexKeys(world.Run(), out, "nothing");
    EXPECT_EQ("", out.Text(0));
    EXPECT_EQ(0, world.State().KeyMenuCounter);
}

// The section without a surname is a letter of its own in the row, named in
// words, with its parts by given name; the unknown letter stays "?".
TEST_F(LetterRowTest, PersonsWithoutASurnameAreASectionNamedInWords) {
    world.SetPages({{"J", "Jansen", "Jansen", 3},
                    {"?", "?", "?", 100},
                    {"?", "?", "?", 40},
                    {"?", "'Olde", "'Olde", 1}});
    TKSpageList& pages = world.State().Pages;
    for (int32_t page : {2, 3}) {
        pages.PageData(page).NoSurname = true;
        pages.PageData(page).WholeSection = false;
    }
    pages.PageData(2).FirstGiven = "Albert";
    pages.PageData(2).LastGiven = "Bert";
    pages.PageData(3).FirstGiven = "Carl";
    pages.PageData(3).LastGiven = "Carl";
    pages.PageData(1).Letters = {{"J", "Jansen"}};
    pages.PageData(2).Letters = {{"?", "Albert", true}};
    pages.PageData(3).Letters = {{"?", "Carl", true}};
    pages.PageData(4).Letters = {{"?", "'Olde"}};
    FakeTemplateOutput out(world.OutFolder(), {"frame.htm"});
    WriteIndexKeys(world.Run(), out, "index,,0");
    EXPECT_EQ(
        "  <span class=\"KSVIkey\"><a href=\"index1.htm\" title=\"Jansen (3)\">J</a></span>\r\n"
        "  <span class=\"KSVIkey\"><a href=\"index2.htm\" title=\"Zonder achternaam: Albert - "
        "Bert (100)\">Zonder achternaam</a></span>\r\n"
        "  <span class=\"KSVIkeyParts\"><a href=\"index2.htm\" title=\"Zonder achternaam: "
        "Albert - Bert (100)\">Albert</a> <a href=\"index3.htm\" title=\"Zonder achternaam: "
        "Carl (40)\">Carl</a></span>\r\n"
        "  <span class=\"KSVIkey\"><a href=\"index4.htm\" title=\"'Olde (1)\">?</a></span>\r\n",
        out.Text(0));
}

} // namespace
} // namespace ks
