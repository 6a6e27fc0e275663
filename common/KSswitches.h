// The start-up switches of both programs: DEBUG, DEVELOPER, TEMP, LANGUAGE
// and the parameter CONF. How a program tells them from its other arguments,
// the form in which the environment keeps them ("/NAME" or "/NAME=value"),
// and how the value of one is read from that list.
//
// The two programs write them differently:
// - the command-line tool (SwitchForms::Dashed) takes only "-NAME" and
//   "--NAME", alone or followed by "=" or ":" and the value: "-debug=3",
//   "--language=GB", "--developer", "-temp:DIR". So a document called
//   "debug.htx", "temp=1.htx" or "/temp" stays a document.
// - the wizard (SwitchForms::Wizard) has no other arguments: every argument
//   is kept for the environment as written ("/DEBUG", "DEBUG=5",
//   "CONF=familie", "-debug"), except that "--NAME..." becomes "/NAME...",
//   since the environment removes only one leading "/" or "-".
#pragma once

#include <string>
#include <vector>

namespace ks {

enum class SwitchForms {
    Dashed, // the command-line tool
    Wizard, // the wizard
};

// The argument as the environment keeps it ("/NAME..." for the tool's
// forms), or "" when it is no switch in these forms.
std::string SwitchArgument(const std::string& argument, SwitchForms forms);

// Moves the switch arguments out of args (keeping the order of the rest) and
// returns them as SwitchArgument gives them. The value after an option of
// optionsWithValue, and everything after an argument "--" that is no switch,
// is never taken for a switch.
std::vector<std::string> TakeSwitches(std::vector<std::string>& args,
                                      const std::vector<std::string>& optionsWithValue = {},
                                      SwitchForms forms = SwitchForms::Dashed);

// Moves the tool's switches that stand before its command out of args, up to
// the first argument that is no switch, and returns them as TakeSwitches does.
std::vector<std::string> TakeLeadingSwitches(std::vector<std::string>& args);

// The value of switch name among the kept switch arguments: "" when absent,
// " " when given without a value, else the text after the first "=" or ":".
// One leading "/" or "-" is removed from each argument, and any argument that
// then begins with the name (letter case aside) matches; a later match
// overrides an earlier one.
std::string SwitchValue(const std::vector<std::string>& switches, const std::string& name);

} // namespace ks
