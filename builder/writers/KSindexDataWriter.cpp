#include "builder/writers/KSindexDataWriter.h"

#include "builder/entries/KSentryReader.h"
#include "builder/entries/KSindexData.h"
#include "builder/entries/KSreferences.h"
#include "builder/entries/KSrelativeLink.h"
#include "builder/entries/KSrunSettings.h"
#include "builder/entries/KSrunState.h"
#include "builder/entries/KSrunView.h"
#include "builder/writers/KShtmlPieces.h"
#include "builder/writers/KSpageLine.h"
#include "builder/writers/KSpageText.h"
#include "common/KSconvert.h"
#include "common/KStextutil.h"
#include "index/KShtxData.h"
#include "index/KShtxRegel.h"
#include "index/KSksl.h"
#include "template/KStemplateParser.h"

#include <optional>
#include <vector>

namespace ks {

namespace {

// Where the links to the trees lead, as seen from one page.
class TKSdocumentLinks {
public:
    // Appends the link of a document's item as DocumentLink gives it from
    // fromFile.
    void AppendLink(std::string& out, const std::string& fromFile, const TKSrunDocument& run,
                    std::size_t document, std::string_view item) {
        if (fromFile != fromFile_) {
            fromFile_ = fromFile;
            linkers_.clear();
        }
        if (linkers_.size() <= document) linkers_.resize(document + 1);
        std::optional<TKSdocumentLinker>& linker = linkers_[document];
        if (!linker) linker.emplace(fromFile, run.Data->FileName, run.WebAddress);
        linker->AppendLink(out, item);
    }

private:
    std::string fromFile_;
    std::vector<std::optional<TKSdocumentLinker>> linkers_; // per list position
};

class TKSindexDataWriter {
public:
    TKSindexDataWriter(const TKSrunView& run, TKStemplateOutput& out, std::string treeLabel,
                       std::string legendHead)
        : run_(run), out_(out), indent_(Indent(out.PlaceholderColumn())),
          treeLabel_(std::move(treeLabel)), legendHead_(std::move(legendHead)),
          withYears_(!run.Settings.DuplicatesIgnoreYears),
          yearsShown_(run.Settings.IndexWithYears) {
        split_ = run.State.CurrentSplit();
        treesOnPage_.assign(run.Settings.Documents.size(), false);
    }

    void Run() {
        TKSentryReader reader(run_, out_);
        TKShtxRegel entry;
        int32_t previousPage = 0; // page 0, no surname
        std::string previousSurname;
        bool first = true;
        while (reader.Next(entry)) {
            const bool newPage = entry.PageNr != previousPage;
            if (newPage && split_ && !first) {
                WriteLegend();
                if (!out_.NextPage()) return;
            }
            first = false;
            // A page that starts inside a surname still gets its anchor and
            // the surname, so that neither the key links nor the reader lose
            // their place.
            if (newPage || !entry.SameSurname(previousSurname)) WriteHeading(entry, newPage);
            WriteEntry(entry);
            previousPage = entry.PageNr;
            previousSurname = entry.Surname;
        }
        WriteLegend();
    }

private:
    void WriteHeading(const TKShtxRegel& entry, bool newPage) {
        TKSFileStream& output = out_.Output();
        if (newPage) {
            TKSindexData page;
            page.PageNumber = entry.PageNr;
            const std::string anchor = AnchorName(page);
            output.WriteLine(indent_ + "<a name=\"" + anchor + "\" id=\"" + anchor + "\"></a>");
        }
        const std::string record = std::to_string(entry.RecordNr);
        output.WriteLine(indent_ + "<a name=\"bm" + record + "\" id=\"bm" + record + "\"></a>");
        // The section without a surname is headed by its name, marked as no surname.
        const char* open = IsNoSurname(entry.Surname) ? "<span class=\"Idx1 KSVInoSurname\">"
                                                      : "<span class=\"Idx1\">";
        output.WriteLine(indent_ + open + SurnameHtml(entry, "Idx1vv") + "</span><br />");
    }

    // Years are shown unless duplicates ignore them, and only when known.
    bool HasYears(const TKShtxRegel& entry) const {
        return withYears_ && !(entry.Year1.empty() && entry.Year2.empty());
    }

    void AppendYears(const TKShtxRegel& entry) {
        AppendTreeText(line_, entry.Year1);
        line_ += '-';
        AppendTreeText(line_, entry.Year2);
    }

