#include "publish/KSpublishReport.h"

#include "common/KSlocal.h"

namespace ks {

std::string PublishProgressText(const TKSpublishProgress& progress) {
    return LocalText("#1611.26=publiceren: %1 van %2 bestanden, %3 bytes",
                     {std::to_string(progress.Done), std::to_string(progress.Total),
                      std::to_string(progress.Bytes)});
}

std::vector<std::string> PublishReportLines(const TKSpublishResult& result, bool dryRun) {
    std::vector<std::string> lines;
    for (const std::string& path : result.Kept)
        lines.push_back(LocalText("#1611.29=blijft staan: %1 (op de bestemming veranderd sinds de "
                                  "vorige publicatie)",
                                  {path}));
    for (const std::string& path : result.Skipped)
        lines.push_back(LocalText("#1611.30=overgeslagen: %1 (geen gewoon bestand)", {path}));
    const std::vector<std::string> values = {
        std::to_string(result.Send.size()), std::to_string(result.Bytes),
        std::to_string(result.Remove.size()), std::to_string(result.Unchanged)};
    lines.push_back(dryRun ? LocalText("#1611.31=zou verzenden: %1{ bestand| bestanden} (%2 "
                                       "bytes); zou verwijderen: %3; ongewijzigd: %4",
                                       values)
                           : LocalText("#1611.32=verzonden: %1{ bestand| bestanden} (%2 bytes); "
                                       "verwijderd: %3; ongewijzigd: %4",
                                       values));
    return lines;
}

} // namespace ks
