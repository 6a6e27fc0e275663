#include "cli/Messages.h"

#include "common/KScodepage.h"
#include "common/KSerrors.h"
#include "common/KSutf8.h"

#include <cstdio>

namespace ks::cli {

namespace {

// The length of the valid UTF-8 sequence at the start of text; 0 when it is
// none.
std::size_t SequenceLength(std::string_view text) {
    const Utf8Char c = DecodeUtf8(text, 0);
    return c.Valid() ? c.Length : 0;
}

void AppendEscape(std::string& out, unsigned value) {
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\x%02X", value);
    out += escape;
}

} // namespace

std::string TerminalText(std::string_view text, bool lineBreaks) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (lineBreaks && (text.substr(i, 1) == "\n" || text.substr(i, 2) == "\r\n")) {
            out += '\n';
            i += byte == '\r' ? 2 : 1;
        } else if (byte >= 0x20 && byte < 0x7F) {
            out += text[i++];
        } else if (byte < 0x80) {
            AppendEscape(out, byte);
            ++i;
        } else if (const std::size_t length = SequenceLength(text.substr(i)); length == 0) {
            AppendEscape(out, byte);
            ++i;
        } else if (byte == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
            AppendEscape(out, static_cast<unsigned char>(text[i + 1])); // U+0080..U+009F
            i += 2;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    return out;
}

std::string ProblemLine(const TKSproblem& problem) {
    return TerminalText(problem.Text());
}

std::string ErrorLine(const std::exception& error) {
    if (const auto* core = dynamic_cast<const EKSError*>(&error))
        return ProblemLine({core->Path(), MessageToUtf8(core->Reason())});
    return TerminalText(error.what());
}

} // namespace ks::cli
