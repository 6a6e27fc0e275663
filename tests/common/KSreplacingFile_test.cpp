#include "common/KSreplacingFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace ks {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// What each option gives the file once it is in place, and that a file that
// goes without a commit leaves the old one and nothing beside it.
TEST(ReplacingFile, ReplacesWholeWithTheModeTimeAndLockAsked) {
    const mode_t mask = ::umask(022);
    ::umask(mask);
    const struct {
        bool existing, keepMode, lock, time, commit;
        mode_t asked, mode;
    } cases[] = {
        {false, false, false, false, true, 0666, 0666 & ~mask},
        {true, false, false, false, true, 0604, 0604 & ~mask},
        {true, true, false, false, true, 0604, 0640},
        {false, true, true, true, true, 0644, 0644 & ~mask},
        {true, true, false, false, false, 0604, 0640},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        const std::string path = dir.file("doc.htx");
        if (c.existing) {
            test::WriteFileBytes(path, "old");
            fs::permissions(path, fs::perms(0640), fs::perm_options::replace);
        }
        ReplacingOptions options;
        options.Mode = c.asked;
        options.KeepMode = c.keepMode;
        options.Lock = c.lock;
        if (c.time) options.ModifiedTime = timespec{1000000000, 5};
        {
            ReplacingFile file(path, options);
            ASSERT_TRUE(file.Valid());
            file.Writer().Write("new");
            if (c.commit) {
                const File committed = file.Commit();
                EXPECT_EQ(c.lock, committed.Valid());
                const File other = File::OpenWith(path, O_RDONLY);
                EXPECT_EQ(c.lock, ::flock(other.Descriptor(), LOCK_EX | LOCK_NB) != 0);
            }
        }
        EXPECT_EQ(c.commit ? "new" : "old", test::ReadFileBytes(path));
        EXPECT_EQ(std::vector<std::string>{"doc.htx"}, Names(dir.path()));
        struct stat st {};
        ASSERT_EQ(0, ::stat(path.c_str(), &st));
        EXPECT_EQ(c.mode, st.st_mode & 07777);
        if (c.time) {
            EXPECT_EQ(1000000000, st.st_mtim.tv_sec);
        }
    }
}

TEST(ReplacingFile, TellsThePendingReplacementOfAFileByItsName) {
    const std::pair<std::string, pid_t> cases[] = {
        {".a.htx.123-4.tmp", 123}, {".a.htx.123-4.tmp.bak", 0}, {".a.htx.123.tmp", 0},
        {".b.htx.123-4.tmp", 0},   {"a.htx.123-4.tmp", 0},      {".a.htx.x1-4.tmp", 0},
        {".a.htx.0-4.tmp", 0},
    };
    for (const auto& [name, pid] : cases)
        EXPECT_EQ(pid, PendingReplacementWriter(name, "a.htx")) << name;
    test::TempDir dir;
    {
        ReplacingFile file(dir.file("a.htx"));
        EXPECT_EQ(::getpid(), PendingReplacementWriter(Names(dir.path()).at(0), "a.htx"));
    }
}

} // namespace
} // namespace ks
