#include "template/KSinterpreter.h"

#include "common/KSerrors.h"
#include "template/KSbuiltins.h"
#include "template/KSbytecode.h"
#include "template/KScompiler.h"
#include "template/KSdatefunctions.h"
#include "template/KSfunctions.h"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace ks {
namespace {

// Compiled code nests far less deeply; deeper code is not ours and is read
// as an unknown ID byte instead of exhausting the stack.
constexpr int kMaxRunDepth = 1000;

// The arguments of a call, by parameter position.
struct Args {
    std::string text[3];
    TFixed number[3] = {0, 0, 0};
};

// The functions evaluated here; every other ID of the catalogue is unknown
// at run time.
constexpr unsigned char kTextFunctions[] = {46,  47,  48,  49,  50,  51,  52,  57,  58,  59,
                                            60,  68,  72,  73,  76,  89,  104, 105, 111, 112,
                                            113, 115, 116, 128, 129, 136, 137, 138};
constexpr unsigned char kNumberFunctions[] = {53, 54, 100, 139};

template <std::size_t N> bool Holds(const unsigned char (&ids)[N], unsigned id) {
    return std::find(std::begin(ids), std::end(ids), id) != std::end(ids);
}

std::string TextFunction(unsigned id, const Args& a) {
    switch (id) {
    case 46:
        return ""; // FILE: no database is ever open
    case 47:
        return FnChr(a.number[0]);
    case 48:
        return FnString(a.number[0], a.number[1]);
    case 49:
        return FnMid(a.text[0], a.number[1], a.number[2]);
    case 50:
        return FnInfo(a.text[0], a.number[1], a.number[2]);
    case 51:
        return FnStr(a.number[0], a.number[1]);
    case 52:
        return FnTrim(a.text[0]);
    case 57:
        return FnCenter(a.text[0], a.number[1], a.number[2]);
    case 58:
        return FnAge(a.number[2], a.text[0], a.text[1]);
    case 59:
        return FnDay(a.text[0], a.number[1]);
    case 60:
        return FnSoundex(a.text[0], a.number[1]);
    case 68:
        return FnRoman(a.number[0]);
    case 72:
        return FnUpper(a.text[0]);
    case 73:
        return FnLower(a.text[0]);
    case 76:
        return FnTime();
    case 89:
        return FnInsert(a.text[0], a.number[1], a.text[2]);
    case 104:
        return ""; // USERNAME$
    case 105:
        return FnVersion();
    case 111:
        return FnStyled(a.text[0], kBoldOn, kBoldOff);
    case 112:
        return FnStyled(a.text[0], kUnderlineOn, kUnderlineOff);
    case 113:
        return FnStyled(a.text[0], kItalicOn, kItalicOff);
    case 115:
        return FnBinary(a.text[0]);
    case 116:
        return FnVersionDate();
    case 128:
        return FnLeft(a.text[0], a.number[1]);
    case 129:
        return FnRight(a.text[0], a.number[1]);
    case 136:
        return FnToday();
    case 137:
        return FnDate(a.text[0], a.text[1], a.number[2]);
    case 138:
        return FnYearText(a.text[0], a.number[1]);
    default:
        return "";
    }
}

TFixed NumberFunction(unsigned id, const Args& a) {
    switch (id) {
    case 53:
        return FnVal(a.text[0]);
    case 54:
        return FnLen(a.text[0]);
    case 100:
        return FnInfoLen(a.text[0], a.number[1]);
    case 139:
        return FnYear(a.text[0]);
    default:
        return 0;
    }
}

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
    // The piece behind a length prefix at pos, cut to end; pos moves past it.
    std::size_t PieceEnd(std::size_t& pos, std::size_t end) const;
    bool TextOperand(unsigned id, std::size_t& pos, std::size_t end, std::string& out);
    bool NumberOperand(unsigned id, std::size_t& pos, std::size_t end, TFixed& out);
    void ReadArgs(const TFunction& f, std::size_t& pos, std::size_t end, Args& args);

    std::string_view code_;
    int flags_;
    int depth_ = 0;
};

std::size_t Interpreter::PieceEnd(std::size_t& pos, std::size_t end) const {
    int length = 0;
    if (pos < end) length = static_cast<int>(Byte(pos));
    if (pos + 1 < end) length = static_cast<int16_t>(length | (Byte(pos + 1) << 8));
    pos = pos + 2 < end ? pos + 2 : end;
    if (length < 0) length = 0; // a negative length holds nothing
    return end - pos < static_cast<std::size_t>(length) ? end
                                                        : pos + static_cast<std::size_t>(length);
}

std::string Interpreter::TextPiece(std::size_t& pos, std::size_t end) {
    const std::size_t pieceEnd = PieceEnd(pos, end);
    const std::size_t start = pos;
    pos = pieceEnd;
    return Text(start, pieceEnd);
}

TFixed Interpreter::NumberPiece(std::size_t& pos, std::size_t end) {
    const std::size_t pieceEnd = PieceEnd(pos, end);
    const std::size_t start = pos;
    pos = pieceEnd;
    return Number(start, pieceEnd);
}

void Interpreter::ReadArgs(const TFunction& f, std::size_t& pos, std::size_t end, Args& args) {
    const bool ordered = static_cast<int>(f.ArgOrder.size()) == f.ParamCount;
    for (int k = 0; k < f.ParamCount && k < 3; ++k) {
        const int index = ordered ? f.ArgOrder[static_cast<std::size_t>(k)] - '1' : k;
        if (index < 0 || index >= 3) return;
        std::string_view item = f.ParamSpec;
        for (int skip = 0; skip < index && !item.empty(); ++skip) {
            const std::size_t comma = item.find(',');
            item = comma == std::string_view::npos ? std::string_view() : item.substr(comma + 1);
        }
        const char type = item.empty() ? 'T' : item.front();
        if (type == 'G') {
            args.number[index] = NumberPiece(pos, end);
        } else if (type == 'B') {
            pos = PieceEnd(pos, end); // conditions are never run here
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
        const std::size_t stop = PieceEnd(pos, end);
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
    if (!Holds(kTextFunctions, id)) return false;
    Args args;
    ReadArgs(FunctionTable()[id], pos, end, args);
    out = TextFunction(id, args);
    return true;
}

bool Interpreter::NumberOperand(unsigned id, std::size_t& pos, std::size_t end, TFixed& out) {
    switch (id) {
    case code::kBracket:
        out = NumberPiece(pos, end);
        return true;
    case code::kNumber8: {
        out = 0;
        if (end - pos >= 8) {
            uint64_t raw = 0;
            for (std::size_t k = 8; k-- > 0;)
                raw = (raw << 8) | Byte(pos + k);
            out = static_cast<TFixed>(raw);
        }
        pos = end - pos >= 8 ? pos + 8 : end;
        return true;
    }
    case code::kNumber2: {
        int value = pos < end ? static_cast<int>(Byte(pos)) : 0;
        if (pos + 1 < end) value = static_cast<int16_t>(value | (Byte(pos + 1) << 8));
        pos = pos + 2 < end ? pos + 2 : end;
        out = FixedFromWhole(value);
        return true;
    }
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
    if (!Holds(kNumberFunctions, id)) return false;
    Args args;
    ReadArgs(FunctionTable()[id], pos, end, args);
    out = NumberFunction(id, args);
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
