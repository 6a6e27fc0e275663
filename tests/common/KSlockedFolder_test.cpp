#include "common/KSlockedFolder.h"

#include "common/KSerrors.h"
#include "support/ShippedTexts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <utility>

namespace ks {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::WriteFileBytes;

TEST(KSlockedFolder, AFolderGoesOnlyOnceNoRunHoldsIt) {
    TempDir dir;
    const std::string parent = dir.path().string();
    File held;
    File released;
    const std::string live = MakeLockedFolder(parent, "run-", held);
    const std::string gone = MakeLockedFolder(parent, "run-", released);
    EXPECT_TRUE(IsLockedFolderName(fs::path(live).parent_path().filename(), "run-")) << live;
    EXPECT_EQ(fs::perms::owner_all, fs::status(live).permissions());
    WriteFileBytes(gone + "HTMLindex1.tmp", "left");
    fs::create_directories(gone + "sub");
    EXPECT_EQ(0, RemoveAbandonedFolders(parent, "run-")) << "both are held";

    // Elsewhere, reached through a link of a fitting name: never entered.
    TempDir elsewhere;
    WriteFileBytes(elsewhere.file("precious"), "keep");
    fs::create_directory_symlink(elsewhere.path(), dir.file("run-link01"));
    const char* const unfitting[] = {"run-abc", "run-abcdefg", "xrun-abcdef", "run-ab_def",
                                     "Run-abcdef"};
    for (const char* name : unfitting)
        fs::create_directories(dir.file(name));
    WriteFileBytes(dir.file("run-file01"), "a file");

    released.Close();
    EXPECT_EQ(1, RemoveAbandonedFolders(parent, "run-"));
    EXPECT_FALSE(fs::exists(gone));
    EXPECT_TRUE(fs::is_directory(live));
    EXPECT_EQ("keep", test::ReadFileBytes(elsewhere.file("precious")));
    for (const char* name : unfitting)
        EXPECT_TRUE(fs::is_directory(dir.file(name))) << name;
    EXPECT_TRUE(fs::is_symlink(dir.file("run-link01")));
    EXPECT_TRUE(fs::is_regular_file(dir.file("run-file01")));
    EXPECT_EQ(0, RemoveAbandonedFolders(dir.file("missing"), "run-"));
}

// The error names the folder the new one was to be made in, in the language
// of the run.
TEST(KSlockedFolder, AFolderThatCannotBeMadeIsReportedInTheLanguageOfTheRun) {
    TempDir dir;
    for (const auto& [language, reason] :
         {std::pair<std::string, std::string>{"GB", "cannot create a folder in it"},
          {"NL", "er kan geen map in gemaakt worden"}}) {
        const test::ShippedTexts texts(language);
        File lock;
        try {
            MakeLockedFolder(dir.file("missing"), ".kestrin-new-", lock);
            ADD_FAILURE() << language;
        } catch (const EInOutError& e) {
            EXPECT_EQ(dir.file("missing") + "/", e.Path()) << language;
            EXPECT_EQ(reason + ": " + std::strerror(ENOENT), e.Reason()) << language;
        }
    }
}

TEST(KSlockedFolder, OnlyAFolderOfThisUserThatNobodyElseMayEnterIsPrivate) {
    TempDir dir;
    const struct {
        const char* name;
        fs::perms perms;
        bool isPrivate;
    } cases[] = {
        {"own", fs::perms::owner_all, true},
        {"readable", fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read, false},
        {"shared", fs::perms::all | fs::perms::sticky_bit, false},
    };
    for (const auto& c : cases) {
        fs::create_directories(dir.file(c.name));
        fs::permissions(dir.file(c.name), c.perms, fs::perm_options::replace);
        EXPECT_EQ(c.isPrivate, IsPrivateFolder(dir.file(c.name))) << c.name;
        EXPECT_EQ(c.isPrivate, IsPrivateFolder(dir.file(c.name) + "/")) << c.name;
    }
    fs::create_directory_symlink(dir.file("own"), dir.file("link"));
    WriteFileBytes(dir.file("file"), "x");
    for (const std::string& path : {dir.file("link"), dir.file("file"), dir.file("missing"), {}})
        EXPECT_FALSE(IsPrivateFolder(path)) << path;
}

} // namespace
} // namespace ks
