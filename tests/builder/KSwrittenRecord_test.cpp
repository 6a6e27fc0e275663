#include "builder/run/KSwrittenRecord.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <sys/resource.h>

namespace ks {
namespace {

namespace fs = std::filesystem;
using test::WriteFileBytes;

// The 64-bit FNV-1a of "page", worked out apart from the program.
const std::string kPageProof = "4\te825d44463665878\t";

// Whether the file "index.htm" holding "page" counts as the one recorded,
// for records of every kind: it does only while its size and hash match, or
// by name alone in a record of the first version; a damaged, unknown or
// oversized record holds nothing.
TEST(KSwrittenRecord, AFileIsARunsOnlyWhileItIsTheFileRecorded) {
    const std::string v2 = "kestrin-written 2\n";
    const struct {
        const char* what;
        std::string record;
        bool held;
    } cases[] = {
        {"size and hash", v2 + kPageProof + "index.htm\n", true},
        {"same size, other bytes", v2 + "4\te825c1446366382f\tindex.htm\n", false},
        {"other size", v2 + "5\te825d44463665878\tindex.htm\n", false},
        {"other name", v2 + kPageProof + "index2.htm\n", false},
        {"first version", "kestrin-written 1\nindex.css\n\nindex.htm\n", true},
        {"damaged line", v2 + kPageProof + "index.htm\n4\tzz\tx.htm\n", false},
        {"other version", "kestrin-written 3\n" + kPageProof + "index.htm\n", false},
        {"oversized", v2 + kPageProof + "index.htm\n" + std::string(kMaxWrittenRecordBytes, '\n'),
         false},
        {"a line too long", v2 + kPageProof + "index.htm\n" + kPageProof + std::string(9000, 'x'),
         false},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        WriteFileBytes(dir.file("index.htm"), "page");
        WriteFileBytes(dir.file(kWrittenRecordName), c.record);
        EXPECT_EQ(c.held, TKSwrittenRecord::Read(dir.path()).Holds(dir.path(), "index.htm"))
            << c.what;
        // A link to the very file is not the file the run wrote.
        fs::rename(dir.file("index.htm"), dir.file("target.htm"));
        fs::create_symlink("target.htm", dir.file("index.htm"));
        EXPECT_EQ(c.held && c.record.starts_with("kestrin-written 1"),
                  TKSwrittenRecord::Read(dir.path()).Holds(dir.path(), "index.htm"))
            << c.what;
    }
}

// What a run writes is read back as it was written, and a first-version
// record becomes proof of the files now at its names.
TEST(KSwrittenRecord, WritesWhatItReadsAndProvesOldNames) {
    test::TempDir dir;
    WriteFileBytes(dir.file("index.htm"), "page");
    WriteFileBytes(dir.file(kWrittenRecordName), "kestrin-written 1\nindex.htm\ngone.htm\n");
    const auto proven = TKSwrittenRecord::Read(dir.path()).Proven(dir.path());
    ASSERT_EQ(1u, proven.size());
    EXPECT_EQ((TKSwrittenFile{"index.htm", 4, 0xe825d44463665878, false}), proven[0]);
    const TKSwrittenFile other{"sub/a b\t.htm", 1234567890123, 0xF, false};
    ASSERT_TRUE(WriteWrittenRecord(dir.path(), {proven[0], other, {"x\ny", 1, 1, false}}));
    EXPECT_EQ("kestrin-written 2\n" + kPageProof +
                  "index.htm\n1234567890123\t000000000000000f\tsub/a b\t.htm\n",
              test::ReadFileBytes(dir.file(kWrittenRecordName)));
    EXPECT_EQ((std::vector<TKSwrittenFile>{proven[0], other}),
              TKSwrittenRecord::Read(dir.path()).Files());
}

// A huge record costs neither the memory nor the time of reading it.
// The temporary files of a record that a killed run left go, in the form of
// this version and of earlier ones; other files stay.
TEST(KSwrittenRecord, UnfinishedRecordsOfKilledRunsAreRemoved) {
    test::TempDir dir;
    for (const char* name : {"..kestrin-written.99999-1.tmp", "..kestrin-written.tmp-7-1-ab",
                             "..kestrin-written.99999-1.tmp.keep", "kestrin-written.1-1.tmp"})
        test::WriteFileBytes(dir.file(name), "half");
    RemoveUnfinishedRecords(dir.path().string());
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(
        (std::vector<std::string>{"..kestrin-written.99999-1.tmp.keep", "kestrin-written.1-1.tmp"}),
        left);
}

TEST(KSwrittenRecord, AHugeRecordIsNotReadIntoMemory) {
    test::TempDir dir;
    WriteFileBytes(dir.file(kWrittenRecordName), "kestrin-written 1\n");
    fs::resize_file(dir.file(kWrittenRecordName), std::uintmax_t{256} << 20); // sparse
    rusage before{};
    rusage after{};
    ::getrusage(RUSAGE_SELF, &before);
    EXPECT_TRUE(TKSwrittenRecord::Read(dir.path()).Files().empty());
    ::getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "KiB more at the peak";
}

// Files described together, more than are hashed at once and of sizes that
// end their blocks at different bytes, each as if described alone.
TEST(KSwrittenRecord, ManyFilesAreDescribedAsEachAlone) {
    test::TempDir dir;
    // The loop of FNV-1a, from the start the records have always used: a
    // digit short of the published offset basis, kept so that records
    // already written stay proof.
    const auto fnv = [](const std::string& bytes) {
        std::uint64_t hash = 1469598103934665603ull;
        for (const unsigned char c : bytes)
            hash = (hash ^ c) * 0x100000001b3ull;
        return hash;
    };
    std::string large;
    for (int i = 0; large.size() < 200'003; ++i)
        large += std::to_string(i * 7919) + "\r\n";
    const std::vector<std::pair<std::string, std::string>> files = {
        {"page.htm", "page"},      {"empty.htm", ""},
        {"large.htm", large},      {"gone.htm", ""},
        {"tail.htm", large + "x"}, {"link.htm", ""},
        {"one.htm", "1"},          {"half.htm", large.substr(0, 70'001)}};
    std::vector<std::string> paths, names;
    for (const auto& [name, bytes] : files) {
        if (name != "gone.htm" && name != "link.htm") WriteFileBytes(dir.file(name), bytes);
        paths.push_back(dir.file(name));
        names.push_back(name);
    }
    fs::create_symlink("page.htm", dir.file("link.htm"));
    const std::vector<std::optional<TKSwrittenFile>> described = DescribeWrittenFiles(paths, names);
    ASSERT_EQ(files.size(), described.size());
    EXPECT_EQ(0xe825d44463665878ull, described[0]->Hash);
    for (std::size_t i = 0; i < files.size(); ++i) {
        const auto& [name, bytes] = files[i];
        if (name == "gone.htm" || name == "link.htm") {
            EXPECT_FALSE(described[i]) << name;
            continue;
        }
        ASSERT_TRUE(described[i]) << name;
        EXPECT_EQ((TKSwrittenFile{name, bytes.size(), fnv(bytes), false}), *described[i]) << name;
        EXPECT_EQ(described[i], DescribeWrittenFile(paths[i], name)) << name;
    }
}

} // namespace
} // namespace ks
