#include "import/KSnameParticles.h"

#include "common/KScodepage.h"
#include "common/KSunicode.h"
#include "common/KSutf8.h"

#include <algorithm>

namespace ks {

namespace {

// Each list longest first, so that "van den" is tried before "van".
const std::vector<std::string> kDutch = {
    "van de la", "in 't",  "in de",   "in den",  "op de",  "op den",   "op ten",
    "op 't",     "uit de", "uit den", "uit het", "van de", "van den",  "van der",
    "van het",   "van 't", "aan de",  "aan den", "bij de", "onder de", "over de",
    "voor de",   "de la",  "den",     "der",     "het",    "ter",      "ten",
    "van",       "'t",     "de",      "te",      "d'"};
const std::vector<std::string> kGerman = {"von und zu", "von der", "von dem", "von den", "an der",
                                          "auf der",    "in der",  "zu der",  "von",     "vom",
                                          "zum",        "zur",     "zu",      "am",      "im"};
const std::vector<std::string> kFrench = {"de la", "de l'", "des", "du", "de", "d'"};
// Only the particles no Italian surname starts with by itself ("di", "del"
// and "da" are surnames of their own as often).
const std::vector<std::string> kItalian = {"degli", "della", "delle", "dello", "dei", "de'"};

unsigned char Lower(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
    switch (c) {
    case 0x8A: // Š
    case 0x8C: // Œ
    case 0x8E: // Ž
        return c + 0x10;
    case 0x9F: // Ÿ
        return 0xFF;
    default:
        return c;
    }
}

bool IsUpper(unsigned char c) {
    return Lower(c) != c;
}

bool IsLower(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 0xDF && c != 0xF7) || c == 0x9A || c == 0x9C ||
           c == 0x9E;
}

bool IsLetter(unsigned char c) {
    return IsUpper(c) || IsLower(c);
}

// Apostrophes as typed in names: the straight one, the typographic one and
// the grave accent all count as one.
unsigned char MatchForm(unsigned char c) {
    return c == 0x92 || c == '`' ? '\'' : Lower(c);
}

std::string_view TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string LowerText(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(Lower(static_cast<unsigned char>(c)));
    return out;
}

bool HasLower(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return IsLower(static_cast<unsigned char>(c)); });
}

bool HasUpper(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return IsUpper(static_cast<unsigned char>(c)); });
}

std::vector<std::string> MergedLists(const std::vector<std::string>& languages) {
    static const std::vector<std::string> every = {"nl", "de", "fr", "it"};
    std::vector<std::string> merged;
    for (const std::string& language : languages.empty() ? every : languages)
        for (const std::string& particle : SurnameParticles(language))
            if (std::find(merged.begin(), merged.end(), particle) == merged.end())
                merged.push_back(particle);
    std::stable_sort(merged.begin(), merged.end(), [](const std::string& a, const std::string& b) {
        return a.size() > b.size();
    });
    return merged;
}

bool StartsWithParticle(std::string_view name, const std::string& particle) {
    if (name.size() <= particle.size()) return false;
    for (std::size_t i = 0; i < particle.size(); ++i)
        if (MatchForm(static_cast<unsigned char>(name[i])) !=
            static_cast<unsigned char>(particle[i]))
            return false;
    return particle.back() == '\'' || name[particle.size()] == ' ';
}

// The UTF-8 forms of the rules above, letter by letter: a letter
// Windows-1252 holds goes through the byte's rule, so a name that code page
// holds is treated alike in either form; any other through its own case.
template <typename ByteRule> char32_t ByByte(char32_t c, ByteRule rule, char32_t other) {
    const int byte = Windows1252Byte(c);
    return byte >= 0 ? Windows1252CodePoint(rule(static_cast<unsigned char>(byte))) : other;
}

char32_t LowerLetter(char32_t c) {
    return ByByte(c, Lower, LowerCaseLetter(c));
}

bool IsUpperLetter(char32_t c) {
    return LowerLetter(c) != c;
}

bool IsLowerLetter(char32_t c) {
    const int byte = Windows1252Byte(c);
    return byte >= 0 ? IsLower(static_cast<unsigned char>(byte)) : UpperCaseLetter(c) != c;
}

// A letter of a name: one Windows-1252 holds as there, any other letter (of
// a script with or without capitals).
bool IsNameLetter(char32_t c) {
    const int byte = Windows1252Byte(c);
    return byte >= 0 ? IsLetter(static_cast<unsigned char>(byte)) : IsLetterOrDigit(c);
}

char32_t MatchLetter(char32_t c) {
    return ByByte(c, MatchForm, LowerCaseLetter(c));
}

// A byte that is no UTF-8 counts as the code point of its value.
std::u32string CodePoints(std::string_view utf8) {
    std::u32string letters;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const Utf8Char c = DecodeUtf8(utf8, pos);
        letters.push_back(c.Valid() ? c.CodePoint : static_cast<unsigned char>(utf8[pos]));
        pos += c.Valid() ? c.Length : 1;
    }
    return letters;
}

std::string Utf8Text(std::u32string_view letters) {
    std::string text;
    for (const char32_t c : letters)
        AppendUtf8(text, c);
    return text;
}

std::u32string_view TrimBlanks(std::u32string_view text) {
    const auto first = text.find_first_not_of(U' ');
    if (first == std::u32string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(U' ') - first + 1);
}

bool StartsWithParticle(std::u32string_view name, const std::string& particle) {
    if (name.size() <= particle.size()) return false;
    for (std::size_t i = 0; i < particle.size(); ++i)
        if (MatchLetter(name[i]) != static_cast<unsigned char>(particle[i])) return false;
    return particle.back() == '\'' || name[particle.size()] == U' ';
}

