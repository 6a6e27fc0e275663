#include "index/KSdocumentCharset.h"

#include "common/KScodepage.h"
#include "common/KSfileio.h"
#include "common/KStextutil.h"
#include "common/KSunicode.h"

namespace ks {

namespace {
constexpr std::size_t kChunk = std::size_t{1} << 16;

// Whether a valid UTF-8 text holds a combining mark: only then can
// composing change it. Marks begin at U+0300, two bytes and up.
bool HoldsCombiningMark(std::string_view utf8) {
    for (std::size_t pos = 0; pos < utf8.size();) {
        const Utf8Char c = DecodeUtf8(utf8, pos);
        if (c.Valid() && c.CodePoint >= 0x300 && IsCombiningMark(c.CodePoint)) return true;
        pos += c.Length > 0 ? c.Length : 1;
    }
    return false;
}
} // namespace

bool NamesUtf8(std::string_view value) {
    const std::string name = AsciiUpper(Trim(std::string(value)));
    return name == "UTF-8" || name == "UTF8";
}

TKSdocumentCharset DocumentCharsetNamed(std::string_view value) {
    if (NamesUtf8(value)) return TKSdocumentCharset::Utf8;
    const std::string name = AsciiUpper(Trim(std::string(value)));
    if (name.empty() || name == "WINDOWS-1252" || name == "CP1252")
        return TKSdocumentCharset::Windows1252;
    return TKSdocumentCharset::Unknown;
}

void DocumentTextToUtf8(std::string_view text, TKSdocumentCharset charset, std::string& out) {
    out.clear();
    if (AsciiPrefixLength(text) == text.size()) {
        out.assign(text);
        return;
    }
    if (charset != TKSdocumentCharset::Utf8) {
        AppendWindows1252ToUtf8(out, text);
        return;
    }
    AppendMessageToUtf8(out, text);
    if (HoldsCombiningMark(out)) out = ComposedText(out);
}

bool LooksLikeUtf8(std::string_view text) {
    TKSutf8Scanner scanner;
    scanner.Feed(text);
    return scanner.LooksLikeUtf8();
}

bool DocumentLooksLikeUtf8(const std::string& path) {
    FileReader reader(path);
    if (reader.Outcome() != ReadOutcome::Read) return false;
    TKSutf8Scanner scanner;
    std::string chunk;
    while (!scanner.Invalid()) {
        chunk.clear();
        if (!reader.ReadChunk(chunk, kChunk)) break;
        scanner.Feed(chunk);
    }
    return !reader.Failed() && scanner.LooksLikeUtf8();
}

} // namespace ks
