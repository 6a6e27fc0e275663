#include "common/KSconvert.h"

#include <array>
#include <bit>
#include <string_view>

namespace ks {

namespace {

// Every byte that stands for itself in the entity table, as a one-character
// C string (byte, NUL), so that HtmlEntity can hand out a pointer for it.
constexpr std::array<char, 512> kSingleBytes = [] {
    std::array<char, 512> bytes{};
    for (int c = 0; c < 256; ++c) {
        bytes[static_cast<std::size_t>(2 * c)] = static_cast<char>(c);
    }
    return bytes;
}();

// Named entities of 128..159 (the Windows-1252 extras); nullptr = the byte itself.
constexpr std::array<const char*, 32> kEntities128 = {
    "&euro;",  nullptr,    "&sbquo;",  "&fnof;",   "&bdquo;", "&hellip;", "&dagger;", "&Dagger;",
    "&circ;",  "&permil;", "&Scaron;", "&lsaquo;", "&OElig;", nullptr,    nullptr,    nullptr,
    nullptr,   "&lsquo;",  "&rsquo;",  "&ldquo;",  "&rdquo;", "&bull;",   "&ndash;",  "&mdash;",
    "&tilde;", "&trade;",  "&scaron;", "&rsaquo;", "&oelig;", nullptr,    nullptr,    "&Yuml;"};

// The ISO 8859-1 entities of 160..255 in code order.
constexpr std::array<const char*, 96> kEntities160 = {
    "&nbsp;",   "&iexcl;",  "&cent;",   "&pound;",  "&curren;", "&yen;",    "&brvbar;", "&sect;",
    "&uml;",    "&copy;",   "&ordf;",   "&laquo;",  "&not;",    "&shy;",    "&reg;",    "&macr;",
    "&deg;",    "&plusmn;", "&sup2;",   "&sup3;",   "&acute;",  "&micro;",  "&para;",   "&middot;",
    "&cedil;",  "&sup1;",   "&ordm;",   "&raquo;",  "&frac14;", "&frac12;", "&frac34;", "&iquest;",
    "&Agrave;", "&Aacute;", "&Acirc;",  "&Atilde;", "&Auml;",   "&Aring;",  "&AElig;",  "&Ccedil;",
    "&Egrave;", "&Eacute;", "&Ecirc;",  "&Euml;",   "&Igrave;", "&Iacute;", "&Icirc;",  "&Iuml;",
    "&ETH;",    "&Ntilde;", "&Ograve;", "&Oacute;", "&Ocirc;",  "&Otilde;", "&Ouml;",   "&times;",
    "&Oslash;", "&Ugrave;", "&Uacute;", "&Ucirc;",  "&Uuml;",   "&Yacute;", "&THORN;",  "&szlig;",
    "&agrave;", "&aacute;", "&acirc;",  "&atilde;", "&auml;",   "&aring;",  "&aelig;",  "&ccedil;",
    "&egrave;", "&eacute;", "&ecirc;",  "&euml;",   "&igrave;", "&iacute;", "&icirc;",  "&iuml;",
    "&eth;",    "&ntilde;", "&ograve;", "&oacute;", "&ocirc;",  "&otilde;", "&ouml;",   "&divide;",
    "&oslash;", "&ugrave;", "&uacute;", "&ucirc;",  "&uuml;",   "&yacute;", "&thorn;",  "&yuml;"};

// The named entity of a byte, or nullptr when the byte stands for itself.
constexpr const char* NamedEntity(unsigned char c) {
    switch (c) {
    case '"':
        return "&quot;";
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    default:
        break;
    }
    if (c >= 160) return kEntities160[c - 160];
    if (c >= 128) return kEntities128[c - 128];
    return nullptr;
}

constexpr std::array<unsigned char, 256> kUpperCase = [] {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c);
    for (int c = 'a'; c <= 'z'; ++c)
        table[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c - 32);
    table[154] = 138; // s caron
    table[156] = 140; // oe ligature
    table[158] = 142; // z caron
    for (int c = 224; c <= 254; ++c) {
        if (c != 247) table[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c - 32);
    }
    table[255] = 159; // y diaeresis
    return table;
}();

constexpr void FoldRange(std::array<unsigned char, 256>& table, int from, int to, char base) {
    for (int c = from; c <= to; ++c)
        table[static_cast<std::size_t>(c)] = static_cast<unsigned char>(base);
}

// Sort-key folding: letters to their base capital, digits, tab and hyphen
// kept, everything else a blank.
constexpr std::array<unsigned char, 256> kFolding = [] {
    std::array<unsigned char, 256> table{};
    FoldRange(table, 0, 255, ' ');
    table['\t'] = '\t';
    table['-'] = '-';
    for (int c = '0'; c <= '9'; ++c)
        table[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c);
    for (int c = 'A'; c <= 'Z'; ++c) {
        table[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c);
        table[static_cast<std::size_t>(c + 32)] = static_cast<unsigned char>(c);
    }
    table[161] = 'I';
    table[162] = 'C';
    table[181] = 'U';
    table[215] = 'X';
    for (int lower : {0, 32}) {
        FoldRange(table, 192 + lower, 197 + lower, 'A');
        FoldRange(table, 199 + lower, 199 + lower, 'C');
        FoldRange(table, 200 + lower, 203 + lower, 'E');
        FoldRange(table, 204 + lower, 207 + lower, 'I');
        FoldRange(table, 209 + lower, 209 + lower, 'N');
        FoldRange(table, 210 + lower, 214 + lower, 'O');
        FoldRange(table, 217 + lower, 220 + lower, 'U');
        FoldRange(table, 221 + lower, 221 + lower, 'Y');
    }
    table[248] = '0'; // o slash folds to the digit zero
    table[255] = 255;
    return table;
}();

// Code page 850 bytes 128..255 in Windows-1252. Characters that Windows-1252
// lacks get a look-alike: shades and blocks '#', single and double vertical
// lines '|', the single horizontal line '-', the double one '=', every corner
// and junction '+', dotless i 'i', double low line '_'.
constexpr std::array<unsigned char, 128> kOem850 = {
    199, 252, 233, 226, 228, 224, 229, 231, // 128..135
    234, 235, 232, 239, 238, 236, 196, 197, // 136..143
    201, 230, 198, 244, 246, 242, 251, 249, // 144..151
    255, 214, 220, 248, 163, 216, 215, 131, // 152..159
    225, 237, 243, 250, 241, 209, 170, 186, // 160..167
    191, 174, 172, 189, 188, 161, 171, 187, // 168..175
    35,  35,  35,  124, 43,  193, 194, 192, // 176..183
    169, 43,  124, 43,  43,  162, 165, 43,  // 184..191
    43,  43,  43,  43,  45,  43,  227, 195, // 192..199
    43,  43,  43,  43,  43,  61,  43,  164, // 200..207
    240, 208, 202, 203, 200, 105, 205, 206, // 208..215
    207, 43,  43,  35,  35,  166, 204, 35,  // 216..223
    211, 223, 212, 210, 245, 213, 181, 254, // 224..231
    222, 218, 219, 217, 253, 221, 175, 180, // 232..239
    173, 177, 95,  190, 182, 167, 247, 184, // 240..247
    176, 168, 183, 185, 179, 178, 35,  160, // 248..255
};

template <typename Table>
void AppendMapped(std::string& out, std::string_view text, const Table& table) {
    const std::size_t start = out.size();
    out.resize(start + text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        out[start + i] = static_cast<char>(table[static_cast<unsigned char>(text[i])]);
    }
}

template <typename Table> std::string MapBytes(const std::string& text, const Table& table) {
    std::string result;
    AppendMapped(result, text, table);
    return result;
}

unsigned char ByteAt(const std::string& text, std::size_t index) {
    return index < text.size() ? static_cast<unsigned char>(text[index]) : 0;
}

// Little-endian unsigned value of the first count bytes; missing bytes are 0.
uint64_t ReadLittleEndian(const std::string& text, std::size_t count) {
    uint64_t value = 0;
    for (std::size_t i = count; i-- > 0;)
        value = (value << 8) | ByteAt(text, i);
    return value;
}

std::string PackLittleEndian(uint64_t value, std::size_t count) {
    std::string bytes(count, '\0');
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<char>(value & 0xFF);
        value >>= 8;
    }
    return bytes;
}

