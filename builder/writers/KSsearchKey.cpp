#include "builder/writers/KSsearchKey.h"

#include "common/KScodepage.h"
#include "common/KSunicode.h"
#include "common/KSutf8.h"

#include <algorithm>
#include <array>
#include <unordered_map>

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

// Spellings and their codes: at the start of the name, before a vowel,
// elsewhere ("-": not coded); a second set after "|" is another way to say
// the letters. Kept the same as the table of the search script.
constexpr std::string_view kSoundRules =
    "ai,aj,ay=0,1,-;au=0,7,-;a=0,-,-;b=7,7,7;chs=5,54,54;ch=5,5,5|4,4,4;"
    "ck=5,5,5|45,45,45;c=5,5,5|4,4,4;cz,cs,csz,czs=4,4,4;"
    "drz,drs,ds,dsh,dsz,dz,dzh,dzs=4,4,4;d,dt=3,3,3;ei,ej,ey=0,1,-;eu=1,1,-;"
    "e=0,-,-;f,fb=7,7,7;g=5,5,5;h=5,5,-;ia,ie,io,iu=1,-,-;i=0,-,-;"
    "j=1,1,1|4,4,4;k,kh=5,5,5;ks=5,54,54;l=8,8,8;m,n=6,6,6;mn,nm=66,66,66;"
    "oi,oj,oy=0,1,-;o=0,-,-;p,pf,ph=7,7,7;q=5,5,5;r=9,9,9;rz,rs=94,94,94|4,4,4;"
    "schtsch,schtsh,schtch,shtch,shch,shtsh,stch,stsch,sc,strz,strs,stsh,"
    "szcz,szcs=2,4,4;sch,sh,sz,s=4,4,4;sht,scht,schd,st,szt,shd,szd,sd=2,43,43;"
    "t,th=3,3,3;tch,ttch,ttsch,trz,trs,tsch,tsh,ts,tts,ttsz,tc,tz,ttz,tzs,"
    "tsz=4,4,4;ui,uj,uy=0,1,-;u,ue=0,-,-;v,w=7,7,7;x=5,54,54;y=1,-,-;"
    "zdz,zdzh,zhdzh=2,4,4;zd,zhd=2,43,43;z,zh,zs,zsch,zsh=4,4,4";

struct SoundCodes {
    std::string Start, BeforeVowel, Other; // "" where not coded
};
struct SoundRule {
    SoundCodes Codes;
    bool HasAlternative = false;
    SoundCodes Alternative;
};

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t from = 0;
    while (true) {
        const std::size_t at = text.find(separator, from);
        parts.push_back(text.substr(from, at == std::string_view::npos ? at : at - from));
        if (at == std::string_view::npos) return parts;
        from = at + 1;
    }
}

SoundCodes ReadCodes(std::string_view text) {
    const std::vector<std::string_view> codes = Split(text, ',');
    auto code = [](std::string_view c) { return c == "-" ? std::string() : std::string(c); };
    return {code(codes.at(0)), code(codes.at(1)), code(codes.at(2))};
}

const std::unordered_map<std::string_view, SoundRule>& SoundRules() {
    static const auto rules = [] {
        std::unordered_map<std::string_view, SoundRule> map;
        for (std::string_view entry : Split(kSoundRules, ';')) {
            const std::size_t equals = entry.find('=');
            const std::vector<std::string_view> ways = Split(entry.substr(equals + 1), '|');
            SoundRule rule{ReadCodes(ways[0]), ways.size() > 1, {}};
            if (rule.HasAlternative) rule.Alternative = ReadCodes(ways[1]);
            for (std::string_view spelling : Split(entry.substr(0, equals), ','))
                map.emplace(spelling, rule);
        }
        return map;
    }();
    return rules;
}

constexpr std::size_t kLongestSpelling = 7;
constexpr std::size_t kSoundDigits = 6;
constexpr std::size_t kMostSoundKeys = 32; // a name full of double sounds stops branching

bool IsVowel(char c) {
    return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u';
}

void AppendFoldedByte(std::string& out, unsigned char byte) {
    const char* folded = kFold[byte];
    // Most bytes fold to one letter or to nothing.
    if (folded[0] != '\0' && folded[1] == '\0') {
        out += folded[0];
    } else {
        out += folded;
    }
}

