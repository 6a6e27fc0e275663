#include "template/KSinterpreter.h"

#include "common/KSerrors.h"
#include "template/KScompiler.h"
#include "template/KSfixed.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <regex>

namespace ks {
namespace {

const std::string E(1, '\x1B');

std::string Eval(const std::string& expression) {
    SetDecimalSeparator('.');
    return EvaluateExpression(expression, 0);
}

std::string Probe(const std::string& expression) {
    SetDecimalSeparator('.');
    return EvaluateExpression(expression, kProbeMode);
}

// The message of the error the run raises, in both modes.
std::string RunError(const std::string& expression) {
    std::string messages[2];
    for (int flags : {0, kProbeMode}) {
        try {
            EvaluateExpression(expression, flags);
            messages[flags] = "(no error)";
        } catch (const EKSError& e) {
            messages[flags] = e.what();
        }
    }
    EXPECT_EQ(messages[0], messages[1]) << expression;
    return messages[0];
}

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values)
        out += static_cast<char>(v);
    return out;
}

TEST(KSinterpreter, ArithmeticRunsLeftToRightWithoutPrecedence) {
    EXPECT_EQ("20", Eval("2+3*4"));
    EXPECT_EQ("14", Eval("2+(3*4)"));
    EXPECT_EQ("3", Eval("7\\2"));
    EXPECT_EQ("-3", Eval("0-7\\2"));
    EXPECT_EQ("1", Eval("7%3"));
    EXPECT_EQ("-1", Eval("0-7%3"));
    EXPECT_EQ("0", Eval("7.5%2"));
    EXPECT_EQ("1024", Eval("2^10"));
    EXPECT_EQ("0.3333", Eval("1/3"));
    EXPECT_EQ("0.5", Eval("2^-1"));
    EXPECT_EQ("1.4142", Eval("2^0.5"));
    EXPECT_EQ("0.0002", Eval("0.0003*0.5")); // 0.00015, tie to even
    EXPECT_EQ("0", Eval("0.0001*0.5"));      // 0.00005, tie to even
    EXPECT_EQ("-15", Eval("5*-3"));
    EXPECT_EQ("922337203685477.5807", Eval("922337203685477.5807"));
    EXPECT_EQ("-922337203685477", Eval("(0-922337203685477)"));
    EXPECT_EQ("8", Eval("(((((8)))))"));
}

TEST(KSinterpreter, ArithmeticErrorsAtTheEdges) {
    EXPECT_EQ("x/0 is not allowed", RunError("1/0"));
    EXPECT_EQ("x\\0 is not allowed", RunError("1\\(2-2)"));
    EXPECT_EQ("x Mod 0 is not allowed", RunError("7%0"));
    EXPECT_EQ("x Mod 0 is not allowed", RunError("7%0.4"));
    EXPECT_EQ("Floating point overflow", RunError("922337203685477+1"));
    EXPECT_EQ("Floating point overflow", RunError("(0-922337203685477)-1"));
    EXPECT_EQ("Floating point overflow", RunError("100000000*100000000"));
    EXPECT_EQ("Floating point overflow", RunError("10^15"));
    EXPECT_EQ("Floating point overflow", RunError("0^-1"));
    EXPECT_EQ("Floating point overflow", RunError("1\\0.0001*100000000000"));
    EXPECT_EQ("Invalid floating point operation", RunError("(0-8)^0.5"));
    EXPECT_EQ("4", Eval("(0-2)^2"));
}

TEST(KSinterpreter, TextChainsAppendOnPlusOnly) {
    EXPECT_EQ("ab", Eval("\"a\"+\"b\""));
    EXPECT_EQ("d", Eval("\"a\"+\"b\"-\"c\"+\"d\""));
    EXPECT_EQ("", Eval("\"a\"*\"b\""));
    EXPECT_EQ("", Eval(""));
    EXPECT_EQ("", Eval("#5$"));
    EXPECT_EQ("x", Eval("\"x\"+#7$"));
}

