#include "common/KSfiles.h"

#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace ks {
namespace {
namespace fs = std::filesystem;
using test::TempDir;
using test::WriteFileBytes;

TEST(KSfiles, MasksMatchLikeFileSearches) {
    EXPECT_TRUE(MatchFileMask("names03.htm", "names*.htm", false));
    EXPECT_TRUE(MatchFileMask("names.htm", "names*.htm", false));
    EXPECT_FALSE(MatchFileMask("names03.html", "names*.htm", false));
    EXPECT_FALSE(MatchFileMask("xnames.htm", "names*.htm", false));
    // "*.*" takes names without an extension too.
    EXPECT_TRUE(MatchFileMask("README", "*.*", false));
    EXPECT_TRUE(MatchFileMask("index", "index*.*", false));
    EXPECT_TRUE(MatchFileMask("index.tmp.htm", "index*.*", false));
    EXPECT_FALSE(MatchFileMask("myindex.htm", "index*.*", false));
    EXPECT_TRUE(MatchFileMask("a1.htm", "a?.htm", false));
    EXPECT_FALSE(MatchFileMask("a12.htm", "a?.htm", false));
    EXPECT_TRUE(MatchFileMask("aXbXc", "*X*X*", false));
    // Hidden names need an explicit dot.
    EXPECT_FALSE(MatchFileMask(".index.htm", "*.htm", false));
    EXPECT_TRUE(MatchFileMask(".index.htm", ".*.htm", false));
    // Letter case as asked.
    EXPECT_FALSE(MatchFileMask("Names.HTM", "names*.htm", false));
    EXPECT_TRUE(MatchFileMask("Names.HTM", "names*.htm", true));
    EXPECT_FALSE(MatchFileMask("", "*", false));
}

TEST(KSfiles, DeleteFilesRemovesMatchingFilesOnly) {
    TempDir dir;
    for (const char* name : {"names.htm", "names01.htm", "names02.htm", "Names03.htm", "other.htm"})
        WriteFileBytes(dir.file(name), "x");
    fs::create_directories(dir.file("names-folder.htm"));
    fs::create_directories(dir.file("sub"));
    WriteFileBytes(dir.file("sub/names9.htm"), "x");
    WriteFileBytes(dir.file("sub/keep.htm"), "x");

    DeleteFiles(dir.path().string(), "names*.htm");
    EXPECT_FALSE(fs::exists(dir.file("names.htm")));
    EXPECT_FALSE(fs::exists(dir.file("names01.htm")));
    EXPECT_FALSE(fs::exists(dir.file("names02.htm")));
    EXPECT_TRUE(fs::exists(dir.file("Names03.htm")));
    EXPECT_TRUE(fs::exists(dir.file("other.htm")));
    EXPECT_TRUE(fs::is_directory(dir.file("names-folder.htm")));
    EXPECT_TRUE(fs::exists(dir.file("sub/names9.htm")));

    DeleteFiles(dir.path().string() + "/", "sub/names*.htm");
    EXPECT_FALSE(fs::exists(dir.file("sub/names9.htm")));
    EXPECT_TRUE(fs::exists(dir.file("sub/keep.htm")));

    DeleteFiles(dir.file("missing"), "*.*"); // nothing happens
    DeleteFiles(dir.path().string(), "*.*");
    EXPECT_FALSE(fs::exists(dir.file("other.htm")));
    EXPECT_TRUE(fs::is_directory(dir.file("sub")));
}

TEST(KSfiles, DeleteFilesNeverReachesOutsideItsFolder) {
    TempDir dir;
    fs::create_directories(dir.file("out"));
    fs::create_directories(dir.file("elsewhere"));
    WriteFileBytes(dir.file("elsewhere/names1.htm"), "precious");
    WriteFileBytes(dir.file("names2.htm"), "precious");
    fs::create_directory_symlink(dir.file("elsewhere"), dir.file("out/pages"));
    for (const char* mask : {"pages/names*.htm", "../names*.htm", "./../names*.htm"})
        EXPECT_TRUE(DeleteFiles(dir.file("out"), mask).empty()) << mask;
    EXPECT_TRUE(fs::exists(dir.file("elsewhere/names1.htm")));
    EXPECT_TRUE(fs::exists(dir.file("names2.htm")));
}

TEST(KSfiles, DeleteFilesReportsWhatItCannotDelete) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may delete anything";
    TempDir dir;
    fs::create_directories(dir.file("out/sub"));
    WriteFileBytes(dir.file("out/sub/names3.htm"), "x");
    fs::permissions(dir.file("out/sub"), fs::perms::owner_read | fs::perms::owner_exec);
    const std::vector<TKSproblem> failed = DeleteFiles(dir.file("out"), "sub/names*.htm");
    fs::permissions(dir.file("out/sub"), fs::perms::owner_all);
    ASSERT_EQ(1u, failed.size());
    EXPECT_EQ(dir.file("out/sub/names3.htm"), failed[0].Path);
    EXPECT_EQ("Permission denied", failed[0].Reason);
}

