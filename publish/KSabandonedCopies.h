// The half-written copies a killed writer left: a file replaced whole is
// written as ".NAME.PID-N.tmp" beside NAME (common/KSreplacingFile), and one
// whose process is gone will never be renamed into place.
#pragma once

#include <functional>
#include <string>

namespace ks {

// Removes from folder each such copy whose process is gone and whose NAME
// ours accepts.
void RemoveAbandonedCopies(const std::string& folder,
                           const std::function<bool(const std::string& name)>& ours);

} // namespace ks
