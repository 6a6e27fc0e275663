// kestrin-index publish [--dry-run] OUTPUT-FOLDER DESTINATION
//
// Brings a folder on this computer (a plain path or a file:// address) up to
// date with the site in OUTPUT-FOLDER, sending only what changed since the
// last publish to it. What was sent and removed, and a summary, go to
// standard output; progress (on a terminal) and errors to standard error.
// Exit status: 0 done, 1 failed, 2 usage error.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace ks::cli {

int RunPublish(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               bool errIsTerminal);

} // namespace ks::cli
