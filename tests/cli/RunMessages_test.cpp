// The messages of a run come in the language of the run: the main ways a run
// fails and what a run warns of, each in English and in Dutch. The current
// folder holds a language folder with layouts of its own; the tool takes its
// texts from its program folder all the same.
#include "cli/RunInProcess.h"

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
    std::function<void(const test::TempDir& dir)> arrange; // spoils the set-up
    std::string english, dutch;                            // "@" stands for the test's folder
    bool lockOutput = false;
    bool withoutFileOverride = false; // so that file modes count for root too
    bool succeeds = false;            // the run completes, with warnings
};

std::string Document(const std::string& version, const std::string& lines) {
    return "[KESTRIN]\r\nversion=" + version +
           "\r\ntype=htx\r\nformat=1\r\n[metadata]\r\ntitle=A\r\n[indexdata]\r\n" + lines;
}

// The second document: a warning names it as given, a byte that is no UTF-8
// and a control character shown as \xNN.
const std::string kName = "M\xFCller\x1B[2J.htx";
const std::string kLongName = std::string(300, 'S');

// Five lines of a.htx named, the rest counted; then the one line of kName.
std::string CutWarnings(const std::string& warning, const std::string& cut,
                        const std::string& more) {
    std::string err;
    for (int line = 8; line <= 12; ++line)
        err += "kestrin-index: " + warning + ": @/a.htx:" + std::to_string(line) + cut;
    return err + "kestrin-index: " + warning + ": @/a.htx: " + more + "kestrin-index: " + warning +
           ": @/M\\xFCller\\x1B[2J.htx:8" + cut;
}

std::vector<RunCase> Cases() {
    const std::string notFound =
        "kestrin-index: layout file @/GB/layout/style.css: file not found\n";
    const std::string nietGevonden =
        "kestrin-index: stijlbestand @/GB/layout/style.css: bestand niet gevonden\n";
    return {
        {"another run holds the output folder", nullptr,
         "kestrin-index: another run is writing into @/out/\n",
         "kestrin-index: er wordt al een andere verzamelindex in @/out/ geschreven\n", true},
        {"missing layout source",
         [](const test::TempDir& d) { fs::remove(d.file("GB/layout/style.css")); }, notFound,
         nietGevonden},
        {"named pipe as layout source",
         [](const test::TempDir& d) {
             fs::remove(d.file("GB/layout/style.css"));
             ASSERT_EQ(0, ::mkfifo(d.file("GB/layout/style.css").c_str(), 0600));
         },
         "kestrin-index: layout file @/GB/layout/style.css: not a file\n",
         "kestrin-index: stijlbestand @/GB/layout/style.css: geen bestand\n"},
        {"named pipes as the layout and as a document, never waited on",
         [](const test::TempDir& d) {
             for (const char* name : {"GB/layout/l.ksl", "a.htx"}) {
                 fs::remove(d.file(name));
                 ASSERT_EQ(0, ::mkfifo(d.file(name).c_str(), 0600));
             }
         },
         "kestrin-index: a.htx: not a file\nkestrin-index: GB/layout/l.ksl: not a file\n",
         "kestrin-index: a.htx: geen bestand\nkestrin-index: GB/layout/l.ksl: geen bestand\n"},
        {"a document that cannot be read",
         [](const test::TempDir& d) { fs::permissions(d.file("a.htx"), fs::perms::none); },
         "kestrin-index: a.htx: cannot be read: Permission denied\n",
         "kestrin-index: a.htx: kan niet gelezen worden: Permission denied\n", false, true},
        {"a page that cannot be put in place",
         [](const test::TempDir& d) { fs::create_directories(d.file("out/idx.htm/in-the-way")); },
         "kestrin-index: @/out/idx.htm: cannot be put in place: Is a directory\n",
         "kestrin-index: @/out/idx.htm: kan niet op zijn plaats gezet worden: Is a directory\n"},
        // An old document, unsorted: the lines named are its own, not its sorted copy's.
        {"names over 255 bytes",
         [](const test::TempDir& d) {
             std::string lines;
             for (int i = 0; i < 7; ++i) // lines 8 to 14
                 lines += "Z\tZ" + kLongName + std::to_string(i) + "\tJan\t\t\t\t1\tq.htm\r\n";
             WriteFileBytes(d.file("a.htx"),
                            Document("3.1", lines + "B\tBos\tEva\t\t1901\t\t1\tp.htm#1\r\n"));
             WriteFileBytes(d.file(kName),
                            Document("3.22", "S\t" + kLongName + "\tJan\t\t\t\t1\tq.htm\r\n"));
         },
         CutWarnings("warning", ": a name longer than 255 letters is cut to 255 letters\n",
                     "2 more lines with names cut to 255 letters\n"),
         CutWarnings("waarschuwing",
                     ": een naam van meer dan 255 tekens is ingekort tot 255 tekens\n",
                     "nog 2 regels met namen ingekort tot 255 tekens\n"),
         false, false, true},
    };
}

TEST(RunMessages, ARunSpeaksTheLanguageOfTheRun) {
    bool skipped = false;
    for (const RunCase& c : Cases()) {
        for (const std::string language : {"GB", "NL"}) {
            SCOPED_TRACE(std::string(c.name) + " in " + language);
            test::TempDir dir;
            fs::create_directories(dir.file("GB/layout"));
            fs::create_directories(dir.file("out"));
            for (const std::string& document : {std::string("a.htx"), kName})
                WriteFileBytes(dir.file(document),
                               Document("3.22", "B\tBos\tEva\t\t1901\t\t1\tp.htm#1\r\n"));
            WriteFileBytes(dir.file("GB/layout/l.ksl"),
                           "[KESTRIN]\r\ntype=KSL\r\nformat=1\r\n[General]\r\nTitle=L\r\n"
                           "[Templates]\r\n1=index, index.tpl, #PREFIX!.htm, Index\r\n"
                           "[Files]\r\n1=css, style.css, #PREFIX!.css, Style\r\n");
            WriteFileBytes(dir.file("GB/layout/index.tpl"), "#INDEXDATA!\r\n");
            WriteFileBytes(dir.file("GB/layout/style.css"), "p {}\r\n");
            if (c.arrange) c.arrange(dir);
            std::optional<FolderLock> lock;
            if (c.lockOutput) {
                ASSERT_TRUE(lock.emplace(dir.file("out")).Locked());
            }

            test::RunOptions options;
            options.folder = dir.path().string();
            options.withoutFileOverride = c.withoutFileOverride;
            std::vector<std::string> args = {"build", "-q", "-l",  "GB/layout/l.ksl", "-o",
                                             "out",   "-b", "idx", "a.htx",           kName};
            args.push_back("--language=" + language);
            // Only a process of its own can run with fewer rights than the test.
            const Outcome r = c.withoutFileOverride ? test::RunTool(args, options)
                                                    : test::RunInProcess(args, options);
            if (r.exitCode == test::kCannotDropFileOverride) {
                skipped = true; // root keeps its rights here
                continue;
            }
            EXPECT_EQ(c.succeeds ? 0 : 1, r.exitCode);
            std::string expected = language == "GB" ? c.english : c.dutch;
            for (std::size_t at = expected.find('@'); at != std::string::npos;
                 at = expected.find('@', at + options.folder.size()))
                expected.replace(at, 1, options.folder);
            EXPECT_EQ(expected, r.err);
            EXPECT_EQ(c.succeeds ? dir.file("out") + "/idx.htm\n" : "", r.out);
        }
    }
    if (skipped) GTEST_SKIP() << "an unreadable file cannot be made for root here";
}

} // namespace
} // namespace ks
