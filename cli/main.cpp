// kestrin-index: the command-line tool on the core library.
#include "cli/BuildCommand.h"
#include "cli/CliEnvironment.h"
#include "cli/EvalCommand.h"
#include "cli/InfoCommands.h"
#include "cli/Messages.h"
#include "cli/StopSignals.h"

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

namespace {

const char* const kHelp =
    "usage: kestrin-index [SWITCHES] COMMAND [ARGUMENTS]\n"
    "\n"
    "commands (COMMAND --help for each one's usage):\n"
    "  build [OPTIONS] DOCUMENT.htx...\n"
    "      combine the name indexes of the documents into one HTML index\n"
    "  layouts\n"
    "      list the layouts of the language folder\n"
    "  info DOCUMENT.htx\n"
    "      describe an index document\n"
    "  eval [--strict] [--raw] [--code] EXPRESSION\n"
    "      print what a template placeholder holding EXPRESSION expands to\n"
    "\n"
    "switches (before or after the command):\n"
    "  --language=X   the language of this run (GB, NL, ...; not remembered)\n"
    "  --developer[=N], --debug[=N], --temp=DIR\n"
    "\n"
    "exit status: 0 done, 1 failed, 2 usage error,\n"
    "  130/143/129 stopped by Ctrl-C, SIGTERM or SIGHUP\n";

constexpr int kUsageError = 2;

// switches: those that stood before the command.
int RunCommand(const std::string& command, std::vector<std::string> switches,
               std::vector<std::string> args) {
    const std::vector<std::string> after = ks::cli::TakeSwitches(
        args, command == "build" ? ks::cli::kBuildOptionsWithValue : std::vector<std::string>{});
    switches.insert(switches.end(), after.begin(), after.end());
    const auto environment = ks::cli::StartEnvironment(switches);
    ks::cli::ReportStoreWarnings(std::cerr);
    // The store is saved once, at the end of the command, however it ends.
    struct StoreSaver {
        ~StoreSaver() { ks::cli::SaveStore(std::cerr); }
    } saver;
    if (command == "eval") return ks::cli::RunEval(args, std::cout, std::cerr);
    if (command == "build") return ks::cli::RunBuild(args, std::cout, std::cerr);
    if (command == "layouts") return ks::cli::RunLayouts(args, std::cout, std::cerr);
    return ks::cli::RunInfo(args, std::cout, std::cerr);
}

bool KnownCommand(const std::string& command) {
    return command == "build" || command == "eval" || command == "layouts" || command == "info";
}

// What was printed must have reached standard output (a full disk, a closed pipe).
int CheckedOutput(int status) {
    std::cout.flush();
    if (std::cout.good() && std::fflush(stdout) == 0) return status;
    std::cerr << "kestrin-index: standard output: write failed: " << std::strerror(errno) << '\n';
    return status == 0 ? 1 : status;
}

} // namespace

int main(int argc, char** argv) {
    // Numbers become texts with the locale's decimal separator until a
    // number literal is compiled.
    std::setlocale(LC_NUMERIC, "");
    ks::cli::IgnoreFileSizeSignal();
    std::vector<std::string> args(argv + 1, argv + argc);
    try {
        const std::vector<std::string> leading = ks::cli::TakeLeadingSwitches(args);
        if (args.empty()) {
            std::cerr << "kestrin-index: no command given\n" << kHelp;
            return kUsageError;
        }
        const std::string command = args[0];
        args.erase(args.begin());
        if (command == "--help" || command == "-h" || command == "help") {
            std::cout << kHelp;
            return CheckedOutput(0);
        }
        if (!KnownCommand(command)) {
            std::cerr << "kestrin-index: unknown command " << ks::cli::TerminalText(command) << '\n'
                      << kHelp;
            return kUsageError;
        }
        return CheckedOutput(RunCommand(command, leading, std::move(args)));
    } catch (const std::exception& e) {
        std::cerr << "kestrin-index: " << ks::cli::ErrorLine(e) << '\n';
        return CheckedOutput(1);
    }
}
