// A second run into an output folder that another process is writing into
// is refused and leaves the folder as the first run has it.
#include "cli/RunTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ks {
namespace {

using test::ReadFileBytes;
using test::RunTool;
using test::WriteFileBytes;

// A process that holds the lock on folder until the pipe closes.
class LockHolder {
public:
    explicit LockHolder(const std::string& folder) {
        int ready[2];
        if (::pipe2(ready, O_CLOEXEC) != 0 || ::pipe2(release_, O_CLOEXEC) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            ::close(release_[1]);
            const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
            const char ok = fd >= 0 && ::flock(fd, LOCK_EX) == 0 ? 'y' : 'n';
            if (::write(ready[1], &ok, 1) != 1) _exit(1);
            char byte = 0;
            while (::read(release_[0], &byte, 1) > 0) {
            }
            _exit(0);
        }
        ::close(ready[1]);
        ::close(release_[0]);
        char ok = 'n';
        locked_ = ::read(ready[0], &ok, 1) == 1 && ok == 'y';
        ::close(ready[0]);
    }
    ~LockHolder() {
        ::close(release_[1]);
        if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
    }
    bool Locked() const { return locked_; }

private:
    int release_[2] = {-1, -1};
    pid_t pid_ = -1;
    bool locked_ = false;
};

TEST(OutputFolderLock, ASecondRunIntoTheSameFolderIsRefused) {
    test::TempDir dir;
    std::filesystem::create_directories(dir.file("out"));
    std::filesystem::create_directories(dir.file("layout"));
    WriteFileBytes(dir.file("a.htx"), "[KESTRIN]\r\nversion=3.22\r\ntype=htx\r\nformat=1\r\n"
                                      "[metadata]\r\ntitle=A\r\n[indexdata]\r\n"
                                      "B\tBos\tEva\t\t1901\t\t1\tp.htm#1\r\n");
    WriteFileBytes(dir.file("layout/l.ksl"), "[KESTRIN]\r\ntype=KSL\r\nformat=1\r\n[General]\r\n"
                                             "Title=L\r\n[Templates]\r\n"
                                             "1=index, index.tpl, #PREFIX!.htm, Index\r\n");
    WriteFileBytes(dir.file("layout/index.tpl"), "#INDEXDATA!\r\n");
    WriteFileBytes(dir.file("out/idx-first.htm"), "the first run's page");
    const std::vector<std::string> build = {
        "build", "--language=GB", "-l", "layout/l.ksl", "-o", "out", "-b", "idx", "a.htx"};
    {
        LockHolder first(dir.file("out"));
        ASSERT_TRUE(first.Locked());
        const test::Outcome second = RunTool(build, dir.path().string());
        EXPECT_EQ(1, second.exitCode);
        EXPECT_NE(std::string::npos,
                  second.err.find("another run is writing into " + dir.file("out") + "/"))
            << second.err;
        EXPECT_EQ("", second.out);
        EXPECT_EQ("the first run's page", ReadFileBytes(dir.file("out/idx-first.htm")));
    }
    EXPECT_EQ(0, RunTool(build, dir.path().string()).exitCode);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out/idx-first.htm")));
}

} // namespace
} // namespace ks
