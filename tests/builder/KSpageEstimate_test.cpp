// The largest page the settings page foresees: close to what builds of
// generated trees of realistic surnames wrote, in words with the advice above
// the limit, and the index lines counted once per version of a document.
#include "builder/KSpageEstimate.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace ks {
namespace {

std::string Document(int lines) {
    std::string text = "[KESTRIN]\r\nversion=3.22\r\ntype=htx\r\nformat=1\r\n[indexdata]\r\n";
    for (int i = 0; i < lines; ++i)
        text += "A\tAbel\tJan\t\t1850\t1900\t1\tindex.htm#p" + std::to_string(i) + "\r\n";
    return text;
}

// Largest pages of builds with kestrin-index (Modern; the compact layout for
// the whole index on one page) of five documents made by gen-htx --variety 0.
TEST(PageEstimateTest, StaysNearMeasuredBuilds) {
    struct Case {
        int64_t lines;
        TKSindexType type;
        bool split;
        int64_t measured;
    };
    const Case cases[] = {
        {20'000, TKSindexType::FirstLetter, true, 535'584},
        {200'000, TKSindexType::FirstLetter, true, 5'168'772},
        {200'000, TKSindexType::TwoLetters, true, 2'117'246},
        {200'000, TKSindexType::Parts50, true, 1'080'804},
        {200'000, TKSindexType::Parts100, true, 780'618},
        {200'000, TKSindexType::Auto, true, 1'080'804},
        {200'000, TKSindexType::FirstLetter, false, 41'192'934},
        {1'000'000, TKSindexType::FirstLetter, true, 25'755'704},
        {1'000'000, TKSindexType::TwoLetters, true, 10'380'266},
        {1'000'000, TKSindexType::Parts50, true, 5'278'834},
        {1'000'000, TKSindexType::Auto, true, 1'815'036},
    };
    for (const Case& c : cases) {
        const double estimate = static_cast<double>(EstimateLargestPage(c.lines, c.type, c.split));
        const double ratio = estimate / static_cast<double>(c.measured);
        EXPECT_GT(ratio, 0.85) << c.lines << " lines, type " << IndexTypeNumber(c.type);
        EXPECT_LT(ratio, 1.15) << c.lines << " lines, type " << IndexTypeNumber(c.type);
    }
    // Nothing selected: no index, only the template.
    EXPECT_LT(EstimateLargestPage(0, TKSindexType::FirstLetter), 100'000);
    // Automatic stays under the limit however large the index.
    EXPECT_LE(EstimateLargestPage(5'000'000, TKSindexType::Auto), 2'000'000);
}

TEST(PageEstimateTest, AutomaticIsPreferredWhenPagesPerLetterPassTheLimit) {
    EXPECT_FALSE(PreferAutomaticDivision(0));
    EXPECT_FALSE(PreferAutomaticDivision(20'000));
    EXPECT_TRUE(PreferAutomaticDivision(200'000));
    for (int64_t lines : {50'000, 75'000, 80'000, 100'000})
        EXPECT_EQ(PreferAutomaticDivision(lines),
                  EstimateLargestPage(lines, TKSindexType::FirstLetter) > 2'000'000)
            << lines;
}

TEST(PageEstimateTest, SaysTheSizeInWords) {
    struct Case {
        int64_t bytes;
        bool automaticOffered;
        const char* text;
    };
    const Case cases[] = {
        {350'400, true, "Grootste pagina ongeveer 350 kB"},
        {999'400, true, "Grootste pagina ongeveer 999 kB"},
        {2'000'000, true, "Grootste pagina ongeveer 2,0 MB"},
        {2'000'001, true, "Grootste pagina ongeveer 2,0 MB: te groot, kies 'automatisch'"},
        {6'249'999, true, "Grootste pagina ongeveer 6,2 MB: te groot, kies 'automatisch'"},
        {49'500'000, false, "Grootste pagina ongeveer 49,5 MB: te groot, laadt langzaam"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.text, LargestPageText(c.bytes, c.automaticOffered)) << c.bytes;
}

TEST(PageEstimateTest, CountsEachVersionOfADocumentOnce) {
    test::TempDir dir;
    const std::string path = dir.file("tree.htx");
    test::WriteFileBytes(path, Document(3));
    TKSindexLineCounts counts;
    EXPECT_EQ(3, counts.Count(path));
    EXPECT_EQ(3, counts.Count(path));
    test::WriteFileBytes(path, Document(5)); // another size: counted again
    EXPECT_EQ(5, counts.Count(path));
    std::filesystem::remove(path);
    EXPECT_EQ(0, counts.Count(path));
    EXPECT_EQ(0, counts.Count(dir.file("never.htx")));
}

} // namespace
} // namespace ks
