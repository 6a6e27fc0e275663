#include "template/KSbytecode.h"

#include "template/KSfixed.h"
#include "template/KSfunctions.h"

#include <string_view>

namespace ks::code {
namespace {

constexpr int kMaxListingDepth = 300;

class Lister {
public:
    explicit Lister(std::string_view code) : code_(code) {}
    std::string Take() { return std::move(out_); }

    // A length-prefixed piece at pos; lists it and returns the position after it.
    std::size_t Piece(std::size_t pos, std::size_t end, int depth, bool condition) {
        if (pos + 2 > end) return Truncated(depth, end);
        int length = 0;
        const std::size_t pieceEnd = PieceAt(code_, pos, end, &length);
        Line(depth, "[" + std::to_string(length) + "] " + (condition ? "condition" : "arithmetic"));
        if (length < 0) {
            Line(depth + 1, "(bad length)");
            return pos;
        }
        if (end - pos < static_cast<std::size_t>(length))
            Line(depth + 1, "(length runs past the end)");
        if (depth >= kMaxListingDepth) {
            Line(depth + 1, "(nested too deep)");
            return pieceEnd;
        }
        if (condition)
            Condition(pos, pieceEnd, depth + 1);
        else
            Arithmetic(pos, pieceEnd, depth + 1);
        return pieceEnd;
    }

private:
    unsigned Byte(std::size_t pos) const { return static_cast<unsigned char>(code_[pos]); }

    void Line(int depth, const std::string& text) {
        out_.append(static_cast<std::size_t>(depth) * 2, ' ');
        out_ += text;
        out_ += '\n';
    }

    std::size_t Truncated(int depth, std::size_t end) {
        Line(depth, "(truncated)");
        return end;
    }

    void Arithmetic(std::size_t pos, std::size_t end, int depth) {
        std::string op;
        while (pos < end) {
            pos = Operand(pos, end, depth, op);
            if (pos >= end) return;
            op = std::string(1, static_cast<char>(Byte(pos++))) + " ";
        }
        if (!op.empty()) Line(depth, op + "(missing operand)");
    }

    std::size_t Operand(std::size_t pos, std::size_t end, int depth, const std::string& op) {
        const unsigned id = Byte(pos++);
        switch (id) {
        case kBracket:
            Line(depth, op + "bracket");
            return Piece(pos, end, depth + 1, false);
        case kTextLiteral:
            return TextLiteral(pos, end, depth, op);
        case kNumber8:
            return Number(pos, end, 8, depth, op);
        case kNumber2:
            return Number(pos, end, 2, depth, op);
        case kNumber1:
            return Number(pos, end, 1, depth, op);
        case kTextVariable:
        case kNumberVariable:
            if (pos >= end) return Truncated(depth, end);
            Line(depth, op + (id == kTextVariable ? "text variable #" : "number variable #") +
                            std::to_string(Byte(pos)));
            return pos + 1;
        case kField11:
        case kField12:
        case kField13:
        case kField20:
            Line(depth, op + "field " + std::to_string(id));
            return pos;
        default:
            return Call(id, pos, end, depth, op);
        }
    }

    std::size_t TextLiteral(std::size_t pos, std::size_t end, int depth, const std::string& op) {
        if (pos + 2 > end) return Truncated(depth, end);
        const std::size_t stop = PieceAt(code_, pos, end);
        Line(depth, op + "text " + Quoted(code_.substr(pos, stop - pos)));
        return stop;
    }

    std::size_t Number(std::size_t pos, std::size_t end, std::size_t size, int depth,
                       const std::string& op) {
        if (pos + size > end) return Truncated(depth, end);
        std::string text;
        if (size == 8)
            text = "number " + FixedToText(Int64At(code_, pos, end), '.');
        else if (size == 2)
            text = "word " + std::to_string(WordAt(code_, pos, end));
        else
            text = "byte " + std::to_string(Byte(pos++));
        Line(depth, op + text);
        return pos;
    }

