#include "builder/combine/KSdivision.h"
#include "common/KScodepage.h"

#include "builder/combine/KSduplicates.h"
#include "builder/run/KSbuilder.h"
#include "common/KSprogress.h"
#include "index/KSksl.h"

#include "support/TempDir.h"
#include "support/WriterTestKit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace ks {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::WriteFileBytes;
using test::WriterWorld;
using Sizes = std::vector<std::pair<std::string, int64_t>>;

// The sizes per surname as the merge writes them.
std::string SizesText(const Sizes& sizes) {
    std::string text;
    for (const auto& [surname, size] : sizes)
        text += surname + "\t" + std::to_string(size) + "\r\n";
    return text + "#\r\n";
}

struct Expected {
    int32_t pages;
    int64_t largest;
};

void ExpectEstimates(const std::vector<TKSdivisionEstimate>& estimates,
                     const std::vector<Expected>& expected) {
    ASSERT_EQ(expected.size(), estimates.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(IndexTypeFromNumber(static_cast<int32_t>(i + 1)), estimates[i].IndexType);
        EXPECT_EQ(expected[i].pages, estimates[i].PageCount) << "index type " << i + 1;
        EXPECT_EQ(expected[i].largest, estimates[i].LargestPage) << "index type " << i + 1;
    }
}

// Six surnames under three letters; with an estimated total of 5000 the
// targets of types 3 to 6 are 100, 50, 20 and 10. Worked out by hand.
const Sizes kSixSurnames = {{"Aa", 100}, {"Ab", 300}, {"Ba", 50},
                            {"bb", 50},  {"Bc", 400}, {"Ca", 10}};

TEST(EstimateDivisions, CutsAsEachDivisionWould) {
    TempDir dir;
    WriteFileBytes(dir.file("sizes.tmp"), SizesText(kSixSurnames));
    // Per letter A 400, B 500, C 10; per two letters each alone; about 50
    // parts: Ba and bb share a page (100 is the target itself).
    ExpectEstimates(EstimateDivisions(dir.file("sizes.tmp"), 5000),
                    {{3, 500}, {6, 400}, {5, 400}, {6, 400}, {6, 400}, {6, 400}});
    // A surname up to four times the target joins a page below a quarter of
    // it, not one above.
    WriteFileBytes(dir.file("quarter.tmp"), SizesText({{"Aa", 20}, {"Ab", 101}}));
    EXPECT_EQ(1, EstimateDivisions(dir.file("quarter.tmp"), 5000)[2].PageCount);
    WriteFileBytes(dir.file("quarter.tmp"), SizesText({{"Aa", 30}, {"Ab", 101}}));
    EXPECT_EQ(2, EstimateDivisions(dir.file("quarter.tmp"), 5000)[2].PageCount);
    EXPECT_TRUE(EstimateDivisions(dir.file("missing.tmp"), 5000).empty());
}

TEST(EstimateDivisions, ACapCutsTheDivisionsIntoPartsOnly) {
    TempDir dir;
    WriteFileBytes(dir.file("sizes.tmp"), SizesText(kSixSurnames));
    // About 50 parts capped at 250: Aa | 250 of Ab | 50 of Ab, Ba | bb |
    // 250 of Bc | 150 of Bc | Ca.
    const auto estimates = EstimateDivisions(dir.file("sizes.tmp"), 5000, 250);
    EXPECT_EQ(3, estimates[0].PageCount);
    EXPECT_EQ(500, estimates[0].LargestPage);
    EXPECT_EQ(400, estimates[1].LargestPage);
    EXPECT_EQ(7, estimates[2].PageCount);
    EXPECT_EQ(250, estimates[2].LargestPage);
    for (std::size_t i = 3; i < 6; ++i)
        EXPECT_EQ(250, estimates[i].LargestPage);
}