TEST(KSinterpreter, CharactersAndRepeats) {
    EXPECT_EQ("A", Eval("CHR$(65)"));
    EXPECT_EQ(E + E, Eval("CHR$(27)"));
    EXPECT_EQ(E + E, Eval("CHR$(27.2)")); // a rounded 27 is an escape as well
    EXPECT_EQ(std::string(1, '\0'), Eval("CHR$(0.4)"));
    EXPECT_EQ("CHR(N) : parameter out of range", RunError("CHR$(256)"));
    EXPECT_EQ("CHR(N) : parameter out of range", RunError("CHR$(-1)"));
    EXPECT_EQ("CHR(N) : parameter out of range", RunError("CHR$(255.4)"));
    EXPECT_EQ("AAA", Eval("STRING$(3,65)"));
    EXPECT_EQ("", Eval("STRING$(0,65)"));
    EXPECT_EQ(E + E + E + E, Eval("STRING$(2,27)"));
    EXPECT_EQ("STRING$(N,N) : parameter out of range", RunError("STRING$(-1,65)"));
    EXPECT_EQ("STRING$(N,N) : parameter out of range", RunError("STRING$(1,256)"));
    EXPECT_EQ("Out of memory", RunError("STRING$(100000000,65)"));
}

TEST(KSinterpreter, PartsOfTextsArePaddedWithSpaces) {
    EXPECT_EQ("bc   ", Eval("MID$(\"abc\",2,5)"));
    EXPECT_EQ("", Eval("MID$(\"abc\",4)"));
    EXPECT_EQ("bc", Eval("MID$(\"abc\",2)"));
    EXPECT_EQ("ab", Eval("MID$(\"abc\",0,2)"));
    EXPECT_EQ("", Eval("MID$(\"abc\",2,0)"));
    EXPECT_EQ("  ", Eval("MID$(\"abc\",5,2)"));
    EXPECT_EQ("MID$(T,N,N) : parameter out of range", RunError("MID$(\"abc\",-1)"));
    EXPECT_EQ("ab  ", Eval("LEFT$(\"ab\",4)"));
    EXPECT_EQ("  ab", Eval("RIGHT$(\"ab\",4)"));
    EXPECT_EQ("", Eval("LEFT$(\"ab\",0)"));
    EXPECT_EQ("", Eval("RIGHT$(\"ab\",-3)"));
    EXPECT_EQ("ab", Eval("LEFT$(\"abc\",2)"));
    EXPECT_EQ("bc", Eval("RIGHT$(\"abc\",2)"));
    EXPECT_EQ("ab", Eval("LEFT$(\"abc\",2.5)"));
    EXPECT_EQ(E + "@b" + E + "`", Eval("RIGHT$(BOLD$(\"ab\"),1)"));
    EXPECT_EQ(" ab  ", Eval("CENTER$(\"ab\",5)"));
    EXPECT_EQ("b", Eval("CENTER$(\"ab\",1)"));
    EXPECT_EQ("-ab--", Eval("CENTER$(\"ab\",5,45)"));
    EXPECT_EQ("", Eval("CENTER$(\"ab\",-2)"));
    EXPECT_EQ("Out of memory", RunError("LEFT$(\"ab\",100000000000)"));
}

TEST(KSinterpreter, NumbersAsTextsAndTextsAsNumbers) {
    EXPECT_EQ("3.14", Eval("STR$(3.1416,2)"));
    EXPECT_EQ("3.1416", Eval("STR$(3.1416)"));
    EXPECT_EQ("2", Eval("STR$(2.5,0)"));
    EXPECT_EQ("-1.500", Eval("STR$(0-1.5,3)"));
    EXPECT_EQ("12.5", Eval("VAL(\"12.5\")"));
    EXPECT_EQ("12.5", Eval("VAL(\" 12.50 \")+0"));
    EXPECT_EQ("3", Eval("LEN(BOLD$(\"abc\"))"));
    EXPECT_EQ("0", Eval("LEN(\"\")"));
    EXPECT_THROW(Eval("VAL(\"abc\")"), EConvertError);
    EXPECT_THROW(Eval("VAL(\"\")"), EConvertError);
    EXPECT_THROW(Eval("VAL(\"1e3\")"), EConvertError);
    EXPECT_THROW(Eval("VAL(BINARY$(\"5\"))"), EConvertError); // a raw block is no text
    EXPECT_THROW(EvaluateExpression("VAL(\"abc\")", kProbeMode), EConvertError);
    // Without a number literal the process-wide separator applies both ways.
    SetDecimalSeparator(',');
    EXPECT_EQ("1,5", EvaluateExpression("VAL(\"1,5\")", 0));
    // A default argument is compiled like a written one: STR$'s -1 is a number literal.
    SetDecimalSeparator(',');
    EXPECT_THROW(EvaluateExpression("STR$(VAL(\"2,5\"))", 0), EConvertError);
    SetDecimalSeparator(',');
    EXPECT_THROW(EvaluateExpression("VAL(\"1.5\")", 0), EConvertError);
    EXPECT_EQ("1.5", EvaluateExpression("VAL(\"1.5\")+0", 0)); // the literal switches to "."
    EXPECT_EQ('.', DecimalSeparator());
}

