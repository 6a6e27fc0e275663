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
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"-debug=3", "/debug=3"},
        {"--language=GB", "/language=GB"},
        {"--developer", "/developer"},
        {"-temp:/tmp/x", "/temp:/tmp/x"},
        {"--CONF=familie", "/CONF=familie"},
        {"-LANGUAGE", "/LANGUAGE"},
        // Documents, options and words that merely resemble a switch.
        {"debug.htx", ""},
        {"temp=1.htx", ""},
        {"/temp", ""},
        {"/DEBUG", ""},
        {"-debugging", ""},
        {"--temporary=x", ""},
        {"-o", ""},
        {"-", ""},
        {"--", ""},
        {"", ""},
    };
    for (const auto& [argument, kept] : cases)
        EXPECT_EQ(kept, SwitchArgument(argument, SwitchForms::Dashed)) << argument;
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
}

// The wizard has no other arguments: all of them reach the environment.
TEST(StartupSwitches, TheWizardKeepsEveryArgumentWithDoubleDashesAsSlash) {
    Args args = {"--language=GB", "/DEBUG", "CONF=familie", "-debug=3", "DEVELOPER", "--", "x"};
    EXPECT_EQ((Args{"/language=GB", "/DEBUG", "CONF=familie", "-debug=3", "DEVELOPER", "--", "x"}),
              TakeSwitches(args, {}, SwitchForms::Wizard));
    EXPECT_EQ(Args{}, args);
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
    // Only the wizard takes a bare "NAME=value"; the tool reads it as a document.
    Args args = {"CONF=familie"};
    EXPECT_EQ("familie", SwitchValue(TakeSwitches(args, {}, SwitchForms::Wizard), "CONF"));
    args = {"CONF=familie"};
    EXPECT_EQ("", SwitchValue(TakeSwitches(args), "CONF"));
}

} // namespace
} // namespace ks
