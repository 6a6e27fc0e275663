// What a publish tells its user, in the same words on the command line and
// in the wizard: the progress line and the lines of its result.
#pragma once

#include "publish/KSpublish.h"

#include <string>
#include <vector>

namespace ks {

// "publishing: 3 of 12 files, 20480 bytes" (a core text).
std::string PublishProgressText(const TKSpublishProgress& progress);
// The files left standing at the destination and those skipped, one line
// each, then the counts of what was (or, on a dry run, would be) sent,
// removed and left unchanged (core texts; paths as the system has them).
std::vector<std::string> PublishReportLines(const TKSpublishResult& result, bool dryRun);

} // namespace ks
