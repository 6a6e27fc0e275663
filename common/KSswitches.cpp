#include "common/KSswitches.h"

#include "common/KStextutil.h"

#include <algorithm>
#include <cstddef>

namespace ks {

namespace {

const char* const kSwitchNames[] = {"DEBUG", "DEVELOPER", "TEMP", "LANGUAGE", "CONF"};

// The number of leading characters that mark arg as one of the tool's
// switches: 2 for "--", 1 for "-", 0 for none.
std::size_t DashLength(const std::string& arg) {
    if (arg.rfind("--", 0) == 0) return 2;
    return !arg.empty() && arg[0] == '-' ? 1 : 0;
}

// "/NAME..." when arg is "-NAME" or "--NAME", alone or followed by "=" or
// ":"; "" for anything else.
std::string DashedSwitch(const std::string& arg) {
    const std::size_t mark = DashLength(arg);
    if (mark == 0) return "";
    const std::string rest = arg.substr(mark);
    const std::string upper = AsciiUpper(rest);
    for (const std::string name : kSwitchNames) {
        if (upper.rfind(name, 0) != 0) continue;
        if (upper.size() == name.size() || upper[name.size()] == '=' || upper[name.size()] == ':')
            return "/" + rest;
    }
    return "";
}

std::string WizardSwitch(const std::string& arg) {
    if (arg.size() > 2 && arg.rfind("--", 0) == 0) return "/" + arg.substr(2);
    return arg;
}

} // namespace

std::string SwitchArgument(const std::string& argument, SwitchForms forms) {
    return forms == SwitchForms::Wizard ? WizardSwitch(argument) : DashedSwitch(argument);
}

std::vector<std::string> TakeSwitches(std::vector<std::string>& args,
                                      const std::vector<std::string>& optionsWithValue,
                                      SwitchForms forms) {
    std::vector<std::string> switches;
    std::vector<std::string> rest;
    bool onlyOperands = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const std::string asSwitch = onlyOperands ? "" : SwitchArgument(arg, forms);
        if (!asSwitch.empty()) {
            switches.push_back(asSwitch);
            continue;
        }
        rest.push_back(arg);
        if (onlyOperands) continue;
        if (arg == "--") {
            onlyOperands = true;
        } else if (std::ranges::find(optionsWithValue, arg) != optionsWithValue.end() &&
                   i + 1 < args.size()) {
            rest.push_back(args[++i]); // an option's value is never a switch
        }
    }
    args = std::move(rest);
    return switches;
}

std::vector<std::string> TakeLeadingSwitches(std::vector<std::string>& args) {
    std::vector<std::string> switches;
    std::size_t taken = 0;
    for (; taken < args.size(); ++taken) {
        std::string asSwitch = DashedSwitch(args[taken]);
        if (asSwitch.empty()) break;
        switches.push_back(std::move(asSwitch));
    }
    args.erase(args.begin(), args.begin() + static_cast<std::ptrdiff_t>(taken));
    return switches;
}

std::string SwitchValue(const std::vector<std::string>& switches, const std::string& name) {
    const std::string wanted = AsciiUpper(name);
    std::string result;
    for (const std::string& argument : switches) {
        std::string text = argument;
        if (!text.empty() && (text[0] == '/' || text[0] == '-')) text.erase(0, 1);
        if (AsciiUpper(text).compare(0, wanted.size(), wanted) != 0) continue;
        result = " ";
        const std::size_t separator = text.find_first_of("=:");
        if (separator != std::string::npos) result = text.substr(separator + 1);
    }
    return result;
}

} // namespace ks
