#include "common/KStrash.h"

#include "common/KSerrors.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <set>
#include <string>
#include <sys/mount.h>
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
        const timespec times[2] = {{1000000000, 5}, {1100000000, 123456789}};
        ASSERT_EQ(0, ::utimensat(AT_FDCWD, file.c_str(), times, 0));
        const TKStrashed second = MoveToTrash(file, trash);
        struct stat moved {};
        ASSERT_EQ(0, ::stat(second.TrashPath.c_str(), &moved));
        EXPECT_EQ(times[1].tv_sec, moved.st_mtim.tv_sec) << trash;
        EXPECT_EQ(times[1].tv_nsec, moved.st_mtim.tv_nsec) << trash;
        EXPECT_EQ(times[0].tv_sec, moved.st_atim.tv_sec) << trash;
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

// A name too long to have its record beside it in the trash is cut there
// (whole letters, the extension kept), and kept unique; the record keeps the
// whole path, and the file goes back under its own name.
TEST(KStrash, ANameTooLongForTheTrashIsCutThere) {
    test::TempDir dir;
    const std::string trash = dir.file("Trash");
    std::string letters;
    for (int i = 0; i < 122; ++i)
        letters += "\xC3\xA9"; // é
    const std::string names[] = {"index" + std::string(241, 'x') + ".htm",
                                 "index" + std::string(240, 'x') + "y.htm", "index-" + letters};
    std::set<std::string> inTrash;
    for (const std::string& name : names) {
        const std::string file = dir.file(name);
        WriteFileBytes(file, name);
        const TKStrashed trashed = MoveToTrash(file, trash);
        const std::string cut = fs::path(trashed.TrashPath).filename().string();
        EXPECT_LE(cut.size() + std::strlen(".trashinfo"), 255u) << cut;
        EXPECT_TRUE(inTrash.insert(cut).second) << cut;
        EXPECT_EQ(0u, cut.find("index")) << cut;
        EXPECT_EQ(name.ends_with(".htm"), cut.ends_with(".htm") || cut.ends_with(".htm.2")) << cut;
        EXPECT_NE(0xC3, static_cast<unsigned char>(cut.back())) << "a letter cut in two";
        EXPECT_EQ(name, ReadFileBytes(trashed.TrashPath));
        EXPECT_NE(std::string::npos,
                  ReadFileBytes(trashed.InfoPath).find("\nPath=" + TrashInfoEscape(file) + "\n"));
        ASSERT_TRUE(PutBackFromTrash(trashed));
        EXPECT_EQ(name, ReadFileBytes(file));
        ASSERT_NO_THROW(MoveToTrash(file, trash));
    }
}

// A trash with no room says so, and the file stays where it was, with no
// trace of it in the trash.
TEST(KStrash, AFullTrashSaysItIsFull) {
    test::TempDir dir;
    const std::string small = dir.file("small");
    fs::create_directories(small);
    if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "no small file system can be mounted here: " << std::strerror(errno);
    const struct Unmount {
        std::string path;
        ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
    } unmount{small};
    const std::string file = dir.file("big.htm");
    const std::string big(1 << 20, 'x');
    WriteFileBytes(file, big);
    try {
        MoveToTrash(file, small + "/Trash");
        ADD_FAILURE() << "moved into a trash of 64 KiB";
    } catch (const EWriteError& e) {
        EXPECT_NE(std::string::npos, std::string(e.what()).find(std::strerror(ENOSPC))) << e.what();
    }
    EXPECT_TRUE(big == ReadFileBytes(file));
    EXPECT_EQ(2, std::distance(fs::directory_iterator(small + "/Trash"), {})); // files/, info/
    EXPECT_TRUE(fs::is_empty(small + "/Trash/files") && fs::is_empty(small + "/Trash/info"));
}

} // namespace
} // namespace ks
