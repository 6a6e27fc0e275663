#include "template/KScompiler.h"

#include "common/KSconvert.h"
#include "common/KSerrors.h"
#include "common/KStextutil.h"
#include "template/KSbytecode.h"
#include "template/KSfixed.h"
#include "template/KSfunctions.h"
#include "template/KSinterpreter.h"

#include <string_view>
#include <vector>

namespace ks {
namespace {

using std::string_view;

constexpr char kQuote = '"';
constexpr char kMarker = '\xFF'; // stands for a connector while a condition is cut into terms
constexpr int kMaxNesting = 256;
// Work allowance of one compile, in bytes looked at: far above what any real
// expression needs, it keeps retried pieces of pathological input from
// running for ever.
constexpr long long kBudgetBase = 1 << 25;
constexpr long long kBudgetPerByte = 16;

const char* const kSyntaxError = "Syntax error";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

string_view TrimView(string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32)
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32)
        text.remove_suffix(1);
    return text;
}

// 0-based index of the stop character, or the text's size.
std::size_t ScanView(string_view text, std::size_t start, string_view stops, char quote,
                     string_view pairs) {
    // One class per byte value: 0 plain, 1 stop, 2 quote, 3 + 2k opening and
    // 4 + 2k closing bracket of pair k.
    unsigned char kind[256] = {};
    for (int c = 0; c < 32; ++c)
        kind[c] = 1;
    for (const char c : stops)
        kind[static_cast<unsigned char>(c)] = 1;
    const std::size_t pairCount = pairs.size() / 2 < 3 ? pairs.size() / 2 : 3;
    for (std::size_t k = 0; k < pairCount; ++k) {
        kind[static_cast<unsigned char>(pairs[2 * k])] = static_cast<unsigned char>(3 + 2 * k);
        kind[static_cast<unsigned char>(pairs[2 * k + 1])] = static_cast<unsigned char>(4 + 2 * k);
    }
    kind[static_cast<unsigned char>(quote)] = 2;
    int depth[3] = {0, 0, 0};
    int open = 0; // brackets open over all pairs
    bool inQuote = false;
    const char* data = text.data();
    for (std::size_t i = start; i < text.size(); ++i) {
        const unsigned char k = kind[static_cast<unsigned char>(data[i])];
        if (k == 0) continue;
        if (k == 2) {
            inQuote = !inQuote;
        } else if (inQuote) {
            continue;
        } else if (k == 1) {
            if (open == 0) return i;
        } else if (k % 2 == 1) {
            ++depth[(k - 3) / 2];
            ++open;
        } else {
            int& d = depth[(k - 4) / 2];
            if (d == 0) return i;
            --d;
            --open;
        }
    }
    return text.size();
}

// First occurrence of word outside quotes and (with parens) outside round
// brackets, 0-based, or npos. A word inside an unclosed quote is never found.
std::size_t FindOutsideView(string_view text, string_view word, bool parens) {
    bool inQuote = false;
    int depth = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == word.front() && !inQuote && depth <= 0 && text.substr(i, word.size()) == word)
            return i;
        if (c == kQuote)
            inQuote = !inQuote;
        else if (!inQuote && parens && c == '(')
            ++depth;
        else if (!inQuote && parens && c == ')')
            --depth;
    }
    return string_view::npos;
}

// Cuts the text before the first comma outside quotes (and brackets) off.
string_view CutFieldView(string_view& text, bool parens) {
    const std::size_t pos = FindOutsideView(text, ",", parens);
    string_view field = text.substr(0, pos);
    text = pos == string_view::npos ? string_view() : text.substr(pos + 1);
    return field;
}