// A letter Windows-1252 lacks: small, without its marks, each letter it is
// built on through the code page's fold when that has it (ﬁ as "fi").
void AppendFoldedOther(std::string& out, char32_t c) {
    constexpr char32_t kFinalSigma = U'\u03C2';
    constexpr char32_t kSigma = U'\u03C3';
    for (char32_t base : BaseLetters(LowerCaseLetter(c))) {
        if (base == kFinalSigma) base = kSigma;
        if (const int known = Windows1252Byte(base); known >= 0)
            AppendFoldedByte(out, static_cast<unsigned char>(known));
        else if (IsLetterOrDigit(base))
            AppendUtf8(out, base);
    }
}

// The folded words of text (separated by blanks), empty ones left out.
template <typename Fold> std::vector<std::string> FoldedWords(std::string_view text, Fold fold) {
    std::vector<std::string> words;
    std::size_t from = 0;
    while (from <= text.size()) {
        std::size_t blank = text.find(' ', from);
        if (blank == std::string_view::npos) blank = text.size();
        std::string word = fold(text.substr(from, blank - from));
        if (!word.empty()) words.push_back(std::move(word));
        from = blank + 1;
    }
    return words;
}

// The surname key of the folded words: the prefix words in front of the
// last word left out, the rest joined.
std::string JoinSurnameWords(const std::vector<std::string>& words) {
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

// The folded words once each, in the order written.
std::vector<std::string> Distinct(std::vector<std::string> words) {
    std::vector<std::string> keys;
    for (std::string& word : words)
        if (std::find(keys.begin(), keys.end(), word) == keys.end())
            keys.push_back(std::move(word));
    return keys;
}

} // namespace

std::string SearchFold(std::string_view utf8) {
    std::string folded;
    folded.reserve(utf8.size());
    AppendSearchFold(folded, utf8);
    return folded;
}

void AppendSearchFold(std::string& out, std::string_view utf8) {
    for (std::size_t pos = 0; pos < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[pos]);
        if (lead < 0x80) {
            AppendFoldedByte(out, lead);
            ++pos;
            continue;
        }
        const Utf8Char c = DecodeUtf8Sequence(utf8, pos);
        if (!c.Valid()) {
            AppendFoldedByte(out, lead);
            ++pos;
            continue;
        }
        pos += c.Length;
        if (const int known = Windows1252Byte(c.CodePoint); known >= 0)
            AppendFoldedByte(out, static_cast<unsigned char>(known));
        else
            AppendFoldedOther(out, c.CodePoint);
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
    return JoinSurnameWords(FoldedWords(surnameMain, SearchFold));
}

std::vector<std::string> GivenSearchKeys(std::string_view givenNames) {
    return Distinct(FoldedWords(givenNames, SearchFold));
}

std::vector<std::string> SurnameSoundKeys(std::string_view key) {
    struct Branch {
        std::string Digits;
        std::string Last; // the code of the letters before; "" after a vowel
    };
    std::string letters;
    for (char c : key)
        if (c >= 'a' && c <= 'z') letters += c;
    if (letters.empty()) return {};
    std::vector<Branch> branches{{}};
    const auto& rules = SoundRules();
    std::size_t at = 0;
    while (at < letters.size()) {
        const SoundRule* rule = nullptr;
        std::size_t length = std::min(kLongestSpelling, letters.size() - at);
        for (; length > 0 && rule == nullptr; --length) {
            const auto found = rules.find(std::string_view(letters).substr(at, length));
            if (found != rules.end()) rule = &found->second;
        }
        if (rule == nullptr) { // not a letter the table knows: nothing to code
            ++at;
            continue;
        }
        ++length; // the loop went one past the length found
        const std::size_t next = at + length;
        auto pick = [&](const SoundCodes& codes) -> const std::string& {
            if (at == 0) return codes.Start;
            if (next < letters.size() && IsVowel(letters[next])) return codes.BeforeVowel;
            return codes.Other;
        };
        std::vector<Branch> grown;
        for (const Branch& branch : branches) {
            for (int way = 0; way < (rule->HasAlternative ? 2 : 1); ++way) {
                const std::string& code = pick(way == 0 ? rule->Codes : rule->Alternative);
                Branch more = branch;
                if (!code.empty() && !branch.Last.ends_with(code)) more.Digits += code;
                more.Last = code;
                if (std::none_of(grown.begin(), grown.end(),
                                 [&](const Branch& b) {
                                     return b.Digits == more.Digits && b.Last == more.Last;
                                 }) &&
                    grown.size() < kMostSoundKeys)
                    grown.push_back(std::move(more));
            }
        }
        branches = std::move(grown);
        at = next;
    }
    std::vector<std::string> keys;
    for (Branch& branch : branches) {
        branch.Digits.resize(kSoundDigits, '0');
        keys.push_back(std::move(branch.Digits));
    }
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    return keys;
}

} // namespace ks
