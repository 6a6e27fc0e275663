// The compiler of the template language: turns the source text of one
// expression into compiled code (see KSbytecode.h) and decides its type.
// There is no token stream: the text is cut at operators outside quotes and
// brackets and every piece is compiled recursively.
//
// Faults raise the general error with a fixed message ("Syntax error",
// "Parameter missing", ...). In probe mode (bit 0 of the flags) nothing is
// raised: the step that found the fault reports failure and the caller gets
// type 0 / false.
#pragma once

#include <string>

namespace ks {

constexpr int kProbeMode = 1;

// Position (1-based) of the character just before the first stop character
// at or after start that lies outside quotes and at bracket depth 0 (0 when
// it is at position 1); the text's length when there is none or start lies
// beyond the end. Bytes 0 to 31 stop as well, and so does a closing bracket
// of a pair that is not open. pairs lists opening/closing characters: "()".
int ScanToStop(const std::string& text, int start, const std::string& stops, char quote,
               const std::string& pairs);

// Each gives back the compiled code (or empty) in code.
int CompileOperand(const std::string& text, int flags, std::string& code);    // type, 0 on failure
int CompileArithmetic(const std::string& text, int flags, std::string& code); // type, 0 on failure
bool CompileAsText(const std::string& text, int flags, std::string& code);
bool CompileAsNumber(const std::string& text, int flags, std::string& code);
bool CompileAsDate(const std::string& text, int flags, std::string& code); // a text is a date too
bool CompileComparison(const std::string& text, int flags, std::string& code);
bool CompileCondition(const std::string& text, int flags, std::string& code);

// Compiles and runs an expression: its text, or its number in shortest
// form, or the empty text when it does not compile (probe mode). Run-time
// errors are raised in every mode. code receives the compiled code.
std::string EvaluateExpression(const std::string& expression, int flags);
std::string EvaluateExpression(const std::string& expression, int flags, std::string& code);

[[noreturn]] void RaiseCompileError(const std::string& message);

} // namespace ks
