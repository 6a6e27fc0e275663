#include "common/KSmarkedText.h"

#include "common/KScodepage.h"
#include "common/KSutf8.h"

namespace ks {

namespace {

// The marked part that begins at open (a kMarkOpen), up to its kMarkClose;
// empty when there is none or it holds no valid UTF-8 beyond ASCII.
std::string_view MarkedPart(std::string_view line, std::size_t open) {
    const std::size_t close = line.find(kMarkClose, open + 1);
    if (close == std::string_view::npos || close == open + 1) return {};
    const std::string_view part = line.substr(open + 1, close - open - 1);
    for (std::size_t pos = 0; pos < part.size();) {
        const Utf8Char c = DecodeUtf8(part, pos);
        if (!c.Valid() || c.Length == 1) return {};
        pos += c.Length;
    }
    return part;
}

template <typename Plain, typename Marked>
void ConvertMarkedLine(std::string_view line, std::string& out, Plain plain, Marked marked) {
    out.clear();
    std::size_t from = 0;
    for (std::size_t open = line.find(kMarkOpen); open != std::string_view::npos;
         open = line.find(kMarkOpen, open + 1)) {
        const std::string_view part = MarkedPart(line, open);
        if (part.empty()) continue;
        plain(out, line.substr(from, open - from));
        marked(out, part);
        from = open + part.size() + 2;
        open = from - 1;
    }
    plain(out, line.substr(from));
}

} // namespace

void AppendMarkedUtf8(std::string& out, std::string_view utf8) {
    out += kMarkOpen;
    out += utf8;
    out += kMarkClose;
}

void MarkedLineToUtf8(std::string_view line, std::string& out) {
    ConvertMarkedLine(line, out, AppendWindows1252ToUtf8,
                      [](std::string& to, std::string_view part) { to += part; });
}

void MarkedLineToWindows1252(std::string_view line, std::string& out) {
    ConvertMarkedLine(
        line, out, [](std::string& to, std::string_view plain) { to += plain; },
        [](std::string& to, std::string_view part) {
            for (std::size_t pos = 0; pos < part.size();) {
                const Utf8Char c = DecodeUtf8(part, pos);
                to += "&#" + std::to_string(static_cast<unsigned long>(c.CodePoint)) + ';';
                pos += c.Length;
            }
        });
}

} // namespace ks
