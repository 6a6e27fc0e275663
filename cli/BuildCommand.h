// kestrin-index build [OPTIONS] DOCUMENT.htx...
//
// Runs the generation run of the wizard from the command line: the documents
// in list order (--unselected adds a listed but unselected one), a layout,
// an output folder and the settings of the wizard's settings page. Checks
// everything it can before it starts and reports all problems at once. The
// path of the result goes to standard output only when the run succeeded.
// Exit status: 0 success, 1 failure or a missing layout file, 2 usage error,
// 130, 143 or 129 stopped by Ctrl-C, SIGTERM or SIGHUP (the step under way
// finishes and the temporary files are removed first).
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace ks::cli {

// The options of build that take a value (never read as switches).
std::vector<std::string> BuildOptionsWithValue();

// errIsTerminal: the progress is drawn on err (unless --quiet).
int RunBuild(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             bool errIsTerminal);

} // namespace ks::cli
