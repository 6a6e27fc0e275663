#include "common/KSproblem.h"

namespace ks {

std::string TKSproblem::Text() const {
    return Path.empty() ? Reason : Path + ": " + Reason;
}

} // namespace ks
