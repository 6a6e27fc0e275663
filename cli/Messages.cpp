#include "cli/Messages.h"

#include "common/KScodepage.h"
#include "common/KSerrors.h"
#include "common/KSlocal.h"
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

// Columns of UTF-8 text: its characters, not its bytes.
std::size_t Columns(std::string_view text) {
    std::size_t columns = 0;
    for (const char c : text)
        columns += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return columns;
}

} // namespace

std::string Say(const std::string& literal, const std::vector<std::string>& values) {
    return WithValues(MessageToUtf8(LocalText(literal)), values);
}

std::string Wrapped(const std::string& text, std::size_t indent, std::string line) {
    std::string lines;
    // A blank ends the line only between words.
    bool fresh = line.empty() || line.back() == ' ';
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t end = text.find(' ', from);
        if (end == std::string::npos) end = text.size();
        const std::string_view word(text.data() + from, end - from);
        from = end + 1;
        if (word.empty()) continue;
        if (!fresh && Columns(line) + 1 + Columns(word) > kLineWidth) {
            lines += line + "\n";
            line.assign(indent, ' ');
            fresh = true;
        }
        if (!fresh) line += ' ';
        line += word;
        fresh = false;
    }
    return lines + line + "\n";
}

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
