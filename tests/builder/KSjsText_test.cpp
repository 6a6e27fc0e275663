#include "builder/writers/KSjsText.h"
#include "common/KScodepage.h"

#include <gtest/gtest.h>

#include <string>

namespace ks {
namespace {

TEST(JsString, QuotesAndEscapes) {
    EXPECT_EQ("\"Jansen\"", JsString("Jansen"));
    EXPECT_EQ("\"\"", JsString(""));
    EXPECT_EQ("\"a\\\"b\\\\c\"", JsString("a\"b\\c"));
    EXPECT_EQ("\"\\u003c/script>\"", JsString("</script>"));
    EXPECT_EQ("\"a\\u0009b\\u000d\\u000a\\u0000\"", JsString(std::string("a\tb\r\n\0", 6)));
}

TEST(JsString, WindowsCodePageBytesBecomeTheirUnicodeEscapes) {
    EXPECT_EQ("\"M\\u00fcller\"", JsString("M\xFCller"));
    EXPECT_EQ("\"\\u20ac \\u0160 \\u0178 \\u2014 \\u00ff\"", JsString("\x80 \x8A \x9F \x97 \xFF"));
    // The five bytes the code page leaves open stand for the control
    // characters of the same value.
    EXPECT_EQ("\"\\u0081\\u008d\\u008f\\u0090\\u009d\\u007f\"",
              JsString("\x81\x8D\x8F\x90\x9D\x7F"));
}

TEST(JsString, EveryByteGivesPrintableAscii) {
    std::string all;
    for (int c = 0; c < 256; ++c)
        all += static_cast<char>(c);
    const std::string literal = JsString(all);
    for (char c : literal)
        EXPECT_TRUE(c >= 0x20 && c < 0x7F) << static_cast<int>(static_cast<unsigned char>(c));
    // 256 bytes: the 95 printable ones less the quote, backslash and "<"
    // stand for themselves, the quote and backslash take two characters, the
    // other 162 (32 controls, "<", 127 to 255) six.
    EXPECT_EQ(2u + 92 + 2 * 2 + 162 * 6, literal.size());
}

TEST(JsString, AppendedFormsAddToWhatIsThere) {
    std::string out = "[";
    AppendJsString(out, "O'Brien \xFC\\");
    out += ',';
    AppendJsString(out, "");
    EXPECT_EQ("[\"O'Brien \\u00fc\\\\\",\"\"", out);
    std::string embedded = "'";
    AppendJsEmbedded(embedded, out);
    EXPECT_EQ("'" + JsEmbedded(out), embedded);
}

TEST(JsEmbedded, DoublesBackslashesAndEscapesSingleQuotes) {
    EXPECT_EQ("[\"O\\'Brien\",\"M\\\\u00fcller\",\"a\\\\\\\\b\"]",
              JsEmbedded(JsString("O'Brien") + "," + JsString("M\xFCller") + "," + JsString("a\\b"))
                  .insert(0, "[")
                  .append("]"));
    EXPECT_EQ("", JsEmbedded(""));
}

// A text gives the same literal whether its letters come as UTF-8 or, not
// being UTF-8, as Windows-1252; letters beyond that code page as \uXXXX or
// a pair of surrogates.
TEST(JsString, Utf8EscapesEveryOtherLetter) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(JsString(all), JsString(Windows1252ToUtf8(all)));
    EXPECT_EQ("\"Wa\\u0142\\u0119sa\"", JsString("Wa\xC5\x82\xC4\x99sa"));
    EXPECT_EQ("\"\\u05db\\ud83d\\ude00\"", JsString("\xD7\x9B\xF0\x9F\x98\x80"));
}

} // namespace
} // namespace ks
