#include "cli/RunInProcess.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace ks {
namespace {

using test::Outcome;
using test::RunInProcess;

TEST(KestrinIndexEval, PrintsWhatAPlaceholderExpandsTo) {
    Outcome r = RunInProcess({"eval", "UCASE$(\"abc\")"});
    EXPECT_EQ(0, r.exitCode);
    EXPECT_EQ("ABC\n", r.out);
    EXPECT_EQ("", r.err);
    r = RunInProcess({"eval", "2+3*4"});
    EXPECT_EQ("20\n", r.out);
    r = RunInProcess({"eval", "1/3"});
    EXPECT_EQ("0.3333\n", r.out);
    r = RunInProcess({"eval", "VERSION$+\" \"+VERSIONDATE$"});
    EXPECT_EQ("4.0a 28-02-2019\n", r.out);
    r = RunInProcess({"eval", "--", "--1"}); // after "--" everything is the expression
    EXPECT_EQ(0, r.exitCode);
    EXPECT_EQ("\n", r.out);
}

TEST(KestrinIndexEval, CompileErrorsPrintAnEmptyLineUnlessStrict) {
    Outcome r = RunInProcess({"eval", "NOSUCH(1)"});
    EXPECT_EQ(0, r.exitCode);
    EXPECT_EQ("\n", r.out);
    EXPECT_EQ("", r.err);
    r = RunInProcess({"eval", "--strict", "NOSUCH(1)"});
    EXPECT_EQ(1, r.exitCode);
    EXPECT_EQ("", r.out);
    EXPECT_EQ("error: Syntax error\n", r.err);
    r = RunInProcess({"eval", "--strict", "MID$(\"abc\")"});
    EXPECT_EQ("error: Parameter missing\n", r.err);
    r = RunInProcess({"eval", "--strict", "UCASE$(\"x\")"});
    EXPECT_EQ(0, r.exitCode);
    EXPECT_EQ("X\n", r.out);
}

TEST(KestrinIndexEval, RunErrorsAreReportedInEveryMode) {
    Outcome r = RunInProcess({"eval", "1/0"});
    EXPECT_EQ(1, r.exitCode);
    EXPECT_EQ("", r.out);
    EXPECT_EQ("error: x/0 is not allowed\n", r.err);
    r = RunInProcess({"eval", "GENERATION"});
    EXPECT_EQ("error: Unknown IDbyte 32\n", r.err);
    r = RunInProcess({"eval", "INITIALS(\"x\")"}); // silent in text context
    EXPECT_EQ(0, r.exitCode);
    EXPECT_EQ("\n", r.out);
    r = RunInProcess({"eval", "VAL(\"x\")"});
    EXPECT_EQ(1, r.exitCode);
    EXPECT_EQ("error: 'x' is not a valid number\n", r.err);
}

TEST(KestrinIndexEval, ConvertsBetweenUtf8AndWindows1252UnlessRaw) {
    Outcome r = RunInProcess({"eval", "UCASE$(\"m\xC3\xBCller \xE2\x82\xAC\")"});
    EXPECT_EQ("M\xC3\x9CLLER \xE2\x82\xAC\n", r.out);
    r = RunInProcess({"eval", "LEN(\"\xC3\xBC\")"});
    EXPECT_EQ("1\n", r.out);
    r = RunInProcess({"eval", "--raw", "UCASE$(\"m\xFCller\")"});
    EXPECT_EQ("M\xDCLLER\n", r.out);
    r = RunInProcess({"eval", "--raw", "LEN(\"\xC3\xBC\")"});
    EXPECT_EQ("2\n", r.out);
    r = RunInProcess({"eval", "VAL(\"\xC3\xA9\")"});
    EXPECT_EQ("error: '\xC3\xA9' is not a valid number\n", r.err);
}

TEST(KestrinIndexEval, DatesReadTheWordsOfTheLanguageFile) {
    // The shipped Dutch language file: "voor" marks a date before, "tussen" a range.
    Outcome r = RunInProcess({"eval", "AGE(\"10-05-1900\",\"09-05-1950\")"});
    EXPECT_EQ("49\n", r.out);
    r = RunInProcess({"eval", "YEAR$(\"voor 1850\",1)"});
    EXPECT_EQ("<1850\n", r.out);
    r = RunInProcess({"eval", "--language=GB", "YEAR$(\"before 1850\",1)+YEAR$(\"voor 1850\",1)"});
    EXPECT_EQ("<1850\n", r.out);
}

TEST(KestrinIndexEval, CodeListsTheCompiledBytes) {
    Outcome r = RunInProcess({"eval", "--code", "7"});
    EXPECT_EQ(0, r.exitCode);
    EXPECT_EQ("code: 02 00 04 07\n[2] arithmetic\n  byte 7\n7\n", r.out);
    r = RunInProcess({"eval", "--code", "NOSUCH"});
    EXPECT_EQ("code: (none)\n\n", r.out);
    r = RunInProcess({"eval", "--code", "1/0"});
    EXPECT_EQ(1, r.exitCode);
    EXPECT_EQ("code: 05 00 04 01 2F 04 00\n[5] arithmetic\n  byte 1\n  / byte 0\n", r.out);
}

} // namespace
} // namespace ks
