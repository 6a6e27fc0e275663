// Random and mutated expressions through compile and run, in both modes:
// each must end in a result or in one of the language's own errors.
#include "common/KSerrors.h"
#include "template/KSbytecode.h"
#include "template/KScompiler.h"
#include "template/KSfunctions.h"
#include "template/KSinterpreter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <set>
#include <vector>

namespace ks {
namespace {

const std::set<std::string> kCompileErrors = {"Syntax error",
                                              "Syntax error: file not open",
                                              "Right parentheses missing",
                                              "No parameters allowed",
                                              "Parameter missing",
                                              "Too many parameters",
                                              "Text expected",
                                              "Numeric value expected",
                                              "Date expected",
                                              "Boolean expression expected",
                                              "Text or Fieldname expected",
                                              "Numeric or Fieldname expected"};

const std::set<std::string> kRunErrors = {"CHR(N) : parameter out of range",
                                          "STRING$(N,N) : parameter out of range",
                                          "MID$(T,N,N) : parameter out of range",
                                          "INFO$(T,N,N) : parameter out of range",
                                          "INSERT$(T,G,T) : parameter out of range",
                                          "x Mod 0 is not allowed",
                                          "x/0 is not allowed",
                                          "x\\0 is not allowed",
                                          "Floating point overflow",
                                          "Invalid floating point operation",
                                          "Out of memory"};

bool IsRunError(const std::string& message) {
    if (kRunErrors.count(message)) return true;
    const std::string unknown = "Unknown IDbyte ";
    if (message.compare(0, unknown.size(), unknown) != 0 || message.size() == unknown.size())
        return false;
    return message.find_first_not_of("0123456789", unknown.size()) == std::string::npos;
}

// Runs one expression in both modes; a failure names the expression.
void Check(const std::string& expression) {
    for (int flags : {0, kProbeMode}) {
        std::string code;
        try {
            EvaluateExpression(expression, flags, code);
        } catch (const EConvertError&) {
            // VAL of a text that is no number
        } catch (const EKSError& e) {
            const std::string message = e.what();
            const bool allowed =
                IsRunError(message) || (flags == 0 && kCompileErrors.count(message));
            ASSERT_TRUE(allowed) << "flags " << flags << ": \"" << message << "\" for "
                                 << expression.substr(0, 200);
        }
        if (!code.empty()) code::Disassemble(code);
    }
}

class Generator {
public:
    explicit Generator(uint32_t seed) : rng_(seed) {
        for (const TFunction& f : FunctionTable())
            if (!f.FunctionName.empty()) words_.push_back(f.FunctionName);
        for (const char* w : {"(",
                              ")",
                              "(",
                              ")",
                              ",",
                              "\"",
                              "\"a,b\"",
                              "\"x\"",
                              "\"\"",
                              "+",
                              "-",
                              "*",
                              "/",
                              "\\",
                              "^",
                              "%",
                              "=",
                              "<>",
                              "<=",
                              ">=",
                              "~",
                              "~!",
                              "==",
                              " AND ",
                              " OR ",
                              " & ",
                              " | ",
                              "NOT ",
                              "#5",
                              "#5$",
                              "#0",
                              "#",
                              "[",
                              "]",
                              "{",
                              "}",
                              " ",
                              "0",
                              "1",
                              "7",
                              "27",
                              "255",
                              "256",
                              "-1",
                              "0.5",
                              "1.5",
                              "40000",
                              "922337203685477",
                              "0.0001",
                              ".",
                              "$",
                              "\x1B",
                              "\xFF",
                              "\t",
                              "BOLD$(\"ab\")",
                              "DATE",
                              "TIME",
                              "\"1,5\""})
            words_.push_back(w);
    }

    std::string Soup(std::size_t tokens) {
        std::string out;
        for (std::size_t i = 0; i < tokens; ++i)
            out += words_[Pick(words_.size())];
        return out;
    }

    std::string RandomBytes(std::size_t length) {
        std::string out;
        for (std::size_t i = 0; i < length; ++i)
            out += static_cast<char>(Pick(256));
        return out;
    }

