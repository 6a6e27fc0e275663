// kestrin-index eval [--strict] [--raw] [--code] EXPRESSION
//
// Prints what a template placeholder holding EXPRESSION expands to: the
// expression is compiled in probe mode (so one that does not compile prints
// an empty line) and run at once. A run-time error, and with --strict a
// compile error as well, prints "error: " and its message on the error
// stream and gives exit code 1; a usage error gives 2. The expression and
// the result are converted
// between UTF-8 and Windows-1252 unless --raw is given; --code first lists
// the compiled bytes and their disassembly. The caller has started the
// environment (language files for the dates).
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace ks::cli {

int RunEval(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace ks::cli
