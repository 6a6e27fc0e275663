// Start-up of the command-line tool: the application environment with the
// product's version, program folder, language and language files, as the
// wizard has it, and the per-user store around a command. The switches are
// told from the other arguments by KSswitches.h.
#pragma once

#include "common/KScommon.h"

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace ks::cli {

// switches: the arguments that are start-up switches ("/LANGUAGE=GB", ...).
// A language given with them serves this run only: it is never stored.
// programFolders: where the program's own files may be.
std::unique_ptr<TKScommon> StartEnvironment(const std::vector<std::string>& switches,
                                            const ProgramFolderSearch& programFolders);

// What was wrong with the per-user store when it was read (lines skipped, a
// file that cannot be read): one line each on err.
void ReportStoreWarnings(std::ostream& err);
// Saves the per-user store when the run changed it; a failure is one line on
// err and does not change the outcome of the run.
void SaveStore(std::ostream& err);

} // namespace ks::cli
