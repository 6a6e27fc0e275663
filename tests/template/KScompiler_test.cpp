#include "template/KScompiler.h"

#include "common/KSerrors.h"
#include "template/KSbytecode.h"
#include "template/KSfixed.h"
#include "template/KSfunctions.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace ks {
namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values)
        out += static_cast<char>(v);
    return out;
}

std::string Arith(const std::string& text, int expectType = -1) {
    std::string code;
    const int type = CompileArithmetic(text, 0, code);
    if (expectType >= 0) {
        EXPECT_EQ(expectType, type) << text;
    }
    return code;
}

std::string ErrorOf(const std::string& text) {
    std::string code;
    try {
        CompileArithmetic(text, 0, code);
    } catch (const EKSError& e) {
        // Probe mode reports the same fault quietly.
        std::string quiet = "x";
        EXPECT_EQ(kTypeNone, CompileArithmetic(text, kProbeMode, quiet)) << text;
        EXPECT_TRUE(quiet.empty()) << text;
        return e.what();
    }
    return "(compiled)";
}

TEST(KScompiler, ScanToStopFindsStopsOutsideQuotesAndBrackets) {
    EXPECT_EQ(2, ScanToStop("ab+c", 1, "+", '"', "()"));
    EXPECT_EQ(0, ScanToStop("+ab", 1, "+", '"', "()"));
    EXPECT_EQ(3, ScanToStop("abc", 1, "+", '"', "()"));
    EXPECT_EQ(3, ScanToStop("abc", 7, "+", '"', "()"));
    EXPECT_EQ(5, ScanToStop("\"a+b\"+c", 1, "+", '"', "()"));
    EXPECT_EQ(5, ScanToStop("(a+b)+c", 1, "+", '"', "()"));
    EXPECT_EQ(5, ScanToStop("{a+b}+c", 1, "+", '"', "(){}[]"));
    EXPECT_EQ(2, ScanToStop("{a+b}+c", 1, "+", '"', "()")); // braces are no brackets here
    EXPECT_EQ(1, ScanToStop("a)b+c", 1, "+", '"', "()"));   // an unopened closing bracket stops
    EXPECT_EQ(1, ScanToStop("a\tb+c", 1, "+", '"', "()"));  // so does a control character
    EXPECT_EQ(4, ScanToStop("(a\tb)+c", 1, "+", '"', "()") - 1);
    EXPECT_EQ(2, ScanToStop("ab)", 2, "", '"', "()"));
}

TEST(KScompiler, NumberLiteralsTakeTheShortestEncoding) {
    EXPECT_EQ(Bytes({2, 0, 4, 7}), Arith("7", kTypeNumber));
    EXPECT_EQ(Bytes({2, 0, 4, 255}), Arith("255"));
    EXPECT_EQ(Bytes({3, 0, 3, 44, 1}), Arith("300"));
    EXPECT_EQ(Bytes({3, 0, 3, 255, 255}), Arith("-1"));
    EXPECT_EQ(Bytes({3, 0, 3, 0, 0x80}), Arith("-32768"));
    EXPECT_EQ(Bytes({3, 0, 3, 0xFF, 0x7F}), Arith("32767"));
    // 1.5 = 15000 ten-thousandths = 0x3A98
    EXPECT_EQ(Bytes({9, 0, 2, 0x98, 0x3A, 0, 0, 0, 0, 0, 0}), Arith("1.5"));
    // 40000 = 400000000 ten-thousandths = 0x17D78400
    EXPECT_EQ(Bytes({9, 0, 2, 0x00, 0x84, 0xD7, 0x17, 0, 0, 0, 0}), Arith("40000"));
    EXPECT_EQ(Bytes({9, 0, 2, 0xF0, 0xD8, 0x77, 0xEC, 0xFF, 0xFF, 0xFF, 0xFF}),
              Arith("-32769"));                         // -327690000 = -0x13882710
    EXPECT_EQ(Bytes({2, 0, 4, 1}), Arith(" 1.00005 ")); // the tie rounds to the even 1.0000
    EXPECT_EQ(Bytes({9, 0, 2, 0x12, 0x27, 0, 0, 0, 0, 0, 0}), Arith("1.00015")); // 10002
    EXPECT_EQ(Bytes({2, 0, 4, 0}), Arith("-.0000"));
    EXPECT_EQ(Bytes({9, 0, 2, 0x88, 0x13, 0, 0, 0, 0, 0, 0}), Arith(".5"));
    EXPECT_EQ(Bytes({9, 0, 2, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}),
              Arith("922337203685477.5807"));
    EXPECT_EQ("Syntax error", ErrorOf("922337203685477.5808"));
    EXPECT_EQ("Syntax error", ErrorOf("1e5"));
    EXPECT_EQ("Syntax error", ErrorOf("1.2.3"));
    EXPECT_EQ("Syntax error", ErrorOf("."));
}

