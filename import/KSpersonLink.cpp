#include "import/KSpersonLink.h"

#include "common/KScodepage.h"
#include "common/KSlocal.h"

#include <cstring>

namespace ks {

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view start) {
    if (text.size() < start.size()) return false;
    for (std::size_t i = 0; i < start.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != start[i]) return false;
    }
    return true;
}

// The first field of pattern that is none of the known ones, or "".
std::string UnknownField(const std::string& pattern) {
    for (std::size_t open = pattern.find('{'); open != std::string::npos;
         open = pattern.find('{', open + 1)) {
        const std::size_t close = pattern.find('}', open);
        const std::string field =
            pattern.substr(open, close == std::string::npos ? std::string::npos : close + 1 - open);
        if (field != "{id}" && field != "{surname}" && field != "{given}") return field;
    }
    return {};
}

} // namespace

std::string UsablePersonLink(std::string_view page) {
    for (const char c : page)
        if (static_cast<unsigned char>(c) < 32 || c == 127 || c == '"' || c == '<' || c == '>' ||
            c == '\\')
            return {};
    if (StartsWithNoCase(page, "http://") || StartsWithNoCase(page, "https://"))
        return page.size() > 8 ? std::string(page) : std::string();
    if (page.empty() || page[0] == '/') return {};
    const auto colon = page.find(':');
    if (colon != std::string_view::npos && colon < page.find_first_of("/?#")) return {};
    return std::string(page);
}

std::string LinkPatternProblem(const std::string& pattern) {
    const std::string shown = Utf8ToNearestWindows1252(pattern).Text;
    // The values are escaped; the pattern's own text must already be fit for an address.
    for (const char c : pattern) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F || std::strchr("\"'<>\\`", c) != nullptr)
            return LocalText("#1583.22=linkpatroon \"%1\": spaties, aanhalingstekens, <, >, \\ en "
                             "letters buiten ASCII moeten als %XX geschreven worden",
                             {shown});
    }
    if (const std::string field = UnknownField(pattern); !field.empty())
        return LocalText("#1583.23=linkpatroon \"%1\": onbekend veld %2 (bekend: {id}, "
                         "{surname}, {given})",
                         {shown, field});
    if (UsablePersonLink(pattern).empty())
        return LocalText("#1583.24=linkpatroon \"%1\": alleen een relatief pad of een http- of "
                         "https-adres kan een link zijn",
                         {shown});
    return {};
}

} // namespace ks
