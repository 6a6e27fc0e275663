#include "builder/KShtmlPieces.h"

#include "index/KShtxRegel.h"

#include <gtest/gtest.h>

namespace ks {
namespace {

TEST(HtmlPieces, HrefTextEscapesOnlyWhatWouldBreakTheAttribute) {
    EXPECT_EQ("a&quot;b&amp;c&lt;d&gt;e f\xE9/g#h", HrefText("a\"b&c<d>e f\xE9/g#h"));
}

TEST(HtmlPieces, IndentIsOneBlankPerColumn) {
    EXPECT_EQ("", Indent(0));
    EXPECT_EQ("", Indent(-3));
    EXPECT_EQ("   ", Indent(3));
}

TEST(HtmlPieces, SurnameHtmlSetsThePrefixApartAndEncodesBothParts) {
    TKShtxRegel entry;
    entry.Surname = "Berg, van den";
    EXPECT_EQ("Berg, <span class=\"Idx1vv\">van den</span>", SurnameHtml(entry, "Idx1vv"));
    entry.Surname = "M\xFCller & Co, d'";
    EXPECT_EQ("M&uuml;ller &amp; Co, <span class=\"VV\">d'</span>", SurnameHtml(entry, "VV"));
    entry.Surname = "Berg,van";
    EXPECT_EQ("Berg,van", SurnameHtml(entry, "VV"));
}

} // namespace
} // namespace ks
