#include "common/KStextutil.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string_view>

namespace ks {

namespace {

// Index (0-based) of the first delimiter at or after the 0-based index from,
// or npos. An empty delimiter never matches, so scans always move forward.
std::size_t FindFrom(const std::string& text, const std::string& delimiter, std::size_t from) {
    if (delimiter.empty() || from >= text.size()) return std::string::npos;
    return text.find(delimiter, from);
}

bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsTrimmed(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

// Last count bytes of text (all of it when shorter); count below 0 counts as 0.
std::string LastBytes(const std::string& text, int width) {
    const std::size_t n = static_cast<std::size_t>(std::max(width, 0));
    return n >= text.size() ? text : text.substr(text.size() - n);
}

std::size_t Width(int width) {
    return static_cast<std::size_t>(std::max(width, 0));
}

struct RomanSymbol {
    int value;
    std::string_view symbol;
};

constexpr RomanSymbol kRoman[] = {{1000, "M"}, {900, "CM"}, {500, "D"}, {400, "CD"}, {100, "C"},
                                  {90, "XC"},  {50, "L"},   {40, "XL"}, {10, "X"},   {9, "IX"},
                                  {5, "V"},    {4, "IV"},   {1, "I"}};

// Soundex digit of a letter; H and W give -1 (they do not separate equal codes),
// vowels, Y and everything that is not an ASCII letter give 0.
int SoundexCode(char c) {
    static constexpr std::string_view kCodes = "0123012-02245501262301-202"; // A to Z
    const char u = UpperAscii(c);
    if (u < 'A' || u > 'Z') return 0;
    const char code = kCodes[static_cast<std::size_t>(u - 'A')];
    return code == '-' ? -1 : code - '0';
}

} // namespace

int FindOutside(const std::string& text, const std::string& delimiter, char quoteChar,
                bool parens) {
    std::size_t scan = 0; // characters before this 0-based index have been walked
    int depth = 0;        // kept over the whole scan
    for (;;) {
        const std::size_t found = FindFrom(text, delimiter, scan);
        if (found == std::string::npos) return 0;
        bool inQuotes = false;
        for (std::size_t i = scan; i <= found; ++i) {
            const char c = text[i];
            if (c == quoteChar) {
                inQuotes = !inQuotes;
            } else if (!inQuotes && parens) {
                if (c == '(') ++depth;
                if (c == ')') --depth;
            }
        }
        if (inQuotes) {
            const std::size_t closing = text.find(quoteChar, found + 1);
            if (closing == std::string::npos) return 0;
            scan = closing + 1;
        } else if (depth <= 0) {
            return static_cast<int>(found + 1);
        } else {
            scan = found + delimiter.size();
        }
    }
}

void CutField(std::string& text, const std::string& delimiter, char quoteChar, std::string& field,
              bool parens) {
    const int pos = FindOutside(text, delimiter, quoteChar, parens);
    if (pos == 0) {
        field = std::move(text);
        text.clear();
        return;
    }
    const std::size_t at = static_cast<std::size_t>(pos - 1);
    field = text.substr(0, at);
    text.erase(0, at + delimiter.size());
}

bool StripEnclosing(std::string& text, const std::string& pairs) {
    bool removed = false;
    for (std::size_t p = 0; p + 1 < pairs.size(); p += 2) {
        text = Trim(text);
        // The length is checked before every removal so that "()" ends as empty text.
        while (text.size() > 1 && text.front() == pairs[p] && text.back() == pairs[p + 1]) {
            text = text.substr(1, text.size() - 2);
            removed = true;
        }
    }
    return removed;
}

std::string PadRight(const std::string& text, int width, char ch) {
    const std::size_t n = Width(width);
    if (text.size() > n) return text.substr(0, n);
    return text + std::string(n - text.size(), ch);
}

std::string PadLeft(const std::string& text, int width, char ch) {
    const std::size_t n = Width(width);
    if (text.size() > n) return LastBytes(text, width);
    return std::string(n - text.size(), ch) + text;
}

std::string Center(const std::string& text, int width, char ch) {
    const std::size_t n = Width(width);
    if (text.size() >= n) return LastBytes(text, width);
    // One fill character on each side per round; an odd difference overshoots
    // by one, and the cut below drops it from the left.
    const std::size_t rounds = (n - text.size() + 1) / 2;
    const std::string fill(rounds, ch);
    return LastBytes(fill + text + fill, width);
}

int PosFrom(int start, const std::string& text, const std::string& sub) {
    if (start < 1) start = 1;
    if (text.empty()) return 0;
    if (sub.empty()) return start;
    const std::size_t from = static_cast<std::size_t>(start - 1);
    if (from >= text.size()) return 0;
    const std::size_t at = text.find(sub, from);
    return at == std::string::npos ? 0 : static_cast<int>(at + 1);
}

int PosChar(int start, const std::string& text, char ch) {
    if (start < 1) start = 1;
    const std::size_t from = static_cast<std::size_t>(start - 1);
    if (from >= text.size()) return 0;
    const std::size_t at = text.find(ch, from);
    return at == std::string::npos ? 0 : static_cast<int>(at + 1);
}

int LastPosChar(int start, const std::string& text, char ch) {
    if (text.empty()) return 0;
    std::size_t from = text.size() - 1;
    if (start > 0 && static_cast<std::size_t>(start) <= text.size())
        from = static_cast<std::size_t>(start - 1);
    const std::size_t at = text.rfind(ch, from);
    return at == std::string::npos ? 0 : static_cast<int>(at + 1);
}

int FirstOfChars(const std::string& chars, const std::string& text, int start) {
    if (start < 1) start = 1;
    const std::size_t from = static_cast<std::size_t>(start - 1);
    if (chars.empty() || from >= text.size()) return 0;
    const std::size_t at = text.find_first_of(chars, from);
    return at == std::string::npos ? 0 : static_cast<int>(at + 1);
}

bool MatchMask(const std::string& text, const std::string& mask) {
    if (text.size() != mask.size()) return false;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        if (mask[i] == '#' ? !IsAsciiDigit(text[i]) : text[i] != mask[i]) return false;
    }
    return true;
}

bool IsDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), IsAsciiDigit);
}

