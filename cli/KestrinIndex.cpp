#include "cli/KestrinIndex.h"

#include "cli/BuildCommand.h"
#include "cli/CliEnvironment.h"
#include "cli/EvalCommand.h"
#include "cli/ImportCommand.h"
#include "cli/InfoCommands.h"
#include "cli/Messages.h"
#include "cli/PublishCommand.h"
#include "common/KSswitches.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <ostream>

namespace ks::cli {

namespace {

// A command of the help: its form, then what it does, indented.
std::string CommandHelp(const std::string& form, const std::string& what) {
    return "  " + form + "\n" + Wrapped(what, 6, "      ");
}

std::string Help() {
    return Say("#1606.3=gebruik: kestrin-index [SCHAKELAARS] OPDRACHT [ARGUMENTEN]") + "\n\n" +
           Say("#1606.4=opdrachten (OPDRACHT --help geeft het gebruik van elk):") + "\n" +
           CommandHelp(Say("#1606.5=build [OPTIES] DOCUMENT.htx..."),
                       Say("#1606.6=de naamindexen van de documenten samenvoegen tot \xE9\xE9n "
                           "HTML-index")) +
           CommandHelp("layouts", Say("#1606.7=de stijlen van de taalmap opsommen")) +
           CommandHelp("info DOCUMENT.htx", Say("#1606.8=een indexdocument beschrijven")) +
           CommandHelp(Say("#1606.9=import [OPTIES] BESTAND"),
                       Say("#1606.10=een GEDCOM-bestand of een GENDEX-naamlijst van een ander "
                           "programma als indexdocument schrijven")) +
           CommandHelp(Say("#1606.11=eval [--strict] [--raw] [--code] EXPRESSIE"),
                       Say("#1606.12=tonen wat een plaatshouder met EXPRESSIE in een sjabloon "
                           "wordt")) +
           CommandHelp(Say("#1611.34=publish [--dry-run] UITVOERMAP BESTEMMING"),
                       Say("#1611.33=de site in UITVOERMAP bijwerken in een andere map, alleen "
                           "met wat veranderde")) +
           "\n" + Say("#1606.13=schakelaars (voor of na de opdracht):") + "\n" +
           Wrapped(Say("#1606.14=de taal van deze run (GB, NL, ...; niet onthouden)"), 17,
                   "  --language=X   ") +
           "  --developer[=N], --debug[=N], --temp=" + Say("#1606.19=MAP") + "\n\n" +
           Wrapped(Say("#1606.15=afsluitstatus: 0 gedaan, 1 mislukt, 2 gebruiksfout; "
                       "130/143/129 gestopt door Ctrl-C, SIGTERM of SIGHUP"),
                   2);
}

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
    if (command == "publish") return RunPublish(args, out, err, invocation.errIsTerminal);
    return RunInfo(args, out, err);
}

bool KnownCommand(const std::string& command) {
    return command == "build" || command == "eval" || command == "layouts" || command == "info" ||
           command == "import" || command == "publish";
}

// What was printed must have reached its place (a full disk, a closed pipe).
int CheckedOutput(int status, std::ostream& out, std::ostream& err) {
    out.flush();
    if (out.good()) return status;
    err << "kestrin-index: "
        << Say("#1606.18=standaarduitvoer: schrijven mislukt: %1", {std::strerror(errno)}) << '\n';
    return status == 0 ? 1 : status;
}

} // namespace

int RunKestrinIndex(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                    const Invocation& invocation) {
    std::vector<std::string> args = arguments;
    try {
        const std::vector<std::string> leading = TakeLeadingSwitches(args);
        const std::string command = args.empty() ? std::string() : args[0];
        if (!KnownCommand(command)) {
            // The help in the language of the switches given, wherever they stand.
            std::vector<std::string> switches = leading;
            const std::vector<std::string> after = TakeSwitches(args, {});
            switches.insert(switches.end(), after.begin(), after.end());
            const auto environment = StartEnvironment(switches, invocation.programFolders);
            if (command == "--help" || command == "-h" || command == "help") {
                out << Help();
                return CheckedOutput(0, out, err);
            }
            err << "kestrin-index: "
                << (command.empty()
                        ? Say("#1606.16=geen opdracht gegeven")
                        : Say("#1606.17=onbekende opdracht %1", {TerminalText(command)}))
                << '\n'
                << Help();
            return kUsageError;
        }
        args.erase(args.begin());
        return CheckedOutput(RunCommand(command, leading, std::move(args), out, err, invocation),
                             out, err);
    } catch (const std::exception& e) {
        err << "kestrin-index: " << ErrorLine(e) << '\n';
        return CheckedOutput(1, out, err);
    }
}

} // namespace ks::cli
