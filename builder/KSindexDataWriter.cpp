#include "builder/KSindexDataWriter.h"

#include "builder/KSbuilder.h"
#include "builder/KSentryReader.h"
#include "builder/KShtmlPieces.h"
#include "builder/KSpageText.h"
#include "builder/KSreferences.h"
#include "builder/KSrelativeLink.h"
#include "common/KSconvert.h"
#include "common/KStextutil.h"
#include "index/KShtxData.h"
#include "index/KShtxRegel.h"
#include "index/KSksl.h"
#include "template/KStemplateParser.h"

namespace ks {

namespace {

class TKSindexDataWriter {
public:
    TKSindexDataWriter(TKSbuilder& builder, TKStemplateOutput& out, std::string treeLabel)
        : builder_(builder), out_(out), indent_(Indent(out.PlaceholderColumn())),
          treeLabel_(std::move(treeLabel)) {
        split_ = builder.State().CurrentSplit();
    }

    void Run() {
        TKSentryReader reader(builder_, out_);
        TKShtxRegel previous; // page 0, no surname
        TKShtxRegel entry;
        bool first = true;
        while (reader.Next(entry)) {
            const bool newPage = entry.PageNr != previous.PageNr;
            if (newPage && split_ && !first && !out_.NextPage()) return;
            first = false;
            // A page that starts inside a surname still gets its anchor and
            // the surname, so that neither the key links nor the reader lose
            // their place.
            if (newPage || !entry.SameSurname(previous.Surname)) WriteHeading(entry, newPage);
            WriteEntry(entry);
            previous = entry;
        }
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
        output.WriteLine(indent_ + "<span class=\"Idx1\">" + SurnameHtml(entry, "Idx1vv") +
                         "</span><br />");
    }

    std::string YearsText(const TKShtxRegel& entry) const {
        if (builder_.Settings().DuplicatesIgnoreYears) return {};
        if (entry.Year1.empty() && entry.Year2.empty()) return {};
        return entry.Year1 + "-" + entry.Year2;
    }

    void WriteEntry(const TKShtxRegel& entry) {
        const std::string years = YearsText(entry);
        std::string line = indent_;
        if (years.empty()) {
            line += "<span class=\"Idx2\"><span class=\"VN\">";
        } else {
            line += "<span class=\"Idx2\"><span class=\"VN\" title=\"" + HtmlEncode(years) + "\">";
        }
        line += entry.GivenNames.empty() ? std::string("?") : HtmlEncode(entry.GivenNames);
        if (builder_.Settings().IndexWithYears && !years.empty())
            line += "<span class=\"YR\"> (" + HtmlEncode(years) + ")</span>";
        line += "</span>";
        AppendReferences(line, entry.Link);
        line += "</span><br />";
        out_.Output().WriteLine(line);
    }

    // A numbered link to every tree that holds the person.
    void AppendReferences(std::string& line, const std::string& references) const {
        const std::string fromFile = out_.OutputFolder() + out_.OutputFile();
        const auto& documents = builder_.Settings().Documents;
        ForEachReference(
            references, documents.size(), [&](std::size_t index, const std::string& item) {
                const TKShtxData* document = documents[index].Data;
                if (document == nullptr) return;
                const std::string title = HtmlEncode(document->Title);
                const std::string number = std::to_string(builder_.DocumentRun(index).SeqNr);
                line += " <a class=\"IdxR\"" +
                        HrefAttribute(DocumentLink(fromFile, document->FileName, item)) +
                        " title=\"" + title + "\"";
                if (!treeLabel_.empty())
                    line += " aria-label=\"" + FillPattern(treeLabel_, {title, number}) + "\"";
                line += ">" + number + "</a>";
            });
    }

    TKSbuilder& builder_;
    TKStemplateOutput& out_;
    std::string indent_;
    std::string treeLabel_; // pattern of the links' aria-label; none when empty
    bool split_ = false;
};

} // namespace

void WriteIndexData(TKSbuilder& builder, TKStemplateOutput& out, const std::string& treeLabel) {
    TKSindexDataWriter(builder, out, treeLabel).Run();
}

} // namespace ks
