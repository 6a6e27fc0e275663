#include "builder/writers/KSsearchSorter.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace ks {
namespace {

namespace fs = std::filesystem;

// Records like the search data's: keys with long shared beginnings, a tab,
// then more; also records that are the beginning of others, empty ones,
// bytes above 127 and exact repeats.
std::vector<std::string> Records() {
    std::mt19937 random(11);
    const std::vector<std::string> keys = {"berg",   "bergen",  "bergman", "b",    "bos",
                                           "jansen", "jansen1", "muller",  "\xFF", "a\x80"};
    std::vector<std::string> records = {"", "", "berg", "berg\t", "jansen\tJansen\tjan"};
    for (int i = 0; i < 600; ++i) {
        records.push_back(keys[random() % keys.size()] + "\t" + std::to_string(random() % 40) +
                          "\t" + std::string(random() % 5, 'x'));
    }
    records.push_back(records[7]);
    return records;
}

std::vector<std::string> SortAll(const std::vector<std::string>& records, std::size_t budget,
                                 const std::string& folder) {
    std::vector<std::string> sorted;
    TKSsearchSorter sorter(folder, budget);
    for (const std::string& record : records)
        sorter.Add(record);
    sorter.Finish([&sorted](std::string_view record) { sorted.emplace_back(record); });
    return sorted;
}

TEST(SearchSorter, GivesTheByteOrderWhateverTheBudget) {
    test::TempDir dir;
    const std::vector<std::string> records = Records();
    std::vector<std::string> expected = records;
    std::sort(expected.begin(), expected.end(), [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(
            a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
                return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
            });
    });
    // All in memory; then budgets that make more and more run files, down to
    // one that holds hardly a record, whose run files are merged in passes.
    for (std::size_t budget :
         {std::size_t{1} << 20, std::size_t{2000}, std::size_t{200}, std::size_t{8}})
        EXPECT_EQ(expected, SortAll(records, budget, dir.path().string())) << budget;
    // Nothing is left in the folder it worked in.
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(SearchSorter, RecordsThatComeInSortedRunsEndInOrder) {
    test::TempDir dir;
    std::vector<std::string> sorted = Records();
    std::sort(sorted.begin(), sorted.end());
    // Dealt out into so many ascending runs, one after the other.
    for (std::size_t runs : {1, 2, 3, 7, 64, 65, 200}) {
        std::vector<std::string> records;
        for (std::size_t run = 0; run < runs; ++run)
            for (std::size_t i = run; i < sorted.size(); i += runs)
                records.push_back(sorted[i]);
        EXPECT_EQ(sorted, SortAll(records, std::size_t{1} << 20, dir.path().string())) << runs;
    }
}

TEST(SearchSorter, RecordsNoByteTellsApartKeepTheirOrder) {
    test::TempDir dir;
    // Too many for the budget and all equal up to their last byte: those
    // that end the same way come out as they went in.
    std::vector<std::string> records;
    for (int i = 0; i < 50; ++i)
        records.push_back("same\tprefix");
    records.push_back("same\tprefiy");
    records.push_back("same\tprefiw");
    std::vector<std::string> sorted = SortAll(records, 30, dir.path().string());
    ASSERT_EQ(52u, sorted.size());
    EXPECT_EQ("same\tprefiw", sorted.front());
    EXPECT_EQ("same\tprefiy", sorted.back());
    EXPECT_EQ(50, std::count(sorted.begin(), sorted.end(), "same\tprefix"));
}

TEST(SearchSorter, WithoutRecordsGivesNothing) {
    test::TempDir dir;
    EXPECT_TRUE(SortAll({}, 100, dir.path().string()).empty());
}

} // namespace
} // namespace ks
