#include "cli/CliEnvironment.h"

#include "common/KSproduct.h"
#include "common/KSregstore.h"
#include "common/KStextutil.h"

#include <ostream>

namespace ks::cli {

namespace {

const char* const kSwitchNames[] = {"DEBUG", "DEVELOPER", "TEMP", "LANGUAGE", "CONF"};

// The number of leading characters that mark arg as a switch: 2 for "--",
// 1 for "-" (or "/" in the wizard's forms), 0 for none.
std::size_t MarkLength(const std::string& arg, SwitchForms forms) {
    if (arg.rfind("--", 0) == 0) return 2;
    if (!arg.empty() && (arg[0] == '-' || (arg[0] == '/' && forms == SwitchForms::Wizard)))
        return 1;
    return 0;
}

// "/NAME..." for a switch argument, "" for anything else. The name stands
// alone or is followed by "=" or ":"; without a mark only the wizard's forms
// take "NAME=value".
std::string AsSwitch(const std::string& arg, SwitchForms forms) {
    const std::size_t mark = MarkLength(arg, forms);
    if (mark == 0 && forms != SwitchForms::Wizard) return "";
    const std::string rest = arg.substr(mark);
    const std::string upper = AsciiUpper(rest);
    for (const char* name : kSwitchNames) {
        const std::string n = name;
        if (upper.rfind(n, 0) != 0) continue;
        const bool valued =
            upper.size() > n.size() && (upper[n.size()] == '=' || upper[n.size()] == ':');
        if (valued || (mark > 0 && upper.size() == n.size())) return "/" + rest;
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
                                      const std::vector<std::string>& optionsWithValue,
                                      SwitchForms forms) {
    std::vector<std::string> switches;
    std::vector<std::string> rest;
    bool onlyOperands = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const std::string asSwitch = onlyOperands ? "" : AsSwitch(arg, forms);
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

std::vector<std::string> TakeLeadingSwitches(std::vector<std::string>& args) {
    std::vector<std::string> switches;
    std::size_t taken = 0;
    for (; taken < args.size(); ++taken) {
        const std::string asSwitch = AsSwitch(args[taken], SwitchForms::Dashed);
        if (asSwitch.empty()) break;
        switches.push_back(asSwitch);
    }
    args.erase(args.begin(), args.begin() + static_cast<std::ptrdiff_t>(taken));
    return switches;
}

std::unique_ptr<TKScommon> StartEnvironment(const std::vector<std::string>& switches) {
    auto env = std::make_unique<TKScommon>(switches, "");
    env->SetProduct(kProductName, kProductVersion, kProductRelease, kProductReleaseDate);
    env->SetRememberLanguage(false);
    env->InitEnvironment();
    return env;
}

void ReportStoreWarnings(std::ostream& err) {
    for (const StoreProblem& warning : RegistryStore::Instance().TakeLoadWarnings())
        err << "kestrin-index: " << warning.Message() << '\n';
}

void SaveStore(std::ostream& err) {
    try {
        if (const std::optional<StoreProblem> problem = RegistryStore::Instance().Save())
            err << "kestrin-index: " << problem->Message() << '\n';
    } catch (const std::exception& error) {
        err << "kestrin-index: " << error.what() << '\n';
    }
}

} // namespace ks::cli
