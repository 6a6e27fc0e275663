#include "builder/combine/KSsortOld.h"
#include "common/KSerrors.h"
#include "common/KSfileio.h"
#include "index/KShtxRegel.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <fcntl.h>

namespace ks {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

std::string KeyOf(const std::string& line) {
    TKShtxRegel regel;
    regel.ParseIndexLine(line);
    return regel.SortKey();
}

// The sort of old documents done the plain way, all in memory: each line
// goes to the first run whose last key is not above its key (else a new
// run); then the runs are merged, on equal keys the later run first.
std::vector<std::string> ReferenceSort(const std::vector<std::string>& lines) {
    std::vector<std::vector<std::string>> runs(1);
    std::vector<std::string> lastKeys(1);
    for (const std::string& line : lines) {
        const std::string key = KeyOf(line);
        std::size_t r = 0;
        while (r < runs.size() && lastKeys[r] > key)
            ++r;
        if (r == runs.size()) {
            runs.emplace_back();
            lastKeys.emplace_back();
        }
        runs[r].push_back(line);
        lastKeys[r] = key;
    }
    std::vector<std::size_t> next(runs.size(), 0);
    std::vector<std::string> out;
    while (true) {
        std::size_t best = runs.size();
        std::string bestKey;
        for (std::size_t r = 0; r < runs.size(); ++r) {
            if (next[r] >= runs[r].size()) continue;
            const std::string key = KeyOf(runs[r][next[r]]);
            if (best == runs.size() || key <= bestKey) { // "<=": the later run wins ties
                best = r;
                bestKey = key;
            }
        }
        if (best == runs.size()) break;
        out.push_back(runs[best][next[best]++]);
    }
    return out;
}

const std::string kHeader = "[KESTRIN]\r\nversion=3.1\r\ntype=htx\r\nformat=1\r\n[indexdata]\r\n";

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

// Lines with many equal keys (same names and numbers, different links), so
// that the order of ties is put to the test.
std::vector<std::string> RandomLines(std::mt19937& random, int count) {
    const char* surnames[] = {"Berg, van den", "Jansen", "Vries, de", "Müller", "_", "Aa"};
    const char* given[] = {"Jan", "Piet", "Anna", "_"};
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) {
        const std::string surname = surnames[random() % 6];
        lines.push_back(std::string(1, surname[0]) + "\t" + surname + "\t" + given[random() % 4] +
                        "\t\t" + std::to_string(1800 + random() % 3) + "\t\t" +
                        std::to_string(random() % 3) + "\tp.htm#" + std::to_string(i));
    }
    return lines;
}

class SortOldIndexTest : public ::testing::Test {
protected:
    void TearDown() override { SetSortBufferLimitForTests(0); }

    // Sorts the document into a new copy; the run files go beside it.
    std::string Sort(const std::string& document, bool keep = false) {
        WriteFileBytes(dir.file("old.htx"), document);
        const std::string copy = dir.file("old.new-htx");
        std::filesystem::remove(copy);
        File file = File::OpenWith(copy, O_WRONLY | O_CREAT | O_EXCL, 0600);
        SortOldIndex(dir.file("old.htx"), file, copy, keep);
        file.Close();
        return ReadFileBytes(copy);
    }

    TempDir dir;
};

TEST_F(SortOldIndexTest, MatchesTheRunMergeInMemoryAndOnDisk) {
    std::mt19937 random(1234);
    for (std::size_t limit : {std::size_t{0}, std::size_t{300}, std::size_t{20}}) {
        // 0: everything in memory; 300: a few run files; 20: a run file per
        // line or two, more than are merged at once, so merging takes passes.
        SetSortBufferLimitForTests(limit);
        const std::vector<std::string> lines = RandomLines(random, 700);
        EXPECT_EQ(kHeader + Joined(ReferenceSort(lines)), Sort(kHeader + Joined(lines)))
            << "buffer limit " << limit;
    }
    // The run files are gone.
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(std::string::npos, entry.path().string().find(".tmp")) << entry.path();
}

TEST_F(SortOldIndexTest, ReversedInputAndTheEndOfTheIndexLines) {
    std::vector<std::string> lines;
    for (int i = 0; i < 300; ++i)
        lines.push_back("A\tA" + std::to_string(5000 - i) + "\tJan\t\t\t\t1\tp.htm#" +
                        std::to_string(i));
    SetSortBufferLimitForTests(50);
    std::vector<std::string> sorted(lines.rbegin(), lines.rend());
    // "[indexdata]" is found with blanks and any case; an empty line ends
    // the index lines and what follows is left out.
    const std::string header = "[KESTRIN]\r\nversion=3.1\r\n  [IndexData] \r\n";
    EXPECT_EQ(header + Joined(sorted),
              Sort(header + Joined(lines) + "\r\nZ\tZz\tX\t\t\t\t1\tz#1\r\n"));
}

TEST_F(SortOldIndexTest, DocumentWithoutIndexDataIsCopiedAsItIs) {
    EXPECT_EQ("[KESTRIN]\r\nversion=1\r\n", Sort("[KESTRIN]\nversion=1"));
}

TEST_F(SortOldIndexTest, KeepsRunFilesInDeveloperMode) {
    SetSortBufferLimitForTests(20);
    Sort(kHeader + Joined({"B\tB\tx\t\t\t\t1\tb#1", "A\tA\tx\t\t\t\t1\ta#1"}), true);
    EXPECT_TRUE(std::filesystem::exists(dir.file("old.new-htx-1.tmp")));
}

// Run files are always new files of the sort's own: a link or a file found at
// a run file's name is never written through or over, and neither is removed.
TEST_F(SortOldIndexTest, ARunFileNameThatIsTakenIsAnErrorNamingIt) {
    SetSortBufferLimitForTests(20);
    WriteFileBytes(dir.file("victim"), "keep");
    std::filesystem::create_symlink(dir.file("victim"), dir.file("old.new-htx-1.tmp"));
    try {
        Sort(kHeader + Joined({"B\tB\tx\t\t\t\t1\tb#1", "A\tA\tx\t\t\t\t1\ta#1"}));
        FAIL() << "no error";
    } catch (const EWriteError& e) {
        EXPECT_EQ(dir.file("old.new-htx-1.tmp"), e.Path());
        EXPECT_NE(std::string::npos, e.Reason().find(std::strerror(EEXIST))) << e.Reason();
    }
    EXPECT_EQ("keep", ReadFileBytes(dir.file("victim")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("old.new-htx-1.tmp")));
}

} // namespace
} // namespace ks
