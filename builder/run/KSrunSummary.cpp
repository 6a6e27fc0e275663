#include "builder/run/KSrunSummary.h"

#include "builder/run/KSrunWarnings.h"
#include "common/KSlocal.h"

namespace ks {

namespace {

TKSsummaryLine Line(std::string text) {
    return {"", "", std::move(text)};
}

} // namespace

std::string UnchangedOutputText() {
    return LocalText(
        "#1571.18=Er is niets half geschreven: de uitvoermap is zoals hij voor de index was.");
}

std::string DurationText(int64_t ms) {
    if (ms < 60000) {
        const int64_t tenths = ms / 100;
        return LocalText("#1571.13=%1 s", {std::to_string(tenths / 10) + LocalText("#1571.1=,") +
                                           std::to_string(tenths % 10)});
    }
    const int64_t seconds = ms / 1000;
    return LocalText("#1571.14=%1 min %2 s",
                     {CountText(seconds / 60), std::to_string(seconds % 60)});
}

std::vector<TKSsummaryLine> SummaryLines(const TKSrunResult& result) {
    std::vector<TKSsummaryLine> lines;
    if (result.Failed || result.Stopped) {
        if (result.Stopped)
            lines.push_back(Line(LocalText("#1571.17=De index is gestopt voordat hij klaar was.")));
        else {
            lines.push_back(Line(LocalText("#1571.16=De index is niet gemaakt.")));
            lines.push_back({result.Problem.Path, result.Problem.Path.empty() ? "" : ": ",
                             result.Problem.Reason});
        }
        if (result.OutputUnchanged) lines.push_back(Line(UnchangedOutputText()));
        lines.push_back(
            Line(LocalText("#1571.12=Tijd: %1", {DurationText(result.Summary.ElapsedMs)})));
        return lines;
    }
    const TKSrunSummary& summary = result.Summary;
    lines.push_back(
        Line(LocalText("#1571.6=Indexregels gelezen: %1", {CountText(summary.LinesRead)})));
    lines.push_back(Line(LocalText("#1571.7=Namen na het samenvoegen van dubbelen: %1",
                                   {CountText(summary.Entries)})));
    // One line for every output, so that the rows above keep their room.
    std::string pages;
    for (const TKSoutputPages& output : summary.Outputs)
        pages += (pages.empty() ? "" : ", ") + output.Caption + " " + CountText(output.Pages);
    if (!pages.empty()) lines.push_back(Line(LocalText("#1571.8=Pagina's: %1", {pages})));
    if (summary.FilesCopied > 0)
        lines.push_back(Line(LocalText("#1571.10=Andere bestanden gekopieerd: %1",
                                       {CountText(summary.FilesCopied)})));
    if (!summary.LargestPage.empty())
        lines.push_back({summary.LargestPage, " ",
                         LocalText("#1571.11=is de grootste pagina (%1)",
                                   {SizeText(summary.LargestPageSize)})});
    lines.push_back(Line(LocalText("#1571.12=Tijd: %1", {DurationText(summary.ElapsedMs)})));
    return lines;
}

} // namespace ks
