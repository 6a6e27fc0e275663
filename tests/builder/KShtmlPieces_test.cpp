#include "builder/writers/KShtmlPieces.h"

#include "common/KSconvert.h"
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

TEST(HtmlPieces, FillPatternReplacesNumberedPlacesInOnePass) {
    EXPECT_EQ("Tree one, tree 2", FillPattern("%1, tree %2", {"Tree one", "2"}));
    EXPECT_EQ("2: Tree one (2)", FillPattern("%2: %1 (%2)", {"Tree one", "2"}));
    // A value is never read again for places.
    EXPECT_EQ("Top %2 list, tree 2", FillPattern("%1, tree %2", {"Top %2 list", "2"}));
    // Places without a value, a lone "%" and "%0" stay as written.
    EXPECT_EQ("%3 100% %0 %", FillPattern("%3 100% %0 %", {"a", "b"}));
    EXPECT_EQ("", FillPattern("", {"a"}));
}

} // namespace
} // namespace ks