TKSsurnameParts SplitSurnameParticleUtf8(std::string_view surname,
                                         const std::vector<std::string>& languages) {
    static const std::vector<std::string> everyParticle = MergedLists({});
    const std::vector<std::string> chosen =
        languages.empty() ? std::vector<std::string>{} : MergedLists(languages);
    const std::u32string letters = CodePoints(surname);
    const std::u32string_view name = TrimBlanks(letters);
    for (const std::string& particle : languages.empty() ? everyParticle : chosen) {
        if (!StartsWithParticle(name, particle)) continue;
        const std::u32string_view rest = TrimBlanks(name.substr(particle.size()));
        if (rest.empty() || !IsNameLetter(rest[0])) continue;
        return {Utf8Text(rest), Utf8Text(TrimBlanks(name.substr(0, particle.size())))};
    }
    return {Utf8Text(name), {}};
}

// "DVOŘÁK" as "Dvořák"; a name with any small letter stays.
std::string NameCaseFromCapitalsUtf8(std::string_view name) {
    std::u32string letters = CodePoints(name);
    if (std::any_of(letters.begin(), letters.end(), IsLowerLetter) ||
        !std::any_of(letters.begin(), letters.end(), IsUpperLetter))
        return std::string(name);
    bool wordStart = true;
    for (std::size_t i = 0; i < letters.size(); ++i) {
        char32_t& c = letters[i];
        const bool letter = IsNameLetter(c);
        if (letter && !wordStart) c = LowerLetter(c);
        wordStart = !letter;
        // A Greek sigma that ends a word takes its final form.
        const bool wordEnds = i + 1 == letters.size() || !IsNameLetter(letters[i + 1]);
        if (c == U'\u03C3' && wordEnds) c = U'\u03C2';
    }
    return Utf8Text(letters);
}

void FinishSurnameUtf8(TKSimportPerson& person, const std::vector<std::string>& languages) {
    TKSsurnameParts parts;
    if (person.Prefix.empty()) {
        parts = SplitSurnameParticleUtf8(person.Surname, languages);
    } else {
        parts.Surname = Utf8Text(TrimBlanks(CodePoints(person.Surname)));
        parts.Prefix = Utf8Text(TrimBlanks(CodePoints(person.Prefix)));
    }
    parts.Surname = NameCaseFromCapitalsUtf8(parts.Surname);
    std::u32string prefix = CodePoints(parts.Prefix);
    if (std::any_of(prefix.begin(), prefix.end(), IsUpperLetter) &&
        !std::any_of(prefix.begin(), prefix.end(), IsLowerLetter)) {
        for (char32_t& c : prefix)
            c = MatchLetter(c);
        parts.Prefix = Utf8Text(prefix);
    }
    person.Surname = std::move(parts.Surname);
    person.Prefix = std::move(parts.Prefix);
}

} // namespace

const std::vector<std::string>& SurnameParticles(std::string_view language) {
    static const std::vector<std::string> none;
    const std::string code = LowerText(language);
    if (code == "nl") return kDutch;
    if (code == "de") return kGerman;
    if (code == "fr") return kFrench;
    if (code == "it") return kItalian;
    return none;
}

TKSsurnameParts SplitSurnameParticle(std::string_view surname,
                                     const std::vector<std::string>& languages) {
    static const std::vector<std::string> everyParticle = MergedLists({});
    const std::vector<std::string> chosen =
        languages.empty() ? std::vector<std::string>{} : MergedLists(languages);
    const std::string_view name = TrimBlanks(surname);
    for (const std::string& particle : languages.empty() ? everyParticle : chosen) {
        if (!StartsWithParticle(name, particle)) continue;
        const std::string_view rest = TrimBlanks(name.substr(particle.size()));
        if (rest.empty() || !IsLetter(static_cast<unsigned char>(rest[0]))) continue;
        return {std::string(rest), std::string(TrimBlanks(name.substr(0, particle.size())))};
    }
    return {std::string(name), {}};
}

std::string NameCaseFromCapitals(std::string_view name) {
    std::string out(name);
    if (HasLower(name)) return out;
    bool wordStart = true;
    for (char& c : out) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsLetter(byte)) {
            if (!wordStart) c = static_cast<char>(Lower(byte));
            wordStart = false;
        } else {
            wordStart = true;
        }
    }
    return out;
}

void FinishSurname(TKSimportPerson& person, const std::vector<std::string>& languages,
                   TKSimportCharset charset) {
    if (charset == TKSimportCharset::Utf8) return FinishSurnameUtf8(person, languages);
    TKSsurnameParts parts;
    if (person.Prefix.empty()) {
        parts = SplitSurnameParticle(person.Surname, languages);
    } else {
        parts.Surname = TrimBlanks(person.Surname);
        parts.Prefix = TrimBlanks(person.Prefix);
    }
    // Capitals are judged per piece: name lists often write "van den BERG".
    if (HasUpper(parts.Surname) && !HasLower(parts.Surname))
        parts.Surname = NameCaseFromCapitals(parts.Surname);
    if (HasUpper(parts.Prefix) && !HasLower(parts.Prefix))
        for (char& c : parts.Prefix)
            c = static_cast<char>(MatchForm(static_cast<unsigned char>(c)));
    person.Surname = std::move(parts.Surname);
    person.Prefix = std::move(parts.Prefix);
}

} // namespace ks