TEST(KScompiler, CompilingANumberSetsTheDecimalSeparator) {
    SetDecimalSeparator(',');
    std::string code;
    CompileArithmetic("\"a\"", 0, code);
    EXPECT_EQ(',', DecimalSeparator());
    CompileArithmetic("1", 0, code);
    EXPECT_EQ('.', DecimalSeparator());
}

TEST(KScompiler, TextLiteralsAndChains) {
    EXPECT_EQ(Bytes({6, 0, 1, 3, 0, 'a', 'b', 'c'}), Arith("\"abc\"", kTypeText));
    EXPECT_EQ(Bytes({3, 0, 1, 0, 0}), Arith("", kTypeText)); // empty is the empty literal
    EXPECT_EQ(Bytes({9, 0, 1, 1, 0, 'a', '+', 1, 1, 0, 'b'}), Arith("\"a\" + \"b\"", kTypeText));
    EXPECT_EQ(Bytes({8, 0, 4, 2, '+', 4, 3, '*', 4, 4}), Arith("2+3*4", kTypeNumber));
    EXPECT_EQ(Bytes({6, 0, 4, 5, '*', 3, 0xFD, 0xFF}), Arith("5*-3"));
    EXPECT_EQ(Bytes({9, 0, 0, 3, 0, 3, 0xFB, 0xFF, '+', 4, 3}), Arith("(-5)+3"));
    EXPECT_EQ(Bytes({2, 0, 6, 5}), Arith("#5$", kTypeText));
    EXPECT_EQ(Bytes({2, 0, 7, 99}), Arith("#99", kTypeNumber));
    EXPECT_EQ(Arith("TIME"), Arith("#TIME"));
    EXPECT_EQ(Arith("TIME"), Arith("##TIME"));
    EXPECT_EQ("Syntax error", ErrorOf("\"a\"b\""));
    EXPECT_EQ("Syntax error", ErrorOf("\"abc"));
    EXPECT_EQ("Syntax error", ErrorOf("\""));
    EXPECT_EQ("Syntax error", ErrorOf("1+\"a\""));
    EXPECT_EQ("Syntax error", ErrorOf("\"a\"+1"));
    EXPECT_EQ("Syntax error", ErrorOf("-5+3")); // a sign makes the whole chain one literal
    EXPECT_EQ("Syntax error", ErrorOf("1+"));
    EXPECT_EQ("Syntax error", ErrorOf("1 2"));
    EXPECT_EQ("Syntax error", ErrorOf("(1)(2)"));
    EXPECT_EQ("Syntax error", ErrorOf("(1"));
    EXPECT_EQ("Syntax error", ErrorOf("1)"));
    EXPECT_EQ("Syntax error", ErrorOf("#0"));
    EXPECT_EQ("Syntax error", ErrorOf("#100"));
    EXPECT_EQ("Syntax error", ErrorOf("#"));
    EXPECT_EQ("Syntax error", ErrorOf("#5x"));
    EXPECT_EQ("Syntax error: file not open", ErrorOf("[NAME]"));
}

TEST(KScompiler, DatesAcceptTextsInChains) {
    // DATE (136) is a date; a text may follow it, a number may not.
    EXPECT_EQ(Bytes({7, 0, 136, '+', 1, 2, 0, ' ', 'x'}), Arith("DATE+\" x\"", kTypeDate));
    EXPECT_EQ(Bytes({6, 0, 1, 1, 0, 'x', '+', 136}), Arith("\"x\"+DATE", kTypeText));
    EXPECT_EQ("Syntax error", ErrorOf("DATE+1"));
}

