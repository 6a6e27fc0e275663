#include "cli/RunInProcess.h"
#include "support/HttpsServer.h"
#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ks {
namespace {

constexpr const char* kTree = "[KESTRIN]\r\nversion=3.22\r\ntype=htx\r\nformat=1\r\n"
                              "[metadata]\r\ntitle=Bos\r\n[indexdata]\r\n"
                              "B\tBos\tEva\t\t1901\t\t1\tp.htm#1\r\n";
constexpr const char* kGendex = "persons1.htm#p1|BAKKER|Jan /BAKKER/|12 MAR 1781|Leiden|||\r\n";
constexpr const char* kGedcom = "0 HEAD\n1 CHAR UTF-8\n0 @I1@ INDI\n1 NAME Johannes /Visser/\n"
                                "1 BIRT\n2 DATE 1768\n1 DEAT\n2 DATE 1830\n0 TRLR\n";

// Trees served over HTTPS from 127.0.0.1, the cache of fetched files and a
// one-template layout in the test's folder.
class FetchedTrees : public ::testing::Test {
protected:
    FetchedTrees()
        : server_(Root(dir), dir.file("server")), cache_("XDG_CACHE_HOME", dir.file("cache")),
          ca_("KESTRIN_CA_BUNDLE", server_.CaFile()) {
        WriteFileBytes(dir.file("root/trees/bos.htx"), kTree);
        WriteFileBytes(dir.file("root/g/gendex.txt"), kGendex);
        WriteFileBytes(dir.file("root/v/visser.ged"), kGedcom);
        fs::create_directories(dir.file("layout"));
        WriteFileBytes(dir.file("layout/l.ksl"), "[KESTRIN]\r\ntype=KSL\r\nformat=1\r\n[General]"
                                                 "\r\nTitle=L\r\n[Templates]\r\n"
                                                 "1=index, index.tpl, #PREFIX!.htm, Index\r\n");
        WriteFileBytes(dir.file("layout/index.tpl"), "#INDEXDATA!\r\n");
    }

    static std::string Root(const test::TempDir& dir) {
        fs::create_directories(dir.file("root/trees"));
        fs::create_directories(dir.file("root/g"));
        fs::create_directories(dir.file("root/v"));
        return dir.file("root");
    }

    Outcome Run(std::vector<std::string> args) { return RunInProcess(args, dir.path().string()); }
    Outcome Build(const std::vector<std::string>& documents) {
        std::vector<std::string> args = {"build", "--language=GB", "-l", "layout/l.ksl",
                                         "-o",    "out",           "-b", "idx"};
        args.insert(args.end(), documents.begin(), documents.end());
        return Run(args);
    }
    std::string Page() { return ReadFileBytes(dir.file("out/idx.htm")); }
    std::string Address(const std::string& path) { return server_.Address(path); }

    test::TempDir dir;
    test::HttpsServer server_;
    test::ScopedEnv cache_;
    test::ScopedEnv ca_;
};

// Fetched once, then asked only whether it changed; with the host gone the
// copy builds the same pages and the run says which copy it used.
TEST_F(FetchedTrees, AnIndexDocumentByAddressIsCachedAndAskedForConditionally) {
    ASSERT_TRUE(server_.Running());
    const std::string address = Address("trees/bos.htx");
    const Outcome first = Build({address});
    ASSERT_EQ(0, first.exitCode) << first.err;
    const std::string page = Page();
    // The tree's links lead to the folder of its address.
    EXPECT_NE(std::string::npos, page.find("href=\"" + Address("trees/p.htm#1") + "\"")) << page;
    EXPECT_NE(std::string::npos, server_.Log().find("GET /trees/bos.htx 200"));

    const Outcome second = Build({address});
    ASSERT_EQ(0, second.exitCode) << second.err;
    EXPECT_NE(std::string::npos, server_.Log().find("GET /trees/bos.htx 304")) << server_.Log();
    EXPECT_EQ(page, Page());
    const Outcome info = Run({"info", "--language=GB", address});
    EXPECT_EQ(0u, info.out.find("Bos\n")) << info.out << info.err;

    server_.Stop();
    const Outcome offline = Build({address});
    ASSERT_EQ(0, offline.exitCode) << offline.err;
    EXPECT_EQ(page, Page());
    EXPECT_NE(std::string::npos, offline.err.find("warning: " + address + ": not fetched ("))
        << offline.err;
    EXPECT_NE(std::string::npos, offline.err.find("the copy of 20")) << offline.err;
}

// Without a copy, whatever keeps the file from the run stops it before the
// output folder is made, naming the address and the reason.
TEST_F(FetchedTrees, WithoutACopyTheRunStopsBeforeWriting) {
    ASSERT_TRUE(server_.Running());
    struct Case {
        std::string path;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {"redirect-http/trees/bos.htx", "redirects to http://127.0.0.1:"},
        {"too-big/bos.htx", "larger than 512 MiB"},
        {"error/bos.htx", "HTTP 500"},
        {"trees/none.htx", "HTTP 404"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const Outcome r = Build({Address(c.path)});
        EXPECT_EQ(1, r.exitCode);
        EXPECT_NE(std::string::npos, r.err.find(Address(c.path) + ": cannot be fetched ("))
            << r.err;
        EXPECT_NE(std::string::npos, r.err.find(c.reason)) << r.err;
        EXPECT_NE(std::string::npos, r.err.find("there is no earlier copy")) << r.err;
        EXPECT_FALSE(fs::exists(dir.file("out")));
    }
    // A redirect to https is followed, and the host's certificate is checked.
    EXPECT_EQ(0, Build({Address("redirect/trees/bos.htx")}).exitCode);
    const test::ScopedEnv untrusted("KESTRIN_CA_BUNDLE", ""); // the system's authorities only
    const Outcome r = Build({Address("trees/bos.htx")});
    EXPECT_EQ(1, r.exitCode);
    EXPECT_NE(std::string::npos, r.err.find("cannot be fetched")) << r.err;

    server_.Stop();
    const Outcome down = Build({Address("g/gendex.txt")});
    EXPECT_EQ(1, down.exitCode);
    EXPECT_NE(std::string::npos, down.err.find(Address("g/gendex.txt") + ": cannot be fetched ("))
        << down.err;
}

// Name lists are imported in the cache; a GEDCOM file with the choices of
// its first import, which the build keeps.
TEST_F(FetchedTrees, NameListsByAddressAreImported) {
    ASSERT_TRUE(server_.Running());
    const std::string gedcom = Address("v/visser.ged");
    const Outcome unlinked = Build({gedcom});
    EXPECT_EQ(1, unlinked.exitCode);
    EXPECT_NE(std::string::npos, unlinked.err.find("kestrin-index import " + gedcom + " --link"))
        << unlinked.err;
    EXPECT_EQ(2, Run({"import", "--language=GB", "-o", "x.htx", gedcom}).exitCode);
    const Outcome imported = Run({"import", "--language=GB", "--link", "p{id}.htm", gedcom});
    ASSERT_EQ(0, imported.exitCode) << imported.err;

    const Outcome r = Build({Address("g/gendex.txt"), gedcom});
    ASSERT_EQ(0, r.exitCode) << r.err;
    const std::string page = Page();
    EXPECT_NE(std::string::npos, page.find("href=\"" + Address("g/persons1.htm#p1") + "\""))
        << page;
    EXPECT_NE(std::string::npos, page.find("href=\"" + Address("v/pI1.htm") + "\"")) << page;
}

} // namespace
} // namespace ks
