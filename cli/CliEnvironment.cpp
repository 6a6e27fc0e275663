#include "cli/CliEnvironment.h"

#include "common/KSproduct.h"
#include "common/KStextutil.h"

namespace ks::cli {

namespace {

const char* const kSwitchNames[] = {"DEBUG", "DEVELOPER", "TEMP", "LANGUAGE", "CONF"};

// "/NAME..." for a switch argument, "" for anything else. A switch carries a
// "/" or "-" in front, or is written NAME=value / NAME:value; a bare word
// such as "temp" or "debug.htx" is never one.
std::string AsSwitch(const std::string& arg) {
    std::size_t skip = 0;
    if (arg.rfind("--", 0) == 0)
        skip = 2;
    else if (!arg.empty() && (arg[0] == '/' || arg[0] == '-'))
        skip = 1;
    const std::string rest = arg.substr(skip);
    const std::string upper = AsciiUpper(rest);
    for (const char* name : kSwitchNames) {
        const std::string n = name;
        if (upper.rfind(n, 0) != 0) continue;
        const bool valued =
            upper.size() > n.size() && (upper[n.size()] == '=' || upper[n.size()] == ':');
        if (valued || (skip > 0 && upper.size() == n.size())) return "/" + rest;
    }
    return "";
}

bool Contains(const std::vector<std::string>& list, const std::string& text) {
    for (const std::string& item : list)
        if (item == text) return true;
    return false;
}

} // namespace

std::vector<std::string> TakeSwitches(std::vector<std::string>& args,
                                      const std::vector<std::string>& optionsWithValue) {
    std::vector<std::string> switches;
    std::vector<std::string> rest;
    bool onlyOperands = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const std::string asSwitch = onlyOperands ? "" : AsSwitch(arg);
        if (!asSwitch.empty()) {
            switches.push_back(asSwitch);
            continue;
        }
        rest.push_back(arg);
        if (onlyOperands) continue;
        if (arg == "--") {
            onlyOperands = true;
        } else if (Contains(optionsWithValue, arg) && i + 1 < args.size()) {
            rest.push_back(args[++i]); // an option's value is never a switch
        }
    }
    args = std::move(rest);
    return switches;
}

std::unique_ptr<TKScommon> StartEnvironment(const std::vector<std::string>& switches) {
    auto env = std::make_unique<TKScommon>(switches, "");
    env->SetProduct(kProductName, kProductVersion, kProductRelease, kProductReleaseDate);
    env->InitEnvironment();
    return env;
}

} // namespace ks::cli
