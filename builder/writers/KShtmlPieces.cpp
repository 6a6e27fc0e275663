#include "builder/writers/KShtmlPieces.h"

#include "builder/entries/KSindexData.h"
#include "builder/entries/KSrelativeLink.h"
#include "builder/writers/KSpageLine.h"
#include "builder/writers/KSpageText.h"
#include "common/KSconvert.h"
#include "index/KShtxRegel.h"

namespace ks {

std::string HrefText(std::string_view link) {
    return TreeText(link, TKStreeEscape::Href);
}

void AppendHrefText(std::string& out, std::string_view link) {
    AppendTreeText(out, link, TKStreeEscape::Href);
}

std::string HrefAttribute(const std::string& link) {
    return IsSafeLink(link) ? " href=\"" + HrefText(link) + "\"" : std::string();
}

std::string Indent(int32_t column) {
    return std::string(static_cast<std::size_t>(column > 0 ? column : 0), ' ');
}

std::string SurnameHtml(const TKShtxRegel& entry, const std::string& prefixClass) {
    constexpr auto kIsolated = TKStreeEscape::HtmlIsolated;
    if (IsNoSurname(entry.Surname)) return TreeText(NoSurnameText());
    if (!entry.HasPrefix()) return TreeText(entry.Surname, kIsolated);
    return TreeText(entry.SurnameMain(), kIsolated) + ", <span class=\"" + prefixClass + "\">" +
           TreeText(entry.SurnamePrefix(), kIsolated) + "</span>";
}

std::string FillPattern(const std::string& pattern, const std::vector<std::string>& values) {
    std::string text;
    text.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        const auto index = static_cast<std::size_t>(next - '1');
        if (pattern[i] == '%' && next >= '1' && next <= '9' && index < values.size()) {
            text += values[index];
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

} // namespace ks
