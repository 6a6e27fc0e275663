#include "cli/KestrinIndex.h"

#include "cli/BuildCommand.h"
#include "cli/CliEnvironment.h"
#include "cli/EvalCommand.h"
#include "cli/ImportCommand.h"
#include "cli/InfoCommands.h"
#include "cli/Messages.h"
#include "common/KSswitches.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <ostream>

namespace ks::cli {

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
    "  import [OPTIONS] FILE\n"
    "      write a GEDCOM file or a GENDEX name list of another program\n"
    "      as an index document\n"
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
               std::vector<std::string> args, std::ostream& out, std::ostream& err,
               const Invocation& invocation) {
    const std::vector<std::string> after =
        TakeSwitches(args, command == "build"    ? BuildOptionsWithValue()
                           : command == "import" ? ImportOptionsWithValue()
                                                 : std::vector<std::string>{});
    switches.insert(switches.end(), after.begin(), after.end());
    const auto environment = StartEnvironment(switches, invocation.programFolders);
    ReportStoreWarnings(err);
    // The store is saved once, at the end of the command, however it ends.
    struct StoreSaver {
        std::ostream& err;
        ~StoreSaver() { SaveStore(err); }
    } saver{err};
    if (command == "eval") return RunEval(args, out, err);
    if (command == "build") return RunBuild(args, out, err, invocation.errIsTerminal);
    if (command == "layouts") return RunLayouts(args, out, err);
    if (command == "import") return RunImport(args, out, err);
    return RunInfo(args, out, err);
}

bool KnownCommand(const std::string& command) {
    return command == "build" || command == "eval" || command == "layouts" || command == "info" ||
           command == "import";
}

// What was printed must have reached its place (a full disk, a closed pipe).
int CheckedOutput(int status, std::ostream& out, std::ostream& err) {
    out.flush();
    if (out.good()) return status;
    err << "kestrin-index: standard output: write failed: " << std::strerror(errno) << '\n';
    return status == 0 ? 1 : status;
}

} // namespace

int RunKestrinIndex(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                    const Invocation& invocation) {
    std::vector<std::string> args = arguments;
    try {
        const std::vector<std::string> leading = TakeLeadingSwitches(args);
        if (args.empty()) {
            err << "kestrin-index: no command given\n" << kHelp;
            return kUsageError;
        }
        const std::string command = args[0];
        args.erase(args.begin());
        if (command == "--help" || command == "-h" || command == "help") {
            out << kHelp;
            return CheckedOutput(0, out, err);
        }
        if (!KnownCommand(command)) {
            err << "kestrin-index: unknown command " << TerminalText(command) << '\n' << kHelp;
            return kUsageError;
        }
        return CheckedOutput(RunCommand(command, leading, std::move(args), out, err, invocation),
                             out, err);
    } catch (const std::exception& e) {
        err << "kestrin-index: " << ErrorLine(e) << '\n';
        return CheckedOutput(1, out, err);
    }
}

} // namespace ks::cli
