// The compiled form of template-language expressions, in one place.
//
// Every piece starts with a length prefix: 2 bytes, low byte first, counting
// the bytes of the piece that follow it. It is read as a signed 16-bit
// number, so a piece holds at most 32767 bytes.
//
// Arithmetic code: [len] operand {operator operand}. Operands inside the chain
// carry no prefix of their own; their ID byte tells what follows:
//
//   ID   operand                 bytes that follow the ID byte
//   0    bracketed expression    arithmetic code (with its own prefix)
//   1    text literal            [len] the text's bytes
//   2    number                  8 bytes: int64 ten-thousandths, low byte first
//   3    whole number            2 bytes: int16, low byte first (-32768..32767, not 0..255)
//   4    whole number            1 byte (0..255)
//   6    text variable #n$       1 byte n (1..99)
//   7    number variable #n      1 byte n (1..99)
//   11   field reference         nothing (only with an open database; never compiled here)
//   12   field reference         nothing (as 11)
//   13   field reference         nothing (as 11)
//   20   field reference         nothing (as 11)
//   29+  function call           the function number is the ID; then one piece per
//                                argument in emission order: arithmetic code for
//                                T, G and D parameters, condition code for B
//
// Operator bytes: + - * / \ ^ %, applied left to right without precedence.
//
// Condition code: [len] term {connector term}. A term is 'S' + comparison code
// or 'E' + condition code ('s', 'e' when negated with NOT); connectors are
// 'A' (and) and 'O' (or).
// Comparison code: [len] kind left op right, kind 'G' (numbers), 'T' (texts)
// or 'D' (dates or texts); left and right are arithmetic code; op is one byte:
//   '=' =   '<' <   '>' >   '~' ~   '#' <>   243 <=   242 >=   '!' ~!   205 ==
#pragma once

#include <cstdint>
#include <string>

namespace ks::code {

constexpr uint8_t kBracket = 0;
constexpr uint8_t kTextLiteral = 1;
constexpr uint8_t kNumber8 = 2;
constexpr uint8_t kNumber2 = 3;
constexpr uint8_t kNumber1 = 4;
constexpr uint8_t kTextVariable = 6;
constexpr uint8_t kNumberVariable = 7;
constexpr uint8_t kField11 = 11;
constexpr uint8_t kField12 = 12;
constexpr uint8_t kField13 = 13;
constexpr uint8_t kField20 = 20;
constexpr uint8_t kFirstFunction = 29;

constexpr char kOperators[] = "+-*/\\^%";

constexpr char kTermComparison = 'S';
constexpr char kTermCondition = 'E';
constexpr char kTermComparisonNot = 's';
constexpr char kTermConditionNot = 'e';
constexpr char kAnd = 'A';
constexpr char kOr = 'O';

constexpr char kKindNumber = 'G';
constexpr char kKindText = 'T';
constexpr char kKindDate = 'D';

constexpr uint8_t kOpEqual = '=';
constexpr uint8_t kOpLess = '<';
constexpr uint8_t kOpGreater = '>';
constexpr uint8_t kOpLike = '~';
constexpr uint8_t kOpNotEqual = '#';
constexpr uint8_t kOpLessEqual = 243;
constexpr uint8_t kOpGreaterEqual = 242;
constexpr uint8_t kOpNotLike = '!';
constexpr uint8_t kOpSame = 205;

constexpr std::size_t kMaxPiece = 32767;

// A readable listing of length-prefixed arithmetic code, one element per
// line, nested pieces indented. Malformed code is listed as far as it can be
// read; nothing outside the code is read.
std::string Disassemble(const std::string& code);

} // namespace ks::code
