#include "cli/RunTool.h"
#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <set>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace ks {
namespace {

namespace fs = std::filesystem;
using test::Outcome;
using test::ReadFileBytes;
using test::WriteFileBytes;

std::string Sample(const std::string& tree) {
    return std::string(KS_TEST_SOURCE_DIR) + "samples/" + tree + "/" + tree + ".htx";
}

// A build of the sample trees into out, with the trash in trash; killed at
// the call the shim is told of, if any.
Outcome Build(const test::TempDir& dir, const std::string& trash,
              const std::vector<std::string>& trees, const std::vector<std::string>& kill = {}) {
    const test::ScopedEnv data("XDG_DATA_HOME", trash);
    std::vector<std::string> args = {"build", "-q", "-o", dir.file("out"), "-b", "index"};
    for (const std::string& tree : trees)
        args.push_back(Sample(tree));
    test::RunOptions options;
    options.environment = kill;
    if (!kill.empty())
        options.environment.push_back(std::string("LD_PRELOAD=") + KS_KILL_AT_CALL_PATH);
    return test::RunTool(args, options);
}

std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec); !ec && it != fs::directory_iterator();
         it.increment(ec))
        names.insert(it->path().filename().string());
    return names;
}

// A run killed while it puts its pages in place, or just before or after:
// the next run knows every file of the program for its own (none goes to
// the trash), and moves only the user's files there.
TEST(KilledRuns, ARunKilledWhilePublishingLeavesItsFilesKnown) {
    const struct {
        const char* what;
        const char* path;
        const char* at;
    } moments[] = {
        {"writing the record before any page moves", "/out/.kestrin-written", "1"},
        {"at the first page put in place", "/out/index", "1"},
        {"halfway through the pages", "/out/index", "20"},
        {"writing the record after the last page", "/out/.kestrin-written", "2"},
    };
    for (const auto& moment : moments) {
        test::TempDir dir;
        const std::string trash = dir.file("data");
        ASSERT_EQ(0, Build(dir, trash, {"jansen"}).exitCode) << moment.what;
        WriteFileBytes(dir.file("out/index-mine.txt"), "mine");
        const Outcome killed =
            Build(dir, trash, {"jansen", "deboer"},
                  {"KS_KILL_CALL=rename", std::string("KS_KILL_PATH=") + moment.path,
                   std::string("KS_KILL_AT=") + moment.at});
        EXPECT_EQ(-1, killed.exitCode) << moment.what << killed.err;
        WriteFileBytes(dir.file("out/index-late.txt"), "late");
        const Outcome next = Build(dir, trash, {"jansen", "deboer", "smit"});
        ASSERT_EQ(0, next.exitCode) << moment.what << next.err;
        EXPECT_EQ((std::set<std::string>{"index-late.txt", "index-mine.txt"}),
                  Names(trash + "/Trash/files"))
            << moment.what;
        EXPECT_EQ("mine", ReadFileBytes(trash + "/Trash/files/index-mine.txt"));
        for (const std::string& name : Names(dir.file("out")))
            EXPECT_FALSE(name.starts_with("..kestrin-written")) << moment.what << ": " << name;
    }
}

// A run killed while it copies a file of the user's into a trash on another
// file system, or once the copy is whole: the trash holds nothing the user
// could restore (no cut copy, no record of a file there), the user's file is still in
// place, and the next run clears what was left and trashes the file whole,
// with its modification time.
TEST(KilledRuns, ARunKilledWhileCopyingToTheTrashLeavesNothingToRestore) {
    test::TempDir dir;
    const std::string trash = "/dev/shm/" + dir.path().filename().string() + "-data";
    struct stat here {};
    struct stat shm {};
    if (::stat(dir.path().c_str(), &here) != 0 || ::stat("/dev/shm", &shm) != 0 ||
        here.st_dev == shm.st_dev || ::access("/dev/shm", W_OK) != 0)
        GTEST_SKIP() << "no writable /dev/shm on another file system than " << dir.path();
    const struct {
        const char* what;
        const char* call;
        const char* path;
        const char* at;
    } moments[] = {
        {"during the copy", "write", "/.kestrin-pending-", "3"},
        {"when the whole copy is about to take its name", "rename", "/Trash/files/", "1"},
    };
    std::string big;
    for (int i = 0; big.size() < (1 << 20); ++i)
        big += "line " + std::to_string(i) + " of the user's own notes\n";
    const timespec times[2] = {{1000000000, 123456789}, {1200000000, 987654321}};
    for (const auto& moment : moments) {
        fs::remove_all(trash);
        fs::remove_all(dir.file("out"));
        ASSERT_EQ(0, Build(dir, trash, {"jansen"}).exitCode);
        const std::string mine = dir.file("out/index-big.txt");
        WriteFileBytes(mine, big);
        ASSERT_EQ(0, ::utimensat(AT_FDCWD, mine.c_str(), times, 0));
        const Outcome killed = Build(dir, trash, {"jansen"},
                                     {std::string("KS_KILL_CALL=") + moment.call,
                                      std::string("KS_KILL_PATH=") + moment.path,
                                      std::string("KS_KILL_AT=") + moment.at});
        EXPECT_EQ(-1, killed.exitCode) << moment.what << killed.err;
        EXPECT_TRUE(big == ReadFileBytes(mine)) << moment.what;
        EXPECT_TRUE(Names(trash + "/Trash/files").empty()) << moment.what;
        // Once whole, the copy's record is claimed: it names no file yet.
        EXPECT_EQ(moment.call == std::string("rename"), !Names(trash + "/Trash/info").empty());

        // A record of another program's that names no file is not this one's to remove.
        WriteFileBytes(trash + "/Trash/info/other.trashinfo", "[Trash Info]\nPath=/other\n");
        ASSERT_EQ(0, Build(dir, trash, {"jansen"}).exitCode) << moment.what;
        EXPECT_EQ((std::set<std::string>{"files", "info"}), Names(trash + "/Trash"));
        EXPECT_EQ(std::set<std::string>{"index-big.txt"}, Names(trash + "/Trash/files"));
        EXPECT_EQ((std::set<std::string>{"index-big.txt.trashinfo", "other.trashinfo"}),
                  Names(trash + "/Trash/info"));
        const std::string copy = trash + "/Trash/files/index-big.txt";
        EXPECT_TRUE(big == ReadFileBytes(copy)) << moment.what;
        struct stat st {};
        ASSERT_EQ(0, ::stat(copy.c_str(), &st));
        EXPECT_EQ(times[1].tv_sec, st.st_mtim.tv_sec) << moment.what;
        EXPECT_EQ(times[1].tv_nsec, st.st_mtim.tv_nsec) << moment.what;
    }
    fs::remove_all(trash);
}

} // namespace
} // namespace ks
