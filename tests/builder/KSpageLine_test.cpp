#include "builder/writers/KSpageLine.h"

#include "common/KScodepage.h"
#include "common/KSconvert.h"
#include "common/KSmarkedText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ks {
namespace {

std::string Utf8Page(const std::string& line) {
    std::string page;
    MarkedLineToUtf8(line, page);
    return page;
}

std::string Windows1252Page(const std::string& line) {
    std::string page;
    MarkedLineToWindows1252(line, page);
    return page;
}

// A text Windows-1252 holds gives the line the writers always wrote, so
// both kinds of page are what they were.
TEST(PageLine, TextsWindows1252HoldsGiveTodaysLine) {
    std::string all;
    for (int c = 0; c < 256; ++c)
        all += static_cast<char>(c);
    const std::string samples[] = {all, "http://x.nl/a?b=1&c=\xE9", ""};
    for (const std::string& text : samples) {
        std::string href;
        for (const char c : text)
            href += c == '&'   ? "&amp;"
                    : c == '"' ? "&quot;"
                    : c == '<' ? "&lt;"
                    : c == '>' ? "&gt;"
                               : std::string(1, c);
        for (const auto escape :
             {TKStreeEscape::Html, TKStreeEscape::HtmlIsolated, TKStreeEscape::Href}) {
            const std::string line = TreeText(Windows1252ToUtf8(text), escape);
            EXPECT_EQ(escape == TKStreeEscape::Href ? href : HtmlEncode(text), line) << text;
            EXPECT_EQ(line, Windows1252Page(line));
            EXPECT_EQ(Windows1252ToUtf8(line), Utf8Page(line));
        }
    }
}

TEST(PageLine, OtherLettersAreWrittenAsWrittenOrAsReferences) {
    constexpr auto kHtml = TKStreeEscape::Html;
    constexpr auto kIsolated = TKStreeEscape::HtmlIsolated;
    constexpr auto kHref = TKStreeEscape::Href;
    const struct {
        const char* Text;
        TKStreeEscape Escape;
        const char* Utf8Page;
        const char* Windows1252Page;
    } cases[] = {
        {"Wa\u0142\u0119sa", kHtml, "Wa\u0142\u0119sa", "Wa&#322;&#281;sa"},
        {"\u0141\u00F3d\u017A", kHtml, "\u0141&oacute;d\u017A", "&#321;&oacute;d&#378;"},
        {"\u03A0\u03B1\u03C0\u03B1", kHtml, "\u03A0\u03B1\u03C0\u03B1", "&#928;&#945;&#960;&#945;"},
        {"\u674E & \u00E9", kHtml, "\u674E &amp; &eacute;", "&#26446; &amp; &eacute;"},
        {"\U0002000B", kHtml, "\U0002000B", "&#131083;"},
        // Links: only & " < > escaped, other letters percent-encoded.
        {"a?n=\u0141x&y=\u00E9\"", kHref, "a?n=%C5%81x&amp;y=\u00E9&quot;",
         "a?n=%C5%81x&amp;y=\xE9&quot;"},
        // Right to left: isolated in element text only, whole.
        {"\u05DB\u05D4\u05DF", kIsolated, "<bdi>\u05DB\u05D4\u05DF</bdi>",
         "<bdi>&#1499;&#1492;&#1503;</bdi>"},
        {"\u05DB\u05D4\u05DF", kHtml, "\u05DB\u05D4\u05DF", "&#1499;&#1492;&#1503;"},
        {"Wa\u0142\u0119sa", kIsolated, "Wa\u0142\u0119sa", "Wa&#322;&#281;sa"},
        // A control character the code page lacks is left out; a byte that
        // is no UTF-8 is read as Windows-1252.
        {"a\u0080b", kHtml, "ab", "ab"},
        {"M\xFCller \xC5", kHtml, "M&uuml;ller &Aring;", "M&uuml;ller &Aring;"},
    };
    for (const auto& c : cases) {
        const std::string line = TreeText(c.Text, c.Escape);
        EXPECT_EQ(c.Utf8Page, Utf8Page(line)) << c.Text;
        EXPECT_EQ(c.Windows1252Page, Windows1252Page(line)) << c.Text;
    }
}

// Marks a page's own text might hold by chance stay as they are.
TEST(PageLine, StrayMarksAreKept) {
    for (const std::string line : {"a\x0E"
                                   "b",
                                   "a\x0F", "\x0E\x0F",
                                   "\x0E"
                                   "a\x0F",
                                   "\x0E\xE9\x0F"}) {
        EXPECT_EQ(line, Windows1252Page(line));
        EXPECT_EQ(Windows1252ToUtf8(line), Utf8Page(line));
    }
}

} // namespace
} // namespace ks
