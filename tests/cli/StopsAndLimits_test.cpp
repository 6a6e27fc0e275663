// A build that is stopped by a signal, or that meets a file-size limit,
// ends with its own exit status and message and leaves no temporary files.
#include "cli/RunInProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

namespace ks {
namespace {

// 60000 names, in order, or the other way round (an old, unsorted document).
std::string Names(const std::string& version, bool reversed) {
    std::string text = "[KESTRIN]\r\nversion=" + version +
                       "\r\ntype=htx\r\nformat=1\r\n[metadata]\r\ntitle=Big\r\n[indexdata]\r\n";
    char line[80];
    for (int n = 1; n <= 60000; ++n) {
        const int i = reversed ? 60001 - n : n;
        std::snprintf(line, sizeof line, "B\tN%06d\tEva\t\t1901\t\t%d\tp.htm#%d\r\n", i, i, i);
        text += line;
    }
    return text;
}

// One document large enough that its run lasts a while.
class LargeBuild : public ::testing::Test {
protected:
    LargeBuild() {
        test::WriteFileBytes(dir.file("big.htx"), Names("3.22", false));
        fs::create_directories(dir.file("layout"));
        test::WriteFileBytes(dir.file("layout/l.ksl"),
                             "[KESTRIN]\r\ntype=KSL\r\nformat=1\r\n[General]\r\nTitle=L\r\n"
                             "[Templates]\r\n1=index, index.tpl, #PREFIX!.htm, Index\r\n");
        test::WriteFileBytes(dir.file("layout/index.tpl"), "#INDEXDATA!\r\n");
    }

    test::RunOptions Options() const {
        test::RunOptions options;
        options.folder = dir.path().string();
        return options;
    }

    // The private folders of runs inside the temporary folder tmp.
    static std::vector<std::string> RunFolders(const std::string& tmp) {
        std::vector<std::string> found;
        const fs::path folder = fs::path(tmp) / ("KESTRIN-" + std::to_string(::geteuid()));
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(folder, ec))
            found.push_back(entry.path().string());
        return found;
    }

    test::TempDir dir;
    const std::vector<std::string> build = {
        "build", "--language=GB", "-q", "-l", "layout/l.ksl", "-o", "out", "big.htx"};
};

TEST_F(LargeBuild, StopSignalsEndTheRunCleanlyWithTheirOwnStatus) {
    for (const auto& [signal, status] :
         std::vector<std::pair<int, int>>{{SIGTERM, 143}, {SIGHUP, 129}, {SIGINT, 130}}) {
        test::ToolRun run(build, Options());
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (RunFolders(run.TempFolder()).empty() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        ASSERT_FALSE(RunFolders(run.TempFolder()).empty()) << "the run never started";
        ::kill(run.Pid(), signal);
        const Outcome r = run.Wait();
        EXPECT_EQ(status, r.exitCode) << r.err;
        EXPECT_EQ("", r.out);
        EXPECT_EQ("kestrin-index: stopped\n", r.err);
        EXPECT_EQ(std::vector<std::string>{}, RunFolders(run.TempFolder()));
    }
}

TEST_F(LargeBuild, AWriteBeyondTheFileSizeLimitIsAnErrorNamingTheFile) {
    test::RunOptions options = Options();
    options.fileSizeLimit = 64 * 1024;
    test::ToolRun run(build, options);
    Outcome r = run.Wait();
    EXPECT_EQ(1, r.exitCode) << r.err;
    EXPECT_EQ("", r.out);
    EXPECT_NE(std::string::npos, r.err.find("/HTMLindex1.tmp: write failed: File too large"))
        << r.err;
    EXPECT_EQ(std::vector<std::string>{}, RunFolders(run.TempFolder()));

    // A folder name in UTF-8 appears as it is, not converted a second time.
    const std::string temp = "b\xC3\xA4ume";
    fs::create_directories(dir.file(temp));
    std::vector<std::string> args = build;
    args.push_back("--temp=" + temp);
    r = test::RunTool(args, options);
    EXPECT_EQ(1, r.exitCode);
    EXPECT_EQ("kestrin-index: " + dir.file(temp) +
                  "/HTMLindex1.tmp: write failed: File too large\n",
              r.err);
}

// Waits (at most 30 s) until found() gives true; false when it never does.
bool WaitFor(const std::function<bool()>& found) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!found()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// The hidden names in folder.
std::vector<std::string> Hidden(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        // The record of what a complete run wrote, and the digest of its
        // persons, are no leftovers.
        if (entry.path().filename().string().starts_with(".") &&
            entry.path().filename() != ".kestrin-written" &&
            entry.path().filename() != ".kestrin-digest")
            names.push_back(entry.path().filename().string());
    return names;
}

// A run killed outright cannot clean up after itself: the previous result
// stays as it was, and the next run removes what the killed ones left (a
// half-written sorted copy, folders in the temporary and output folders).
TEST_F(LargeBuild, WhatRunsKilledOutrightLeftIsRemovedByTheNextRun) {
    fs::create_directories(dir.file("old"));
    test::WriteFileBytes(dir.file("old/old.htx"), Names("3.0", true));
    const std::vector<std::string> args = {"build", "-q",  "-l",         "layout/l.ksl",
                                           "-o",    "out", "old/old.htx"};
    // The runs of one user share the temporary folder.
    test::RunOptions options = Options();
    options.tempFolder = dir.file("tmp");
    const std::string page = dir.file("out/KESTRIN-Index.htm");
    const Outcome first = test::RunTool(args, options);
    ASSERT_EQ(0, first.exitCode) << first.err;
    const std::string previous = test::ReadFileBytes(page);
    ASSERT_TRUE(fs::remove(dir.file("old/old.new-htx"))); // the next run sorts again

    // Killed while sorting, then while writing the pages.
    const std::vector<std::function<bool()>> moments = {
        [&] { return !Hidden(dir.file("old")).empty(); },
        [&] { // a page in a hidden folder of the output folder
            return std::ranges::any_of(Hidden(dir.file("out")), [&](const std::string& name) {
                std::error_code ec;
                const std::string path = dir.file("out/" + name);
                return fs::is_directory(path, ec) && !fs::is_empty(path, ec);
            });
        },
    };
    for (const auto& moment : moments) {
        test::ToolRun run(args, options);
        ASSERT_TRUE(WaitFor(moment)) << "the moment never came";
        ::kill(run.Pid(), SIGKILL);
        run.Wait();
        EXPECT_FALSE(RunFolders(options.tempFolder).empty());
        EXPECT_EQ(previous, test::ReadFileBytes(page));
    }
    EXPECT_FALSE(Hidden(dir.file("out")).empty());

    const Outcome last = test::RunTool(args, options);
    ASSERT_EQ(0, last.exitCode) << last.err;
    EXPECT_EQ(previous, test::ReadFileBytes(page));
    EXPECT_EQ(std::vector<std::string>{}, Hidden(dir.file("old")));
    EXPECT_EQ(std::vector<std::string>{}, Hidden(dir.file("out")));
    EXPECT_EQ(std::vector<std::string>{}, RunFolders(options.tempFolder));
}

} // namespace
} // namespace ks
