#include "common/KScodepage.h"

#include "common/KSutf8.h"

#include <algorithm>
#include <cstdint>

namespace ks {
namespace {

// Code points of the bytes 128 to 159; the rest of the code page equals
// its byte value.
constexpr char32_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t CodePoint(unsigned char byte) {
    return Windows1252CodePoint(byte);
}

int ByteOf(char32_t cp) {
    const int byte = Windows1252Byte(cp);
    return byte < 0 ? '?' : byte;
}

// Decodes one UTF-8 sequence at pos; an invalid one is one byte long and
// gives no code point.
bool Decode(std::string_view text, std::size_t& pos, char32_t& cp) {
    const Utf8Char c = DecodeUtf8(text, pos);
    pos += c.Valid() ? c.Length : 1;
    cp = c.CodePoint;
    return c.Valid();
}

struct Nearest {
    char32_t Cp;
    const char* Text; // Windows-1252 bytes
};

// Sorted by code point: Latin letters with marks (Latin Extended-A, -B and
// Additional) by their base letter, or by the marked letter the code page
// has (U with diaeresis and caron gives the U with diaeresis); ligatures and
// letter-like symbols spelled out; dashes, primes and spaces as plain signs.
// Letters without a decomposition (L with stroke, dotless i, ...) were
// chosen by hand.
// clang-format off
constexpr Nearest kNearest[] = {
    {0x0100, "A"}, {0x0101, "a"}, {0x0102, "A"}, {0x0103, "a"}, {0x0104, "A"}, {0x0105, "a"},
    {0x0106, "C"}, {0x0107, "c"}, {0x0108, "C"}, {0x0109, "c"}, {0x010A, "C"}, {0x010B, "c"},
    {0x010C, "C"}, {0x010D, "c"}, {0x010E, "D"}, {0x010F, "d"}, {0x0110, "D"}, {0x0111, "d"},
    {0x0112, "E"}, {0x0113, "e"}, {0x0114, "E"}, {0x0115, "e"}, {0x0116, "E"}, {0x0117, "e"},
    {0x0118, "E"}, {0x0119, "e"}, {0x011A, "E"}, {0x011B, "e"}, {0x011C, "G"}, {0x011D, "g"},
    {0x011E, "G"}, {0x011F, "g"}, {0x0120, "G"}, {0x0121, "g"}, {0x0122, "G"}, {0x0123, "g"},
    {0x0124, "H"}, {0x0125, "h"}, {0x0126, "H"}, {0x0127, "h"}, {0x0128, "I"}, {0x0129, "i"},
    {0x012A, "I"}, {0x012B, "i"}, {0x012C, "I"}, {0x012D, "i"}, {0x012E, "I"}, {0x012F, "i"},
    {0x0130, "I"}, {0x0131, "i"}, {0x0132, "IJ"}, {0x0133, "ij"}, {0x0134, "J"}, {0x0135, "j"},
    {0x0136, "K"}, {0x0137, "k"}, {0x0138, "k"}, {0x0139, "L"}, {0x013A, "l"}, {0x013B, "L"},
    {0x013C, "l"}, {0x013D, "L"}, {0x013E, "l"}, {0x013F, "L\xB7"}, {0x0140, "l"}, {0x0141, "L"},
    {0x0142, "l"}, {0x0143, "N"}, {0x0144, "n"}, {0x0145, "N"}, {0x0146, "n"}, {0x0147, "N"},
    {0x0148, "n"}, {0x014A, "N"}, {0x014B, "n"}, {0x014C, "O"}, {0x014D, "o"}, {0x014E, "O"},
    {0x014F, "o"}, {0x0150, "O"}, {0x0151, "o"}, {0x0154, "R"}, {0x0155, "r"}, {0x0156, "R"},
    {0x0157, "r"}, {0x0158, "R"}, {0x0159, "r"}, {0x015A, "S"}, {0x015B, "s"}, {0x015C, "S"},
    {0x015D, "s"}, {0x015E, "S"}, {0x015F, "s"}, {0x0162, "T"}, {0x0163, "t"}, {0x0164, "T"},
    {0x0165, "t"}, {0x0166, "T"}, {0x0167, "t"}, {0x0168, "U"}, {0x0169, "u"}, {0x016A, "U"},
    {0x016B, "u"}, {0x016C, "U"}, {0x016D, "u"}, {0x016E, "U"}, {0x016F, "u"}, {0x0170, "U"},
    {0x0171, "u"}, {0x0172, "U"}, {0x0173, "u"}, {0x0174, "W"}, {0x0175, "w"}, {0x0176, "Y"},
    {0x0177, "y"}, {0x0179, "Z"}, {0x017A, "z"}, {0x017B, "Z"}, {0x017C, "z"}, {0x017F, "s"},
    {0x0180, "b"}, {0x0181, "B"}, {0x0187, "C"}, {0x0188, "c"}, {0x0189, "D"}, {0x018A, "D"},
    {0x0191, "F"}, {0x0193, "G"}, {0x0197, "I"}, {0x0198, "K"}, {0x0199, "k"}, {0x019A, "l"},
    {0x019D, "N"}, {0x019E, "n"}, {0x019F, "O"}, {0x01A0, "O"}, {0x01A1, "o"}, {0x01A4, "P"},
    {0x01A5, "p"}, {0x01AB, "t"}, {0x01AC, "T"}, {0x01AD, "t"}, {0x01AE, "T"}, {0x01AF, "U"},
    {0x01B0, "u"}, {0x01B2, "V"}, {0x01B3, "Y"}, {0x01B4, "y"}, {0x01B5, "Z"}, {0x01B6, "z"},
    {0x01C4, "DZ"}, {0x01C5, "Dz"}, {0x01C6, "dz"}, {0x01C7, "LJ"}, {0x01C8, "Lj"}, {0x01C9, "lj"},
    {0x01CA, "NJ"}, {0x01CB, "Nj"}, {0x01CC, "nj"}, {0x01CD, "A"}, {0x01CE, "a"}, {0x01CF, "I"},
    {0x01D0, "i"}, {0x01D1, "O"}, {0x01D2, "o"}, {0x01D3, "U"}, {0x01D4, "u"}, {0x01D5, "\xDC"},
    {0x01D6, "\xFC"}, {0x01D7, "\xDC"}, {0x01D8, "\xFC"}, {0x01D9, "\xDC"}, {0x01DA, "\xFC"},
    {0x01DB, "\xDC"}, {0x01DC, "\xFC"}, {0x01DE, "\xC4"}, {0x01DF, "\xE4"}, {0x01E0, "A"},
    {0x01E1, "a"}, {0x01E2, "\xC6"}, {0x01E3, "\xE6"}, {0x01E4, "G"}, {0x01E5, "g"}, {0x01E6, "G"},
    {0x01E7, "g"}, {0x01E8, "K"}, {0x01E9, "k"}, {0x01EA, "O"}, {0x01EB, "o"}, {0x01EC, "O"},
    {0x01ED, "o"}, {0x01F0, "j"}, {0x01F1, "DZ"}, {0x01F2, "Dz"}, {0x01F3, "dz"}, {0x01F4, "G"},
    {0x01F5, "g"}, {0x01F8, "N"}, {0x01F9, "n"}, {0x01FA, "\xC5"}, {0x01FB, "\xE5"},
    {0x01FC, "\xC6"}, {0x01FD, "\xE6"}, {0x01FE, "\xD8"}, {0x01FF, "\xF8"}, {0x0200, "A"},
    {0x0201, "a"}, {0x0202, "A"}, {0x0203, "a"}, {0x0204, "E"}, {0x0205, "e"}, {0x0206, "E"},
    {0x0207, "e"}, {0x0208, "I"}, {0x0209, "i"}, {0x020A, "I"}, {0x020B, "i"}, {0x020C, "O"},
    {0x020D, "o"}, {0x020E, "O"}, {0x020F, "o"}, {0x0210, "R"}, {0x0211, "r"}, {0x0212, "R"},
    {0x0213, "r"}, {0x0214, "U"}, {0x0215, "u"}, {0x0216, "U"}, {0x0217, "u"}, {0x0218, "S"},
    {0x0219, "s"}, {0x021A, "T"}, {0x021B, "t"}, {0x021E, "H"}, {0x021F, "h"}, {0x0226, "A"},
    {0x0227, "a"}, {0x0228, "E"}, {0x0229, "e"}, {0x022A, "\xD6"}, {0x022B, "\xF6"},
    {0x022C, "\xD5"}, {0x022D, "\xF5"}, {0x022E, "O"}, {0x022F, "o"}, {0x0230, "O"}, {0x0231, "o"},
    {0x0232, "Y"}, {0x0233, "y"}, {0x0237, "j"}, {0x023A, "A"}, {0x023B, "C"}, {0x023C, "c"},
    {0x023D, "L"}, {0x023E, "T"}, {0x0243, "B"}, {0x0246, "E"}, {0x0247, "e"}, {0x0248, "J"},
    {0x0249, "j"}, {0x024C, "R"}, {0x024D, "r"}, {0x024E, "Y"}, {0x024F, "y"}, {0x1E00, "A"},
    {0x1E01, "a"}, {0x1E02, "B"}, {0x1E03, "b"}, {0x1E04, "B"}, {0x1E05, "b"}, {0x1E06, "B"},
    {0x1E07, "b"}, {0x1E08, "\xC7"}, {0x1E09, "\xE7"}, {0x1E0A, "D"}, {0x1E0B, "d"}, {0x1E0C, "D"},
    {0x1E0D, "d"}, {0x1E0E, "D"}, {0x1E0F, "d"}, {0x1E10, "D"}, {0x1E11, "d"}, {0x1E12, "D"},
    {0x1E13, "d"}, {0x1E14, "E"}, {0x1E15, "e"}, {0x1E16, "E"}, {0x1E17, "e"}, {0x1E18, "E"},
    {0x1E19, "e"}, {0x1E1A, "E"}, {0x1E1B, "e"}, {0x1E1C, "E"}, {0x1E1D, "e"}, {0x1E1E, "F"},
    {0x1E1F, "f"}, {0x1E20, "G"}, {0x1E21, "g"}, {0x1E22, "H"}, {0x1E23, "h"}, {0x1E24, "H"},
    {0x1E25, "h"}, {0x1E26, "H"}, {0x1E27, "h"}, {0x1E28, "H"}, {0x1E29, "h"}, {0x1E2A, "H"},
    {0x1E2B, "h"}, {0x1E2C, "I"}, {0x1E2D, "i"}, {0x1E2E, "\xCF"}, {0x1E2F, "\xEF"}, {0x1E30, "K"},
    {0x1E31, "k"}, {0x1E32, "K"}, {0x1E33, "k"}, {0x1E34, "K"}, {0x1E35, "k"}, {0x1E36, "L"},
    {0x1E37, "l"}, {0x1E38, "L"}, {0x1E39, "l"}, {0x1E3A, "L"}, {0x1E3B, "l"}, {0x1E3C, "L"},
    {0x1E3D, "l"}, {0x1E3E, "M"}, {0x1E3F, "m"}, {0x1E40, "M"}, {0x1E41, "m"}, {0x1E42, "M"},
    {0x1E43, "m"}, {0x1E44, "N"}, {0x1E45, "n"}, {0x1E46, "N"}, {0x1E47, "n"}, {0x1E48, "N"},
    {0x1E49, "n"}, {0x1E4A, "N"}, {0x1E4B, "n"}, {0x1E4C, "\xD5"}, {0x1E4D, "\xF5"},
    {0x1E4E, "\xD5"}, {0x1E4F, "\xF5"}, {0x1E50, "O"}, {0x1E51, "o"}, {0x1E52, "O"}, {0x1E53, "o"},
    {0x1E54, "P"}, {0x1E55, "p"}, {0x1E56, "P"}, {0x1E57, "p"}, {0x1E58, "R"}, {0x1E59, "r"},
    {0x1E5A, "R"}, {0x1E5B, "r"}, {0x1E5C, "R"}, {0x1E5D, "r"}, {0x1E5E, "R"}, {0x1E5F, "r"},
    {0x1E60, "S"}, {0x1E61, "s"}, {0x1E62, "S"}, {0x1E63, "s"}, {0x1E64, "S"}, {0x1E65, "s"},
    {0x1E66, "\x8A"}, {0x1E67, "\x9A"}, {0x1E68, "S"}, {0x1E69, "s"}, {0x1E6A, "T"}, {0x1E6B, "t"},
    {0x1E6C, "T"}, {0x1E6D, "t"}, {0x1E6E, "T"}, {0x1E6F, "t"}, {0x1E70, "T"}, {0x1E71, "t"},
    {0x1E72, "U"}, {0x1E73, "u"}, {0x1E74, "U"}, {0x1E75, "u"}, {0x1E76, "U"}, {0x1E77, "u"},
    {0x1E78, "U"}, {0x1E79, "u"}, {0x1E7A, "U"}, {0x1E7B, "u"}, {0x1E7C, "V"}, {0x1E7D, "v"},
    {0x1E7E, "V"}, {0x1E7F, "v"}, {0x1E80, "W"}, {0x1E81, "w"}, {0x1E82, "W"}, {0x1E83, "w"},
    {0x1E84, "W"}, {0x1E85, "w"}, {0x1E86, "W"}, {0x1E87, "w"}, {0x1E88, "W"}, {0x1E89, "w"},
    {0x1E8A, "X"}, {0x1E8B, "x"}, {0x1E8C, "X"}, {0x1E8D, "x"}, {0x1E8E, "Y"}, {0x1E8F, "y"},
    {0x1E90, "Z"}, {0x1E91, "z"}, {0x1E92, "Z"}, {0x1E93, "z"}, {0x1E94, "Z"}, {0x1E95, "z"},
    {0x1E96, "h"}, {0x1E97, "t"}, {0x1E98, "w"}, {0x1E99, "y"}, {0x1E9B, "s"}, {0x1E9E, "\xDF"},
    {0x1EA0, "A"}, {0x1EA1, "a"}, {0x1EA2, "A"}, {0x1EA3, "a"}, {0x1EA4, "\xC2"}, {0x1EA5, "\xE2"},
    {0x1EA6, "\xC2"}, {0x1EA7, "\xE2"}, {0x1EA8, "\xC2"}, {0x1EA9, "\xE2"}, {0x1EAA, "\xC2"},
    {0x1EAB, "\xE2"}, {0x1EAC, "A"}, {0x1EAD, "a"}, {0x1EAE, "A"}, {0x1EAF, "a"}, {0x1EB0, "A"},
    {0x1EB1, "a"}, {0x1EB2, "A"}, {0x1EB3, "a"}, {0x1EB4, "A"}, {0x1EB5, "a"}, {0x1EB6, "A"},
    {0x1EB7, "a"}, {0x1EB8, "E"}, {0x1EB9, "e"}, {0x1EBA, "E"}, {0x1EBB, "e"}, {0x1EBC, "E"},
    {0x1EBD, "e"}, {0x1EBE, "\xCA"}, {0x1EBF, "\xEA"}, {0x1EC0, "\xCA"}, {0x1EC1, "\xEA"},
    {0x1EC2, "\xCA"}, {0x1EC3, "\xEA"}, {0x1EC4, "\xCA"}, {0x1EC5, "\xEA"}, {0x1EC6, "E"},
    {0x1EC7, "e"}, {0x1EC8, "I"}, {0x1EC9, "i"}, {0x1ECA, "I"}, {0x1ECB, "i"}, {0x1ECC, "O"},
    {0x1ECD, "o"}, {0x1ECE, "O"}, {0x1ECF, "o"}, {0x1ED0, "\xD4"}, {0x1ED1, "\xF4"},
    {0x1ED2, "\xD4"}, {0x1ED3, "\xF4"}, {0x1ED4, "\xD4"}, {0x1ED5, "\xF4"}, {0x1ED6, "\xD4"},
    {0x1ED7, "\xF4"}, {0x1ED8, "O"}, {0x1ED9, "o"}, {0x1EDA, "O"}, {0x1EDB, "o"}, {0x1EDC, "O"},
    {0x1EDD, "o"}, {0x1EDE, "O"}, {0x1EDF, "o"}, {0x1EE0, "O"}, {0x1EE1, "o"}, {0x1EE2, "O"},
    {0x1EE3, "o"}, {0x1EE4, "U"}, {0x1EE5, "u"}, {0x1EE6, "U"}, {0x1EE7, "u"}, {0x1EE8, "U"},
    {0x1EE9, "u"}, {0x1EEA, "U"}, {0x1EEB, "u"}, {0x1EEC, "U"}, {0x1EED, "u"}, {0x1EEE, "U"},
    {0x1EEF, "u"}, {0x1EF0, "U"}, {0x1EF1, "u"}, {0x1EF2, "Y"}, {0x1EF3, "y"}, {0x1EF4, "Y"},
    {0x1EF5, "y"}, {0x1EF6, "Y"}, {0x1EF7, "y"}, {0x1EF8, "Y"}, {0x1EF9, "y"}, {0x2000, " "},
    {0x2001, " "}, {0x2002, " "}, {0x2003, " "}, {0x2004, " "}, {0x2005, " "}, {0x2006, " "},
    {0x2007, " "}, {0x2008, " "}, {0x2009, " "}, {0x200A, " "}, {0x200B, ""}, {0x200C, ""},
    {0x200D, ""}, {0x2010, "-"}, {0x2011, "-"}, {0x2012, "-"}, {0x2015, "\x97"}, {0x2016, "|"},
    {0x2017, "_"}, {0x201B, "'"}, {0x201F, "\""}, {0x2024, "."}, {0x2025, ".."}, {0x2027, "\xB7"},
    {0x202F, " "}, {0x2032, "'"}, {0x2033, "\""}, {0x2035, "'"}, {0x2036, "\""}, {0x203C, "!!"},
    {0x2043, "-"}, {0x2044, "/"}, {0x2047, "??"}, {0x2048, "?!"}, {0x2049, "!?"}, {0x2053, "~"},
    {0x205F, " "}, {0x2060, ""}, {0x2100, "a/c"}, {0x2101, "a/s"}, {0x2102, "C"},
    {0x2103, "\xB0" "C"}, {0x2105, "c/o"}, {0x2106, "c/u"}, {0x2109, "\xB0" "F"}, {0x210A, "g"},
    {0x210B, "H"}, {0x210C, "H"}, {0x210D, "H"}, {0x210E, "h"}, {0x2110, "I"}, {0x2111, "I"},
    {0x2112, "L"}, {0x2113, "l"}, {0x2115, "N"}, {0x2116, "No"}, {0x2117, "(P)"}, {0x2119, "P"},
    {0x211A, "Q"}, {0x211B, "R"}, {0x211C, "R"}, {0x211D, "R"}, {0x2120, "SM"}, {0x2121, "TEL"},
    {0x2124, "Z"}, {0x2128, "Z"}, {0x212A, "K"}, {0x212B, "\xC5"}, {0x212C, "B"}, {0x212D, "C"},
    {0x212F, "e"}, {0x2130, "E"}, {0x2131, "F"}, {0x2133, "M"}, {0x2134, "o"}, {0x2139, "i"},
    {0x213B, "FAX"}, {0x2145, "D"}, {0x2146, "d"}, {0x2147, "e"}, {0x2148, "i"}, {0x2149, "j"},
    {0x2160, "I"}, {0x2161, "II"}, {0x2162, "III"}, {0x2163, "IV"}, {0x2164, "V"}, {0x2165, "VI"},
    {0x2166, "VII"}, {0x2167, "VIII"}, {0x2168, "IX"}, {0x2169, "X"}, {0x216A, "XI"},
    {0x216B, "XII"}, {0x216C, "L"}, {0x216D, "C"}, {0x216E, "D"}, {0x216F, "M"}, {0x2170, "i"},
    {0x2171, "ii"}, {0x2172, "iii"}, {0x2173, "iv"}, {0x2174, "v"}, {0x2175, "vi"},
    {0x2176, "vii"}, {0x2177, "viii"}, {0x2178, "ix"}, {0x2179, "x"}, {0x217A, "xi"},
    {0x217B, "xii"}, {0x217C, "l"}, {0x217D, "c"}, {0x217E, "d"}, {0x217F, "m"}, {0x2190, "<-"},
    {0x2192, "->"}, {0x219A, "<-"}, {0x219B, "->"}, {0x2212, "-"}, {0x2215, "/"}, {0x2217, "*"},
    {0x2219, "\xB7"}, {0x221E, "oo"}, {0x2223, "|"}, {0x2224, "|"}, {0x2248, "~"}, {0x2249, "~"},
    {0x2260, "!="}, {0x2264, "<="}, {0x2265, ">="}, {0x226E, "<"}, {0x226F, ">"}, {0x3000, " "}, {0xFB00, "ff"},
    {0xFB01, "fi"}, {0xFB02, "fl"}, {0xFB03, "ffi"}, {0xFB04, "ffl"}, {0xFB05, "st"},
    {0xFB06, "st"}, {0xFEFF, ""},
};
// clang-format on
static_assert(std::is_sorted(std::begin(kNearest), std::end(kNearest),
                             [](const Nearest& a, const Nearest& b) { return a.Cp < b.Cp; }));

bool IsCombiningMark(char32_t cp) {
    return (cp >= 0x0300 && cp < 0x0370) || (cp >= 0x1AB0 && cp < 0x1B00) ||
           (cp >= 0x1DC0 && cp < 0x1E00) || (cp >= 0x20D0 && cp < 0x2100) ||
           (cp >= 0xFE20 && cp < 0xFE30);
}

} // namespace

char32_t Windows1252CodePoint(unsigned char byte) {
    return byte >= 128 && byte < 160 ? kHigh[byte - 128] : byte;
}

int Windows1252Byte(char32_t cp) {
    if (cp < 128 || (cp >= 160 && cp < 256)) return static_cast<int>(cp);
    for (int k = 0; k < 32; ++k)
        if (kHigh[k] == cp) return 128 + k;
    return -1;
}

void AppendWindows1252ToUtf8(std::string& out, std::string_view text) {
    // Whole outputs pass through here: runs of ASCII are copied at once.
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t end = pos;
        while (end < text.size() && static_cast<unsigned char>(text[end]) < 0x80)
            ++end;
        out.append(text.data() + pos, end - pos);
        if (end == text.size()) break;
        AppendUtf8(out, CodePoint(static_cast<unsigned char>(text[end])));
        pos = end + 1;
    }
}

