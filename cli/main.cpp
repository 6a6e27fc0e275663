// kestrin-index: the command-line tool on the core library.
#include "cli/BuildCommand.h"
#include "cli/CliEnvironment.h"
#include "cli/EvalCommand.h"
#include "cli/InfoCommands.h"

#include <clocale>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

namespace {

const char* const kHelp =
    "usage: kestrin-index COMMAND [ARGUMENTS]\n"
    "\n"
    "commands:\n"
    "  build [OPTIONS] DOCUMENT.htx...\n"
    "      combine the name indexes of the documents into one HTML index\n"
    "      (kestrin-index build --help for the options)\n"
    "  layouts\n"
    "      list the layouts of the language folder\n"
    "  info DOCUMENT.htx\n"
    "      describe an index document\n"
    "  eval [--strict] [--raw] [--code] EXPRESSION\n"
    "      print what a template placeholder holding EXPRESSION expands to\n"
    "\n"
    "switches (any command): --debug[=N] --developer[=N] --temp=DIR --language=X\n"
    "      (also written /DEBUG, -DEBUG=N, LANGUAGE=GB, ...)\n";

constexpr int kUsageError = 2;

} // namespace

int main(int argc, char** argv) {
    // Numbers become texts with the locale's decimal separator until a
    // number literal is compiled.
    std::setlocale(LC_NUMERIC, "");
    std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.empty()) {
            std::cerr << kHelp;
            return kUsageError;
        }
        if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
            std::cout << kHelp;
            return 0;
        }
        const std::string command = args[0];
        args.erase(args.begin());
        const auto environment = ks::cli::StartEnvironment(
            ks::cli::TakeSwitches(args, command == "build" ? ks::cli::kBuildOptionsWithValue
                                                           : std::vector<std::string>{}));
        if (command == "eval") return ks::cli::RunEval(args, std::cout, std::cerr);
        if (command == "build") return ks::cli::RunBuild(args, std::cout, std::cerr);
        if (command == "layouts") return ks::cli::RunLayouts(args, std::cout, std::cerr);
        if (command == "info") return ks::cli::RunInfo(args, std::cout, std::cerr);
        std::cerr << "kestrin-index: unknown command " << command << '\n' << kHelp;
        return kUsageError;
    } catch (const std::exception& e) {
        std::cerr << "kestrin-index: " << e.what() << '\n';
        return 1;
    }
}
