#include "common/KStextutil.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>
#include <vector>

namespace ks {
namespace {

constexpr char kQuote = '"';

// Cuts the whole text into fields the way callers loop over a list.
std::vector<std::string> CutAll(std::string text, const std::string& delimiter, bool parens) {
    std::vector<std::string> fields;
    while (!text.empty()) {
        std::string field;
        CutField(text, delimiter, kQuote, field, parens);
        fields.push_back(field);
    }
    return fields;
}

TEST(KStextutil, CutFieldKeepsQuotedDelimitersInsideTheField) {
    EXPECT_EQ((std::vector<std::string>{"a", "\"b,c\"", "d"}), CutAll("a,\"b,c\",d", ",", false));
    // Several quoted parts and a delimiter of more than one byte.
    EXPECT_EQ((std::vector<std::string>{"\"x;;y\"", "z\";;\"w", "v"}),
              CutAll("\"x;;y\";;z\";;\"w;;v", ";;", false));

    std::string text = "first,second";
    std::string field = "old";
    CutField(text, ",", kQuote, field, false);
    EXPECT_EQ("first", field);
    EXPECT_EQ("second", text);
    CutField(text, ",", kQuote, field, false);
    EXPECT_EQ("second", field);
    EXPECT_EQ("", text);

    // A trailing delimiter leaves an empty rest; a leading one an empty field.
    text = ",x,";
    CutField(text, ",", kQuote, field, false);
    EXPECT_EQ("", field);
    EXPECT_EQ("x,", text);
    CutField(text, ",", kQuote, field, false);
    EXPECT_EQ("x", field);
    EXPECT_EQ("", text);
}

TEST(KStextutil, FindOutsideRespectsParenthesesOnlyWhenAsked) {
    EXPECT_EQ(7, FindOutside("f(a,b),c", ",", kQuote, true));
    EXPECT_EQ(4, FindOutside("f(a,b),c", ",", kQuote, false));
    // Nested parentheses; the depth is kept over the whole scan.
    EXPECT_EQ(12, FindOutside("g(h(1,2),3),4", ",", kQuote, true));
    // A parenthesis inside quotes does not count.
    EXPECT_EQ(6, FindOutside("\"(\"+x,y", ",", kQuote, true));
    // Unbalanced opening parenthesis: no delimiter is ever outside.
    EXPECT_EQ(0, FindOutside("f(a,b,c", ",", kQuote, true));
    // More closing than opening parentheses still counts as outside.
    EXPECT_EQ(3, FindOutside("a),b", ",", kQuote, true));
    // The delimiter text is searched as a whole.
    EXPECT_EQ(5, FindOutside("a(b)<>c", "<>", kQuote, true));
}

TEST(KStextutil, UnclosedQuoteMeansNoDelimiter) {
    EXPECT_EQ(0, FindOutside("\"a,b", ",", kQuote, false));
    EXPECT_EQ(0, FindOutside("x\"a,b\"c\"d,e", ",", kQuote, false));
    std::string text = "\"a,b";
    std::string field;
    CutField(text, ",", kQuote, field, false);
    EXPECT_EQ("\"a,b", field);
    EXPECT_EQ("", text);
}

TEST(KStextutil, FindOutsideOnDegenerateInput) {
    EXPECT_EQ(0, FindOutside("", ",", kQuote, true));
    EXPECT_EQ(0, FindOutside("abc", ",", kQuote, true));
    // An empty delimiter is never found, also inside parentheses (no endless scan).
    EXPECT_EQ(0, FindOutside("(abc", "", kQuote, true));
    EXPECT_EQ(0, FindOutside("abc", "", kQuote, false));
    std::string text = "(a";
    std::string field;
    CutField(text, "", kQuote, field, true);
    EXPECT_EQ("(a", field);
    EXPECT_EQ("", text);
}

TEST(KStextutil, StripEnclosingRemovesPairsInTheirOrder) {
    std::string text = "(\"x\")";
    EXPECT_TRUE(StripEnclosing(text, "()\"\""));
    EXPECT_EQ("x", text);

    // Pairs are handled in order only: quotes first cannot reach inside the brackets.
    text = "(\"x\")";
    EXPECT_TRUE(StripEnclosing(text, "\"\"()"));
    EXPECT_EQ("\"x\"", text);

    text = "  ((a + b))  ";
    EXPECT_TRUE(StripEnclosing(text, "()"));
    EXPECT_EQ("a + b", text);

    // The brackets need not belong together.
    text = "(a)+(b)";
    EXPECT_TRUE(StripEnclosing(text, "()"));
    EXPECT_EQ("a)+(b", text);

    text = " abc ";
    EXPECT_FALSE(StripEnclosing(text, "()"));
    EXPECT_EQ("abc", text); // trimmed all the same

    text = "()";
    EXPECT_TRUE(StripEnclosing(text, "()"));
    EXPECT_EQ("", text);

    text = "(";
    EXPECT_FALSE(StripEnclosing(text, "()"));
    EXPECT_EQ("(", text);
}

TEST(KStextutil, PaddingAndCentring) {
    EXPECT_EQ("2345", PadLeft("12345", 4, '0'));
    EXPECT_EQ("0012", PadLeft("12", 4, '0'));
    EXPECT_EQ("1234", PadRight("12345", 4, ' '));
    EXPECT_EQ("12..", PadRight("12", 4, '.'));
    EXPECT_EQ("abc", PadRight("abc", 3, '.'));
    EXPECT_EQ("", PadRight("abc", -2, '.'));
    EXPECT_EQ("", PadLeft("abc", 0, '.'));

    EXPECT_EQ("-ab--", Center("ab", 5, '-'));
    EXPECT_EQ(" ab  ", Center("ab", 5, ' '));
    EXPECT_EQ("b", Center("ab", 1, ' '));
    EXPECT_EQ("--ab--", Center("ab", 6, '-'));
    EXPECT_EQ("*a*", Center("a", 3, '*'));
    EXPECT_EQ("cdef", Center("abcdef", 4, '*'));
    EXPECT_EQ("ab", Center("ab", 2, '*'));
    EXPECT_EQ("***", Center("", 3, '*'));
    EXPECT_EQ("", Center("ab", -1, '*'));
}

TEST(KStextutil, Searches) {
    EXPECT_EQ(3, PosFrom(1, "abcabc", "ca"));
    EXPECT_EQ(4, PosFrom(2, "abcabc", "ab"));
    EXPECT_EQ(1, PosFrom(-5, "abcabc", "ab"));
    EXPECT_EQ(0, PosFrom(5, "abcabc", "ab"));
    EXPECT_EQ(0, PosFrom(99, "abc", "c"));
    EXPECT_EQ(0, PosFrom(1, "", "a"));
    EXPECT_EQ(0, PosFrom(1, "", ""));
    EXPECT_EQ(3, PosFrom(3, "abc", ""));

    EXPECT_EQ(2, PosChar(1, "a.b.c", '.'));
    EXPECT_EQ(4, PosChar(3, "a.b.c", '.'));
    EXPECT_EQ(2, PosChar(0, "a.b.c", '.'));
    EXPECT_EQ(0, PosChar(5, "a.b.c", '.'));
    EXPECT_EQ(0, PosChar(1, "", '.'));

    EXPECT_EQ(4, LastPosChar(0, "a.b.c", '.'));
    EXPECT_EQ(4, LastPosChar(99, "a.b.c", '.'));
    EXPECT_EQ(4, LastPosChar(4, "a.b.c", '.'));
    EXPECT_EQ(2, LastPosChar(3, "a.b.c", '.'));
    EXPECT_EQ(0, LastPosChar(1, "a.b.c", '.'));
    EXPECT_EQ(0, LastPosChar(0, "", '.'));

    EXPECT_EQ(2, FirstOfChars(" -./", "1-2 3", 1));
    EXPECT_EQ(4, FirstOfChars(" -./", "1-2 3", 3));
    EXPECT_EQ(0, FirstOfChars(" -./", "1-2 3", 5));
    EXPECT_EQ(2, FirstOfChars(" -./", "1-2 3", -1));
    EXPECT_EQ(0, FirstOfChars("", "1-2 3", 1));
}

TEST(KStextutil, MasksAndDigits) {
    EXPECT_TRUE(MatchMask("12-05-1960", "##-##-####"));
    EXPECT_FALSE(MatchMask("12/05/1960", "##-##-####"));
    EXPECT_FALSE(MatchMask("1a-05-1960", "##-##-####"));
    EXPECT_FALSE(MatchMask("12-05-196", "##-##-####"));
    EXPECT_TRUE(MatchMask("", ""));
    EXPECT_FALSE(MatchMask("#", "#")); // '#' in the mask wants a digit
    EXPECT_TRUE(MatchMask("v1", "v#"));

    EXPECT_TRUE(IsDigits("0123456789"));
    EXPECT_FALSE(IsDigits(""));
    EXPECT_FALSE(IsDigits("12 "));
    EXPECT_FALSE(IsDigits("-1"));
    EXPECT_FALSE(IsDigits("\xB2")); // superscript two is no digit
}

TEST(KStextutil, StrToIntDefAcceptsOnlyWholeDecimalNumbers) {
    EXPECT_EQ(42, StrToIntDef("42", -1));
    EXPECT_EQ(-42, StrToIntDef("-42", 0));
    EXPECT_EQ(42, StrToIntDef("+42", 0));
    EXPECT_EQ(7, StrToIntDef("   007", 0));
    EXPECT_EQ(-3, StrToIntDef("  -3", 0));
    EXPECT_EQ(2147483647, StrToIntDef("2147483647", 0));
    EXPECT_EQ(INT_MIN, StrToIntDef("-2147483648", 0));
    EXPECT_EQ(1, StrToIntDef("00000000000000000001", 0));

    EXPECT_EQ(-1, StrToIntDef("2147483648", -1));
    EXPECT_EQ(-1, StrToIntDef("-2147483649", -1));
    EXPECT_EQ(-1, StrToIntDef("99999999999999999999", -1));
    EXPECT_EQ(-1, StrToIntDef("", -1));
    EXPECT_EQ(-1, StrToIntDef("   ", -1));
    EXPECT_EQ(-1, StrToIntDef("-", -1));
    EXPECT_EQ(-1, StrToIntDef("- 3", -1));
    EXPECT_EQ(-1, StrToIntDef("3 ", -1));
    EXPECT_EQ(-1, StrToIntDef("1.5", -1));
    EXPECT_EQ(-1, StrToIntDef("1e3", -1));
    EXPECT_EQ(-1, StrToIntDef("$FF", -1));
    EXPECT_EQ(-1, StrToIntDef("0x10", -1));
    EXPECT_EQ(-1, StrToIntDef("+-1", -1));
}

TEST(KStextutil, RomanNumerals) {
    EXPECT_EQ("MCMXCIX", ToRoman(1999));
    EXPECT_EQ("MCMLX", ToRoman(1960));
    EXPECT_EQ("MDCCCL", ToRoman(1850));
    EXPECT_EQ("MMMMCDXLIV", ToRoman(4444));
    EXPECT_EQ("IV", ToRoman(4));
    EXPECT_EQ("I", ToRoman(1));
    EXPECT_EQ("", ToRoman(0));
    EXPECT_EQ("", ToRoman(-5));

    EXPECT_EQ(1960, FromRoman("MCMLX"));
    EXPECT_EQ(1000, FromRoman("MAR"));
    EXPECT_EQ(1850, FromRoman("MDCCCL"));
    EXPECT_EQ(1999, FromRoman("MCMXCIX"));
    EXPECT_EQ(0, FromRoman("mcmlx")); // case-sensitive
    EXPECT_EQ(0, FromRoman(""));
    EXPECT_EQ(0, FromRoman("ABC"));
    EXPECT_EQ(4, FromRoman("IIII"));
    EXPECT_EQ(2, FromRoman("IIX")); // symbols in descending order only; the rest is ignored
    EXPECT_EQ(2009, FromRoman("MMIX-12"));

    // A huge numeral saturates instead of overflowing.
    EXPECT_EQ(INT_MAX, FromRoman(std::string(3'000'000, 'M')));
}

TEST(KStextutil, SoundexCodes) {
    EXPECT_EQ("R163", Soundex("Robert", 4));
    EXPECT_EQ("R163", Soundex("Rupert", 4));
    EXPECT_EQ("T522", Soundex("Tymczak", 4));
    EXPECT_EQ("P236", Soundex("Pfister", 4));
    EXPECT_EQ("A261", Soundex("Ashcraft", 4));
    EXPECT_EQ("L000", Soundex("Lee", 4));
    EXPECT_EQ("J250", Soundex("jackson", 4)); // first letter upper-cased
    EXPECT_EQ("", Soundex("", 4));
    EXPECT_EQ("R16", Soundex("Robert", 3));
    EXPECT_EQ("R16300", Soundex("Robert", 6));
    // Characters outside a-z separate equal codes like vowels do.
    EXPECT_EQ("B110", Soundex("B-B-B", 4));
    EXPECT_EQ("V", Soundex("Vries", 1));
    EXPECT_EQ("V", Soundex("Vries", 0));

    // Every letter, in both cases, behind a vowel: its group digit, or none.
    const std::vector<std::pair<std::string, char>> groups = {
        {"AEIOUY", '0'}, {"BFPV", '1'}, {"CGJKQSXZ", '2'}, {"DT", '3'},
        {"L", '4'},      {"MN", '5'},   {"R", '6'},        {"HW", '0'}};
    for (const auto& [letters, digit] : groups) {
        for (const char c : letters) {
            const std::string expected = {'E', digit};
            EXPECT_EQ(expected, Soundex(std::string("E") + c, 2)) << c;
            EXPECT_EQ(expected, Soundex(std::string("e") + static_cast<char>(c + 32), 2)) << c;
        }
    }
    // H and W do not separate, vowels do.
    EXPECT_EQ("S000", Soundex("SHS", 4));
    EXPECT_EQ("S200", Soundex("SAS", 4));
}

TEST(KStextutil, SmallHelpers) {
    EXPECT_EQ("a b", Trim(" \t\r\na b\x01 "));
    EXPECT_EQ("a b\x01 ", TrimLeft(" \t\r\na b\x01 "));
    EXPECT_EQ(" \t\r\na b", TrimRight(" \t\r\na b\x01 "));
    EXPECT_EQ("\xA0x\xA0", Trim("\xA0x\xA0")); // no-break space is above 32
    EXPECT_EQ("", Trim(" \x1F "));
    EXPECT_EQ("", Trim(""));

    EXPECT_EQ("ABC\xE9Z", AsciiUpper("abc\xE9z"));
    EXPECT_EQ("abc\xC9z", AsciiLower("ABC\xC9Z"));
    EXPECT_TRUE(SameTextAscii("Jansen", "jANSEN"));
    EXPECT_FALSE(SameTextAscii("\xE9", "\xC9"));
    EXPECT_FALSE(SameTextAscii("abc", "abcd"));
    EXPECT_TRUE(SameTextAscii("", ""));
}

} // namespace
} // namespace ks