TEST(KSinterpreter, CaseSoundexRomanAndTrim) {
    EXPECT_EQ("ABC", Eval("UCASE$(\"abc\")"));
    EXPECT_EQ("\xC0\x9F\xDF\xF7", Eval("UCASE$(\"\xE0\xFF\xDF\xF7\")"));
    EXPECT_EQ("\xE0\xFF\x9A\xD7", Eval("LCASE$(\"\xC0\x9F\x8A\xD7\")"));
    EXPECT_EQ(E + "AX" + E + "a", Eval("UCASE$(UNDERLINE$(\"x\"))")); // codes stay as they are
    EXPECT_EQ(E + "Ax" + E + "a", Eval("LCASE$(UNDERLINE$(\"X\"))"));
    EXPECT_EQ("R163", Eval("SOUNDEX$(\"Robert\")"));
    EXPECT_EQ("T522", Eval("SOUNDEX$(\"Tymczak\")"));
    EXPECT_EQ("P236", Eval("SOUNDEX$(\"Pfister\",8)"));
    EXPECT_EQ("", Eval("SOUNDEX$(\"\")"));
    EXPECT_EQ("", Eval("SOUNDEX$(\"Robert\",2)"));
    EXPECT_EQ("R163", Eval("SOUNDEX$(ITALIC$(\"Robert\"))"));
    EXPECT_EQ("MCMXCIX", Eval("ROMAN$(1999)"));
    EXPECT_EQ("II", Eval("ROMAN$(2.5)"));
    EXPECT_EQ("", Eval("ROMAN$(0)"));
    EXPECT_EQ("", Eval("ROMAN$(0-5)"));
    EXPECT_EQ("MMMMMDCLXVI", Eval("ROMAN$(5666)"));
    EXPECT_EQ("a b", Eval("TRIM$(\"  a b \" + CHR$(9))"));
    EXPECT_EQ(E + "@x" + E + "`", Eval("TRIM$(BOLD$(\" x \"))"));
    EXPECT_EQ("x", Eval("TRIM$(CHR$(27)+\"x\"+CHR$(27))"));
}

TEST(KSinterpreter, StylesBlocksAndInsert) {
    EXPECT_EQ(E + "@x" + E + "`", Eval("BOLD$(\"x\")"));
    EXPECT_EQ(E + "Ax" + E + "a", Eval("UNDERLINE$(\"x\")"));
    EXPECT_EQ(E + "Bx" + E + "b", Eval("ITALIC$(\"x\")"));
    EXPECT_EQ(E + Bytes({0x80, 8, 0, 0, 0}) + "ab", Eval("BINARY$(\"ab\")"));
    EXPECT_EQ("0", Eval("LEN(BINARY$(\"ab\"))"));
    EXPECT_EQ("aXYdef", Eval("INSERT$(\"abcdef\",2,\"XY\")"));
    EXPECT_EQ("ab  XY", Eval("INSERT$(\"ab\",5,\"XY\")"));
    EXPECT_EQ("Xb", Eval("INSERT$(\"ab\",0.4,\"X\")"));
    EXPECT_EQ(E + "@aXY" + E + "`", Eval("INSERT$(BOLD$(\"ab\"),2,\"XY\")"));
    EXPECT_EQ("INSERT$(T,G,T) : parameter out of range", RunError("INSERT$(\"ab\",0,\"X\")"));
    EXPECT_EQ("brown fox", Eval("INFO$(\"the quick brown fox\",2,10)"));
    EXPECT_EQ("", Eval("INFO$(\"the quick brown fox\",3,10)"));
    EXPECT_EQ("the quick brown fox", Eval("INFO$(\"the quick brown fox\",1)"));
    EXPECT_EQ("INFO$(T,N,N) : parameter out of range", RunError("INFO$(\"x\",0)"));
    EXPECT_EQ("INFO$(T,N,N) : parameter out of range", RunError("INFO$(\"x\",1,0)"));
    EXPECT_EQ("2", Eval("INFOLEN(\"the quick brown fox\",10)"));
    EXPECT_EQ("1", Eval("INFOLEN(\"the quick brown fox\")"));
    EXPECT_EQ("0", Eval("INFOLEN(\"\")"));
}

