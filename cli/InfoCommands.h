// kestrin-index layouts: the layouts of the language folder, with their
// title, file, comment and the settings they ask for.
// kestrin-index info DOCUMENT.htx: what the document list shows of an index
// document, and the number of its index lines.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace ks::cli {

int RunLayouts(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace ks::cli
