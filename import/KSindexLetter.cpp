#include "import/KSindexLetter.h"

#include "common/KScodepage.h"
#include "common/KSunicode.h"
#include "common/KSutf8.h"

#include <array>
#include <string_view>

namespace ks {

namespace {

// Windows-1252 192 to 223 and, one place on, 224 to 255: the letter of each
// (no letter for the signs of multiplication and division).
constexpr std::string_view kAccented = "AAAAAAACEEEEIIIIDNOOOOO?OUUUUYTS";

constexpr std::array<char, 256> kLetters = [] {
    std::array<char, 256> table{};
    table.fill('?');
    for (int c = '0'; c <= '9'; ++c)
        table[static_cast<std::size_t>(c)] = static_cast<char>(c);
    for (int c = 'A'; c <= 'Z'; ++c) {
        table[static_cast<std::size_t>(c)] = static_cast<char>(c);
        table[static_cast<std::size_t>(c + 32)] = static_cast<char>(c);
    }
    for (std::size_t k = 0; k < kAccented.size(); ++k) {
        table[192 + k] = kAccented[k];
        table[224 + k] = kAccented[k];
    }
    table[255] = 'Y';                // ÿ; 223 (ß) has no capital in the code page
    table[0x83] = 'F';               // ƒ
    table[0x8A] = table[0x9A] = 'S'; // Š š
    table[0x8C] = table[0x9C] = 'O'; // Œ œ
    table[0x8E] = table[0x9E] = 'Z'; // Ž ž
    table[0x9F] = 'Y';               // Ÿ
    table[0xAA] = 'A';               // ª
    table[0xB5] = 'M';               // µ
    table[0xBA] = 'O';               // º
    return table;
}();

} // namespace

std::string IndexLetter(std::string_view surname) {
    if (surname.empty() || surname == "?") return "?";
    const auto lead = static_cast<unsigned char>(surname[0]);
    const Utf8Char first = DecodeUtf8(surname, 0);
    if (!first.Valid()) return std::string(1, kLetters[lead]);
    if (const int known = Windows1252Byte(first.CodePoint); known >= 0)
        return std::string(1, kLetters[static_cast<unsigned char>(known)]);
    const char32_t base = BaseLetter(first.CodePoint);
    if (const int known = Windows1252Byte(base); known >= 0)
        return std::string(1, kLetters[static_cast<unsigned char>(known)]);
    if (!IsLetterOrDigit(base)) return "?";
    std::string letter;
    AppendUtf8(letter, UpperCaseLetter(base));
    return letter;
}

} // namespace ks