TEST(KSfiles, FindFilesListsVisibleRegularFilesSorted) {
    TempDir dir;
    for (const char* name : {"b.ksl", "A.KSL", ".hidden.ksl", "c.txt"})
        WriteFileBytes(dir.file(name), "x");
    fs::create_directories(dir.file("d.ksl"));
    EXPECT_EQ((std::vector<std::string>{"A.KSL", "b.ksl"}),
              FindFiles(dir.path().string(), "*.ksl"));
    EXPECT_TRUE(FindFiles(dir.file("missing"), "*.ksl").empty());
}

// Gives path the modification stamp (nanoseconds since 1970, UTC).
bool SetModified(const std::string& path, int64_t stamp) {
    const struct timespec times[2] = {
        {0, UTIME_OMIT},
        {static_cast<time_t>(stamp / 1000000000LL), static_cast<long>(stamp % 1000000000LL)}};
    return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

TEST(KSfiles, FileStampsAndSizes) {
    TempDir dir;
    WriteFileBytes(dir.file("old.htx"), "12345");
    WriteFileBytes(dir.file("copy.new-htx"), "123");
    const int64_t stamp = 1551312000LL * 1000000000LL + 123456789; // 28-02-2019 00:00 UTC
    ASSERT_TRUE(SetModified(dir.file("old.htx"), stamp));

    int64_t date = -1, size = -1;
    FileDateSize(dir.file("old.htx"), date, size);
    EXPECT_EQ(stamp, date);
    EXPECT_EQ(5, size);
    FileDateSize(dir.file("o*.htx"), date, size);
    EXPECT_EQ(stamp, date);
    EXPECT_EQ(5, size);
    FileDateSize(dir.file("missing.htx"), date, size);
    EXPECT_EQ(0, date);
    EXPECT_EQ(0, size);
    FileDateSize(dir.path().string(), date, size); // a folder is no file
    EXPECT_EQ(0, size);

    // A copy carrying the original's stamp counts as the same date.
    ASSERT_TRUE(SetModified(dir.file("copy.new-htx"), stamp));
    EXPECT_EQ(0, CompareFileDates(dir.file("old.htx"), dir.file("copy.new-htx")));
    ASSERT_TRUE(SetModified(dir.file("copy.new-htx"), stamp + 1));
    EXPECT_EQ(2, CompareFileDates(dir.file("old.htx"), dir.file("copy.new-htx")));
    EXPECT_EQ(1, CompareFileDates(dir.file("copy.new-htx"), dir.file("old.htx")));
    EXPECT_EQ(1, CompareFileDates(dir.file("old.htx"), dir.file("none")));
    EXPECT_EQ(2, CompareFileDates(dir.file("none"), dir.file("old.htx")));
    EXPECT_EQ(0, CompareFileDates(dir.file("none"), dir.file("none2")));
    EXPECT_FALSE(SetModified(dir.file("none"), stamp));
}

TEST(KSfiles, CheckFileKindTestsTypeAndWholeFormat) {
    TempDir dir;
    auto kind = [&](const std::string& content) {
        WriteFileBytes(dir.file("doc.htx"), content);
        return CheckFileKind(dir.file("doc.htx"), "htx", 1, 1);
    };
    EXPECT_TRUE(kind("[KESTRIN]\r\nversion=3.22\r\ntype=htx\r\nformat=1\r\n"));
    EXPECT_TRUE(kind("[kestrin]\r\nTYPE=HTX\r\nFormat= 1 \r\n[indexdata]\r\nx\ty\r\n"));
    EXPECT_FALSE(kind("[KESTRIN]\r\ntype=htx\r\nformat=2\r\n"));
    EXPECT_FALSE(kind("[KESTRIN]\r\ntype=htx\r\nformat=0\r\n"));
    EXPECT_FALSE(kind("[KESTRIN]\r\ntype=ksl\r\nformat=1\r\n"));
    EXPECT_FALSE(kind("[KESTRIN]\r\ntype=htx\r\n"));
    EXPECT_FALSE(kind("[KESTRIN]\r\ntype=htx\r\nformat=1a\r\n"));
    EXPECT_FALSE(kind("[KESTRIN]\r\ntype=htx\r\nformat=1.0\r\n"));
    EXPECT_FALSE(kind("[KESTRIN]\r\ntype=htx\r\nformat=\r\n"));
    EXPECT_FALSE(kind("[OTHER]\r\ntype=htx\r\nformat=1\r\n"));
    EXPECT_FALSE(kind(""));
    EXPECT_FALSE(CheckFileKind(dir.file("missing.htx"), "htx", 1, 1));
    WriteFileBytes(dir.file("doc.htx"), "[KESTRIN]\r\ntype=htx\r\nformat=3\r\n");
    EXPECT_TRUE(CheckFileKind(dir.file("doc.htx"), "HTX", 2, 4));
}

TEST(KSfiles, WholeNumbers) {
    int32_t value = 0;
    EXPECT_TRUE(ParseWholeNumber(" 42 ", value));
    EXPECT_EQ(42, value);
    EXPECT_TRUE(ParseWholeNumber("-7", value));
    EXPECT_EQ(-7, value);
    EXPECT_TRUE(ParseWholeNumber("+3", value));
    EXPECT_EQ(3, value);
    for (const char* bad : {"", " ", "+", "+-3", "3x", "1.5", "0x10", "2147483648", "- 1"})
        EXPECT_FALSE(ParseWholeNumber(bad, value)) << bad;
}

TEST(KSfiles, PrivateTemporaryFolder) {
    TempDir dir;
    const std::string base = dir.path().string() + "/base/";
    const std::string expected = base + "KESTRIN-" + std::to_string(::geteuid()) + "/";
    EXPECT_EQ(expected, PrivateTempFolder(base));
    struct stat st {};
    ASSERT_EQ(0, ::stat(expected.c_str(), &st));
    EXPECT_EQ(0700U, st.st_mode & 0777U);

    // An existing folder of ours is narrowed to the owner.
    ASSERT_EQ(0, ::chmod(expected.c_str(), 0755));
    EXPECT_EQ(expected, PrivateTempFolder(base));
    ASSERT_EQ(0, ::stat(expected.c_str(), &st));
    EXPECT_EQ(0700U, st.st_mode & 0777U);

    // A file or a link in its place is refused.
    const std::string other = dir.path().string() + "/other/";
    fs::create_directories(other);
    WriteFileBytes(other + "KESTRIN-" + std::to_string(::geteuid()), "x");
    EXPECT_EQ("", PrivateTempFolder(other));
    const std::string linked = dir.path().string() + "/linked/";
    fs::create_directories(linked);
    fs::create_directory_symlink(expected, linked + "KESTRIN-" + std::to_string(::geteuid()));
    EXPECT_EQ("", PrivateTempFolder(linked));
}

TEST(KSfiles, TempPathFromTheEnvironment) {
    {
        test::ScopedEnv tmp("TMPDIR", "/var/tmp");
        EXPECT_EQ("/var/tmp/", GetTempPath());
    }
    {
        test::ScopedEnv tmp("TMPDIR", "relative");
        EXPECT_EQ("/tmp/", GetTempPath());
    }
}

} // namespace
} // namespace ks