    std::size_t Call(unsigned id, std::size_t pos, std::size_t end, int depth,
                     const std::string& op) {
        const TFunction& f = FunctionTable()[id];
        if (id < kFirstFunction || f.FunctionName.empty()) {
            Line(depth, op + "unknown ID " + std::to_string(id));
            return end;
        }
        Line(depth, op + "call " + std::to_string(id) + " " + f.FunctionName);
        for (int k = 0; k < f.ParamCount && pos < end; ++k)
            pos = Piece(pos, end, depth + 1, ParamIsCondition(f, k));
        return pos;
    }

    // Whether the k-th emitted argument of f is a condition.
    static bool ParamIsCondition(const TFunction& f, int k) {
        const std::string_view type = ParamType(f, EmittedParam(f, k));
        return !type.empty() && type.front() == 'B';
    }

    void Condition(std::size_t pos, std::size_t end, int depth) {
        while (pos < end) {
            const char term = static_cast<char>(Byte(pos++));
            if (term == kTermComparison || term == kTermComparisonNot) {
                Line(depth, std::string(term == kTermComparisonNot ? "NOT " : "") + "comparison");
                pos = Comparison(pos, end, depth + 1);
            } else if (term == kTermCondition || term == kTermConditionNot) {
                Line(depth, std::string(term == kTermConditionNot ? "NOT " : "") + "nested");
                pos = Piece(pos, end, depth + 1, true);
            } else if (term == kAnd || term == kOr) {
                Line(depth, term == kAnd ? "AND" : "OR");
            } else {
                Line(depth,
                     "unknown term byte " + std::to_string(static_cast<unsigned char>(term)));
                return;
            }
        }
    }

    std::size_t Comparison(std::size_t pos, std::size_t end, int depth) {
        if (pos + 3 > end) return Truncated(depth, end);
        int length = 0;
        const std::size_t stop = PieceAt(code_, pos, end, &length);
        Line(depth, "[" + std::to_string(length) + "] kind " +
                        std::string(1, static_cast<char>(Byte(pos))));
        std::size_t p = Piece(pos + 1, stop, depth + 1, false);
        if (p < stop) Line(depth + 1, "operator " + OperatorName(Byte(p++)));
        if (p < stop) Piece(p, stop, depth + 1, false);
        return stop;
    }

    static std::string OperatorName(unsigned op) {
        switch (op) {
        case kOpNotEqual:
            return "<>";
        case kOpLessEqual:
            return "<=";
        case kOpGreaterEqual:
            return ">=";
        case kOpNotLike:
            return "~!";
        case kOpSame:
            return "==";
        default:
            return std::string(1, static_cast<char>(op));
        }
    }

    static std::string Quoted(std::string_view bytes) {
        static const char* const hex = "0123456789ABCDEF";
        std::string out = "\"";
        for (const char ch : bytes) {
            const auto c = static_cast<unsigned char>(ch);
            if (c >= 32 && c < 127 && c != '\\') {
                out += ch;
            } else {
                out += "\\x";
                out += hex[c >> 4];
                out += hex[c & 15];
            }
        }
        return out + "\"";
    }

    std::string_view code_;
    std::string out_;
};

} // namespace

int WordAt(std::string_view code, std::size_t& pos, std::size_t end) {
    if (pos >= end) return 0;
    int value = static_cast<unsigned char>(code[pos]);
    if (end - pos >= 2)
        value = static_cast<int16_t>(value | (static_cast<unsigned char>(code[pos + 1]) << 8));
    pos = end - pos >= 2 ? pos + 2 : end;
    return value;
}

int64_t Int64At(std::string_view code, std::size_t& pos, std::size_t end) {
    if (pos >= end || end - pos < 8) {
        pos = end > pos ? end : pos;
        return 0;
    }
    uint64_t raw = 0;
    for (std::size_t k = 8; k-- > 0;)
        raw = (raw << 8) | static_cast<unsigned char>(code[pos + k]);
    pos += 8;
    return static_cast<int64_t>(raw);
}

std::size_t PieceAt(std::string_view code, std::size_t& pos, std::size_t end, int* written) {
    const int length = WordAt(code, pos, end);
    if (written != nullptr) *written = length;
    if (length < 0) return pos;
    return end - pos < static_cast<std::size_t>(length) ? end
                                                        : pos + static_cast<std::size_t>(length);
}

std::string Disassemble(const std::string& code) {
    Lister lister(code);
    lister.Piece(0, code.size(), 0, false);
    return lister.Take();
}

} // namespace ks::code
