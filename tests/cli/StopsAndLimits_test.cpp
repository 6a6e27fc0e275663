// A build that is stopped by a signal, or that meets a file-size limit,
// ends with its own exit status and message and leaves no temporary files.
#include "cli/RunTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

namespace ks {
namespace {

namespace fs = std::filesystem;
using test::Outcome;

// One document large enough that its run lasts a while.
class LargeBuild : public ::testing::Test {
protected:
    LargeBuild() {
        std::string text =
            "[KESTRIN]\r\nversion=3.22\r\ntype=htx\r\nformat=1\r\n[metadata]\r\ntitle=Big\r\n"
            "[indexdata]\r\n";
        char line[80];
        for (int i = 1; i <= 60000; ++i) {
            std::snprintf(line, sizeof line, "B\tN%06d\tEva\t\t1901\t\t%d\tp.htm#%d\r\n", i, i, i);
            text += line;
        }
        test::WriteFileBytes(dir.file("big.htx"), text);
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

} // namespace
} // namespace ks
