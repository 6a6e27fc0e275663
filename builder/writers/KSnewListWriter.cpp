#include "builder/writers/KSnewListWriter.h"

#include "builder/entries/KSindexData.h"
#include "builder/entries/KSrelativeLink.h"
#include "builder/entries/KSrunSettings.h"
#include "builder/entries/KSrunState.h"
#include "builder/entries/KSrunView.h"
#include "builder/writers/KShtmlPieces.h"
#include "builder/writers/KSpageLine.h"
#include "builder/writers/KSwriterArgs.h"
#include "common/KStextutil.h"
#include "index/KShtxData.h"
#include "index/KSksl.h"
#include "template/KStemplateParser.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace ks {

namespace {

class TKSnewListWriter {
public:
    TKSnewListWriter(const TKSrunView& run, TKStemplateOutput& out, int32_t limit)
        : run_(run), out_(out), indent_(Indent(out.PlaceholderColumn())), limit_(limit),
          fromFile_(out.OutputFolder() + out.OutputFile()),
          yearsShown_(run.Settings.IndexWithYears && !run.Settings.DuplicatesIgnoreYears) {}

    void Run() {
        const TKSwhatsNew& news = run_.State.WhatsNew;
        const std::string previous = RunDateText(news.PreviousTime, Text("newdate"));
        const std::string now = RunDateText(run_.State.RunTime, Text("newdate"));
        if (!news.Compared) {
            Paragraph("KSVInewFirst", FillPattern(Text("newfirst"), {now}));
            return;
        }
        if (news.Trees.empty()) {
            Paragraph("KSVInewNone", FillPattern(Text("newnone"), {previous, now}));
            return;
        }
        Paragraph("KSVInewSince", FillPattern(Text("newsince"), {previous, now}));
        for (const TKSnewTree& tree : news.Trees)
            WriteTree(tree);
    }

private:
    std::string Text(const char* name) const {
        const TKSkslData* layout = run_.Settings.Layout;
        return layout != nullptr ? layout->LayoutText(name) : std::string();
    }

    void Paragraph(const char* cssClass, const std::string& text) {
        if (!text.empty())
            out_.Output().WriteLine(indent_ + "<p class=\"" + cssClass + "\">" + text + "</p>");
    }

    void WriteTree(const TKSnewTree& tree) {
        const TKSrunDocument& document = run_.Settings.Documents[tree.Document];
        if (document.Data == nullptr) return;
        TKSFileStream& output = out_.Output();
        output.WriteLine(indent_ + "<section class=\"KSVInewTree\">");
        output.WriteLine(indent_ + "  <h2 class=\"KSVInewTitle\">" +
                         TreeText(document.Data->Title) + " <span class=\"KSVInewCount\">(" +
                         std::to_string(tree.Count) + ")</span></h2>");
        output.WriteLine(indent_ + "  <ul class=\"KSVInewList\">");
        const TKSdocumentLinker linker(fromFile_, document.Data->FileName, document.WebAddress);
        const std::size_t shown =
            std::min(tree.First.size(), static_cast<std::size_t>(std::max(limit_, 0)));
        for (std::size_t i = 0; i < shown; ++i)
            output.WriteLine(indent_ + "    <li>" + PersonHtml(tree.First[i], linker) + "</li>");
        output.WriteLine(indent_ + "  </ul>");
        if (tree.Count > static_cast<int64_t>(shown))
            Paragraph("KSVInewMore",
                      FillPattern(Text("newmore"),
                                  {std::to_string(tree.Count - shown), std::to_string(shown)}));
        output.WriteLine(indent_ + "</section>");
    }

    // "Berg, van den, Jan (1801-1870)", linked to the person in the tree.
    std::string PersonHtml(const TKShtxRegel& person, const TKSdocumentLinker& linker) const {
        std::string name;
        if (!IsNoSurname(person.Surname)) name = SurnameHtml(person, "Idx1vv");
        if (!person.GivenNames.empty() && person.GivenNames != "?") {
            if (!name.empty()) name += ", ";
            name += "<span class=\"VN\">" +
                    TreeText(person.GivenNames, TKStreeEscape::HtmlIsolated) + "</span>";
        }
        if (name.empty()) name = "?";
        std::string html = "<a";
        // Judged as the tree gives it, and as it is joined to the tree's folder.
        if (IsSafeLink(person.Link)) {
            const std::string link = linker.Link(person.Link);
            if (IsSafeLink(link)) {
                html += " href=\"";
                AppendHrefText(html, link);
                html += '"';
            }
        }
        html += ">" + name + "</a>";
        if (yearsShown_ && !(person.Year1.empty() && person.Year2.empty())) {
            html += " <span class=\"YR\">(";
            AppendTreeText(html, person.Year1);
            html += '-';
            AppendTreeText(html, person.Year2);
            html += ")</span>";
        }
        return html;
    }

    const TKSrunView& run_;
    TKStemplateOutput& out_;
    std::string indent_;
    int32_t limit_;
    std::string fromFile_;
    bool yearsShown_;
};

} // namespace

std::string RunDateText(int64_t time, const std::string& pattern) {
    const std::time_t when = static_cast<std::time_t>(time);
    std::tm local{};
    if (::localtime_r(&when, &local) == nullptr) return {};
    char day[16];
    char month[16];
    std::snprintf(day, sizeof day, "%02d", local.tm_mday);
    std::snprintf(month, sizeof month, "%02d", local.tm_mon + 1);
    return FillPattern(pattern.empty() ? "%3-%2-%1" : pattern,
                       {day, month, std::to_string(local.tm_year + 1900)});
}

void WriteNewList(const TKSrunView& run, TKStemplateOutput& out, const std::string& arguments) {
    TKSargumentList args(arguments);
    int32_t limit = kNewPersonsKept;
    if (args.HasNext()) {
        const std::string first = Trim(args.Next());
        if (!first.empty())
            limit = std::clamp(StrToIntDef(first, kNewPersonsKept), 1, kNewPersonsKept);
    }
    // The feed links to the page as it is published.
    if (run.State.NewPagePath.empty())
        run.State.NewPagePath = out.OutputFolder() + out.OutputFile();
    TKSnewListWriter(run, out, limit).Run();
}

} // namespace ks