    // Built in one reused line: the index has an entry for every person.
    void WriteEntry(const TKShtxRegel& entry) {
        const bool years = HasYears(entry);
        line_.assign(indent_);
        line_ += "<span class=\"Idx2\"><span class=\"VN\"";
        if (years) {
            line_ += " title=\"";
            AppendYears(entry);
            line_ += '"';
        }
        line_ += '>';
        if (entry.GivenNames.empty()) {
            line_ += '?';
        } else {
            AppendTreeText(line_, entry.GivenNames, TKStreeEscape::HtmlIsolated);
        }
        if (yearsShown_ && years) {
            line_ += "<span class=\"YR\"> (";
            AppendYears(entry);
            line_ += ")</span>";
        }
        line_ += "</span>";
        AppendReferences(entry.Link);
        line_ += "</span><br />";
        out_.Output().WriteLine(line_);
    }

    // Below the names of a page, what each number on it stands for, one
    // line per tree used there, so that no one has to hover over a number
    // or leave the page to learn its tree. Only with a heading.
    void WriteLegend() {
        if (legendHead_.empty()) return;
        const auto& documents = run_.Settings.Documents;
        std::string lines;
        for (std::size_t index = 0; index < treesOnPage_.size(); ++index) {
            if (!treesOnPage_[index] || documents[index].Data == nullptr) continue;
            treesOnPage_[index] = false;
            lines += indent_ + "  <li><span class=\"KSVIlegendNr\">" +
                     std::to_string(run_.State.DocumentRun(index).SeqNr) +
                     "</span> = " + TreeText(documents[index].Data->Title) + "</li>\r\n";
        }
        if (lines.empty()) return;
        TKSFileStream& output = out_.Output();
        output.WriteLine(indent_ + "<div class=\"KSVIlegend\"><p class=\"KSVIlegendHead\">" +
                         legendHead_ + "</p><ul>");
        output.WriteText(lines);
        output.WriteLine(indent_ + "</ul></div>");
    }

    // A numbered link to every tree that holds the person.
    void AppendReferences(const std::string& references) {
        fromFile_.assign(out_.OutputFolder()).append(out_.OutputFile());
        const auto& documents = run_.Settings.Documents;
        ForEachReference(references, documents.size(),
                         [&](std::size_t index, std::string_view item) {
                             const TKShtxData* document = documents[index].Data;
                             if (document == nullptr) return;
                             treesOnPage_[index] = true;
                             link_.clear();
                             links_.AppendLink(link_, fromFile_, documents[index], index, item);
                             line_ += " <a class=\"IdxR\"";
                             // Judged as the tree gives it too: joined to a
                             // folder, any link reads as a path.
                             if (IsSafeLink(item) && IsSafeLink(link_)) {
                                 line_ += " href=\"";
                                 AppendHrefText(line_, link_);
                                 line_ += '"';
                             }
                             line_ += LinkEnd(index, *document);
                         });
    }

    // ' title="..." aria-label="...">number</a>': the same for every link to
    // one tree, so made once.
    const std::string& LinkEnd(std::size_t index, const TKShtxData& document) {
        if (linkEnds_.size() <= index) linkEnds_.resize(index + 1);
        std::string& end = linkEnds_[index];
        if (!end.empty()) return end;
        const std::string title = TreeText(document.Title);
        const std::string number = std::to_string(run_.State.DocumentRun(index).SeqNr);
        end = " title=\"" + title + "\"";
        if (!treeLabel_.empty())
            end += " aria-label=\"" + FillPattern(treeLabel_, {title, number}) + "\"";
        end += ">" + number + "</a>";
        return end;
    }

    const TKSrunView& run_;
    TKStemplateOutput& out_;
    std::string indent_;
    std::string treeLabel_;  // pattern of the links' aria-label; none when empty
    std::string legendHead_; // HTML; no legend when empty
    bool withYears_;
    bool yearsShown_;
    bool split_ = false;
    std::string line_;
    std::string fromFile_;
    std::string link_;
    TKSdocumentLinks links_;
    std::vector<std::string> linkEnds_; // per list position; empty until used
    std::vector<bool> treesOnPage_;     // per list position: linked on this page
};

} // namespace

void WriteIndexData(const TKSrunView& run, TKStemplateOutput& out, const std::string& treeLabel,
                    const std::string& legendHead) {
    TKSindexDataWriter(run, out, treeLabel, legendHead).Run();
}

} // namespace ks