std::string Windows1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    AppendWindows1252ToUtf8(out, text);
    return out;
}

void AppendMessageToUtf8(std::string& out, std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        char32_t cp = 0;
        if (Decode(text, pos, cp) && pos - start > 1) {
            out.append(text.substr(start, pos - start));
        } else {
            pos = start + 1;
            AppendUtf8(out, CodePoint(static_cast<unsigned char>(text[start])));
        }
    }
}

std::string MessageToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendMessageToUtf8(out, text);
    return out;
}

std::string Utf8ToWindows1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        char32_t cp = 0;
        out += static_cast<char>(Decode(text, pos, cp) ? ByteOf(cp) : '?');
    }
    return out;
}

NearestText Utf8ToNearestWindows1252(std::string_view text) {
    NearestText out;
    out.Text.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        char32_t cp = 0;
        if (!Decode(text, pos, cp)) {
            out.Text += '?';
            out.Replaced = true;
            ++out.ReplacedCount;
            continue;
        }
        const int byte = ByteOf(cp);
        if (byte != '?' || cp == '?') {
            out.Text += static_cast<char>(byte);
            continue;
        }
        out.Replaced = true;
        ++out.ReplacedCount;
        // A mark typed apart from its letter (decomposed input) is left off:
        // the letter before it stays.
        if (IsCombiningMark(cp)) continue;
        const auto* found =
            std::lower_bound(std::begin(kNearest), std::end(kNearest), cp,
                             [](const Nearest& entry, char32_t key) { return entry.Cp < key; });
        out.Text += found != std::end(kNearest) && found->Cp == cp ? found->Text : "?";
    }
    return out;
}

} // namespace ks