// The estimates follow the duplicate step's own cutting of the same index.
TEST(EstimateDivisions, AgreeWithThePagesTheDuplicateStepCuts) {
    TempDir dir;
    std::string merged;
    int number = 0;
    for (const auto& [surname, size] : kSixSurnames)
        for (int i = 0; i < 2; ++i) {
            const std::string n = std::to_string(++number);
            merged += std::string(1, static_cast<char>(surname[0] & ~0x20)) + "\t" + surname +
                      "\tG" + n + "\t\t\t\t" + n + "\tp.htm#" + n + "\t0\r\n";
        }
    WriteFileBytes(dir.file("merged.tmp"), merged + "#\r\n");
    WriteFileBytes(dir.file("sizes.tmp"), SizesText(kSixSurnames));
    const auto estimates = EstimateDivisions(dir.file("sizes.tmp"), 5000);
    for (int32_t type = 1; type <= 6; ++type) {
        TKSduplicateOptions options;
        options.IndexType = IndexTypeFromNumber(type);
        options.EstimatedSize = 5000;
        TKSpageList pages;
        TKSnullProgressBar bar;
        TKSnullBreather breather;
        const TKSduplicateResult result =
            FindDuplicates(dir.file("merged.tmp"), dir.file("sizes.tmp"), bar,
                           dir.file("entries.tmp"), options, pages, breather);
        EXPECT_EQ(estimates[static_cast<std::size_t>(type - 1)].PageCount, result.PageCount)
            << "index type " << type;
        EXPECT_EQ(IndexTypeFromNumber(type), result.IndexType);
        EXPECT_FALSE(result.Division.Auto);
        EXPECT_EQ(6u, result.Division.Estimates.size());
    }
}

