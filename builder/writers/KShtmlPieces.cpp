#include "builder/writers/KShtmlPieces.h"

#include "builder/entries/KSindexData.h"
#include "builder/entries/KSrelativeLink.h"
#include "builder/writers/KSpageText.h"
#include "common/KSconvert.h"
#include "index/KShtxRegel.h"

namespace ks {

std::string HrefText(const std::string& link) {
    std::string text;
    text.reserve(link.size());
    AppendHrefText(text, link);
    return text;
}

void AppendHrefText(std::string& out, std::string_view link) {
    for (char c : link) {
        switch (c) {
        case '"':
            out += "&quot;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
}

void AppendHtmlEncoded(std::string& out, std::string_view text) {
    for (char c : text) {
        // A byte without an entity comes back as itself (byte 0 as "").
        const char* entity = HtmlEntity(static_cast<unsigned char>(c));
        if (entity[0] == c && c != '&') {
            out += c;
        } else {
            out += entity;
        }
    }
}

std::string HrefAttribute(const std::string& link) {
    return IsSafeLink(link) ? " href=\"" + HrefText(link) + "\"" : std::string();
}

std::string Indent(int32_t column) {
    return std::string(static_cast<std::size_t>(column > 0 ? column : 0), ' ');
}

std::string SurnameHtml(const TKShtxRegel& entry, const std::string& prefixClass) {
    if (IsNoSurname(entry.Surname)) return HtmlEncode(NoSurnameText());
    if (!entry.HasPrefix()) return HtmlEncode(entry.Surname);
    return HtmlEncode(entry.SurnameMain()) + ", <span class=\"" + prefixClass + "\">" +
           HtmlEncode(entry.SurnamePrefix()) + "</span>";
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
