// What every command shares: help, usage errors, and the switches, wherever
// they stand.
#include "cli/RunInProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <streambuf>
#include <string>
#include <tuple>
#include <vector>

namespace ks {
namespace {

using Args = std::vector<std::string>;

// In the language of the run, the one stored (Dutch when none) or the one
// of the switch, wherever it stands.
TEST(KestrinIndexCommandLine, HelpGoesToStandardOutputForEveryCommand) {
    for (const auto& [language, usage, other] :
         {std::tuple<std::string, std::string, std::string>{"", "gebruik: ", "usage"},
          {"--language=GB", "usage: ", "gebruik"}}) {
        for (const std::string command : {"build", "eval", "layouts", "info", "import"})
            for (const std::string help : {"--help", "-h"}) {
                Args args = {command, help};
                if (!language.empty()) args.push_back(language);
                const Outcome r = RunInProcess(args);
                EXPECT_EQ(0, r.exitCode) << command << ' ' << help << ": " << r.err;
                EXPECT_EQ(0u, r.out.find(usage + "kestrin-index " + command)) << r.out;
                EXPECT_EQ("", r.err);
            }
        Args args = {"--help"};
        if (!language.empty()) args.push_back(language);
        const Outcome r = RunInProcess(args);
        EXPECT_EQ(0, r.exitCode);
        EXPECT_EQ(0u, r.out.find(usage)) << r.out;
        EXPECT_NE(std::string::npos, r.out.find("GEDCOM"));
        EXPECT_EQ(std::string::npos, r.out.find(other)) << r.out;
    }
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
        const bool english = !args.empty() && args[0] == "--language=GB";
        EXPECT_NE(std::string::npos,
                  r.err.find(english ? "usage: kestrin-index" : "gebruik: kestrin-index"))
            << r.err;
        EXPECT_EQ("", r.out);
    }
    EXPECT_NE(std::string::npos,
              RunInProcess({"eval", "--fast", "1"}).err.find("onbekende optie --fast"));
    EXPECT_NE(std::string::npos,
              RunInProcess({"frobnicate"}).err.find("onbekende opdracht frobnicate"));
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
        EXPECT_TRUE(err.starts_with("kestrin-index: standaarduitvoer: schrijven mislukt: ")) << err;
        out.clear();
    }
}

// Only "-" or "--" makes a switch: "/DEBUG" is a document.
TEST(KestrinIndexCommandLine, ASlashMakesNoSwitch) {
    const Outcome r = RunInProcess({"info", "--language=GB", "/DEBUG"});
    EXPECT_EQ(1, r.exitCode);
    EXPECT_EQ("kestrin-index: /DEBUG: no such index document\n", r.err);
}

} // namespace
} // namespace ks
