// What every command shares: help, usage errors, and the switches, wherever
// they stand.
#include "cli/CliEnvironment.h"
#include "cli/RunTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ks {
namespace {

using test::Outcome;
using test::RunTool;

using Args = std::vector<std::string>;

TEST(KestrinIndexCommandLine, HelpGoesToStandardOutputForEveryCommand) {
    for (const std::string command : {"build", "eval", "layouts", "info"})
        for (const std::string help : {"--help", "-h"}) {
            const Outcome r = RunTool({command, help});
            EXPECT_EQ(0, r.exitCode) << command << ' ' << help << ": " << r.err;
            EXPECT_EQ(0u, r.out.find("usage: kestrin-index " + command)) << r.out;
            EXPECT_EQ("", r.err);
        }
    const Outcome r = RunTool({"--help"});
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
        const Outcome r = RunTool(args);
        EXPECT_EQ(2, r.exitCode) << (args.empty() ? "" : args[0]) << ": " << r.err;
        EXPECT_NE(std::string::npos, r.err.find("usage: kestrin-index")) << r.err;
        EXPECT_EQ("", r.out);
    }
    EXPECT_NE(std::string::npos,
              RunTool({"eval", "--fast", "1"}).err.find("unknown option --fast"));
    EXPECT_NE(std::string::npos, RunTool({"frobnicate"}).err.find("unknown command frobnicate"));
}

TEST(KestrinIndexCommandLine, SwitchesMayStandBeforeTheCommand) {
    Outcome r = RunTool({"--language=GB", "-debug=0", "layouts"});
    EXPECT_EQ(0, r.exitCode) << r.err;
    EXPECT_NE(std::string::npos, r.out.find("/GB/layout/")) << r.out;
    r = RunTool({"--language=GB", "eval", "YEAR$(\"before 1850\",1)"});
    EXPECT_EQ("<1850\n", r.out);
}

TEST(KestrinIndexCommandLine, ALanguageForOneRunIsNotRemembered) {
    test::TempDir config;
    test::RunOptions options;
    options.configFolder = config.path().string();
    Outcome r = RunTool({"layouts", "--language=GB"}, options);
    EXPECT_NE(std::string::npos, r.out.find("/GB/layout/")) << r.out;
    r = RunTool({"layouts"}, options);
    EXPECT_NE(std::string::npos, r.out.find("/NL/layout/")) << r.out;
}

// Only "-" or "--" makes a switch: "/DEBUG" is a document.
TEST(KestrinIndexCommandLine, ASlashMakesNoSwitch) {
    const Outcome r = RunTool({"info", "--language=GB", "/DEBUG"});
    EXPECT_EQ(1, r.exitCode);
    EXPECT_EQ("kestrin-index: /DEBUG: no such index document\n", r.err);
}

TEST(KestrinIndexCommandLine, TheWizardsFormsOfASwitchAreTakenOnlyWhenAsked) {
    const Args given = {"/DEBUG", "temp=1.htx", "--language=GB", "-o", "-debug",
                        "x",      "--",         "-temp"};
    Args args = given;
    EXPECT_EQ((Args{"/language=GB"}), cli::TakeSwitches(args, {"-o"}));
    EXPECT_EQ((Args{"/DEBUG", "temp=1.htx", "-o", "-debug", "x", "--", "-temp"}), args);
    args = given;
    EXPECT_EQ((Args{"/DEBUG", "/temp=1.htx", "/language=GB"}),
              cli::TakeSwitches(args, {"-o"}, cli::SwitchForms::Wizard));
    EXPECT_EQ((Args{"-o", "-debug", "x", "--", "-temp"}), args);
}

} // namespace
} // namespace ks
