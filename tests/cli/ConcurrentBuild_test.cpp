// Two runs of the tool at the same time over the same old documents: both
// sort them into the same copies beside the documents.
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ks {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

// A started program with its own temporary folder, store and output files.
class Process {
public:
    Process(const std::string& program, std::vector<std::string> args, const std::string& cwd) {
        const std::string out = home_.file("out");
        args.insert(args.begin(), program);
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_ = fork();
        if (pid_ != 0) return;
        const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd < 0 || dup2(fd, 1) < 0 || dup2(fd, 2) < 0 || chdir(cwd.c_str()) != 0) _exit(127);
        setenv("XDG_CONFIG_HOME", home_.file("config").c_str(), 1);
        setenv("TMPDIR", home_.path().c_str(), 1);
        execv(argv[0], argv.data());
        _exit(127);
    }

    // The exit code (-1 when it did not exit normally); output in Output().
    int Wait() {
        int status = 0;
        if (pid_ <= 0 || waitpid(pid_, &status, 0) != pid_ || !WIFEXITED(status)) return -1;
        return WEXITSTATUS(status);
    }
    std::string Output() const { return ReadFileBytes(home_.file("out")); }

private:
    TempDir home_;
    pid_t pid_ = -1;
};

// The index lines of a document (or copy), in byte order.
std::vector<std::string> IndexLines(const std::string& path) {
    const std::string text = ReadFileBytes(path);
    std::vector<std::string> lines;
    std::size_t at = text.find("[indexdata]\r\n");
    if (at == std::string::npos) return lines;
    at += 13;
    while (at < text.size()) {
        const std::size_t end = text.find("\r\n", at);
        lines.push_back(text.substr(at, end - at));
        at = end == std::string::npos ? text.size() : end + 2;
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

TEST(ConcurrentBuild, TwoRunsOverTheSameOldDocumentsBothGiveTheWholeIndex) {
    TempDir dir;
    // Large enough that the sorts of the two runs overlap.
    Process gen(KS_GEN_HTX_PATH,
                {"--docs", "2", "--old", "2", "--lines", "300000", "--seed", "5", "trees"},
                dir.path().string());
    ASSERT_EQ(0, gen.Wait()) << gen.Output();
    fs::create_directories(dir.file("layout"));
    WriteFileBytes(dir.file("layout/l.ksl"), "[KESTRIN]\r\ntype=KSL\r\nformat=1\r\n[General]\r\n"
                                             "Title=L\r\n[Templates]\r\n"
                                             "1=index, index.tpl, #PREFIX!.htm, Index\r\n");
    WriteFileBytes(dir.file("layout/index.tpl"), "#INDEXDATA!\r\n");
    auto build = [&](const std::string& output) {
        return Process(KS_CLI_PATH,
                       {"build", "-q", "-l", "layout/l.ksl", "-o", output, "-b", "idx",
                        "trees/tree1.htx", "trees/tree2.htx"},
                       dir.path().string());
    };
    // The index as one run alone makes it; then the copies go again.
    Process alone = build("alone");
    ASSERT_EQ(0, alone.Wait()) << alone.Output();
    for (const std::string name : {"tree1", "tree2"})
        ASSERT_TRUE(fs::remove(dir.file("trees/" + name + ".new-htx")));

    Process first = build("first");
    Process second = build("second");
    EXPECT_EQ(0, first.Wait()) << first.Output();
    EXPECT_EQ(0, second.Wait()) << second.Output();
    const std::string expected = ReadFileBytes(dir.file("alone/idx.htm"));
    EXPECT_LT(300000u * 20, expected.size());
    EXPECT_TRUE(ReadFileBytes(dir.file("first/idx.htm")) == expected);
    EXPECT_TRUE(ReadFileBytes(dir.file("second/idx.htm")) == expected);
    for (const std::string name : {"tree1", "tree2"}) {
        const std::vector<std::string> lines = IndexLines(dir.file("trees/" + name + ".htx"));
        const std::vector<std::string> copied = IndexLines(dir.file("trees/" + name + ".new-htx"));
        EXPECT_TRUE(lines == copied)
            << name << ": " << lines.size() << " lines, copy " << copied.size();
    }
    // Nothing else is left beside the documents.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.file("trees")))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(
        (std::vector<std::string>{"tree1.htx", "tree1.new-htx", "tree2.htx", "tree2.new-htx"}),
        names);
}

} // namespace
} // namespace ks
