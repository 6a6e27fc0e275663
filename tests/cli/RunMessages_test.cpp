// The messages of a run come in the language of the run: the main ways a run
// fails and what a run warns of, each in English and in Dutch. The current
// folder holds a language folder with layouts of its own; the tool takes its
// texts from its program folder all the same.
#include "cli/RunTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ks {
namespace {

namespace fs = std::filesystem;
using test::Outcome;
using test::WriteFileBytes;

// Holds the lock on a folder that a run takes on its output folder.
class FolderLock {
public:
    explicit FolderLock(const std::string& folder)
        : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        locked_ = fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
    }
    ~FolderLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    bool Locked() const { return locked_; }

private:
    int fd_;
    bool locked_ = false;
};

struct RunCase {
    const char* name;
    // Spoils the set-up; the texts name the files through dir.
    std::function<void(const test::TempDir& dir)> arrange;
    std::function<std::string(const test::TempDir& dir)> english;
    std::function<std::string(const test::TempDir& dir)> dutch;
    bool lockOutput = false;
    bool withoutFileOverride = false; // so that file modes count for root too
    bool succeeds = false;            // the run completes, with warnings
};

const std::string kDocumentHead = "[KESTRIN]\r\nversion=3.22\r\ntype=htx\r\nformat=1\r\n"
                                  "[metadata]\r\ntitle=A\r\n[indexdata]\r\n";

std::string Layout(const test::TempDir& dir) {
    return dir.file("GB/layout/");
}

std::vector<RunCase> Cases() {
    return {
        {"another run holds the output folder", [](const test::TempDir&) {},
         [](const test::TempDir& d) {
             return "kestrin-index: another run is writing into " + d.file("out") + "/\n";
         },
         [](const test::TempDir& d) {
             return "kestrin-index: er wordt al een andere verzamelindex in " + d.file("out") +
                    "/ geschreven\n";
         },
         true},
        {"missing layout source",
         [](const test::TempDir& d) { fs::remove(Layout(d) + "style.css"); },
         [](const test::TempDir& d) {
             return "kestrin-index: layout file " + Layout(d) + "style.css: file not found\n";
         },
         [](const test::TempDir& d) {
             return "kestrin-index: stijlbestand " + Layout(d) +
                    "style.css: bestand niet gevonden\n";
         }},
        {"named pipe as layout source",
         [](const test::TempDir& d) {
             fs::remove(Layout(d) + "style.css");
             ASSERT_EQ(0, ::mkfifo((Layout(d) + "style.css").c_str(), 0600));
         },
         [](const test::TempDir& d) {
             return "kestrin-index: layout file " + Layout(d) + "style.css: file not found\n";
         },
         [](const test::TempDir& d) {
             return "kestrin-index: stijlbestand " + Layout(d) +
                    "style.css: bestand niet gevonden\n";
         }},
        {"a document that cannot be read",
         [](const test::TempDir& d) { fs::permissions(d.file("a.htx"), fs::perms::none); },
         [](const test::TempDir&) {
             return "kestrin-index: a.htx: cannot be read: Permission denied\n";
         },
         [](const test::TempDir&) {
             return "kestrin-index: a.htx: kan niet gelezen worden: Permission denied\n";
         },
         false, true},
        {"a page that cannot be put in place",
         [](const test::TempDir& d) { fs::create_directories(d.file("out/idx.htm/in-the-way")); },
         [](const test::TempDir& d) {
             return "kestrin-index: " + d.file("out") +
                    "/idx.htm: cannot be put in place: Is a directory\n";
         },
         [](const test::TempDir& d) {
             return "kestrin-index: " + d.file("out") +
                    "/idx.htm: kan niet op zijn plaats gezet worden: Is a directory\n";
         }},
        {"a name over 255 bytes",
         [](const test::TempDir& d) {
             std::string lines;
             for (int i = 0; i < 7; ++i)
                 lines += "S\t" + std::string(300, 'S') + "\tJan\t\t\t\t" + std::to_string(i) +
                          "\tq.htm\r\n"; // lines 8 to 14
             WriteFileBytes(d.file("a.htx"), kDocumentHead + lines);
         },
         [](const test::TempDir& d) {
             std::string err;
             for (int line = 8; line <= 12; ++line)
                 err += "kestrin-index: warning: " + d.file("a.htx") + ":" + std::to_string(line) +
                        ": a name longer than 255 bytes is cut to 255 bytes\n";
             return err + "kestrin-index: warning: " + d.file("a.htx") +
                    ": 2 more lines with names cut to 255 bytes\n";
         },
         [](const test::TempDir& d) {
             std::string err;
             for (int line = 8; line <= 12; ++line)
                 err += "kestrin-index: waarschuwing: " + d.file("a.htx") + ":" +
                        std::to_string(line) +
                        ": een naam van meer dan 255 bytes is ingekort tot 255 bytes\n";
             return err + "kestrin-index: waarschuwing: " + d.file("a.htx") +
                    ": nog 2 regels met namen ingekort tot 255 bytes\n";
         },
         false, false, true},
    };
}

