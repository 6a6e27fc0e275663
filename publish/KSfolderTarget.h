// Publishing into a folder on this computer: each file written under a
// temporary name beside its place and renamed into place
// (common/KSreplacingFile); the copies a killed publish left are cleared.
#pragma once

#include "publish/KSpublishTarget.h"

#include <memory>
#include <string>

namespace ks {

// The destination must be a folder apart from the output folder; a missing
// last folder is made (not on a dry run). Raises EKSError naming the folder.
std::unique_ptr<TKSpublishTarget> OpenFolderTarget(const std::string& outputFolder,
                                                   const std::string& folder, bool dryRun);

} // namespace ks