// Every occurrence of word outside quotes and round brackets replaced, in
// one walk (the same result as replacing the first such occurrence again and
// again).
std::string ReplaceOutside(string_view text, string_view word, string_view replacement) {
    std::string out;
    out.reserve(text.size());
    bool inQuote = false;
    int depth = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (!inQuote && depth <= 0 && text.substr(i, word.size()) == word) {
            out += replacement;
            i += word.size();
            continue;
        }
        const char c = text[i++];
        if (c == kQuote)
            inQuote = !inQuote;
        else if (!inQuote && c == '(')
            ++depth;
        else if (!inQuote && c == ')')
            --depth;
        out += c;
    }
    return out;
}

string_view StripBrackets(string_view text) {
    for (;;) {
        text = TrimView(text);
        if (text.size() <= 1 || text.front() != '(' || text.back() != ')') return text;
        text = text.substr(1, text.size() - 2);
    }
}

class Compiler {
public:
    Compiler(int flags, std::size_t sourceLength)
        : flags_(flags),
          budget_(kBudgetBase + kBudgetPerByte * static_cast<long long>(sourceLength)) {}

    int Operand(string_view text, std::string& code);
    int Arithmetic(string_view text, std::string& code);
    bool AsType(string_view text, std::string& code, int wanted);
    bool Comparison(string_view text, std::string& code);
    bool Condition(string_view text, std::string& code);

private:
    class Nesting {
    public:
        explicit Nesting(Compiler& c) : c_(c) { ++c_.depth_; }
        ~Nesting() { --c_.depth_; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;
        bool TooDeep() const { return c_.depth_ > kMaxNesting; }

    private:
        Compiler& c_;
    };

    class Quiet {
    public:
        explicit Quiet(Compiler& c) : c_(c), saved_(c.flags_) { c_.flags_ |= kProbeMode; }
        ~Quiet() { c_.flags_ = saved_; }
        Quiet(const Quiet&) = delete;
        Quiet& operator=(const Quiet&) = delete;

    private:
        Compiler& c_;
        int saved_;
    };

    // Reports a fault: raised, or in probe mode only failure (0 / false).
    int Fault(const char* message) {
        if ((flags_ & kProbeMode) == 0) RaiseCompileError(message);
        return 0;
    }
    bool Charge(std::size_t bytes) {
        budget_ -= static_cast<long long>(bytes) + 1;
        return budget_ >= 0;
    }
    // body with its length prefix in front; false when it is too long.
    bool Prefixed(const std::string& body, std::string& code) {
        if (body.size() > code::kMaxPiece) return Fault(kSyntaxError);
        code = PackWord(static_cast<int16_t>(body.size())) + body;
        return true;
    }

    int TextLiteral(string_view text, std::string& code);
    int Variable(string_view text, std::string& code);
    int Bracket(string_view text, std::string& code);
    int NumberLiteral(string_view text, std::string& code);
    int Call(string_view text, std::string& code);
    bool Argument(string_view type, string_view text, std::string& code);

