// What every command shares: help, usage errors, and the switches, wherever
// they stand.
#include "cli/RunInProcess.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

namespace ks {
namespace {

namespace fs = std::filesystem;
using test::Outcome;
using test::ReadFileBytes;
using test::RunInProcess;
using test::RunTool;
using test::WriteFileBytes;

using Args = std::vector<std::string>;

TEST(KestrinIndexCommandLine, HelpGoesToStandardOutputForEveryCommand) {
    for (const std::string command : {"build", "eval", "layouts", "info"})
        for (const std::string help : {"--help", "-h"}) {
            const Outcome r = RunInProcess({command, help});
            EXPECT_EQ(0, r.exitCode) << command << ' ' << help << ": " << r.err;
            EXPECT_EQ(0u, r.out.find("usage: kestrin-index " + command)) << r.out;
            EXPECT_EQ("", r.err);
        }
    const Outcome r = RunInProcess({"--help"});
    EXPECT_EQ(0, r.exitCode);
    EXPECT_NE(std::string::npos, r.out.find("eval"));
}

TEST(KestrinIndexCommandLine, UsageErrorsExitWithTwoForEveryCommand) {
    for (const Args& args : std::vector<Args>{{},
                                              {"frobnicate"},
                                              {"--language=GB"},
                                              {"eval"},
                                              {"eval", "1", "2"},
                                              {"eval", "--fast", "1"},
                                              {"layouts", "x"},
                                              {"info"},
                                              {"info", "-x", "a.htx"},
                                              {"info", "a.htx", "b.htx"},
                                              {"build", "-o", "out"}}) {
        const Outcome r = RunInProcess(args);
        EXPECT_EQ(2, r.exitCode) << (args.empty() ? "" : args[0]) << ": " << r.err;
        EXPECT_NE(std::string::npos, r.err.find("usage: kestrin-index")) << r.err;
        EXPECT_EQ("", r.out);
    }
    EXPECT_NE(std::string::npos,
              RunInProcess({"eval", "--fast", "1"}).err.find("unknown option --fast"));
    EXPECT_NE(std::string::npos,
              RunInProcess({"frobnicate"}).err.find("unknown command frobnicate"));
}

TEST(KestrinIndexCommandLine, SwitchesMayStandBeforeTheCommand) {
    Outcome r = RunInProcess({"--language=GB", "-debug=0", "layouts"});
    EXPECT_EQ(0, r.exitCode) << r.err;
    EXPECT_NE(std::string::npos, r.out.find("/GB/layout/")) << r.out;
    r = RunInProcess({"--language=GB", "eval", "YEAR$(\"before 1850\",1)"});
    EXPECT_EQ("<1850\n", r.out);
}

TEST(KestrinIndexCommandLine, ALanguageForOneRunIsNotRemembered) {
    test::TempDir config;
    test::RunOptions options;
    options.configFolder = config.path().string();
    Outcome r = RunInProcess({"layouts", "--language=GB"}, options);
    EXPECT_NE(std::string::npos, r.out.find("/GB/layout/")) << r.out;
    r = RunInProcess({"layouts"}, options);
    EXPECT_NE(std::string::npos, r.out.find("/NL/layout/")) << r.out;
}

// A damaged store is told on standard error and left as it is; the rest of
// it (the chosen language) is used and the run succeeds.
TEST(KestrinIndexCommandLine, ADamagedStoreIsToldAndLeftAsItIs) {
    test::TempDir config;
    fs::create_directories(config.path() / "kestrin");
    const std::string file = config.file("kestrin/registry.ini");
    const std::string text = "[\\Software\\KESTRIN\\4.0]\nbroken%zz=1\nLanguage=GB\n";
    WriteFileBytes(file, text);
    test::RunOptions options;
    options.configFolder = config.path().string();
    const Outcome r = RunInProcess({"layouts"}, options);
    EXPECT_EQ(0, r.exitCode) << r.err;
    EXPECT_NE(std::string::npos, r.out.find("/GB/layout/")) << r.out;
    EXPECT_EQ("kestrin-index: " + file +
                  ":2: line skipped: a \"%\" without two hexadecimal digits after it\n",
              r.err);
    EXPECT_EQ(text, ReadFileBytes(file));
}

// What cannot reach standard output (a full disk, a closed pipe) makes the
// command fail, even when it did its work.
TEST(KestrinIndexCommandLine, OutputThatCannotBeWrittenIsAFailure) {
    struct Refusing : std::streambuf {
        int overflow(int) override { return traits_type::eof(); }
    } refusing;
    std::ostream out(&refusing);
    for (const Args& args : std::vector<Args>{{"--help"}, {"eval", "1+1"}, {"layouts"}}) {
        std::string err;
        EXPECT_EQ(1, RunInProcess(args, {}, out, err)) << args[0];
        EXPECT_TRUE(err.starts_with("kestrin-index: standard output: write failed: ")) << err;
        out.clear();
    }
}

// Only "-" or "--" makes a switch: "/DEBUG" is a document.
TEST(KestrinIndexCommandLine, ASlashMakesNoSwitch) {
    const Outcome r = RunInProcess({"info", "--language=GB", "/DEBUG"});
    EXPECT_EQ(1, r.exitCode);
    EXPECT_EQ("kestrin-index: /DEBUG: no such index document\n", r.err);
}

// The tests below run the built program: they are about where it finds its
// program folder.

// A folder a user works in that looks like a program folder: text files and,
// per language, a layout whose title comes first and whose page says so.
void MakeLookalikeProgramFolder(const std::string& folder) {
    for (const std::string language : {"NL", "GB"}) {
        fs::create_directories(folder + "/" + language + "/layout");
        WriteFileBytes(folder + "/KS-" + language + ".UI", "[Text]\r\n1547.1=LOOKALIKE\r\n");
        WriteFileBytes(folder + "/" + language + "/layout/aaa.ksl",
                       "[KESTRIN]\r\ntype=KSL\r\nformat=1\r\n[General]\r\nTitle=AAA lookalike\r\n"
                       "[Templates]\r\n1=start, aaa.tpl, #PREFIX!.htm, Start\r\n");
        WriteFileBytes(folder + "/" + language + "/layout/aaa.tpl", "LOOKALIKE PAGE\r\n");
    }
    fs::create_directories(folder + "/trees");
    WriteFileBytes(folder + "/trees/a.htx",
                   "[KESTRIN]\r\nversion=3.22\r\ntype=htx\r\nformat=1\r\n[metadata]\r\n"
                   "title=Tree A\r\n[indexdata]\r\nB\tBos\tEva\t\t1901\t\t1\tp.htm#1\r\n");
}

// Every file below folder that holds text.
bool AnyFileHolds(const std::string& folder, const std::string& text) {
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file() &&
            ReadFileBytes(entry.path().string()).find(text) != std::string::npos)
            return true;
    return false;
}

TEST(KestrinIndexProgramFolder, FilesInTheCurrentFolderAreNeverTheProgramsOwn) {
    test::TempDir work;
    const std::string folder = work.path().string();
    MakeLookalikeProgramFolder(folder);
    for (const std::string language : {"--language=NL", "--language=GB"}) {
        SCOPED_TRACE(language);
        Outcome r = RunTool({language, "layouts"}, folder);
        EXPECT_EQ(0, r.exitCode) << r.err;
        EXPECT_EQ(std::string::npos, r.out.find("lookalike")) << r.out;
        EXPECT_EQ(std::string::npos, r.out.find(folder)) << r.out;
        EXPECT_NE(std::string::npos, r.out.find("/layout/modern.ksl")) << r.out;

        // The default layout is the program's first, never the lookalike.
        fs::remove_all(folder + "/out");
        r = RunTool({language, "build", "-q", "-o", "out", "trees/a.htx"}, folder);
        EXPECT_EQ(0, r.exitCode) << r.err;
        EXPECT_FALSE(AnyFileHolds(folder + "/out", "LOOKALIKE"));
        EXPECT_TRUE(AnyFileHolds(folder + "/out", "Bos"));
    }
}

// The tool copied out of the build tree has no program folder: it says where
// it looked and reads nothing of the build tree.
TEST(KestrinIndexProgramFolder, ACopiedToolNamesWhereItLookedAndFails) {
    test::TempDir copy;
    const std::string root = fs::canonical(copy.path()).string();
    fs::create_directories(root + "/bin");
    const std::string tool = root + "/bin/kestrin-index";
    fs::copy_file(KS_CLI_PATH, tool);
    fs::permissions(tool, fs::perms::owner_all);
    MakeLookalikeProgramFolder(root + "/bin"); // also beside the program itself
    std::string dist = ReadFileBytes(std::string(KS_CLI_PATH) + ".program-folder");
    dist = dist.substr(0, dist.find('\n'));
    ASSERT_TRUE(fs::is_directory(dist)) << dist;

    test::RunOptions options;
    options.program = tool;
    options.folder = root + "/bin";
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"layouts"}, {"eval", "1+1"}, {"build", "-q", "-o", "out", "trees/a.htx"}}) {
        SCOPED_TRACE(args[0]);
        const Outcome r = RunTool(args, options);
        EXPECT_EQ(1, r.exitCode) << r.err;
        EXPECT_EQ("", r.out);
        EXPECT_EQ(0u, r.err.find("kestrin-index: " + tool + ".program-folder, " + root +
                                 "/share/kestrin/: no program folder"))
            << r.err;
        EXPECT_EQ(std::string::npos, r.err.find(dist)) << r.err;
        EXPECT_FALSE(fs::exists(root + "/bin/out"));
    }
}

} // namespace
} // namespace ks