int StrToIntDef(const std::string& text, int def) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) return def;
    // Accumulated as a magnitude in 64 bits; anything beyond the 32-bit range is no number.
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(INT_MIN) : INT_MAX;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (!IsAsciiDigit(text[i])) return def;
        value = value * 10 + (text[i] - '0');
        if (value > limit) return def;
    }
    return static_cast<int>(negative ? -value : value);
}

std::string ToRoman(int n) {
    std::string result;
    for (const RomanSymbol& r : kRoman) {
        while (n >= r.value) {
            result += r.symbol;
            n -= r.value;
        }
    }
    return result;
}

int FromRoman(const std::string& text) {
    std::string_view rest(text);
    std::int64_t sum = 0;
    for (const RomanSymbol& r : kRoman) {
        while (rest.starts_with(r.symbol)) {
            rest.remove_prefix(r.symbol.size());
            sum = std::min<std::int64_t>(sum + r.value, INT_MAX); // a huge text saturates
        }
    }
    return static_cast<int>(sum);
}

std::string Soundex(const std::string& text, int length) {
    if (text.empty()) return {};
    // The code never grows past length (and never below its first letter).
    const std::size_t n = std::max<std::size_t>(Width(length), 1);
    std::string result(1, UpperAscii(text[0]));
    int previous = SoundexCode(text[0]);
    for (std::size_t i = 1; i < text.size() && result.size() < n; ++i) {
        const int code = SoundexCode(text[i]);
        if (code > 0 && code != previous) result += static_cast<char>('0' + code);
        if (code != -1) previous = code;
    }
    if (result.size() < n) result.append(n - result.size(), '0');
    return result;
}

std::string Trim(const std::string& text) {
    return TrimLeft(TrimRight(text));
}

std::string TrimLeft(const std::string& text) {
    const auto first = std::find_if_not(text.begin(), text.end(), IsTrimmed);
    return std::string(first, text.end());
}

std::string TrimRight(const std::string& text) {
    const auto last = std::find_if_not(text.rbegin(), text.rend(), IsTrimmed);
    return std::string(text.begin(), last.base());
}

std::string AsciiUpper(const std::string& text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), UpperAscii);
    return result;
}

std::string AsciiLower(const std::string& text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), LowerAscii);
    return result;
}

bool SameTextAscii(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return UpperAscii(x) == UpperAscii(y);
           });
}

} // namespace ks
