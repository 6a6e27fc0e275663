#include "common/KStrash.h"

#include "common/KSerrors.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>

namespace ks {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::WriteFileBytes;

// Within a file system a file is renamed; across file systems (a memory file
// system, when there is one beside the test folder) copied, then deleted. A
// second file of the same name gets a name of its own; either can be put back.
TEST(KStrash, MovesWithinAndAcrossFileSystemsAndPutsBack) {
    test::TempDir dir;
    std::vector<std::string> trashes = {dir.file("data/Trash")};
    struct stat here {
    }, shm{};
    if (::stat(dir.path().c_str(), &here) == 0 && ::stat("/dev/shm", &shm) == 0 &&
        here.st_dev != shm.st_dev && ::access("/dev/shm", W_OK) == 0)
        trashes.push_back("/dev/shm/" + dir.path().filename().string() + "-Trash");
    const std::string file = dir.file("page.htm");
    for (const std::string& trash : trashes) {
        WriteFileBytes(file, "first \xFF\r\n");
        const TKStrashed first = MoveToTrash(file, trash);
        WriteFileBytes(file, "second");
        ::chmod(file.c_str(), 0640);
        const TKStrashed second = MoveToTrash(file, trash);
        EXPECT_EQ("first \xFF\r\n", ReadFileBytes(trash + "/files/page.htm"));
        EXPECT_EQ(trash + "/files/page.htm.2", second.TrashPath);
        EXPECT_EQ(fs::perms(0640), fs::status(second.TrashPath).permissions() & fs::perms::all);
        EXPECT_TRUE(fs::exists(trash + "/info/page.htm.2.trashinfo"));
        ASSERT_TRUE(PutBackFromTrash(second));
        EXPECT_EQ("second", ReadFileBytes(file));
        EXPECT_FALSE(PutBackFromTrash(first)); // never over the file now there
        EXPECT_FALSE(fs::exists(second.TrashPath) || fs::exists(second.InfoPath));
        // A file that is not there leaves nothing in the trash.
        EXPECT_THROW(MoveToTrash(dir.file("gone.htm"), trash), EWriteError);
        EXPECT_EQ(1, std::distance(fs::directory_iterator(trash + "/info"), {}));
        if (trash.starts_with("/dev/shm/")) fs::remove_all(trash);
    }
}

} // namespace
} // namespace ks
