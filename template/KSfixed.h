// Numbers of the template language: signed 64-bit integers counting
// ten-thousandths (four fixed decimals). Products, quotients and powers are
// rounded back to four decimals with ties to the even neighbour. A result
// outside the 64-bit range raises "Floating point overflow".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ks {

using TFixed = int64_t;
constexpr TFixed kFixedOne = 10000;

// Nearest whole number, ties to even.
int64_t RoundToWhole(TFixed value);
// value (a whole number) as a fixed-point number; raises on overflow.
TFixed FixedFromWhole(int64_t value);

TFixed FixedAdd(TFixed a, TFixed b);
TFixed FixedSub(TFixed a, TFixed b);
TFixed FixedMul(TFixed a, TFixed b);
TFixed FixedDiv(TFixed a, TFixed b);    // "x/0 is not allowed"
TFixed FixedIntDiv(TFixed a, TFixed b); // truncated toward zero; "x\0 is not allowed"
TFixed FixedMod(TFixed a, TFixed b);    // of the rounded operands; "x Mod 0 is not allowed"
TFixed FixedPow(TFixed a, TFixed b);    // "Invalid floating point operation" without a real result

// Reads blanks, an optional sign, digits, an optional separator and digits,
// blanks; more than four decimals are rounded to four. False when the text is
// no such number or lies outside the range.
bool TryParseFixed(std::string_view text, char separator, TFixed& value);

// Shortest form: no trailing zeros, at most four decimals.
std::string FixedToText(TFixed value, char separator);
// Exactly `decimals` decimals (at most kMaxDecimals), rounded ties to even.
std::string FixedToText(TFixed value, int decimals, char separator);
constexpr int kMaxDecimals = 18;

// The process-wide decimal separator used when numbers become texts and
// texts numbers at run time. Initially the locale's; compiling a number
// literal sets it to ".".
char DecimalSeparator();
void SetDecimalSeparator(char separator);

} // namespace ks
