#include "LINE_INPUT/KSrunFileSort.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace ks {
namespace {

using Record = std::tuple<std::string, uint32_t, std::string>; // key, tie, line

// Short keys of few letters, so that many are equal, many are the start of
// another and many differ only after their first eight bytes; bytes above
// 127 and below the letters too.
std::vector<Record> RandomRecords(std::mt19937& random, int count) {
    const std::string letters = {'\x01', '\t', 'A', 'B', '\xE9'};
    std::vector<Record> records;
    for (int i = 0; i < count; ++i) {
        std::string key(random() % 12, 'A');
        for (char& c : key)
            c = letters[random() % letters.size()];
        records.emplace_back(key, random() % 3, "line " + std::to_string(i));
    }
    return records;
}

// The order promised, the plain way: a stable sort by key (as unsigned
// bytes) and tie, all in memory.
std::vector<Record> Reference(std::vector<Record> records) {
    std::stable_sort(records.begin(), records.end(), [](const Record& a, const Record& b) {
        return std::tie(std::get<0>(a), std::get<1>(a)) < std::tie(std::get<0>(b), std::get<1>(b));
    });
    return records;
}

TEST(KSrunFileSort, GivesTheStableOrderInMemoryAndThroughRunFiles) {
    const struct {
        std::size_t Buffer;
        int Records;
        bool RunFiles;
    } cases[] = {
        {1 << 20, 2000, false}, // fits in memory: no file
        {4000, 2000, true},     // a few run files, merged at once
        {1, 700, true},         // a run file per record: more than are merged at once
    };
    std::mt19937 random(28);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Buffer);
        test::TempDir dir;
        const std::vector<Record> records = RandomRecords(random, c.Records);
        std::vector<Record> sorted;
        {
            TKSrunFileSort sort([&](int n) { return dir.file("r-" + std::to_string(n) + ".tmp"); },
                                c.Buffer);
            for (const auto& [key, tie, line] : records)
                sort.Add(key, line, tie);
            EXPECT_EQ(c.RunFiles, !std::filesystem::is_empty(dir.path()));
            sort.Finish([&](const TKSsortRecord& r) {
                sorted.emplace_back(std::string(r.Key), r.Tie, std::string(r.Line));
            });
        }
        EXPECT_EQ(Reference(records), sorted);
        EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << "the run files are gone";
    }
}

} // namespace
} // namespace ks
