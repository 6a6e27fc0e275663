#include "common/KStrash.h"

#include "common/KSerrors.h"

#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>

namespace ks {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

TEST(KStrash, TheHomeTrashFollowsTheDataFolderOrTheHomeFolder) {
    const test::ScopedEnv home("HOME", "/home/ann");
    {
        const test::ScopedEnv data("XDG_DATA_HOME", "/data/ann");
        EXPECT_EQ("/data/ann/Trash", HomeTrashFolder());
    }
    const test::ScopedEnv relative("XDG_DATA_HOME", "data"); // not absolute: ignored
    EXPECT_EQ("/home/ann/.local/share/Trash", HomeTrashFolder());
    EXPECT_EQ("/a%20b/%25/%C3%A9~x_y-z.htm", TrashInfoEscape("/a b/%/\xC3\xA9~x_y-z.htm"));
}

// Within a file system the file is renamed; across file systems (a memory
// file system, when there is one beside the test folder) copied and then
// deleted. Either way it can be put back.
TEST(KStrash, MovesWithinAndAcrossFileSystemsAndPutsBack) {
    TempDir dir;
    std::vector<std::string> trashes = {dir.file("data/Trash")};
    struct stat here {
    }, shm{};
    if (::stat(dir.path().c_str(), &here) == 0 && ::stat("/dev/shm", &shm) == 0 &&
        here.st_dev != shm.st_dev && ::access("/dev/shm", W_OK) == 0)
        trashes.push_back("/dev/shm/" + dir.path().filename().string() + "-Trash");
    for (const std::string& trash : trashes) {
        const std::string file = dir.file("page.htm");
        WriteFileBytes(file, "bytes \xFF\r\n");
        ::chmod(file.c_str(), 0640);
        const TKStrashed moved = MoveToTrash(file, trash);
        EXPECT_EQ(trash + "/files/page.htm", moved.TrashPath);
        EXPECT_FALSE(fs::exists(file));
        EXPECT_EQ("bytes \xFF\r\n", ReadFileBytes(moved.TrashPath));
        EXPECT_EQ(fs::perms(0640), fs::status(moved.TrashPath).permissions() & fs::perms::all);
        EXPECT_TRUE(fs::exists(moved.InfoPath));
        EXPECT_TRUE(PutBackFromTrash(moved));
        EXPECT_EQ("bytes \xFF\r\n", ReadFileBytes(file));
        EXPECT_FALSE(fs::exists(moved.TrashPath) || fs::exists(moved.InfoPath));
        // A file that is not there leaves nothing in the trash.
        EXPECT_THROW(MoveToTrash(dir.file("gone.htm"), trash), EWriteError);
        EXPECT_TRUE(fs::is_empty(trash + "/info"));
        if (trash.starts_with("/dev/shm/")) fs::remove_all(trash);
    }
}

} // namespace
} // namespace ks
