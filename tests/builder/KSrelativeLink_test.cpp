#include "builder/KSrelativeLink.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace ks {
namespace {

TEST(RelativeLink, GoesUpToTheCommonFolderAndDownToTheTarget) {
    EXPECT_EQ("../tree1/p3.htm#i12", RelativeLink("/t/out/index1.htm", "/t/tree1/p3.htm#i12"));
    EXPECT_EQ("p.htm", RelativeLink("/t/out/index.htm", "/t/out/p.htm"));
    EXPECT_EQ("sub/deep/p.htm", RelativeLink("/t/out/index.htm", "/t/out/sub/deep/p.htm"));
    EXPECT_EQ("../../../p.htm#x", RelativeLink("/t/a/b/c/index.htm", "/t/p.htm#x"));
    EXPECT_EQ("../../b/c/p.htm", RelativeLink("/a/x/index.htm", "/b/c/p.htm"));
}

TEST(RelativeLink, ResolvesDotsAndBackslashesByNameAndKeepsTheFragment) {
    EXPECT_EQ("../shared/p.htm", RelativeLink("/t/out/./i.htm", "/t/tree1/../shared/p.htm"));
    EXPECT_EQ("../tree1/sub/p.htm#x", RelativeLink("/t/out/i.htm", "/t/tree1/sub\\p.htm#x"));
    EXPECT_EQ("p.htm#a/../b\\c", RelativeLink("/t/i.htm", "/t/p.htm#a/../b\\c"));
    // ".." never climbs above the root.
    EXPECT_EQ("../p.htm", RelativeLink("/t/i.htm", "/../../p.htm"));
}

TEST(RelativeLink, AFileNamedLikeAFolderOfTheOutputIsNotACommonFolder) {
    EXPECT_EQ("../x", RelativeLink("/t/x/i.htm", "/t/x"));
    EXPECT_EQ("./", RelativeLink("/t/x/i.htm", "/t/x/"));
    EXPECT_EQ("../#top", RelativeLink("/t/x/i.htm", "/t/#top"));
}

TEST(RelativeLink, RelativePathsStartFromTheCurrentFolder) {
    const std::string cwd = std::filesystem::current_path().string();
    EXPECT_EQ("../tree/p.htm", RelativeLink("out/i.htm", "tree/p.htm"));
    EXPECT_EQ("../tree/p.htm", RelativeLink(cwd + "/out/i.htm", "tree/p.htm"));
}

TEST(RelativeLink, DocumentLinksStartFromTheDocumentsFolder) {
    EXPECT_EQ("../tree2/p7.htm#i9",
              DocumentLink("/t/out/index1.htm", "/t/tree2/b.htx", "p7.htm#i9"));
    EXPECT_EQ("../../up.htm", DocumentLink("/t/out/index1.htm", "/t/tree2/b.htx", "../../up.htm"));
    EXPECT_EQ("../tree2/sub/p.htm",
              DocumentLink("/t/out/index1.htm", "/t/tree2/b.htx", "sub\\p.htm"));
}

} // namespace
} // namespace ks
