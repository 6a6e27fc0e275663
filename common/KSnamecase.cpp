#include "common/KSnamecase.h"

#include <array>

namespace ks {

namespace {

constexpr std::array<unsigned char, 256> MakeCapitals() {
    std::array<unsigned char, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<unsigned char>(i);
    for (int c = 'a'; c <= 'z'; ++c)
        table[c] = static_cast<unsigned char>(c - 32);
    // à..þ map to À..Þ, except the division sign 0xF7 (facing the multiplication sign).
    for (int c = 0xE0; c <= 0xFE; ++c)
        if (c != 0xF7) table[c] = static_cast<unsigned char>(c - 32);
    table[0x9A] = 0x8A; // š
    table[0x9C] = 0x8C; // œ
    table[0x9E] = 0x8E; // ž
    table[0xFF] = 0x9F; // ÿ
    return table;
}

constexpr std::array<unsigned char, 256> kCapitals = MakeCapitals();

} // namespace

bool SameNameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (kCapitals[static_cast<unsigned char>(a[i])] !=
            kCapitals[static_cast<unsigned char>(b[i])])
            return false;
    }
    return true;
}

std::string NameCaseKey(std::string_view name) {
    std::string key(name);
    for (char& c : key)
        c = static_cast<char>(kCapitals[static_cast<unsigned char>(c)]);
    return key;
}

} // namespace ks
