// Whether a path given on the command line is an index document that can be
// read, and if not, why (missing, no file, unreadable, another kind).
#pragma once

#include <string>

namespace ks {

// "" for a readable index document, else the reason in the language of the
// run, for example "cannot be read: Permission denied".
std::string IndexDocumentProblem(const std::string& path);

} // namespace ks
