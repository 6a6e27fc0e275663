#include "import/KSimportChoices.h"

#include "common/KScodepage.h"
#include "common/KSfiles.h"
#include "common/KSini.h"
#include "common/KSnamecase.h"
#include "index/KSdocumentCharset.h"

#include <charconv>

namespace ks {

namespace {

constexpr const char* kSection = "import";
constexpr const char* kUtf8 = "utf-8";
constexpr const char* kWindows1252 = "windows-1252";

// Whether the document's texts are UTF-8 (its key charset).
bool Utf8Document(TKSini& ini) {
    ini.SetSection("KESTRIN");
    return NamesUtf8(ini.ReadString("charset", ""));
}

// A value of the document as typed, or "" when the key is missing.
std::string Read(TKSini& ini, const char* section, const char* key) {
    const bool utf8 = Utf8Document(ini);
    ini.SetSection(section);
    const std::string value = ini.ReadString(key, "");
    return utf8 ? value : Windows1252ToUtf8(value);
}

// A value of the document, unset when the key is missing or, unless
// emptyKept, empty.
std::optional<std::string> ReadChoice(TKSini& ini, const char* section, const char* key,
                                      bool emptyKept) {
    ini.SetSection(section);
    if (!ini.ValueExists(key)) return std::nullopt;
    std::string value = Read(ini, section, key);
    if (value.empty() && !emptyKept) return std::nullopt;
    return value;
}

std::optional<int> ReadNumber(TKSini& ini, const char* key) {
    const std::string text = Read(ini, kSection, key);
    int number = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size() || number < 1)
        return std::nullopt;
    return number;
}

std::optional<bool> ReadFlag(TKSini& ini, const char* key) {
    const std::string text = Read(ini, kSection, key);
    if (text == "0" || text == "1") return text == "1";
    return std::nullopt;
}

std::optional<TKSimportCharset> ReadCharset(TKSini& ini) {
    const std::string text = Read(ini, kSection, "charset");
    if (SameNameNoCase(text, kUtf8)) return TKSimportCharset::Utf8;
    if (SameNameNoCase(text, kWindows1252)) return TKSimportCharset::Windows1252;
    return std::nullopt;
}

// Takes kept into given when given is empty and kept is not.
template <typename T> bool Take(T& given, const T& kept) {
    if (given != T{} || kept == T{}) return false;
    given = kept;
    return true;
}

} // namespace

TKSimportCharset ChosenCharset(const TKSimportChoices& choices) {
    return choices.Charset.value_or(TKSimportCharset::Utf8);
}

TKSimportChoices KeptImportChoices(const std::string& path) {
    TKSimportChoices kept;
    if (path.empty() || !CheckFileKind(path, "htx", 1, 1)) return kept;
    TKSini ini;
    ini.Open(path);
    kept.Title = ReadChoice(ini, "metadata", "title", false);
    kept.Email = ReadChoice(ini, "userdata", "email", false);
    kept.Homepage = ReadChoice(ini, "userdata", "homepage", false);
    kept.Description = ReadChoice(ini, kSection, "description", true);
    kept.UserName = ReadChoice(ini, kSection, "username", true);
    kept.LinkPattern = Read(ini, kSection, "link");
    kept.StartPage = ReadChoice(ini, kSection, "startpage", true);
    kept.IncludeLiving = ReadFlag(ini, "living");
    kept.LivingAge = ReadNumber(ini, "livingage");
    kept.Charset = ReadCharset(ini);
    return kept;
}

std::vector<std::string> TakeKeptChoices(TKSimportChoices& given, const TKSimportChoices& kept) {
    std::vector<std::string> taken;
    const auto take = [&](auto& field, const auto& keptField, const char* name) {
        if (Take(field, keptField)) taken.emplace_back(name);
    };
    take(given.Title, kept.Title, "title");
    take(given.Description, kept.Description, "description");
    take(given.UserName, kept.UserName, "user");
    take(given.Email, kept.Email, "email");
    take(given.Homepage, kept.Homepage, "homepage");
    take(given.LinkPattern, kept.LinkPattern, "link");
    take(given.StartPage, kept.StartPage, "start-page");
    take(given.IncludeLiving, kept.IncludeLiving, "living");
    take(given.LivingAge, kept.LivingAge, "living-age");
    take(given.Charset, kept.Charset, "charset");
    return taken;
}

std::vector<std::pair<std::string, std::string>>
ImportChoiceLines(const TKSimportChoices& choices) {
    std::vector<std::pair<std::string, std::string>> lines;
    const bool utf8 = ChosenCharset(choices) == TKSimportCharset::Utf8;
    const auto kept = [utf8](const std::string& typed) {
        return utf8 ? MessageToUtf8(typed) : Utf8ToNearestWindows1252(typed).Text;
    };
    const auto add = [&lines, &kept](const char* key, const std::optional<std::string>& typed) {
        if (typed) lines.emplace_back(key, kept(*typed));
    };
    add("description", choices.Description);
    add("username", choices.UserName);
    if (!choices.LinkPattern.empty()) lines.emplace_back("link", kept(choices.LinkPattern));
    add("startpage", choices.StartPage);
    if (choices.IncludeLiving) lines.emplace_back("living", *choices.IncludeLiving ? "1" : "0");
    if (choices.LivingAge) lines.emplace_back("livingage", std::to_string(*choices.LivingAge));
    if (choices.Charset)
        lines.emplace_back("charset",
                           *choices.Charset == TKSimportCharset::Utf8 ? kUtf8 : kWindows1252);
    return lines;
}

} // namespace ks