TEST(ChooseDivision, FewestPagesWithinTheBudgetElseTheSmallestLargestPage) {
    const std::vector<TKSdivisionEstimate> estimates = {
        {TKSindexType::FirstLetter, 26, 1'500'000}, {TKSindexType::TwoLetters, 300, 200'000},
        {TKSindexType::Parts50, 50, 950'000},       {TKSindexType::Parts100, 100, 450'000},
        {TKSindexType::Parts250, 250, 200'000},     {TKSindexType::Parts500, 500, 90'000}};
    EXPECT_EQ(TKSindexType::FirstLetter, ChooseDivision(estimates, 2'000'000));
    EXPECT_EQ(TKSindexType::FirstLetter,
              ChooseDivision(estimates, 1'500'000)); // within means up to and including
    EXPECT_EQ(TKSindexType::Parts100, ChooseDivision(estimates, 900'000));
    EXPECT_EQ(TKSindexType::Parts250, ChooseDivision(estimates, 400'000));
    EXPECT_EQ(TKSindexType::Parts500, ChooseDivision(estimates, 100'000));
    EXPECT_EQ(TKSindexType::Parts500, ChooseDivision(estimates, 50'000)); // none fits
    // Equal page counts: the lower index type.
    EXPECT_EQ(TKSindexType::Parts50, ChooseDivision({{TKSindexType::Parts50, 5, 10},
                                                     {TKSindexType::Parts100, 5, 10},
                                                     {TKSindexType::Parts250, 5, 10}},
                                                    100));
    EXPECT_EQ(TKSindexType::FirstLetter, ChooseDivision({}, 100));
}

// A run of the duplicate step on hand-written record files. Every index line
// is given a reference size so large that a few lines fill a page.
class AutoDivision : public ::testing::Test {
protected:
    void Line(const std::string& letter, const std::string& surname, int count) {
        for (int i = 0; i < count; ++i) {
            const std::string n = std::to_string(++number_);
            merged_ +=
                letter + "\t" + surname + "\tG" + n + "\t\t\t\t" + n + "\tp.htm#" + n + "\t0\r\n";
        }
    }

    TKSduplicateResult Run(const Sizes& sizes, int64_t referenceSize) {
        WriteFileBytes(dir.file("merged.tmp"), merged_ + "#\r\n");
        WriteFileBytes(dir.file("sizes.tmp"), SizesText(sizes));
        TKSduplicateOptions options;
        options.IndexType = TKSindexType::Auto;
        for (const auto& entry : sizes)
            options.EstimatedSize += entry.second;
        options.ReferenceSizes = {referenceSize};
        TKSnullProgressBar bar;
        TKSnullBreather breather;
        return FindDuplicates(dir.file("merged.tmp"), dir.file("sizes.tmp"), bar,
                              dir.file("entries.tmp"), options, pages, breather);
    }

    void ExpectPages(const std::vector<std::pair<std::string, int32_t>>& expected) {
        ASSERT_EQ(static_cast<int32_t>(expected.size()), pages.PageCount());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const TKSindexData& page = pages.PageData(static_cast<int32_t>(i + 1));
            EXPECT_EQ(expected[i].first, page.FirstSurname) << "page " << i + 1;
            EXPECT_EQ(expected[i].second, page.EntryTotal) << "page " << i + 1;
        }
    }

    TempDir dir;
    TKSpageList pages;
    std::string merged_;
    int number_ = 0;
};

TEST_F(AutoDivision, ASmallIndexStaysPerLetter) {
    Line("A", "Aa", 2);
    Line("B", "Ba", 1);
    const TKSduplicateResult result = Run({{"Aa", 400}, {"Ba", 200}}, 40);
    EXPECT_EQ(TKSindexType::FirstLetter, result.IndexType);
    EXPECT_TRUE(result.Division.Auto);
    ExpectPages({{"Aa", 2}, {"Ba", 1}});
}

TEST_F(AutoDivision, PartsKeepSurnamesWholeUnlessOneAloneIsTooLarge) {
    // Lines of about 300,000 bytes: five fit under the cap of 1,600,000.
    // Zz alone is far beyond any page, so per letter and per two letters
    // cannot do, and each division into parts gives five pages.
    Line("A", "Aa", 3);
    Line("A", "Ab", 3);
    Line("A", "Ac", 3);
    Line("Z", "Zz", 7);
    const TKSduplicateResult result =
        Run({{"Aa", 1000}, {"Ab", 1000}, {"Ac", 1000}, {"Zz", 3'000'000}}, 300'000);
    EXPECT_EQ(TKSindexType::Parts50, result.IndexType);
    // Ab would fit in part beside Aa, but not whole: it starts a page of its
    // own; Zz is cut where the page is full.
    ExpectPages({{"Aa", 3}, {"Ab", 3}, {"Ac", 3}, {"Zz", 5}, {"Zz", 2}});
    EXPECT_EQ("Zz", pages.PageData(4).LastSurname);
}

TEST_F(AutoDivision, ACutSurnameLeavesRoomForTheNextOnItsLastPage) {
    Line("A", "Aa", 10);
    Line("B", "Ba", 1);
    Line("C", "Ca", 1);
    // Lines of about 400,000 bytes: three to a page.
    const TKSduplicateResult result = Run({{"Aa", 3'000'000}, {"Ba", 100}, {"Ca", 100}}, 400'000);
    EXPECT_EQ(TKSindexType::Parts50, result.IndexType);
    ExpectPages({{"Aa", 3}, {"Aa", 3}, {"Aa", 3}, {"Aa", 3}});
    EXPECT_EQ("Ca", pages.PageData(4).LastSurname);
    // The last page holds three letters, each noted with its first surname there.
    std::string letters;
    for (int page = 1; page <= 4; ++page)
        for (const TKSindexData::TKSletterStart& start : pages.PageData(page).Letters)
            letters += std::to_string(page) + start.Letter + ":" + start.Surname + " ";
    EXPECT_EQ("1A:Aa 2A:Aa 3A:Aa 4A:Aa 4B:Ba 4C:Ca ", letters);
}

// The pages of a run in an output folder: an index split over three pages,
// a surname list in one file and a plain file.
class PageSizeCheck : public ::testing::Test {
protected:
    PageSizeCheck() {
        world.AddEntry("index, index.tpl, index#NR!.htm, Index pages", true);
        world.AddEntry("names, names.tpl, names.htm, Names", false);
        world.Layout().Items.push_back(
            std::make_unique<TKSkslFile>(world.Layout(), TKSkslFile::kPlainFile));
        world.Layout().Items.back()->ParseLine("picture, big.jpg, big.jpg, Picture");
        world.Layout().AskUser = "INDEXTYPE";
        world.SetPageCount(3);
        world.State().OutputFolder = world.OutFolder();
        world.State().IndexType = TKSindexType::FirstLetter;
        world.State().Division.Estimates = {
            {TKSindexType::FirstLetter, 26, 1'500'000}, {TKSindexType::TwoLetters, 300, 200'000},
            {TKSindexType::Parts50, 50, 950'000},       {TKSindexType::Parts100, 100, 450'000},
            {TKSindexType::Parts250, 250, 200'000},     {TKSindexType::Parts500, 500, 90'000}};
        fs::create_directories(world.OutFolder());
        Size("index1.htm", 100);
        Size("index2.htm", 2'500'000);
        Size("index3.htm", 2'000'000); // the limit itself is not over it
        Size("names.htm", 2'100'000);
        Size("big.jpg", 3'000'000); // no page
    }

    void Size(const std::string& name, std::uintmax_t size) {
        WriteFileBytes(world.OutFolder() + name, "");
        fs::resize_file(world.OutFolder() + name, size);
    }

    WriterWorld world;
};

TEST_F(PageSizeCheck, NamesEveryPageOverTheLimitAndADivisionThatWouldDo) {
    const TKSpageSizeCheck check = CheckPageSizes(world.Settings(), world.State());
    ASSERT_EQ(2u, check.LargePages.size());
    EXPECT_EQ(world.OutFolder() + "index2.htm", check.LargePages[0].Path);
    EXPECT_EQ(2'500'000, check.LargePages[0].Size);
    EXPECT_TRUE(check.LargePages[0].Split);
    EXPECT_EQ(world.OutFolder() + "names.htm", check.LargePages[1].Path);
    EXPECT_FALSE(check.LargePages[1].Split);
    // 2.5 MB came of an estimate of 1.5 MB: the budget stays at the one a
    // run would choose by, and about 100 parts fits it with fewest pages.
    EXPECT_EQ(TKSindexType::Parts100, check.SuggestedIndexType);
}

TEST_F(PageSizeCheck, PagesFarBeyondTheirEstimateAskForAFinerDivision) {
    // 8 MB of an estimate of 1.5 MB: every estimate counts 5.3 times, so
    // only a largest page of 375,000 will do.
    Size("index2.htm", 8'000'000);
    EXPECT_EQ(TKSindexType::Parts250,
              CheckPageSizes(world.Settings(), world.State()).SuggestedIndexType);
}

TEST_F(PageSizeCheck, WhenNoDivisionWillDoCuttingSurnamesIsSuggested) {
    world.State().Division.Estimates = {
        {TKSindexType::FirstLetter, 3, 5'000'000}, {TKSindexType::TwoLetters, 9, 4'000'000},
        {TKSindexType::Parts50, 9, 4'000'000},     {TKSindexType::Parts100, 9, 4'000'000},
        {TKSindexType::Parts250, 9, 4'000'000},    {TKSindexType::Parts500, 9, 4'000'000}};
    EXPECT_EQ(TKSindexType::Auto,
              CheckPageSizes(world.Settings(), world.State()).SuggestedIndexType);
    // Unless that is what the run did already.
    world.State().Division.Auto = true;
    EXPECT_EQ(TKSindexType::NotChosen,
              CheckPageSizes(world.Settings(), world.State()).SuggestedIndexType);
}

TEST_F(PageSizeCheck, NoSuggestionWithoutALargeSplitPageOrADivisionToChoose) {
    Size("index2.htm", 10);
    TKSpageSizeCheck check = CheckPageSizes(world.Settings(), world.State());
    ASSERT_EQ(1u, check.LargePages.size()); // the surname list, which is not split
    EXPECT_EQ(TKSindexType::NotChosen, check.SuggestedIndexType);

    Size("index2.htm", 2'500'000);
    world.Layout().AskUser = "TITLE";
    check = CheckPageSizes(world.Settings(), world.State());
    EXPECT_EQ(2u, check.LargePages.size());
    EXPECT_EQ(TKSindexType::NotChosen, check.SuggestedIndexType);

    // The estimates are scaled by the division used: 2.1 MB of 450,000
    // about 100 parts gave asks for about 250.
    world.Layout().AskUser = "INDEXTYPE";
    world.State().IndexType = TKSindexType::Parts100;
    Size("index2.htm", 2'100'000);
    EXPECT_EQ(TKSindexType::Parts250,
              CheckPageSizes(world.Settings(), world.State()).SuggestedIndexType);
    // Nothing over a higher limit.
    EXPECT_TRUE(CheckPageSizes(world.Settings(), world.State(), 3'000'000).LargePages.empty());
}

// The letter keys take the first letters (code points), a letter by the
// letter it is built on as the index letter files it.
TEST(Division, LetterKeysCountLetters) {
    EXPECT_EQ("", LetterKey(""));
    EXPECT_EQ("  ", TwoLetterKey(""));
    const struct {
        const char* Utf8;
        const char* Letter;
        const char* Two;
    } rows[] = {
        {"jansen", "J", "JA"},
        {"\xC3\xA9mile", "E", "\xC3\xA9M"},        // émile
        {"\xC3\x98lsen", "\xC3\x98", "\xC3\x98L"}, // Ølsen: Ø folds to no letter
        {"7x", "7", "7X"},
        {"\xC5\x81ukasz", "L", "\xC5\x81U"},                  // Łukasz
        {"\xC5\x82\xC4\x99", "L", "\xC5\x82\xC4\x99"},        // łę
        {"\xCE\xAC\xCE\xBB", "\xCE\x91", "\xCE\xAC\xCE\xBB"}, // άλ: Α
        {"\xE5\xBC\xA0", "\xE5\xBC\xA0", "\xE5\xBC\xA0 "},    // 张
        {"\xE2\x80\x82x", "\xE2\x80\x82", "\xE2\x80\x82X"},   // a space stays itself
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.Letter, LetterKey(row.Utf8)) << row.Utf8;
        EXPECT_EQ(row.Two, TwoLetterKey(row.Utf8)) << row.Utf8;
    }
}

} // namespace
} // namespace ks