std::string Reversed(std::string bytes) {
    return std::string(bytes.rbegin(), bytes.rend());
}

uint64_t Combine(uint32_t low, uint32_t high) {
    return (static_cast<uint64_t>(high) << 32) | low;
}

} // namespace

unsigned char UpperCaseByte(unsigned char c) {
    return kUpperCase[c];
}

unsigned char FoldByte(unsigned char c) {
    return kFolding[c];
}

// Bytes that stand for themselves come back as a one-character text; for
// byte 0 that reads as the empty C string, so HtmlEncode keeps the byte itself.
const char* HtmlEntity(unsigned char c) {
    const char* named = NamedEntity(c);
    return named != nullptr ? named : &kSingleBytes[2u * c];
}

std::string HtmlEncode(const std::string& text) {
    std::string result;
    result.reserve(text.size() + text.size() / 4);
    for (char ch : text) {
        const char* named = NamedEntity(static_cast<unsigned char>(ch));
        if (named != nullptr) {
            result.append(named);
        } else {
            result.push_back(ch);
        }
    }
    return result;
}

std::string UpperCaseTable(const std::string& text) {
    return MapBytes(text, kUpperCase);
}

std::string FoldTable(const std::string& text) {
    return MapBytes(text, kFolding);
}

void AppendUpperCaseTable(std::string& out, std::string_view text) {
    AppendMapped(out, text, kUpperCase);
}

void AppendFoldTable(std::string& out, std::string_view text) {
    AppendMapped(out, text, kFolding);
}

std::string OemToAnsi(const std::string& text) {
    std::string result(text);
    for (char& ch : result) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 128) ch = static_cast<char>(kOem850[c - 128u]);
    }
    return result;
}

std::string PackWord(int16_t value) {
    return PackLittleEndian(static_cast<uint16_t>(value), 2);
}

std::string PackWordReversed(int16_t value) {
    return Reversed(PackWord(value));
}

std::string PackLong(int32_t value) {
    return PackLittleEndian(static_cast<uint32_t>(value), 4);
}

std::string PackLongReversed(int32_t value) {
    return Reversed(PackLong(value));
}

std::string PackInt64(uint32_t low, uint32_t high) {
    return PackLittleEndian(Combine(low, high), 8);
}

std::string PackInt64Reversed(uint32_t low, uint32_t high) {
    return Reversed(PackInt64(low, high));
}

std::string PackInt64(int64_t value) {
    return PackLittleEndian(static_cast<uint64_t>(value), 8);
}

uint16_t ReadWord(const std::string& text) {
    return static_cast<uint16_t>(ReadLittleEndian(text, 2));
}

int32_t ReadLong(const std::string& text) {
    return static_cast<int32_t>(static_cast<uint32_t>(ReadLittleEndian(text, 4)));
}

int64_t ReadInt64(const std::string& text) {
    if (text.size() < 8) return 0;
    return static_cast<int64_t>(ReadLittleEndian(text, 8));
}

float ReadSingle(const std::string& text) {
    if (text.size() < 4) return 0.0f;
    return std::bit_cast<float>(static_cast<uint32_t>(ReadLittleEndian(text, 4)));
}

} // namespace ks
