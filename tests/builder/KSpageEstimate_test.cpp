// The largest page foreseen before a run, against builds of generated trees.
#include "builder/run/KSpageEstimate.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace ks {
namespace {

// The profile counts what the merge would estimate of each line: 135 bytes
// with the link, the tree's title, the given names and the years (each
// with a separator, twice), and a surname's heading once (73 and its name).
TEST(PageEstimateTest, ProfilesDocumentsAndSaysTheEstimateInWords) {
    test::TempDir dir;
    const std::string head =
        "[KESTRIN]\r\nversion=3.22\r\n[metadata]\r\ntitle=Tree\r\n[indexdata]\r\n";
    test::WriteFileBytes(dir.file("a.htx"), head + "A\tAbel\tJan\t\t1800\t\t1\tp.htm\r\n" +
                                                "A\tAbel\tPiet\t\t\t\t2\tp.htm\r\n" +
                                                "B\tBos\tKlaas\t\t\t\t3\tp.htm\r\n\r\nZ\tZ\r\n");
    TKSindexProfile profile = ReadIndexProfile(dir.file("a.htx"));
    // Abel: 77 + (135+5+4+3+10) + (135+5+4+4); Bos: 76 + (135+5+4+5).
    EXPECT_EQ(3, profile.Lines);
    EXPECT_EQ(382, profile.LargestLetter().Written);
    EXPECT_EQ(382, profile.LargestSurname());
    EXPECT_EQ(382 + 225, profile.Units.Written);
    // The merge counts given names where they change within a surname only.
    EXPECT_EQ(77 + 49 + 49 + 95 + 4 + 76 + 49, profile.Units.Merged);
    EXPECT_EQ(2, profile.Surnames());
    profile.Add(ReadIndexProfile(dir.file("a.htx")));
    EXPECT_EQ(2 * 225, profile.TwoLetters["BO"].Written);
    EXPECT_EQ(2, profile.Surnames()); // the same surnames in both
    // Three persons in both: each saves its names (on average (108 + 99 +
    // 100) / 3) but the 25 of a reference. Jan Abel is the largest entry.
    EXPECT_EQ(3 * (307 * 2 / 6 - 25), profile.FoldedUnits);
    EXPECT_EQ(77 + 157, profile.LargestPerson);
    EXPECT_EQ(0, ReadIndexProfile(dir.file("missing.htx")).Lines);
    EXPECT_FALSE(PreferAutomaticDivision(20000));
    EXPECT_TRUE(PreferAutomaticDivision(200000));
    EXPECT_EQ("Grootste pagina ongeveer 49,5 MB: te groot, laadt langzaam",
              LargestPageText(49500000, false));
}

TEST(PageEstimateTest, CountsADocumentAgainWhenItChanges) {
    test::TempDir dir;
    const std::string path = dir.file("tree.htx");
    const std::string head = "[KESTRIN]\r\nversion=3.22\r\n[indexdata]\r\n";
    test::WriteFileBytes(path, head + "A\tAbel\r\n");
    TKSindexLineCounts counts;
    EXPECT_EQ(1, counts.Count(path));
    test::WriteFileBytes(path, head + "A\tAbel\r\nB\tBos\r\n");
    EXPECT_EQ(2, counts.Count(path));
    EXPECT_EQ(0, counts.Count(dir.file("missing.htx")));
}

} // namespace
} // namespace ks
