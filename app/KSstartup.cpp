#include "app/KSstartup.h"

#include "app/KSqtText.h"
#include "common/KSproduct.h"

namespace ks::app {

std::vector<std::string> StartupSwitches(const QStringList& arguments) {
    std::vector<std::string> switches;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        std::string argument = ToPath(arguments[i]);
        if (argument.rfind("--", 0) == 0 && argument.size() > 2) argument.replace(0, 2, "/");
        switches.push_back(std::move(argument));
    }
    return switches;
}

std::unique_ptr<TKScommon> StartEnvironment(const std::vector<std::string>& switches) {
    auto env = std::make_unique<TKScommon>(switches, "");
    env->SetProduct(kProductName, kProductVersion, kProductRelease, kProductReleaseDate);
    env->InitEnvironment();
    return env;
}

} // namespace ks::app
