#include "cli/CliEnvironment.h"

#include "common/KSproduct.h"
#include "common/KStextutil.h"

namespace ks::cli {

namespace {

const char* const kSwitchNames[] = {"DEBUG", "DEVELOPER", "TEMP", "LANGUAGE", "CONF"};

// "/NAME..." for a switch argument, "" for anything else.
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
        if (upper.size() == n.size() || upper[n.size()] == '=' || upper[n.size()] == ':')
            return "/" + rest;
    }
    return "";
}

} // namespace

std::vector<std::string> TakeSwitches(std::vector<std::string>& args) {
    std::vector<std::string> switches;
    std::vector<std::string> rest;
    for (const std::string& arg : args) {
        const std::string asSwitch = AsSwitch(arg);
        if (asSwitch.empty())
            rest.push_back(arg);
        else
            switches.push_back(asSwitch);
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
