#include "builder/KSsearchKey.h"

#include <algorithm>
#include <array>

namespace ks {

namespace {

// The folded text of every Windows-1252 byte; "" for a byte that is left out.
constexpr std::array<const char*, 256> kFold = [] {
    std::array<const char*, 256> table{};
    for (auto& entry : table)
        entry = "";
    constexpr const char* kLetters[26] = {"a", "b", "c", "d", "e", "f", "g", "h", "i",
                                          "j", "k", "l", "m", "n", "o", "p", "q", "r",
                                          "s", "t", "u", "v", "w", "x", "y", "z"};
    constexpr const char* kDigits[10] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    for (int c = 0; c < 26; ++c) {
        table[static_cast<std::size_t>('A' + c)] = kLetters[c];
        table[static_cast<std::size_t>('a' + c)] = kLetters[c];
    }
    for (int c = 0; c < 10; ++c)
        table[static_cast<std::size_t>('0' + c)] = kDigits[c];
    table[131] = "f";  // f with hook
    table[138] = "s";  // S caron
    table[140] = "oe"; // OE ligature
    table[142] = "z";  // Z caron
    table[154] = "s";
    table[156] = "oe";
    table[158] = "z";
    table[159] = "y"; // Y diaeresis
    // 192..255: the capitals, then the small letters 32 places higher.
    for (int lower : {0, 32}) {
        auto set = [&](int from, int to, const char* text) {
            for (int c = from; c <= to; ++c)
                table[static_cast<std::size_t>(c + lower)] = text;
        };
        set(192, 197, "a");
        set(198, 198, "ae");
        set(199, 199, "c");
        set(200, 203, "e");
        set(204, 207, "i");
        set(208, 208, "d"); // eth
        set(209, 209, "n");
        set(210, 214, "o");
        set(216, 216, "o"); // o with stroke
        set(217, 220, "u");
        set(221, 221, "y");
        set(222, 222, "th"); // thorn
    }
    table[223] = "ss";
    table[255] = "y";
    return table;
}();

} // namespace

std::string SearchFold(std::string_view text) {
    std::string folded;
    folded.reserve(text.size());
    AppendSearchFold(folded, text);
    return folded;
}

void AppendSearchFold(std::string& out, std::string_view text) {
    for (char c : text) {
        const char* folded = kFold[static_cast<unsigned char>(c)];
        // Most bytes fold to one letter or to nothing.
        if (folded[0] != '\0' && folded[1] == '\0') {
            out += folded[0];
        } else {
            out += folded;
        }
    }
}

const std::vector<std::string>& SearchPrefixWords() {
    // Dutch, German, French, Italian, Spanish and Portuguese particles, and
    // the short forms "v", "vd", "t" ('t) and "s" ('s) that trees write.
    static const std::vector<std::string> words = {
        "van", "de", "den", "der",   "het", "ten",   "ter",  "te",  "t",     "s",     "v",    "vd",
        "in",  "op", "aan", "bij",   "uit", "onder", "over", "von", "vom",   "zu",    "zum",  "zur",
        "am",  "im", "auf", "dem",   "du",  "des",   "d",    "l",   "la",    "le",    "les",  "lo",
        "di",  "da", "del", "della", "dei", "das",   "do",   "dos", "degli", "delle", "dello"};
    return words;
}

std::string SurnameSearchKey(std::string_view surnameMain) {
    std::vector<std::string> words;
    std::size_t from = 0;
    while (from <= surnameMain.size()) {
        std::size_t blank = surnameMain.find(' ', from);
        if (blank == std::string_view::npos) blank = surnameMain.size();
        std::string word = SearchFold(surnameMain.substr(from, blank - from));
        if (!word.empty()) words.push_back(std::move(word));
        from = blank + 1;
    }
    const std::vector<std::string>& prefixes = SearchPrefixWords();
    std::size_t first = 0;
    while (first + 1 < words.size() &&
           std::find(prefixes.begin(), prefixes.end(), words[first]) != prefixes.end())
        ++first;
    std::string key;
    for (std::size_t i = first; i < words.size(); ++i)
        key += words[i];
    return key;
}

} // namespace ks
