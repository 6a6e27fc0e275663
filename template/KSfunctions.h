// The catalogue of built-in functions of the template language. Every
// function is declared by one row: its ID (code::FnId), a signature text such
// as "T=MID$(T,G,G=-1)" and, for those this system evaluates, its handler.
// The table built from the rows fixes each function's number (its ID byte in
// compiled code), result type, parameter types and default arguments.
#pragma once

#include "template/KSfixed.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace ks {

// The arguments of a call, already run, by parameter position.
struct TCallArgs {
    std::string text[3];
    TFixed number[3] = {0, 0, 0};
};

// How a function is evaluated: text (or date) results and number results.
using TTextHandler = std::string (*)(const TCallArgs&);
using TNumberHandler = TFixed (*)(const TCallArgs&);

// Result types; also the compiler's type codes (0 = not compiled).
constexpr uint8_t kTypeNone = 0;
constexpr uint8_t kTypeText = 1;
constexpr uint8_t kTypeNumber = 2;
constexpr uint8_t kTypeDate = 3;

// One catalogue slot.
struct TFunction {
    std::string FunctionName; // upper case, with "$" where the signature has one
    int32_t FunctionNumber = 0;
    std::string ParamSpec; // "T,G,G=-1"; empty without parameters
    int32_t ParamCount = 0;
    std::string ArgOrder; // "" or one digit per parameter: emission order of the arguments
    uint8_t ResultType = kTypeNone;
    // Set only for the functions this system evaluates, by result type; every
    // other function of the vocabulary is an unknown ID at run time.
    TTextHandler TextHandler = nullptr;
    TNumberHandler NumberHandler = nullptr;
};

using TFunctionTable = std::array<TFunction, 256>;

// Fills slot number of table from a signature; raises "Error in functionlist"
// when the result letter is not T, G or D.
void RegisterFunction(TFunctionTable& table, int number, const std::string& signature,
                      const std::string& order = "");

// Number of items of a parameter text (commas outside quotes and brackets).
int CountParams(std::string_view params);

// The parameter (0-based) whose argument comes k-th in compiled code.
int EmittedParam(const TFunction& f, int k);
// The type letters of parameter index of f ("T", "G", "D", "B", "TV", "GV"),
// empty past the last one.
std::string_view ParamType(const TFunction& f, int index);

// The process-wide table, filled from the built-in signatures on first use
// and never changed afterwards.
const TFunctionTable& FunctionTable();

constexpr int kNoFunction = -1;

// Slot of a function by its written name (upper-cased by the caller) and the
// number of arguments written, or kNoFunction.
int FindFunction(const std::string& name, int argCount);

} // namespace ks
