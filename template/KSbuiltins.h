// The built-in functions of the template language that this system
// evaluates, applied to arguments already run. Numbers are fixed-point
// (ten-thousandths); "rounded" means to the nearest whole number, ties to
// even. Texts may carry style codes (see common/KSstring.h).
#pragma once

#include "template/KSfixed.h"

#include <cstdint>
#include <string>

namespace ks {

// No text of the language grows beyond this; a longer one raises "Out of
// memory" instead of exhausting the machine.
constexpr uint64_t kMaxTextLength = 16u * 1024 * 1024;
void CheckTextLength(uint64_t length);

std::string FnChr(TFixed n);                                                // CHR$
std::string FnString(TFixed n, TFixed c);                                   // STRING$
std::string FnMid(const std::string& t, TFixed s, TFixed l);                // MID$
std::string FnInfo(const std::string& t, TFixed n, TFixed w);               // INFO$
std::string FnStr(TFixed x, TFixed d);                                      // STR$
std::string FnTrim(const std::string& t);                                   // TRIM$
std::string FnCenter(const std::string& t, TFixed w, TFixed c);             // CENTER$
std::string FnSoundex(const std::string& t, TFixed g);                      // SOUNDEX$
std::string FnRoman(TFixed n);                                              // ROMAN$
std::string FnUpper(const std::string& t);                                  // UCASE$
std::string FnLower(const std::string& t);                                  // LCASE$
std::string FnInsert(const std::string& t, TFixed p, const std::string& u); // INSERT$
std::string FnStyled(const std::string& t, char on, char off);              // BOLD$, ...
std::string FnBinary(const std::string& t);                                 // BINARY$
std::string FnLeft(const std::string& t, TFixed n);                         // LEFT$
std::string FnRight(const std::string& t, TFixed n);                        // RIGHT$
std::string FnTime();                                                       // TIME: "hh:mm:ss"
std::string FnToday();                                                      // DATE: "dd-mm-yyyy"
std::string FnVersion();     // VERSION$: version and release letter
std::string FnVersionDate(); // VERSIONDATE$

TFixed FnVal(const std::string& t);               // VAL; raises EConvertError
TFixed FnLen(const std::string& t);               // LEN
TFixed FnInfoLen(const std::string& t, TFixed w); // INFOLEN

// Style codes written by the interpreter (escape plus this byte).
constexpr char kBoldOn = '@';
constexpr char kBoldOff = '`';
constexpr char kUnderlineOn = 'A';
constexpr char kUnderlineOff = 'a';
constexpr char kItalicOn = 'B';
constexpr char kItalicOff = 'b';

} // namespace ks
