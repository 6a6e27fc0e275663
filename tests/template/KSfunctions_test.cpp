#include "template/KSfunctions.h"

#include "common/KSerrors.h"
#include "template/KSbytecode.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace ks {
namespace {

TEST(KSfunctions, TableHolds113EntriesBetween29And205) {
    const TFunctionTable& table = FunctionTable();
    int filled = 0;
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].FunctionName.empty()) continue;
        ++filled;
        EXPECT_EQ(static_cast<int>(i), table[i].FunctionNumber);
        EXPECT_GE(i, 29u);
        EXPECT_LE(i, 205u);
    }
    EXPECT_EQ(113, filled);
    for (int empty : {0, 28, 69, 75, 92, 119, 140, 170, 199, 206, 255})
        EXPECT_TRUE(table[static_cast<std::size_t>(empty)].FunctionName.empty()) << empty;
}

TEST(KSfunctions, SignaturesRegisterNameTypeParametersAndOrder) {
    const TFunctionTable& table = FunctionTable();
    const TFunction& mid = table[49];
    EXPECT_EQ("MID$", mid.FunctionName);
    EXPECT_EQ("T,G,G=-1", mid.ParamSpec); // closing parenthesis missing in the signature
    EXPECT_EQ(3, mid.ParamCount);
    EXPECT_EQ(kTypeText, mid.ResultType);

    const TFunction& age = table[58];
    EXPECT_EQ("AGE", age.FunctionName);
    EXPECT_EQ("D,D=DATE,G=0", age.ParamSpec);
    EXPECT_EQ("312", age.ArgOrder);

    EXPECT_EQ("G=0,T,T=\" \"", table[102].ParamSpec);
    EXPECT_EQ(3, table[102].ParamCount);
    EXPECT_EQ(3, table[110].ParamCount);
    EXPECT_EQ("D,T=\"\",G=0", table[137].ParamSpec);
    EXPECT_EQ(2, table[60].ParamCount);
    EXPECT_EQ(0, table[76].ParamCount);
    EXPECT_EQ(kTypeDate, table[116].ResultType);
    EXPECT_EQ(kTypeNumber, table[139].ResultType);
    EXPECT_EQ("@", table[200].FunctionName);
}

TEST(KSfunctions, RegisterFunctionRejectsBadResultLetter) {
    TFunctionTable table;
    EXPECT_THROW(RegisterFunction(table, 30, "X=FOO(T)"), EKSError);
    try {
        RegisterFunction(table, 30, "FOO");
        FAIL();
    } catch (const EKSError& e) {
        EXPECT_STREQ("Error in functionlist", e.what());
    }
    EXPECT_THROW(RegisterFunction(table, 30, "g=foo(T"), EKSError); // the letter is case-sensitive
    RegisterFunction(table, 31, "G=foo(T");
    EXPECT_EQ("FOO", table[31].FunctionName);
    EXPECT_EQ("T", table[31].ParamSpec);
}

TEST(KSfunctions, CountParamsCutsOutsideQuotesAndBrackets) {
    EXPECT_EQ(0, CountParams(""));
    EXPECT_EQ(3, CountParams("T,G,G=-1"));
    EXPECT_EQ(3, CountParams("G=0,T,T=\" \""));
    EXPECT_EQ(2, CountParams("\"a,b\",c"));
    EXPECT_EQ(2, CountParams("MID$(x,1,2),3"));
    EXPECT_EQ(1, CountParams("a,")); // a trailing comma leaves nothing to cut
    EXPECT_EQ(2, CountParams(",a"));
    EXPECT_EQ(3, CountParams("a,,b"));
    EXPECT_EQ(1, CountParams("\"a,b")); // an unclosed quote hides every later comma
    EXPECT_EQ(2, CountParams("a),b"));  // a stray closing bracket does not hide commas
    EXPECT_EQ(1, CountParams("(a,b"));
}

TEST(KSfunctions, FindFunctionMatchesNamesDollarFormsAndArgumentCounts) {
    EXPECT_EQ(49, FindFunction("MID$", 2));
    EXPECT_EQ(kNoFunction, FindFunction("MID", 2));
    EXPECT_EQ(58, FindFunction("AGE$", 1));
    EXPECT_EQ(136, FindFunction("DATE", 0));
    EXPECT_EQ(137, FindFunction("DATE", 1));
    EXPECT_EQ(137, FindFunction("DATE", 3));
    EXPECT_EQ(137, FindFunction("DATE", 4)); // too many: the last match wins
    EXPECT_EQ(138, FindFunction("YEAR$", 1));
    EXPECT_EQ(139, FindFunction("YEAR", 1));
    EXPECT_EQ(134, FindFunction("CONTENTS$", 2));
    EXPECT_EQ(135, FindFunction("CONTENTS", 2));
    EXPECT_EQ(kNoFunction, FindFunction("", 0));
    EXPECT_EQ(kNoFunction, FindFunction("$", 0));
    EXPECT_EQ(131, FindFunction("IF", 3));
    EXPECT_EQ(130, FindFunction("IF$", 3));
}

// The functions this system evaluates, as the language's manual lists them:
// each has exactly the handler of its result type, every other none.
TEST(KSfunctions, HandlersBelongToTheEvaluatedFunctionsOnly) {
    const std::set<int> text = {46, 47, 48,  49,  50,  51,  52,  57,  58,  59,  60,  68,  72,  73,
                                76, 89, 104, 105, 111, 112, 113, 115, 116, 128, 129, 136, 137, 138};
    const std::set<int> number = {53, 54, 100, 139};
    std::set<int> withText, withNumber;
    for (const TFunction& f : FunctionTable()) {
        if (f.TextHandler != nullptr) withText.insert(f.FunctionNumber);
        if (f.NumberHandler != nullptr) withNumber.insert(f.FunctionNumber);
    }
    EXPECT_EQ(text, withText);
    EXPECT_EQ(number, withNumber);
    EXPECT_EQ(58, static_cast<int>(code::FnId::Age));
    EXPECT_EQ("AGE", FunctionTable()[static_cast<std::size_t>(code::FnId::Age)].FunctionName);
    EXPECT_EQ("YEAR$",
              FunctionTable()[static_cast<std::size_t>(code::FnId::YearText)].FunctionName);
}

TEST(KSfunctions, ParameterTypesInTheOrderOfTheCode) {
    const TFunctionTable& table = FunctionTable();
    struct Case {
        int function;
        std::vector<std::string> emitted; // type of each argument in code order
    };
    for (const Case& c : std::vector<Case>{{58, {"G", "D", "D"}}, // AGE: "312"
                                           {49, {"T", "G", "G"}},
                                           {130, {"B", "T", "T"}},
                                           {134, {"GV", "G"}},
                                           {102, {"G", "T", "T"}},
                                           {76, {}}}) {
        const TFunction& f = table[static_cast<std::size_t>(c.function)];
        std::vector<std::string> emitted;
        for (int k = 0; k < f.ParamCount; ++k)
            emitted.emplace_back(ParamType(f, EmittedParam(f, k)));
        EXPECT_EQ(c.emitted, emitted) << f.FunctionName;
        EXPECT_EQ("", ParamType(f, f.ParamCount)) << f.FunctionName;
    }
}

} // namespace
} // namespace ks
