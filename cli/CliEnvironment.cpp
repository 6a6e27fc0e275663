#include "cli/CliEnvironment.h"

#include "common/KSproduct.h"
#include "common/KSregstore.h"

#include <ostream>

namespace ks::cli {

std::unique_ptr<TKScommon> StartEnvironment(const std::vector<std::string>& switches,
                                            const ProgramFolderSearch& programFolders) {
    auto env = std::make_unique<TKScommon>(switches, "", programFolders);
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
