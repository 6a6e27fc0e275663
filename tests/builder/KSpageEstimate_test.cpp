// The largest page foreseen before a run, against builds of generated trees.
#include "builder/run/KSpageEstimate.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace ks {
namespace {

// Largest pages written by kestrin-index (Modern; compact for one page) from
// five documents of gen-htx --variety 0: the estimate stays within 15%.
TEST(PageEstimateTest, StaysNearMeasuredBuildsAndSaysItInWords) {
    using T = TKSindexType;
    const struct {
        int64_t lines;
        T type;
        bool split;
        double measured;
    } builds[] = {{20000, T::FirstLetter, true, 535584},  {200000, T::FirstLetter, true, 5168772},
                  {200000, T::TwoLetters, true, 2117246}, {200000, T::Parts100, true, 780618},
                  {200000, T::Auto, true, 1080804},       {200000, T::FirstLetter, false, 41192934},
                  {1000000, T::Parts50, true, 5278834},   {1000000, T::Auto, true, 1815036}};
    for (const auto& b : builds) {
        const double ratio = EstimateLargestPage(b.lines, b.type, b.split) / b.measured;
        EXPECT_TRUE(ratio > 0.85 && ratio < 1.15) << b.lines << " " << IndexTypeNumber(b.type);
    }
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
