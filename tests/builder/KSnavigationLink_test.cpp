#include "builder/writers/KSnavigationLink.h"

#include "support/WriterTestKit.h"

#include <gtest/gtest.h>

namespace ks {
namespace {

using test::WriterWorld;

class NavigationTest : public ::testing::Test {
protected:
    NavigationTest() { index = &world.AddEntry("index, index.tpl, index#NR!.htm, Index", true); }

    std::string Link(const std::string& which, const std::string& arguments = "index") {
        return NavigationLink(world.Run(), which, arguments);
    }

    WriterWorld world;
    TKSkslFile* index = nullptr;
};

TEST_F(NavigationTest, AMiddlePageLinksEveryWay) {
    world.SetPageCount(5);
    world.State().StartEntry(index, 3);
    EXPECT_EQ("<span class=\"KSVIindexFirst\"><a href=\"index1.htm\" target=\"VIindex\"> |&lt; "
              "</a></span>",
              Link("FIRST"));
    EXPECT_EQ("<span class=\"KSVIindexPrev\"><a href=\"index2.htm\" target=\"VIindex\"> &lt; "
              "</a></span>",
              Link("PREV"));
    EXPECT_EQ("<span class=\"KSVIindexNext\"><a href=\"index4.htm\" target=\"VIindex\"> &gt; "
              "</a></span>",
              Link("NEXT"));
    EXPECT_EQ("<span class=\"KSVIindexLast\"><a href=\"index5.htm\" target=\"VIindex\"> &gt;| "
              "</a></span>",
              Link("LAST"));
}

// A page file whose name would read as a scheme, or holds a blank, is
// escaped into a plain path that leads to it.
TEST(NavigationLinks, APageFileIsEscapedAsAPath) {
    WriterWorld world;
    TKSkslFile& index = world.AddEntry("index, index.tpl, vbscript:x #NR!, Index", true);
    world.SetPageCount(3);
    world.State().StartEntry(&index, 2);
    EXPECT_EQ("<span class=\"KSVIindexNext\"><a href=\"vbscript%3Ax%203\" target=\"VIindex\"> &gt; "
              "</a></span>",
              NavigationLink(world.Run(), "NEXT", "index"));
}

TEST_F(NavigationTest, AnIndexOnOnePageHasOnlyBlankSpans) {
    world.SetPageCount(1);
    world.State().StartEntry(index, 1);
    EXPECT_EQ("<span class=\"KSVIindexNoFirst\">&nbsp;</span>", Link("FIRST"));
    EXPECT_EQ("<span class=\"KSVIindexNoPrev\">&nbsp;</span>", Link("PREV"));
    EXPECT_EQ("<span class=\"KSVIindexNoNext\">&nbsp;</span>", Link("NEXT"));
    EXPECT_EQ("<span class=\"KSVIindexNoLast\">&nbsp;</span>", Link("LAST"));
}

TEST_F(NavigationTest, TheLastPageLinksBackOnlyAndNumbersArePadded) {
    world.SetPageCount(12);
    world.State().StartEntry(index, 12);
    EXPECT_EQ("<span class=\"KSVIindexFirst\"><a href=\"index01.htm\" target=\"VIindex\"> |&lt; "
              "</a></span>",
              Link("FIRST"));
    EXPECT_EQ("<span class=\"KSVIindexPrev\"><a href=\"index11.htm\" target=\"VIindex\"> &lt; "
              "</a></span>",
              Link("PREV"));
    EXPECT_EQ("<span class=\"KSVIindexNoNext\">&nbsp;</span>", Link("NEXT"));
    EXPECT_EQ("<span class=\"KSVIindexNoLast\">&nbsp;</span>", Link("LAST"));
}

TEST_F(NavigationTest, TargetAndTextComeFromTheArgumentsAndTheNameIsLowerCased) {
    world.SetPageCount(2);
    world.State().StartEntry(index, 1);
    EXPECT_EQ("<span class=\"KSVIindexNext\"><a href=\"index2.htm\" target=\"main\">volgende, "
              "<b>&gt;</b></a></span>",
              Link("NEXT", "INDEX,main,volgende, <b>&gt;</b>"));
    EXPECT_EQ("<span class=\"KSVIindexNoPrev\">&nbsp;</span>", Link("PREV", "Index,,x"));
}

TEST_F(NavigationTest, NoLinkForAnEntryThatIsNotSplitUnknownOrAnUnknownKind) {
    world.SetPageCount(3);
    world.State().StartEntry(index, 2);
    EXPECT_EQ("", Link("NEXT", "nothing"));
    EXPECT_EQ("", Link("UP"));
    index->SetSplit(false);
    EXPECT_EQ("", Link("NEXT"));
}

} // namespace
} // namespace ks
