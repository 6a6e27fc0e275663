#include "cli/PublishCommand.h"

#include "cli/Messages.h"
#include "cli/OptionTable.h"
#include "common/KScodepage.h"
#include "publish/KSpublish.h"
#include "publish/KSpublishReport.h"

#include <chrono>
#include <ostream>

namespace ks::cli {

namespace {

constexpr int kUsageError = 2;

const std::vector<Option<TKSpublishRequest>>& OptionTable() {
    using O = TKSpublishRequest;
    static const std::vector<Option<O>> table = {
        {{"-n", "--dry-run"},
         "",
         "#1611.23=alleen opsommen wat verzonden en verwijderd zou worden; er verandert niets",
         [](O& o, const std::string&) { o.DryRun = true; }},
    };
    return table;
}

std::string Usage() {
    return Say("#1611.20=gebruik: kestrin-index publish [--dry-run] UITVOERMAP BESTEMMING") + "\n" +
           OptionLines({Say("#1611.21=BESTEMMING")}, "",
                       "#1611.22=een map op deze computer of een aangekoppelde map (een pad of "
                       "file:///pad), of een map op een host: "
                       "sftp://[gebruiker@]host[:poort]/pad, ftps://... (FTP met TLS) of "
                       "ftp://...; alleen wat sinds de vorige publicatie naar die bestemming "
                       "veranderde wordt verzonden, en alleen wat een eerdere publicatie er "
                       "neerzette en de site niet meer heeft wordt verwijderd") +
           OptionsUsage(OptionTable()) +
           Wrapped(Say("#1611.24=afsluitstatus: 0 gedaan, 1 mislukt, 2 gebruiksfout"), 0);
}

TKSpublishRequest ParseOptions(const std::vector<std::string>& args) {
    TKSpublishRequest request;
    std::vector<std::string> operands;
    ParseByTable(OptionTable(), args, request,
                 [&operands](const std::string& operand) { operands.push_back(operand); });
    if (operands.size() != 2) throw UsageError{Say("#1611.25=geef de uitvoermap en de bestemming")};
    request.OutputFolder = operands[0];
    request.Destination = operands[1];
    return request;
}

// One line redrawn in place, at most ten times a second.
class ProgressLine {
public:
    ProgressLine(std::ostream& err, bool show) : err_(err), show_(show) {}
    ~ProgressLine() {
        if (drawn_) err_ << "\r\x1b[K" << std::flush;
    }
    void Draw(const TKSpublishProgress& progress) {
        const auto now = std::chrono::steady_clock::now();
        if (!show_ ||
            (progress.Done < progress.Total && now - last_ < std::chrono::milliseconds(100)))
            return;
        last_ = now;
        drawn_ = true;
        err_ << "\r\x1b[K" << TerminalText(MessageToUtf8(PublishProgressText(progress)))
             << std::flush;
    }

private:
    std::ostream& err_;
    bool show_;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point last_{};
};

// On a dry run "send PATH" and "remove PATH" in the same words in every
// language, for scripts, as build --dry-run lists its lines.
void PrintResult(const TKSpublishResult& result, bool dryRun, std::ostream& out) {
    if (dryRun) {
        for (const std::string& path : result.Send)
            out << "send " << TerminalText(path) << '\n';
        for (const std::string& path : result.Remove)
            out << "remove " << TerminalText(path) << '\n';
    }
    for (const std::string& line : PublishReportLines(result, dryRun))
        out << TerminalText(MessageToUtf8(line)) << '\n';
}

} // namespace

int RunPublish(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               bool errIsTerminal) {
    TKSpublishRequest request;
    try {
        request = ParseOptions(args);
    } catch (const UsageError& e) {
        if (e.message.empty()) {
            out << Usage();
            return 0;
        }
        err << "kestrin-index publish: " << TerminalText(e.message) << '\n' << Usage();
        return kUsageError;
    }
    TKSpublishResult result;
    {
        ProgressLine line(err, errIsTerminal);
        result = Publish(request, [&line](const TKSpublishProgress& p) { line.Draw(p); });
    }
    PrintResult(result, request.DryRun, out);
    return 0;
}

} // namespace ks::cli
