#include "template/KSinterpreter.h"

#include "common/KSerrors.h"
#include "template/KSbuiltins.h"
#include "template/KSbytecode.h"
#include "template/KScompiler.h"
#include "template/KSfunctions.h"

#include <string_view>

namespace ks {
namespace {

// Compiled code nests far less deeply; deeper code is not ours and is read
// as an unknown ID byte instead of exhausting the stack.
constexpr int kMaxRunDepth = 1000;

[[noreturn]] void RaiseUnknown(unsigned id) {
    RaiseRunError("Unknown IDbyte " + std::to_string(id));
}

class Interpreter {
public:
    Interpreter(std::string_view code, int flags) : code_(code), flags_(flags) {}

    std::string Text(std::size_t pos, std::size_t end);
    TFixed Number(std::size_t pos, std::size_t end);
    std::string TextPiece(std::size_t& pos, std::size_t end);
    TFixed NumberPiece(std::size_t& pos, std::size_t end);

private:
    class Level {
    public:
        explicit Level(Interpreter& in) : in_(in) { ++in_.depth_; }
        ~Level() { --in_.depth_; }
        Level(const Level&) = delete;
        Level& operator=(const Level&) = delete;
        bool TooDeep() const { return in_.depth_ > kMaxRunDepth; }

    private:
        Interpreter& in_;
    };

    unsigned Byte(std::size_t pos) const { return static_cast<unsigned char>(code_[pos]); }
    bool TextOperand(unsigned id, std::size_t& pos, std::size_t end, std::string& out);
    bool NumberOperand(unsigned id, std::size_t& pos, std::size_t end, TFixed& out);
    void ReadArgs(const TFunction& f, std::size_t& pos, std::size_t end, TCallArgs& args);

    std::string_view code_;
    int flags_;
    int depth_ = 0;
};

std::string Interpreter::TextPiece(std::size_t& pos, std::size_t end) {
    const std::size_t pieceEnd = code::PieceAt(code_, pos, end);
    const std::size_t start = pos;
    pos = pieceEnd;
    return Text(start, pieceEnd);
}

TFixed Interpreter::NumberPiece(std::size_t& pos, std::size_t end) {
    const std::size_t pieceEnd = code::PieceAt(code_, pos, end);
    const std::size_t start = pos;
    pos = pieceEnd;
    return Number(start, pieceEnd);
}

void Interpreter::ReadArgs(const TFunction& f, std::size_t& pos, std::size_t end, TCallArgs& args) {
    for (int k = 0; k < f.ParamCount && k < 3; ++k) {
        const int index = EmittedParam(f, k);
        if (index < 0 || index >= 3) return;
        const std::string_view item = ParamType(f, index);
        const char type = item.empty() ? 'T' : item.front();
        if (type == 'G') {
            args.number[index] = NumberPiece(pos, end);
        } else if (type == 'B') {
            pos = code::PieceAt(code_, pos, end); // conditions are never run here
        } else {
            args.text[index] = TextPiece(pos, end);
        }
    }
}

bool Interpreter::TextOperand(unsigned id, std::size_t& pos, std::size_t end, std::string& out) {
    switch (id) {
    case code::kBracket:
        out = TextPiece(pos, end);
        return true;
    case code::kTextLiteral: {
        const std::size_t stop = code::PieceAt(code_, pos, end);
        out = std::string(code_.substr(pos, stop - pos));
        pos = stop;
        return true;
    }
    case code::kTextVariable: // no database: its variables are empty
        pos = pos < end ? pos + 1 : end;
        out.clear();
        return true;
    case code::kField11:
    case code::kField12:
    case code::kField20:
        out.clear();
        return true;
    default:
        break;
    }
    const TFunction& f = FunctionTable()[id];
    if (f.TextHandler == nullptr) return false;
    TCallArgs args;
    ReadArgs(f, pos, end, args);
    out = f.TextHandler(args);
    return true;
}

bool Interpreter::NumberOperand(unsigned id, std::size_t& pos, std::size_t end, TFixed& out) {
    switch (id) {
    case code::kBracket:
        out = NumberPiece(pos, end);
        return true;
    case code::kNumber8:
        out = code::Int64At(code_, pos, end);
        return true;
    case code::kNumber2:
        out = FixedFromWhole(code::WordAt(code_, pos, end));
        return true;
    case code::kNumber1:
        out = pos < end ? FixedFromWhole(Byte(pos)) : 0;
        pos = pos < end ? pos + 1 : end;
        return true;
    case code::kField13:
    case code::kField20:
        out = 0;
        return true;
    default:
        break;
    }
    const TFunction& f = FunctionTable()[id];
    if (f.NumberHandler == nullptr) return false;
    TCallArgs args;
    ReadArgs(f, pos, end, args);
    out = f.NumberHandler(args);
    return true;
}

std::string Interpreter::Text(std::size_t pos, std::size_t end) {
    Level level(*this);
    std::string result;
    bool first = true;
    unsigned op = 0;
    while (pos < end) {
        const unsigned id = Byte(pos++);
        std::string operand;
        if (level.TooDeep() || !TextOperand(id, pos, end, operand)) {
            if (flags_ & kProbeMode) return result;
            RaiseUnknown(id);
        }
        if (first) {
            result = std::move(operand);
        } else if (op == '+') {
            CheckTextLength(result.size() + operand.size());
            result += operand;
        } else {
            result.clear();
        }
        first = false;
        if (pos < end) op = Byte(pos++);
    }
    return result;
}

TFixed Interpreter::Number(std::size_t pos, std::size_t end) {
    Level level(*this);
    TFixed result = 0;
    bool first = true;
    unsigned op = 0;
    while (pos < end) {
        const unsigned id = Byte(pos++);
        TFixed x = 0;
        if (level.TooDeep() || !NumberOperand(id, pos, end, x)) RaiseUnknown(id);
        if (first) {
            result = x;
        } else {
            switch (op) {
            case '+':
                result = FixedAdd(result, x);
                break;
            case '-':
                result = FixedSub(result, x);
                break;
            case '*':
                result = FixedMul(result, x);
                break;
            case '/':
                result = FixedDiv(result, x);
                break;
            case '\\':
                result = FixedIntDiv(result, x);
                break;
            case '%':
                result = FixedMod(result, x);
                break;
            case '^':
                result = FixedPow(result, x);
                break;
            default:
                result = 0;
                break; // not an operator: the chain starts over empty
            }
        }
        first = false;
        if (pos < end) op = Byte(pos++);
    }
    return result;
}

std::size_t StartIndex(int start) {
    return start < 1 ? 0 : static_cast<std::size_t>(start - 1);
}

} // namespace

void RunText(const std::string& code, int flags, int start, std::string& text) {
    text = Interpreter(code, flags).Text(StartIndex(start), code.size());
}

TFixed RunNumber(const std::string& code, int flags, int start) {
    return Interpreter(code, flags).Number(StartIndex(start), code.size());
}

void RunTextArgument(const std::string& code, int& position, int flags, std::string& text) {
    std::size_t pos = StartIndex(position);
    text = Interpreter(code, flags).TextPiece(pos, code.size() > pos ? code.size() : pos);
    position = static_cast<int>(pos) + 1;
}

TFixed RunNumberArgument(const std::string& code, int& position, int flags) {
    std::size_t pos = StartIndex(position);
    const TFixed value =
        Interpreter(code, flags).NumberPiece(pos, code.size() > pos ? code.size() : pos);
    position = static_cast<int>(pos) + 1;
    return value;
}

void RaiseRunError(const std::string& message) {
    throw EKSError(message);
}

} // namespace ks