TEST(RunMessages, ARunSpeaksTheLanguageOfTheRun) {
    bool skipped = false;
    for (const RunCase& c : Cases()) {
        for (const std::string language : {"GB", "NL"}) {
            SCOPED_TRACE(std::string(c.name) + " in " + language);
            test::TempDir dir;
            fs::create_directories(Layout(dir));
            fs::create_directories(dir.file("out"));
            WriteFileBytes(dir.file("a.htx"),
                           kDocumentHead + "B\tBos\tEva\t\t1901\t\t1\tp.htm#1\r\n");
            WriteFileBytes(Layout(dir) + "l.ksl",
                           "[KESTRIN]\r\ntype=KSL\r\nformat=1\r\n[General]\r\nTitle=L\r\n"
                           "[Templates]\r\n1=index, index.tpl, #PREFIX!.htm, Index\r\n"
                           "[Files]\r\n1=css, style.css, #PREFIX!.css, Style\r\n");
            WriteFileBytes(Layout(dir) + "index.tpl", "#INDEXDATA!\r\n");
            WriteFileBytes(Layout(dir) + "style.css", "p {}\r\n");
            c.arrange(dir);
            std::optional<FolderLock> lock;
            if (c.lockOutput) {
                ASSERT_TRUE(lock.emplace(dir.file("out")).Locked());
            }

            test::RunOptions options;
            options.folder = dir.path().string();
            options.withoutFileOverride = c.withoutFileOverride;
            const Outcome r = test::RunTool({"build", "--language=" + language, "-q", "-l",
                                             "GB/layout/l.ksl", "-o", "out", "-b", "idx", "a.htx"},
                                            options);
            if (r.exitCode == test::kCannotDropFileOverride) {
                skipped = true; // root keeps its rights here
                continue;
            }
            EXPECT_EQ(c.succeeds ? 0 : 1, r.exitCode);
            const std::string english = c.english(dir);
            const std::string dutch = c.dutch(dir);
            EXPECT_EQ(language == "GB" ? english : dutch, r.err);
            EXPECT_EQ(c.succeeds ? dir.file("out") + "/idx.htm\n" : "", r.out);
        }
    }
    if (skipped) GTEST_SKIP() << "an unreadable file cannot be made for root here";
}

// The document of a warning is named as given, not read as a text of the
// program: a byte that is no UTF-8 and a control character show as \xNN.
TEST(RunMessages, AWarningNamesTheDocumentAsGiven) {
    test::TempDir dir;
    fs::create_directories(dir.file("layout"));
    WriteFileBytes(dir.file("layout/l.ksl"), "[KESTRIN]\r\ntype=KSL\r\nformat=1\r\n[General]\r\n"
                                             "Title=L\r\n[Templates]\r\n"
                                             "1=index, index.tpl, #PREFIX!.htm, Index\r\n");
    WriteFileBytes(dir.file("layout/index.tpl"), "#INDEXDATA!\r\n");
    const std::string name = "M\xFCller\x1B[2J.htx";
    WriteFileBytes(dir.file(name),
                   kDocumentHead + "S\t" + std::string(300, 'S') + "\tJan\t\t\t\t1\tq.htm\r\n");
    const Outcome r = test::RunTool({"build", "--language=NL", "-q", "-l", "layout/l.ksl", "-o",
                                     "out", "-b", "idx", "--", name},
                                    dir.path().string());
    EXPECT_EQ(0, r.exitCode) << r.err;
    EXPECT_EQ("kestrin-index: waarschuwing: " + dir.file("M\\xFCller\\x1B[2J.htx") +
                  ":8: een naam van meer dan 255 bytes is ingekort tot 255 bytes\n",
              r.err);
}

} // namespace
} // namespace ks
