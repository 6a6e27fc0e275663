#include "cli/Messages.h"

#include "common/KScodepage.h"
#include "common/KSerrors.h"

namespace ks::cli {

std::string ProblemLine(const Problem& problem) {
    return problem.path.empty() ? problem.text : problem.path + ": " + problem.text;
}

std::string ErrorLine(const std::exception& error) {
    if (const auto* core = dynamic_cast<const EKSError*>(&error))
        return ProblemLine({core->Path(), MessageToUtf8(core->Reason())});
    return error.what();
}

} // namespace ks::cli
