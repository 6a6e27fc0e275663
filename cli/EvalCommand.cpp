#include "cli/EvalCommand.h"

#include "cli/Messages.h"
#include "cli/OptionTable.h"
#include "common/KScodepage.h"
#include "common/KSerrors.h"
#include "template/KSbytecode.h"
#include "template/KScompiler.h"

#include <ostream>

namespace ks::cli {
namespace {

std::string Usage() {
    return Say("#1606.31=gebruik: kestrin-index eval [--strict] [--raw] [--code] [--] EXPRESSIE") +
           "\n" +
           OptionLines({"--strict"}, "",
                       "#1606.32=ook een fout bij het vertalen is een fout (anders is het "
                       "resultaat leeg)") +
           OptionLines({"--raw"}, "",
                       "#1606.33=expressie en resultaat in Windows-1252, niet omgezet") +
           OptionLines({"--code"}, "",
                       "#1606.34=eerst de vertaalde bytes en hun disassemblage tonen");
}

constexpr int kUsageError = 2;

struct EvalOptions {
    bool help = false;
    bool strict = false;
    bool raw = false;
    bool code = false;
    std::vector<std::string> expressions;
};

// False (with a message) for an option it does not know.
bool ParseOptions(const std::vector<std::string>& args, EvalOptions& options, std::string& bad) {
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (!optionsEnded && arg == "-h") {
            options.help = true;
        } else if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            options.expressions.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help") {
            options.help = true;
        } else if (arg == "--strict") {
            options.strict = true;
        } else if (arg == "--raw") {
            options.raw = true;
        } else if (arg == "--code") {
            options.code = true;
        } else {
            bad = arg;
            return false;
        }
    }
    return true;
}

void PrintCode(std::ostream& out, const std::string& code) {
    if (code.empty()) {
        out << "code: (none)\n";
        return;
    }
    static const char* const hex = "0123456789ABCDEF";
    out << "code:";
    for (const char c : code) {
        const auto b = static_cast<unsigned char>(c);
        out << ' ' << hex[b >> 4] << hex[b & 15];
    }
    out << '\n' << code::Disassemble(code);
}

} // namespace

int RunEval(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    EvalOptions options;
    std::string bad;
    const bool parsed = ParseOptions(args, options, bad);
    if (parsed && options.help) {
        out << Usage();
        return 0;
    }
    if (!parsed || options.expressions.size() != 1) {
        if (!bad.empty())
            err << "kestrin-index eval: " << UnknownOption(TerminalText(bad)).message << '\n';
        err << Usage();
        return kUsageError;
    }
    const auto toUser = [&](const std::string& text) {
        return options.raw ? text : Windows1252ToUtf8(text);
    };
    const std::string expression =
        options.raw ? options.expressions[0] : Utf8ToWindows1252(options.expressions[0]);
    std::string code;
    std::string result;
    try {
        result = EvaluateExpression(expression, options.strict ? 0 : kProbeMode, code);
    } catch (const EKSError& e) {
        if (options.code) PrintCode(out, code);
        out.flush();
        // The template language's own messages are English, as the labels around them.
        err << "error: " << TerminalText(toUser(e.what())) << '\n';
        return 1;
    }
    if (options.code) PrintCode(out, code);
    out << toUser(result) << '\n';
    return 0;
}

} // namespace ks::cli
