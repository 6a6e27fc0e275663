#include "import/KSpersonLink.h"

#include "common/KScodepage.h"
#include "common/KSlocal.h"
#include "common/KSwebLink.h"

#include <cstring>

namespace ks {

namespace {

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
    // A link safe from another tree, and more: nothing that breaks an HTML
    // attribute, no path from the root of a host, no scheme but http(s) even
    // where a browser would read a path, and an address longer than "https://".
    if (page.empty() || !IsSafeLink(page) || page.find_first_of("\"<>\\") != page.npos) return {};
    if (IsWebLink(page)) return page.size() > 8 ? std::string(page) : std::string();
    if (page[0] == '/' || NamesScheme(page)) return {};
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