TEST(KScompiler, FunctionCallsWithDefaultsAndArgumentOrder) {
    // MID$("abc",2) takes its third argument from the default -1.
    EXPECT_EQ(Bytes({18, 0, 49, 6, 0, 1, 3, 0, 'a', 'b', 'c', 2, 0, 4, 2, 3, 0, 3, 255, 255}),
              Arith("mid$(\"abc\",2)", kTypeText));
    // AGE emits its option first, then both dates; the second date defaults to DATE.
    EXPECT_EQ(Bytes({17, 0, 58, 2, 0, 4, 1, 4, 0, 1, 1, 0, 'a', 4, 0, 1, 1, 0, 'b'}),
              Arith("AGE(\"a\",\"b\",1)", kTypeText));
    EXPECT_EQ(Bytes({14, 0, 58, 2, 0, 4, 0, 4, 0, 1, 1, 0, 'a', 1, 0, 136}),
              Arith("AGE$(\"a\")", kTypeText));
    EXPECT_EQ(Bytes({1, 0, 136}), Arith("DATE", kTypeDate));
    EXPECT_EQ(Bytes({1, 0, 76}), Arith("TIME()", kTypeText));
    EXPECT_EQ(Bytes({16, 0, 137, 4, 0, 1, 1, 0, 'x', 3, 0, 1, 0, 0, 2, 0, 4, 0}),
              Arith("DATE(\"x\")", kTypeText));
    EXPECT_EQ(138, static_cast<unsigned char>(Arith("YEAR$(\"x\")", kTypeText)[2]));
    EXPECT_EQ(139, static_cast<unsigned char>(Arith("YEAR(\"x\")", kTypeNumber)[2]));
    // Commas inside literals and inside the brackets of a nested call do not split.
    EXPECT_EQ(Bytes({10, 0, 72, 7, 0, 1, 4, 0, 'a', ',', 'b', ')'}), Arith("UCASE$(\"a,b)\")"));
    std::string code;
    EXPECT_EQ(kTypeText, CompileArithmetic("MID$(MID$(\"abc\",1,2),1)", 0, code));
}

TEST(KScompiler, CallFaultsHaveTheirOwnMessages) {
    EXPECT_EQ("Syntax error", ErrorOf("MID(\"x\",2)"));
    EXPECT_EQ("Syntax error", ErrorOf("NOSUCH"));
    EXPECT_EQ("Syntax error", ErrorOf("UCASE$ (\"a\")")); // the name keeps its blank
    EXPECT_EQ("Right parentheses missing", ErrorOf("UCASE$(\"a\""));
    EXPECT_EQ("Parameter missing", ErrorOf("MID$(\"abc\")"));
    EXPECT_EQ("Parameter missing", ErrorOf("UCASE$()"));
    EXPECT_EQ("Too many parameters", ErrorOf("TRIM$(\"a\",\"b\")"));
    EXPECT_EQ("No parameters allowed", ErrorOf("TIME(\"x\")"));
    EXPECT_EQ("Text expected", ErrorOf("UCASE$(DATE)"));
    EXPECT_EQ("Text expected", ErrorOf("LEN(1)"));
    EXPECT_EQ("Numeric value expected", ErrorOf("CHR$(\"a\")"));
    EXPECT_EQ("Numeric value expected", ErrorOf("MID$(\"abc\",2, )")); // a blank is no default
    EXPECT_EQ("Date expected", ErrorOf("YEAR(1)"));
    EXPECT_EQ("Boolean expression expected", ErrorOf("IF$(1,\"a\",\"b\")"));
    EXPECT_EQ("Text or Fieldname expected", ErrorOf("FIELDTYPE(\"x\",1)"));
    EXPECT_EQ("Numeric or Fieldname expected", ErrorOf("CONTENTS(\"x\",1)"));
    EXPECT_EQ("Syntax error", ErrorOf("UCASE$(NOSUCH)")); // the inner fault comes first
}

std::string Cmp(const std::string& left, int op, const std::string& right, char kind = 'G') {
    const std::string body = std::string(1, kind) + left + static_cast<char>(op) + right;
    return Bytes({static_cast<int>(body.size()), 0}) + body;
}

TEST(KScompiler, ComparisonsPickTheirKindAndOperatorByte) {
    const std::string one = Bytes({2, 0, 4, 1});
    const std::string two = Bytes({2, 0, 4, 2});
    const std::string a = Bytes({4, 0, 1, 1, 0, 'a'});
    std::string code;
    const std::pair<const char*, int> ops[] = {{"=", '='},  {"<", '<'},  {">", '>'},
                                               {"~", '~'},  {"<>", '#'}, {"<=", 243},
                                               {">=", 242}, {"~!", '!'}, {"==", 205}};
    for (const auto& [text, byte] : ops) {
        ASSERT_TRUE(CompileComparison(std::string("1") + text + "2", 0, code)) << text;
        EXPECT_EQ(Cmp(one, byte, two), code) << text;
    }
    ASSERT_TRUE(CompileComparison("\"a\"=\"a\"", 0, code));
    EXPECT_EQ(Cmp(a, '=', a, 'T'), code);
    ASSERT_TRUE(CompileComparison("DATE>\"a\"", 0, code));
    EXPECT_EQ(Cmp(Bytes({1, 0, 136}), '>', a, 'D'), code);
    // The "=" inside brackets is no operator; "<>" after them is.
    ASSERT_THROW(CompileComparison("(1=2)<>2", 0, code), EKSError); // (1=2) is no number
    EXPECT_FALSE(CompileComparison("=1", 0, code));
    EXPECT_FALSE(CompileComparison("1=", 0, code));
    EXPECT_FALSE(CompileComparison("12", 0, code));
    EXPECT_THROW(CompileComparison("1=\"a\"", 0, code), EKSError);
    EXPECT_FALSE(CompileComparison("1=\"a\"", kProbeMode, code));
}

