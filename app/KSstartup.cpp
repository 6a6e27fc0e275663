#include "app/KSstartup.h"

#include "app/KSqtText.h"
#include "common/KSproduct.h"
#include "common/KSswitches.h"

namespace ks::app {

std::vector<std::string> StartupSwitches(const QStringList& arguments) {
    std::vector<std::string> args;
    for (qsizetype i = 1; i < arguments.size(); ++i)
        args.push_back(ToPath(arguments[i]));
    return TakeSwitches(args, {}, SwitchForms::Wizard);
}

std::unique_ptr<TKScommon> StartEnvironment(const std::vector<std::string>& switches) {
    auto env = std::make_unique<TKScommon>(switches, "");
    env->SetProduct(kProductName, kProductVersion, kProductRelease, kProductReleaseDate);
    env->InitEnvironment();
    return env;
}

} // namespace ks::app