    int flags_;
    int depth_ = 0;
    long long budget_;
};

int Compiler::Operand(string_view text, std::string& code) {
    code.clear();
    if (!Charge(text.size()) || text.empty()) return Fault(kSyntaxError);
    // "#" before anything but a digit is dropped.
    while (text.front() == '#' && (text.size() < 2 || !IsDigit(text[1]))) {
        text.remove_prefix(1);
        if (text.empty()) return Fault(kSyntaxError);
    }
    const char first = text.front();
    if (first == kQuote) return TextLiteral(text, code);
    if (first == '#') return Variable(text, code);
    if (first == '(') return Bracket(text, code);
    if (first == '+' || first == '-' || first == '.' || IsDigit(first))
        return NumberLiteral(text, code);
    if (first == '[') return Fault("Syntax error: file not open");
    return Call(text, code);
}

int Compiler::TextLiteral(string_view text, std::string& code) {
    if (text.size() < 2 || text.back() != kQuote) return Fault(kSyntaxError);
    const string_view inside = text.substr(1, text.size() - 2);
    if (inside.find(kQuote) != string_view::npos) return Fault(kSyntaxError);
    std::string literal;
    if (!Prefixed(std::string(inside), literal)) return 0;
    code = static_cast<char>(code::kTextLiteral) + literal;
    return kTypeText;
}

int Compiler::Variable(string_view text, std::string& code) {
    const bool isText = text.back() == '$';
    const string_view digits = text.substr(1, text.size() - (isText ? 2 : 1));
    const int n = StrToIntDef(std::string(digits), 0);
    if (n < 1 || n > 99) return Fault(kSyntaxError);
    code += static_cast<char>(isText ? code::kTextVariable : code::kNumberVariable);
    code += static_cast<char>(n);
    return isText ? kTypeText : kTypeNumber;
}

int Compiler::Bracket(string_view text, std::string& code) {
    Nesting nesting(*this);
    if (nesting.TooDeep()) return Fault(kSyntaxError);
    const std::size_t stop = ScanView(text, 1, "", kQuote, "()");
    if (stop + 1 != text.size() || text.back() != ')') return Fault(kSyntaxError);
    std::string inner;
    const int type = Arithmetic(text.substr(1, text.size() - 2), inner);
    if (type == kTypeNone) return kTypeNone;
    code = static_cast<char>(code::kBracket) + inner;
    return type;
}

int Compiler::NumberLiteral(string_view text, std::string& code) {
    SetDecimalSeparator('.');
    TFixed value = 0;
    if (!TryParseFixed(text, '.', value)) return Fault(kSyntaxError);
    if (value % kFixedOne != 0) {
        code = static_cast<char>(code::kNumber8) + PackInt64(value);
        return kTypeNumber;
    }
    const int64_t whole = value / kFixedOne;
    if (whole >= 0 && whole <= 255) {
        code = static_cast<char>(code::kNumber1);
        code += static_cast<char>(whole);
    } else if (whole >= -32768 && whole <= 32767) {
        code = static_cast<char>(code::kNumber2) + PackWord(static_cast<int16_t>(whole));
    } else {
        code = static_cast<char>(code::kNumber8) + PackInt64(value);
    }
    return kTypeNumber;
}

int Compiler::Call(string_view text, std::string& code) {
    Nesting nesting(*this);
    if (nesting.TooDeep()) return Fault(kSyntaxError);
    const std::size_t open = text.find('(');
    const std::string name = AsciiUpper(std::string(text.substr(0, open)));
    string_view args = open == string_view::npos ? string_view() : text.substr(open + 1);
    if (!args.empty()) {
        if (args.back() != ')') return Fault("Right parentheses missing");
        args.remove_suffix(1);
    }
    const int count = CountParams(args);
    const int number = FindFunction(name, count);
    if (number == kNoFunction) return Fault(kSyntaxError);
    const TFunction& f = FunctionTable()[static_cast<std::size_t>(number)];
    if (f.ParamCount == 0 && count > 0) return Fault("No parameters allowed");

    struct Arg {
        string_view type;
        string_view text;
    };
    std::vector<Arg> list;
    string_view items = f.ParamSpec;
    for (int i = 0; i < f.ParamCount; ++i) {
        const string_view item = CutFieldView(items, false);
        const std::size_t eq = item.find('=');
        const string_view fallback = eq == string_view::npos ? string_view() : item.substr(eq + 1);
        const string_view written = CutFieldView(args, true);
        const string_view used = written.empty() ? fallback : written;
        if (used.empty()) return Fault("Parameter missing");
        list.push_back({item.substr(0, eq), used});
    }
    if (!args.empty()) return Fault("Too many parameters");

    code = static_cast<char>(number);
    for (int k = 0; k < f.ParamCount; ++k) {
        const int index = EmittedParam(f, k);
        if (index < 0 || index >= f.ParamCount) return Fault(kSyntaxError);
        std::string piece;
        const Arg& arg = list[static_cast<std::size_t>(index)];
        if (!Argument(arg.type, arg.text, piece)) return kTypeNone;
        code += piece;
    }
    return f.ResultType;
}

bool Compiler::Argument(string_view type, string_view text, std::string& code) {
    if (type == "T") return AsType(text, code, kTypeText) || Fault("Text expected");
    if (type == "G") return AsType(text, code, kTypeNumber) || Fault("Numeric value expected");
    if (type == "D") return AsType(text, code, kTypeDate) || Fault("Date expected");
    if (type == "B") return Condition(text, code) || Fault("Boolean expression expected");
    if (type == "TV") return Fault("Text or Fieldname expected");
    if (type == "GV") return Fault("Numeric or Fieldname expected");
    return Fault(kSyntaxError);
}

int Compiler::Arithmetic(string_view text, std::string& code) {
    code.clear();
    if (!Charge(text.size())) return Fault(kSyntaxError);
    string_view rest = TrimView(text);
    if (rest.empty()) rest = "\"\"";
    std::string body;
    int type = kTypeNone;
    for (;;) {
        const std::size_t stop = ScanView(rest, 0, code::kOperators, kQuote, "(){}[]");
        const string_view operand = stop == 0 ? rest : rest.substr(0, stop);
        rest = stop == 0 ? string_view() : TrimView(rest.substr(stop));
        std::string piece;
        if (type == kTypeNone) {
            type = Operand(TrimView(operand), piece);
            if (type == kTypeNone) return Fault(kSyntaxError);
            body += piece;
        } else {
            if (!AsType(operand, piece, type == kTypeNumber ? kTypeNumber : kTypeDate))
                return Fault(kSyntaxError);
            body.append(piece, 2);
        }
        if (body.size() > code::kMaxPiece) return Fault(kSyntaxError);
        if (rest.empty()) break;
        if (string_view(code::kOperators).find(rest.front()) == string_view::npos)
            return Fault(kSyntaxError);
        body += rest.front();
        rest = TrimView(rest.substr(1));
        if (rest.empty()) return Fault(kSyntaxError);
    }
    return Prefixed(body, code) ? type : kTypeNone;
}

bool Compiler::AsType(string_view text, std::string& code, int wanted) {
    const int type = Arithmetic(text, code);
    const bool ok = type == wanted || (wanted == kTypeDate && type == kTypeText);
    if (!ok) code.clear();
    return ok;
}

bool Compiler::Comparison(string_view text, std::string& code) {
    code.clear();
    if (!Charge(text.size())) return Fault(kSyntaxError);
    const std::size_t at = ScanView(text, 0, "=<>~", kQuote, "()");
    if (at == 0 || at + 1 >= text.size()) return false;
    const string_view two = text.substr(at, 2);
    std::size_t length = 2;
    char op = 0;
    if (two == "<>")
        op = static_cast<char>(code::kOpNotEqual);
    else if (two == "<=")
        op = static_cast<char>(code::kOpLessEqual);
    else if (two == ">=")
        op = static_cast<char>(code::kOpGreaterEqual);
    else if (two == "~!")
        op = static_cast<char>(code::kOpNotLike);
    else if (two == "==")
        op = static_cast<char>(code::kOpSame);
    else if (string_view("=<>~").find(text[at]) != string_view::npos)
        op = text[at], length = 1;
    else
        return false;
    // Each side is compiled once; its type decides the kind.
    std::string left;
    std::string right;
    const int tl = Arithmetic(text.substr(0, at), left);
    const int tr = tl == kTypeNone ? kTypeNone : Arithmetic(text.substr(at + length), right);
    const auto textual = [](int t) { return t == kTypeText || t == kTypeDate; };
    char kind = 0;
    if (tl == kTypeNumber && tr == kTypeNumber)
        kind = code::kKindNumber;
    else if (tl == kTypeText && tr == kTypeText)
        kind = code::kKindText;
    else if (textual(tl) && textual(tr))
        kind = code::kKindDate;
    else
        return Fault(kSyntaxError);
    return Prefixed(kind + left + op + right, code);
}

bool Compiler::Condition(string_view text, std::string& code) {
    code.clear();
    Nesting nesting(*this);
    if (!Charge(text.size()) || nesting.TooDeep()) return Fault(kSyntaxError);
    const std::string marked = ReplaceOutside(
        ReplaceOutside(ReplaceOutside(ReplaceOutside(text, " AND ", "\xFF&"), " & ", "\xFF&"),
                       " OR ", "\xFF|"),
        " | ", "\xFF|");
    const string_view whole = TrimView(marked);
    string_view rest = whole;
    std::string body;
    while (!rest.empty()) {
        const bool negated = rest.substr(0, 4) == "NOT ";
        if (negated) rest = TrimView(rest.substr(4));
        const std::size_t marker = FindOutsideView(rest, string_view(&kMarker, 1), true);
        string_view term = rest.substr(0, marker);
        char connector = 0;
        if (marker == string_view::npos) {
            rest = string_view();
        } else {
            if (marker + 1 < rest.size()) connector = rest[marker + 1];
            rest = marker + 2 < rest.size() ? TrimView(rest.substr(marker + 2)) : string_view();
        }
        term = StripBrackets(term);
        if (term.empty()) break;
        std::string piece;
        bool compared = false;
        if (term == whole) {
            compared = Comparison(term, piece);
        } else {
            // A term that is no comparison may be a condition of its own, so
            // the comparison is only tried here, never reported.
            Quiet quiet(*this);
            compared = Comparison(term, piece);
        }
        if (compared) {
            body += negated ? code::kTermComparisonNot : code::kTermComparison;
        } else if (term != whole && Condition(term, piece)) {
            body += negated ? code::kTermConditionNot : code::kTermCondition;
        } else {
            return false;
        }
        body += piece;
        if (body.size() > code::kMaxPiece) return Fault(kSyntaxError);
        if (connector == '&') body += code::kAnd;
        if (connector == '|') body += code::kOr;
    }
    return Prefixed(body, code);
}

} // namespace

