// kestrin-index import [OPTIONS] FILE
//
// Turns another program's name list (a GENDEX file, gendex.txt) into an index
// document that joins a combined index like any other: sorted, Windows-1252,
// beside the file or where -o says. Living persons are left out unless
// --living is given. A report of what was read, written and left out goes to
// standard error, the path of the document to standard output. Exit status:
// 0 done, 1 failed (nothing written), 2 usage error.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace ks::cli {

// The options of import that take a value (never read as switches).
std::vector<std::string> ImportOptionsWithValue();

int RunImport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace ks::cli
