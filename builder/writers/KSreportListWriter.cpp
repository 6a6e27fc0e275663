#include "builder/writers/KSreportListWriter.h"

#include "builder/entries/KSrelativeLink.h"
#include "builder/entries/KSrunSettings.h"
#include "builder/entries/KSrunState.h"
#include "builder/entries/KSrunView.h"
#include "builder/writers/KShtmlPieces.h"
#include "builder/writers/KSpageLine.h"
#include "builder/writers/KSwriterArgs.h"
#include "common/KSconvert.h"
#include "common/KStextutil.h"
#include "index/KShtxData.h"
#include "template/KStemplateParser.h"

#include <cstdint>
#include <vector>

namespace ks {

namespace {

constexpr int32_t kNoMinYear = 3000;  // MinYear stays above this when no year was seen
constexpr int32_t kNoMaxYear = -2999; // MaxYear stays below this likewise

// Whether the start page a document names is a page: not blank, not a
// folder ("trees/" or "https://host/"), not only a place on some page, and
// safe to follow.
bool NamesAPage(const std::string& htmFile) {
    const std::string page = Trim(htmFile);
    const std::string path = page.substr(0, page.find_first_of("#?"));
    if (path.empty() || path.back() == '/' || path.back() == '\\') return false;
    return IsSafeLink(page);
}

// The page a document's title links to: its start page when it names one,
// else the first page its index lines point to, else whatever it names.
std::string FirstPageOf(const TKShtxData& document, const TKSdocumentRun& run) {
    if (NamesAPage(document.HtmFile)) return Trim(document.HtmFile);
    const bool noLink = run.FirstPage.empty() || run.FirstPage == std::string(1, '\xFF');
    return noLink ? document.HtmFile : run.FirstPage;
}

class TKSreportListWriter {
public:
    TKSreportListWriter(TKStemplateOutput& out, std::vector<std::string> columns)
        : out_(out), columns_(std::move(columns)), indent_(Indent(out.PlaceholderColumn())),
          fromFile_(out.OutputFolder() + out.OutputFile()) {}

    void WriteRow(const TKSrunDocument& listed, const TKSdocumentRun& run, int32_t k) {
        const TKShtxData& document = *listed.Data;
        TKSFileStream& output = out_.Output();
        output.WriteLine(indent_ + (k % 2 == 1 ? "<tr class=\"KSVItr KSVItr_odd\">"
                                               : "<tr class=\"KSVItr KSVItr_even\">"));
        for (const std::string& column : columns_)
            output.WriteLine(indent_ + "  <td class=\"KSVItd KSVItd_" + column + "\">" +
                             Cell(AsciiLower(column), document, listed.WebAddress, run, k) +
                             "</td>");
        output.WriteLine(indent_ + "</tr>");
    }

private:
    std::string Cell(const std::string& column, const TKShtxData& document,
                     const std::string& webAddress, const TKSdocumentRun& run, int32_t k) const {
        if (column == "id") return std::to_string(k);
        if (column == "title") {
            // Judged as the tree gives it: joined to a folder, any link reads as a path.
            const std::string page = FirstPageOf(document, run);
            const std::string href =
                IsSafeLink(page)
                    ? HrefAttribute(DocumentLink(fromFile_, document.FileName, page, webAddress))
                    : std::string();
            return "<a class=\"KSVItd_href\"" + href + ">" + TreeText(document.Title) + "</a>";
        }
        if (column == "count") return std::to_string(run.EntryCount);
        if (column == "min") return run.MinYear < kNoMinYear ? std::to_string(run.MinYear) : "";
        if (column == "max") return run.MaxYear >= kNoMaxYear ? std::to_string(run.MaxYear) : "";
        if (column == "user") return TreeText(document.UserName);
        if (column == "date") return TreeText(document.Created);
        return {};
    }

    TKStemplateOutput& out_;
    std::vector<std::string> columns_;
    std::string indent_;
    std::string fromFile_;
};

} // namespace

void WriteReportList(const TKSrunView& run, TKStemplateOutput& out, const std::string& arguments) {
    std::vector<std::string> columns;
    for (TKSargumentList args(arguments); args.HasNext();)
        columns.push_back(args.Next());
    TKSreportListWriter writer(out, std::move(columns));
    int32_t k = 0;
    const std::vector<TKSrunDocument>& documents = run.Settings.Documents;
    for (std::size_t i = 0; i < documents.size(); ++i) {
        out.StepProgress(1);
        if (!documents[i].Selected || documents[i].Data == nullptr) continue;
        writer.WriteRow(documents[i], run.State.DocumentRun(i), ++k);
    }
}

} // namespace ks
