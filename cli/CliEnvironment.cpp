#include "cli/CliEnvironment.h"

#include "common/KSproduct.h"

namespace ks::cli {

std::unique_ptr<TKScommon> StartEnvironment(const std::vector<std::string>& switches) {
    auto env = std::make_unique<TKScommon>(switches, "");
    env->SetProduct(kProductName, kProductVersion, kProductRelease, kProductReleaseDate);
    env->InitEnvironment();
    return env;
}

} // namespace ks::cli
