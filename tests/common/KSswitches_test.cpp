// The start-up switches as each program writes them, and the value the
// environment reads from what was kept.
#include "common/KSswitches.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ks {
namespace {

using Args = std::vector<std::string>;

TEST(StartupSwitches, TheToolTakesOnlyDashedSwitchNames) {
    const std::vector<std::pair<std::string, std::string>> switches = {
        {"-debug=3", "/debug=3"},
        {"--language=GB", "/language=GB"},
        {"--developer", "/developer"},
        {"-temp:/tmp/x", "/temp:/tmp/x"},
        {"--CONF=familie", "/CONF=familie"},
        {"-LANGUAGE", "/LANGUAGE"}};
    for (const auto& [argument, kept] : switches)
        EXPECT_EQ(kept, SwitchArgument(argument, SwitchForms::Dashed)) << argument;
    // Documents, options and words that merely resemble a switch.
    for (const char* argument : {"debug.htx", "temp=1.htx", "CONF=familie", "/temp", "/DEBUG",
                                 "-debugging", "--temporary=x", "-o", "-", "--", ""})
        EXPECT_EQ("", SwitchArgument(argument, SwitchForms::Dashed)) << argument;
}

TEST(StartupSwitches, TakingSwitchesLeavesOptionValuesAndOperands) {
    const Args given = {"/DEBUG", "temp=1.htx", "--language=GB", "-o", "-debug",
                        "x",      "--",         "-temp"};
    Args args = given;
    EXPECT_EQ((Args{"/language=GB"}), TakeSwitches(args, {"-o"}));
    EXPECT_EQ((Args{"/DEBUG", "temp=1.htx", "-o", "-debug", "x", "--", "-temp"}), args);

    // Before the command only: the first argument that is no switch ends them.
    args = {"--language=GB", "-debug", "layouts", "--developer"};
    EXPECT_EQ((Args{"/language=GB", "/debug"}), TakeLeadingSwitches(args));
    EXPECT_EQ((Args{"layouts", "--developer"}), args);

    // The wizard has no other arguments: all of them reach the environment,
    // double dashes as a slash, and a bare "NAME=value" is a value too.
    args = {"--language=GB", "/DEBUG", "CONF=familie", "-debug=3", "DEVELOPER", "--", "x"};
    const Args kept = TakeSwitches(args, {}, SwitchForms::Wizard);
    EXPECT_EQ((Args{"/language=GB", "/DEBUG", "CONF=familie", "-debug=3", "DEVELOPER", "--", "x"}),
              kept);
    EXPECT_EQ(Args{}, args);
    EXPECT_EQ("familie", SwitchValue(kept, "CONF"));
}

TEST(StartupSwitches, ValuesAreReadAlikeFromWhatEitherProgramKept) {
    for (const SwitchForms forms : {SwitchForms::Dashed, SwitchForms::Wizard}) {
        Args args = {"--language=GB", "-debug", "--temp=/a:b", "--developer=5", "--language:NL"};
        const Args kept = TakeSwitches(args, {}, forms);
        EXPECT_EQ("NL", SwitchValue(kept, "LANGUAGE")); // the later one counts
        EXPECT_EQ(" ", SwitchValue(kept, "debug"));
        EXPECT_EQ("/a:b", SwitchValue(kept, "TEMP"));
        EXPECT_EQ("5", SwitchValue(kept, "DEVELOPER"));
        EXPECT_EQ("", SwitchValue(kept, "CONF"));
    }
}

} // namespace
} // namespace ks
