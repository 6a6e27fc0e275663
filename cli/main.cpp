// kestrin-index: the command-line tool on the core library.
#include "cli/CliEnvironment.h"
#include "cli/EvalCommand.h"

#include <clocale>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

namespace {

const char* const kHelp = "usage: kestrin-index COMMAND [ARGUMENTS]\n"
                          "\n"
                          "commands:\n"
                          "  eval [--strict] [--raw] [--code] EXPRESSION\n"
                          "      print what a template placeholder holding EXPRESSION expands to\n";

} // namespace

int main(int argc, char** argv) {
    // Numbers become texts with the locale's decimal separator until a
    // number literal is compiled.
    std::setlocale(LC_NUMERIC, "");
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.empty()) {
            std::cerr << kHelp;
            return 1;
        }
        if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
            std::cout << kHelp;
            return 0;
        }
        const auto environment = ks::cli::StartEnvironment({});
        if (args[0] == "eval")
            return ks::cli::RunEval({args.begin() + 1, args.end()}, std::cout, std::cerr);
        std::cerr << "kestrin-index: unknown command " << args[0] << '\n' << kHelp;
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "kestrin-index: " << e.what() << '\n';
        return 1;
    }
}