TEST(KSinterpreter, EnvironmentFunctions) {
    EXPECT_EQ("", Eval("FILE"));
    EXPECT_EQ("", Eval("USERNAME$"));
    EXPECT_EQ("4.0a", Eval("VERSION$"));
    EXPECT_EQ("28-02-2019", Eval("VERSIONDATE$"));
    EXPECT_TRUE(std::regex_match(Eval("TIME"), std::regex("[0-2][0-9]:[0-5][0-9]:[0-6][0-9]")));
    EXPECT_TRUE(std::regex_match(Eval("DATE"), std::regex("[0-3][0-9]-[01][0-9]-[0-9]{4}")));
}

TEST(KSinterpreter, FunctionsNotEvaluatedHere) {
    EXPECT_EQ("", Probe("INITIALS(\"x\")"));
    EXPECT_EQ("a", Probe("\"a\"+INITIALS(\"x\")+\"b\"")); // the run ends at the unknown byte
    EXPECT_EQ("X", Probe("UCASE$(\"x\"+PRINTER$)"));
    EXPECT_THROW(EvaluateExpression("\"a\"+INITIALS(\"x\")", 0), EKSError);
    try {
        EvaluateExpression("INITIALS(\"x\")", 0);
        ADD_FAILURE() << "no error";
    } catch (const EKSError& e) {
        EXPECT_STREQ("Unknown IDbyte 29", e.what());
    }
    EXPECT_EQ("Unknown IDbyte 30", RunError("RECORDNUMBER(1)"));
    EXPECT_EQ("Unknown IDbyte 32", RunError("LEN(\"a\")+GENERATION"));
    EXPECT_EQ("Unknown IDbyte 85", RunError("MID$(\"abc\",ASC(\"a\"))"));
    EXPECT_EQ("Unknown IDbyte 7", RunError("#5"));
    EXPECT_EQ("", Probe("IF$(1=1,\"a\",\"b\")"));
    EXPECT_EQ("", Probe("NOSUCH(1)"));
    EXPECT_EQ("", Probe("1+"));
}

TEST(KSinterpreter, MalformedCodeIsNeverReadOutside) {
    std::string text = "x";
    RunText(Bytes({1, 0xFF, 0x7F}), 0, 1, text); // a literal claiming 32767 bytes
    EXPECT_EQ("", text);
    RunText(Bytes({1, 3, 0, 'a'}), 0, 1, text);
    EXPECT_EQ("a", text);
    RunText(Bytes({1, 0xFE, 0xFF, 'a'}), 0, 1, text); // a negative length holds nothing
    EXPECT_EQ("", text);
    RunText("", 0, 3, text);
    EXPECT_EQ("", text);
    EXPECT_EQ(0, RunNumber(Bytes({2, 1, 2}), 0, 1));
    EXPECT_EQ(0, RunNumber(Bytes({0, 0x10, 0}), 0, 1));
    EXPECT_EQ(30000, RunNumber(Bytes({3, 3}), 0, 1));
    EXPECT_EQ(0, RunNumber(Bytes({4}), 0, 1));
    EXPECT_EQ(10000, RunNumber(Bytes({4, 1, '+'}), 0, 1));
    EXPECT_THROW(RunNumber(Bytes({9}), 0, 1), EKSError);
    EXPECT_THROW(RunText(Bytes({2}), 0, 1, text), EKSError);
    RunText(Bytes({2}), kProbeMode, 1, text);
    EXPECT_EQ("", text);
    // Brackets nested deeper than any compiled code.
    std::string deep = Bytes({4, 9});
    for (int i = 0; i < 5000; ++i) {
        const std::size_t n = deep.size();
        deep = Bytes({0, static_cast<int>(n & 0xFF), static_cast<int>(n >> 8)}) + deep;
        if (deep.size() > 30000) break;
    }
    EXPECT_THROW(RunNumber(deep, 0, 1), EKSError);
    RunText(deep, kProbeMode, 1, text);
    EXPECT_EQ("", text);
}

TEST(KSinterpreter, ArgumentReadersMovePastTheirPiece) {
    const std::string code = Bytes({2, 0, 4, 7, 3, 0, 1, 0, 0});
    int position = 1;
    EXPECT_EQ(70000, RunNumberArgument(code, position, 0));
    EXPECT_EQ(5, position);
    std::string text = "x";
    RunTextArgument(code, position, 0, text);
    EXPECT_EQ("", text);
    EXPECT_EQ(10, position);
    RunTextArgument(code, position, 0, text); // past the end: nothing, no move beyond
    EXPECT_EQ(10, position);
}

} // namespace
} // namespace ks
