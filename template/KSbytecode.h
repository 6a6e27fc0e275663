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
//   29+  function call           the function number (FnId below) is the ID; then
//                                one piece per argument in emission order:
//                                arithmetic code for T, G and D parameters,
//                                condition code for B
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

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

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

// The ID byte of every built-in function: the slot of its catalogue row
// (KSfunctions.cpp, where its signature and handler stand). Numbers missing
// here belong to no function; 0 to 28 are the operand kinds above.
enum class FnId : uint8_t {
    Initials = 29,
    RecordNumber = 30,
    Reference = 31,
    Generation = 32,
    Number = 33,
    Marriages = 34,
    Children = 35,
    Choice = 36,
    Status = 37,
    Printer = 38,
    Options = 39,
    Page = 40,
    Line = 41,
    Width = 42,
    Height = 43,
    Sort = 44,
    Select = 45,
    File = 46,
    Chr = 47,
    String = 48,
    Mid = 49,
    Info = 50,
    Str = 51,
    Trim = 52,
    Val = 53,
    Len = 54,
    BinAnd = 55,
    BinOr = 56,
    Center = 57,
    Age = 58,
    Day = 59,
    Soundex = 60,
    Persons = 61,
    Relations = 62,
    PerSel = 63,
    RelSel = 64,
    NrOption = 65,
    DateFormat = 66,
    Duplicates = 67,
    Roman = 68,
    CharacterSet = 70,
    Filter = 71,
    UCase = 72,
    LCase = 73,
    DVal = 74,
    Time = 76,
    Month = 77,
    Name = 78,
    Mark = 79,
    BinNot = 80,
    Random = 81,
    PrinterDriver = 82,
    FieldType = 83,
    FieldLength = 84,
    Asc = 85,
    Cvi = 86,
    Mki = 87,
    InStr = 88,
    Insert = 89,
    LastChar = 90,
    FieldNumber = 91,
    FieldName = 93,
    FieldExist = 94,
    Filled = 95,
    LSet = 96,
    RSet = 97,
    PerStatus = 98,
    Path = 99,
    InfoLen = 100,
    Text = 101,
    Child = 102,
    NewLine = 103,
    UserName = 104,
    Version = 105,
    UserNumber = 106,
    Language = 107,
    Cvl = 108,
    Mkl = 109,
    Partner = 110,
    Bold = 111,
    Underline = 112,
    Italic = 113,
    Style = 114,
    Binary = 115,
    VersionDate = 116,
    MainRecord = 117,
    MainGeneration = 118,
    Index = 120,
    Email = 121,
    HomePage = 122,
    Ancestor = 123,
    CheckMark = 124,
    Marked = 125,
    Selected = 126,
    Generations = 127,
    Left = 128,
    Right = 129,
    IfText = 130,
    If = 131,
    EvalText = 132,
    Eval = 133,
    ContentsText = 134,
    Contents = 135,
    Date = 136,
    DateText = 137,
    YearText = 138,
    Year = 139,
    At = 200,
    Rmkl = 201,
    True = 202,
    False = 203,
    Male = 204,
    Female = 205,
};

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

// Decoding of operands. Each reads from pos up to end, never beyond it, and
// moves pos past what it read; code cut short reads as far as it goes.

// A 2-byte number or length, low byte first, as a signed 16-bit value; a lone
// last byte reads as its own value, no byte as 0.
int WordAt(std::string_view code, std::size_t& pos, std::size_t end);
// An 8-byte number, low byte first; 0 when fewer than 8 bytes are left (pos
// then moves to end).
int64_t Int64At(std::string_view code, std::size_t& pos, std::size_t end);
// The length prefix at pos: pos moves past it and the end of the piece it
// announces comes back, cut to end. A negative length announces nothing.
// written, when given, receives the length as it stands in the code.
std::size_t PieceAt(std::string_view code, std::size_t& pos, std::size_t end,
                    int* written = nullptr);

// A readable listing of length-prefixed arithmetic code, one element per
// line, nested pieces indented. Malformed code is listed as far as it can be
// read; nothing outside the code is read.
std::string Disassemble(const std::string& code);

} // namespace ks::code