    std::string Mutate(std::string text) {
        const std::size_t edits = 1 + Pick(4);
        for (std::size_t k = 0; k < edits; ++k) {
            const std::size_t at = text.empty() ? 0 : Pick(text.size() + 1);
            switch (Pick(4)) {
            case 0:
                text.insert(at, 1, static_cast<char>(Pick(256)));
                break;
            case 1:
                if (at < text.size()) text.erase(at, 1);
                break;
            case 2:
                text.insert(at, words_[Pick(words_.size())]);
                break;
            default:
                if (at < text.size()) text[at] = "()\",+-*/=$# "[Pick(12)];
                break;
            }
        }
        return text;
    }

    std::size_t Pick(std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_);
    }

private:
    std::mt19937 rng_;
    std::vector<std::string> words_;
};

const char* const kSeeds[] = {"2+3*4",
                              "MID$(\"abcdef\",2,3)",
                              "UCASE$(\"abc\")+LCASE$(\"DEF\")",
                              "CHR$(65)+STRING$(3,66)",
                              "INFO$(\"the quick brown fox\",2,10)",
                              "STR$(1/3,2)",
                              "VAL(\"12.5\")*2",
                              "LEN(BOLD$(\"x\"))",
                              "IF$(NOT (1=1 AND 2=2),\"y\",\"n\")",
                              "AGE(\"1-1-1900\",\"1-1-1950\",4)",
                              "ROMAN$(1999)",
                              "CENTER$(\"ab\",5,45)",
                              "INSERT$(\"abc\",2,\"X\")",
                              "SOUNDEX$(\"Robert\")",
                              "TRIM$(\" x \")",
                              "(1+2)^0.5%3\\1",
                              "DATE(DATE,\"#D1#\",2)",
                              "YEAR$(\"1850\",1)+DAY(\"1-1-1900\")",
                              "LEFT$(RIGHT$(\"abcdef\",4),2)",
                              "INFOLEN(\"a b c\",1)",
                              "BINARY$(\"xy\")+ITALIC$(\"z\")"};

TEST(KScompilerFuzz, RandomAndMutatedExpressionsEndInAResultOrAKnownError) {
    Generator gen(20240229u);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(4);
    for (const char* seed : kSeeds)
        Check(seed);
    int runs = 0;
    while (runs < 50000 && std::chrono::steady_clock::now() < deadline) {
        std::string expression;
        switch (runs % 3) {
        case 0:
            expression = gen.Soup(1 + gen.Pick(12));
            break;
        case 1:
            expression = gen.RandomBytes(gen.Pick(40));
            break;
        default:
            expression = gen.Mutate(kSeeds[gen.Pick(std::size(kSeeds))]);
            break;
        }
        Check(expression);
        if (HasFatalFailure()) return;
        ++runs;
    }
    EXPECT_GT(runs, 100);
}

TEST(KScompilerFuzz, HugeAndDeepInputsEndQuickly) {
    Generator gen(7u);
    Check(std::string(10000, '(') + "1" + std::string(10000, ')'));
    Check(std::string(10000, '(') + "1");
    Check("IF(" + std::string(5000, '(') + "1=1" + std::string(5000, ')') + ",1,2)");
    std::string sum = "1";
    while (sum.size() < (1u << 20))
        sum += "+1";
    Check(sum);
    Check("\"" + std::string(1u << 20, 'x') + "\"");
    Check(std::string(1u << 20, '#') + "5");
    Check(gen.Soup(150000));
    Check(gen.RandomBytes(1u << 20));
    std::string calls;
    for (int i = 0; i < 3000; ++i)
        calls += "IF$(NOT (1=IF(";
    Check(calls);
}

TEST(KScompilerFuzz, RandomCodeRunsWithoutReadingOutside) {
    Generator gen(99u);
    for (int i = 0; i < 3000; ++i) {
        const std::string code = gen.RandomBytes(gen.Pick(64));
        for (int flags : {0, kProbeMode}) {
            std::string text;
            try {
                RunText(code, flags, 1, text);
            } catch (const EKSError&) {
            }
            try {
                RunNumber(code, flags, 1);
            } catch (const EKSError&) {
            }
        }
        code::Disassemble(code);
    }
}

} // namespace
} // namespace ks
