// The interpreter of compiled template-language code (see KSbytecode.h).
// RunText walks code of type text or date, RunNumber code of type number;
// both read an operand, combine it with the result so far by the operator
// byte that follows, and run the arguments of built-in functions by their
// own types. Positions are 1-based byte positions in the code.
//
// Errors raise the general error with a fixed message; probe mode (bit 0 of
// the flags) only silences unknown ID bytes in text context. Code is never
// read outside its bytes, whatever it holds.
#pragma once

#include "template/KSfixed.h"

#include <string>

namespace ks {

// start is 3 for a whole length-prefixed code, 1 for a body.
void RunText(const std::string& code, int flags, int start, std::string& text);
TFixed RunNumber(const std::string& code, int flags, int start);

// Run the length-prefixed piece at position and move position past it.
void RunTextArgument(const std::string& code, int& position, int flags, std::string& text);
TFixed RunNumberArgument(const std::string& code, int& position, int flags);

[[noreturn]] void RaiseRunError(const std::string& message);

} // namespace ks
