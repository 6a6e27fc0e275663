#include "builder/writers/KSpageLine.h"

#include "builder/writers/KShtmlPieces.h"
#include "common/KScodepage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ks {
namespace {

using Ranges = std::vector<std::pair<std::size_t, std::size_t>>;

Ranges Pairs(const std::vector<TKSbyteRange>& ranges) {
    Ranges pairs;
    for (const TKSbyteRange& range : ranges)
        pairs.emplace_back(range.Begin, range.End);
    return pairs;
}

TKSpageLine TreeText(const std::string& utf8, bool utf8Layout, TKStreeEscape escape) {
    TKSpageLine line;
    AppendTreeText(line, utf8, utf8Layout, escape);
    return line;
}

// A text Windows-1252 holds gives the line the writers write today, in
// both kinds of layout, so the stream's conversion makes today's page.
TEST(PageLine, TextsWindows1252HoldsGiveTodaysLine) {
    std::string all;
    for (int c = 0; c < 256; ++c)
        all += static_cast<char>(c);
    const std::string samples[] = {all, "http://x.nl/a?b=1&c=\xE9", ""};
    for (const std::string& text : samples) {
        std::string html = "x";
        AppendHtmlEncoded(html, text);
        std::string href = "x";
        AppendHrefText(href, text);
        for (const bool utf8Layout : {false, true}) {
            for (const auto escape :
                 {TKStreeEscape::Html, TKStreeEscape::HtmlIsolated, TKStreeEscape::Href}) {
                TKSpageLine line{"x", {}};
                AppendTreeText(line, Windows1252ToUtf8(text), utf8Layout, escape);
                EXPECT_EQ(escape == TKStreeEscape::Href ? href : html, line.Text) << text;
                EXPECT_TRUE(line.Utf8.empty()) << text;
            }
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
        const char* Utf8Line; // in a UTF-8 layout
        Ranges Utf8;
        const char* Windows1252Line; // in a Windows-1252 layout
    } cases[] = {
        // Adjacent letters make one part.
        {"Wa\u0142\u0119sa", kHtml, "Wa\u0142\u0119sa", {{2, 6}}, "Wa&#322;&#281;sa"},
        {"\u0141\u00F3d\u017A",
         kHtml,
         "\u0141&oacute;d\u017A",
         {{0, 2}, {11, 13}},
         "&#321;&oacute;d&#378;"},
        {"\u03A0\u03B1\u03C0\u03B1",
         kHtml,
         "\u03A0\u03B1\u03C0\u03B1",
         {{0, 8}},
         "&#928;&#945;&#960;&#945;"},
        {"\u674E & \u00E9", kHtml, "\u674E &amp; &eacute;", {{0, 3}}, "&#26446; &amp; &eacute;"},
        {"\U0002000B", kHtml, "\U0002000B", {{0, 4}}, "&#131083;"},
        // Links: only & " < > escaped; percent-encoded in a Windows-1252 layout.
        {"a?n=\u0141x&y=\u00E9\"",
         kHref,
         "a?n=\u0141x&amp;y=\xE9&quot;",
         {{4, 6}},
         "a?n=%C5%81x&amp;y=\xE9&quot;"},
        // Right to left: isolated in element text only, whole.
        {"\u05DB\u05D4\u05DF",
         kIsolated,
         "<bdi>\u05DB\u05D4\u05DF</bdi>",
         {{5, 11}},
         "<bdi>&#1499;&#1492;&#1503;</bdi>"},
        {"\u05DB\u05D4\u05DF", kHtml, "\u05DB\u05D4\u05DF", {{0, 6}}, "&#1499;&#1492;&#1503;"},
        {"Wa\u0142\u0119sa", kIsolated, "Wa\u0142\u0119sa", {{2, 6}}, "Wa&#322;&#281;sa"},
        // A control character the code page lacks is left out; a byte that
        // is no UTF-8 is read as Windows-1252.
        {"a\u0080b\u0081", kHtml, "ab\x81", {}, "ab\x81"},
        {"M\xFCller \xC5", kHtml, "M&uuml;ller &Aring;", {}, "M&uuml;ller &Aring;"},
    };
    for (const auto& c : cases) {
        const TKSpageLine utf8 = TreeText(c.Text, true, c.Escape);
        EXPECT_EQ(c.Utf8Line, utf8.Text) << c.Text;
        EXPECT_EQ(c.Utf8, Pairs(utf8.Utf8)) << c.Text;
        const TKSpageLine windows1252 = TreeText(c.Text, false, c.Escape);
        EXPECT_EQ(c.Windows1252Line, windows1252.Text) << c.Text;
        EXPECT_TRUE(windows1252.Utf8.empty()) << c.Text;
    }
    // A part that ends where the line ends grows with the next text.
    TKSpageLine line = TreeText("\u0141", true, kHtml);
    AppendTreeText(line, "\u0142", true, kHtml);
    EXPECT_EQ((Ranges{{0, 4}}), Pairs(line.Utf8));
}

} // namespace
} // namespace ks