TEST(KScompiler, ConditionsWithConnectorsNotAndBrackets) {
    const std::string one = Bytes({2, 0, 4, 1});
    const std::string two = Bytes({2, 0, 4, 2});
    const std::string c11 = Cmp(one, '=', one);
    const std::string c22 = Cmp(two, '=', two);
    const std::string inner = "S" + c11 + "A" + "S" + c22;
    const std::string nested = Bytes({static_cast<int>(inner.size()), 0}) + inner;
    const std::string expected = Bytes({static_cast<int>(nested.size() + 1), 0}) + "e" + nested;
    for (int flags : {0, kProbeMode}) {
        std::string code;
        ASSERT_TRUE(CompileCondition("NOT (1=1 AND 2=2)", flags, code)) << flags;
        EXPECT_EQ(expected, code) << flags;
    }
    std::string code;
    ASSERT_TRUE(CompileCondition("1=1 & NOT 2=2 | 1=1", 0, code));
    const std::string flat = "S" + c11 + "A" + "s" + c22 + "O" + "S" + c11;
    EXPECT_EQ(Bytes({static_cast<int>(flat.size()), 0}) + flat, code);
    // Lower-case words and words without both blanks are no connectors.
    EXPECT_FALSE(CompileCondition("1=1 and 2=2", kProbeMode, code));
    EXPECT_THROW(CompileCondition("1=1 and 2=2", 0, code), EKSError);
    // A connector inside quotes stays part of the text.
    ASSERT_TRUE(CompileCondition("\"a AND b\"=\"c\"", 0, code));
    EXPECT_EQ('S', code[2]);
    // The condition argument of IF$ carries the same code.
    std::string call;
    ASSERT_EQ(kTypeText, CompileArithmetic("IF$(NOT (1=1 AND 2=2),\"y\",\"n\")", 0, call));
    EXPECT_EQ(expected, call.substr(3, expected.size()));
    EXPECT_FALSE(CompileCondition("FOO AND 1=1", kProbeMode, code));
}

TEST(KScompiler, PiecesLongerThan32767BytesDoNotCompile) {
    std::string code;
    // Chain body: ID byte, two length bytes and the literal.
    EXPECT_EQ(kTypeText, CompileArithmetic("\"" + std::string(32764, 'x') + "\"", 0, code));
    EXPECT_EQ(32769u, code.size());
    EXPECT_EQ("Syntax error", ErrorOf("\"" + std::string(32765, 'x') + "\""));
    EXPECT_EQ("Syntax error", ErrorOf("\"" + std::string(70000, 'x') + "\""));
    std::string sum = "1";
    for (int i = 0; i < 20000; ++i)
        sum += "+1";
    EXPECT_EQ("Syntax error", ErrorOf(sum));
}

TEST(KScompiler, NestingDeeperThan256LevelsDoesNotCompile) {
    const auto nested = [](int levels) {
        return std::string(static_cast<std::size_t>(levels), '(') + "1" +
               std::string(static_cast<std::size_t>(levels), ')');
    };
    std::string code;
    EXPECT_EQ(kTypeNumber, CompileArithmetic(nested(256), 0, code));
    EXPECT_EQ("Syntax error", ErrorOf(nested(257)));
    EXPECT_EQ("Syntax error", ErrorOf(nested(10000)));
    std::string calls;
    for (int i = 0; i < 10000; ++i)
        calls += "UCASE$(";
    calls += "\"a\"" + std::string(10000, ')');
    EXPECT_EQ("Syntax error", ErrorOf(calls));
}

TEST(KScompiler, DisassemblyListsEveryElement) {
    std::string code;
    CompileArithmetic("MID$(\"a\\b\"+CHR$(1.5),2)*", kProbeMode, code);
    EXPECT_TRUE(code.empty());
    CompileArithmetic("MID$(\"a\"+\"b\",2)", 0, code);
    EXPECT_EQ("[21] arithmetic\n"
              "  call 49 MID$\n"
              "    [9] arithmetic\n"
              "      text \"a\"\n"
              "      + text \"b\"\n"
              "    [2] arithmetic\n"
              "      byte 2\n"
              "    [3] arithmetic\n"
              "      word -1\n",
              code::Disassemble(code));
    EXPECT_EQ("[9] arithmetic\n  number 1.5\n", code::Disassemble(Arith("1.5")));
    EXPECT_EQ("[-1] arithmetic\n  (bad length)\n", code::Disassemble(Bytes({0xFF, 0xFF, 4})));
}

} // namespace
} // namespace ks
