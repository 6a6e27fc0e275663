#include "fetch/KSfetch.h"

#include "support/HttpsServer.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>

namespace ks {
namespace {

TEST(FetchAddress, FolderFileNameAndProblem) {
    struct Case {
        const char* address;
        const char* folder;
        const char* fileName;
        bool good;
    };
    const Case cases[] = {
        {"https://host/a/b/tree.htx", "https://host/a/b/", "tree.htx", true},
        {"HTTPS://host:8443/gendex.txt?x=/y#z", "HTTPS://host:8443/", "gendex.txt", true},
        {"https://host", "https://host/", "index.htx", true},
        {"https://host/a/..", "https://host/a/", "index.htx", true},
        {"https://host/a/.hidden%20x", "https://host/a/", "_hidden_20x", true},
        {"http://host/a.htx", "http://host/", "a.htx", false},
        {"https://host/a b.htx", "https://host/", "a_b.htx", false},
        {"https://host/\"a\".htx", "https://host/", "_a_.htx", false},
        {"https://host/caf\xC3\xA9.htx", "https://host/", "caf__.htx", false},
        {"ftp://host/a.htx", "ftp://host/", "a.htx", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        EXPECT_EQ(c.folder, AddressFolder(c.address));
        EXPECT_EQ(c.fileName, AddressFileName(c.address));
        EXPECT_EQ(c.good, AddressProblem(c.address).empty());
    }
}

// The cache folder of the environment, and one folder per address in it.
TEST(FetchCache, FolderFromTheEnvironment) {
    {
        const test::ScopedEnv cache("XDG_CACHE_HOME", "/c/");
        EXPECT_EQ("/c/kestrin-index/", FetchCacheFolder());
        const std::string a = CachedCopyPath("https://h/a/tree.htx");
        const std::string b = CachedCopyPath("https://h/b/tree.htx");
        EXPECT_EQ(0u, a.find("/c/kestrin-index/"));
        EXPECT_TRUE(a.ends_with("/tree.htx"));
        EXPECT_NE(a, b);
    }
    const test::ScopedEnv relative("XDG_CACHE_HOME", "c");
    const test::ScopedEnv home("HOME", "/home/u");
    EXPECT_EQ("/home/u/.cache/kestrin-index/", FetchCacheFolder());
}

// A transfer cut off never replaces the copy, which stays with the reason;
// nothing else is left beside it.
TEST(FetchCache, ACutTransferKeepsTheCopy) {
    test::TempDir dir;
    std::filesystem::create_directories(dir.file("root"));
    test::WriteFileBytes(dir.file("root/a.htx"), std::string(5000, 'n'));
    test::HttpsServer server(dir.file("root"), dir.file("server"));
    ASSERT_TRUE(server.Running());
    const test::ScopedEnv cache("XDG_CACHE_HOME", dir.file("cache"));
    const test::ScopedEnv ca(kCaBundleVariable, server.CaFile());

    const std::string address = server.Address("truncated/a.htx");
    std::filesystem::create_directories(
        std::filesystem::path(CachedCopyPath(address)).parent_path());
    test::WriteFileBytes(CachedCopyPath(address), "good copy");
    // A killed fetch's half download (no process has that number) goes.
    const std::string folder = std::filesystem::path(CachedCopyPath(address)).parent_path();
    test::WriteFileBytes(folder + "/.a.htx.999999999-1.tmp", "half");
    const TKSfetchResult cut = FetchToCache(address);
    EXPECT_FALSE(cut.Confirmed);
    EXPECT_FALSE(cut.Reason.empty());
    EXPECT_EQ(CachedCopyPath(address), cut.Path);
    EXPECT_EQ("good copy", test::ReadFileBytes(cut.Path));
    EXPECT_EQ(1u, std::distance(std::filesystem::directory_iterator(
                                    std::filesystem::path(cut.Path).parent_path()),
                                std::filesystem::directory_iterator()));

    // Under a smaller limit a whole file is refused as well, the copy kept.
    const std::string whole = server.Address("a.htx");
    TKSfetchLimits small;
    small.MaxBytes = 4096;
    const TKSfetchResult big = FetchToCache(whole, small);
    EXPECT_TRUE(big.Path.empty());
    EXPECT_NE(std::string::npos, big.Reason.find("MiB")) << big.Reason;
    const TKSfetchResult fetched = FetchToCache(whole);
    EXPECT_TRUE(fetched.Changed);
    EXPECT_EQ(std::string(5000, 'n'), test::ReadFileBytes(fetched.Path));
}

} // namespace
} // namespace ks