int ScanToStop(const std::string& text, int start, const std::string& stops, char quote,
               const std::string& pairs) {
    const std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start - 1);
    return static_cast<int>(ScanView(text, from, stops, quote, pairs));
}

int CompileOperand(const std::string& text, int flags, std::string& code) {
    return Compiler(flags, text.size()).Operand(text, code);
}

int CompileArithmetic(const std::string& text, int flags, std::string& code) {
    return Compiler(flags, text.size()).Arithmetic(text, code);
}

bool CompileAsText(const std::string& text, int flags, std::string& code) {
    return Compiler(flags, text.size()).AsType(text, code, kTypeText);
}

bool CompileAsNumber(const std::string& text, int flags, std::string& code) {
    return Compiler(flags, text.size()).AsType(text, code, kTypeNumber);
}

bool CompileAsDate(const std::string& text, int flags, std::string& code) {
    return Compiler(flags, text.size()).AsType(text, code, kTypeDate);
}

bool CompileComparison(const std::string& text, int flags, std::string& code) {
    return Compiler(flags, text.size()).Comparison(text, code);
}

bool CompileCondition(const std::string& text, int flags, std::string& code) {
    return Compiler(flags, text.size()).Condition(text, code);
}

std::string EvaluateExpression(const std::string& expression, int flags) {
    std::string code;
    return EvaluateExpression(expression, flags, code);
}

std::string EvaluateExpression(const std::string& expression, int flags, std::string& code) {
    // One compile decides between text (or date) and number.
    const int type = Compiler(flags, expression.size()).Arithmetic(expression, code);
    if (type == kTypeText || type == kTypeDate) {
        std::string text;
        RunText(code, flags, 3, text);
        return text;
    }
    if (type == kTypeNumber) return FixedToText(RunNumber(code, flags, 3), DecimalSeparator());
    return "";
}

void RaiseCompileError(const std::string& message) {
    throw EKSError(message);
}

} // namespace ks
