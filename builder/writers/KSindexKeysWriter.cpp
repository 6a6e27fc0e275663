#include "builder/writers/KSindexKeysWriter.h"

#include "builder/entries/KSrelativeLink.h"
#include "builder/entries/KSrunSettings.h"
#include "builder/entries/KSrunState.h"
#include "builder/entries/KSrunView.h"
#include "builder/writers/KShtmlPieces.h"
#include "builder/writers/KSpageLine.h"
#include "builder/writers/KSpageText.h"
#include "builder/writers/KSwriterArgs.h"
#include "common/KSconvert.h"
#include "common/KSprogress.h"
#include "common/KStextutil.h"
#include "index/KSksl.h"
#include "template/KStemplateParser.h"

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace ks {

namespace {

constexpr int32_t kMostPagesAsLinks = 30;

struct TKSkeyChoice {
    const TKSkslFile* Entry = nullptr;
    std::string Target;
    int32_t Menu = 0;            // 0: a row of links
    std::string EmptyLabel;      // label of the empty first choice of a menu
    int32_t Selected = 0;        // page marked as chosen; 0: none
    bool MarkCurrent = false;    // aria-current on the link of the page being written
    bool DistinctLabels = false; // no two pages with the same label
    bool ByLetter = false;       // a row of letters, each with its parts beside it
};

// The words of the options argument, in any case; others are ignored.
void ReadOptions(const std::string& options, TKSkeyChoice& choice) {
    std::string rest = AsciiLower(options);
    std::string word;
    while (!rest.empty()) {
        CutField(rest, " ", '\0', word, false);
        if (word == "current") choice.MarkCurrent = true;
        if (word == "distinct") choice.DistinctLabels = true;
    }
}

class TKSindexKeysWriter {
public:
    TKSindexKeysWriter(const TKSrunView& run, TKStemplateOutput& out, TKSkeyChoice choice)
        : run_(run), out_(out), choice_(std::move(choice)),
          indent_(Indent(out.PlaceholderColumn())) {}

    void Run() {
        if (choice_.Menu == 0 && choice_.ByLetter) return WriteLetterRow();
        if (choice_.Menu != 0) WriteMenuHead();
        for (int32_t page = 1; page <= run_.State.PageCount; ++page) {
            out_.StepProgress(1);
            run_.Breather.Breathe();
            WriteKey(PageAt(run_.State.Pages, page));
        }
        if (choice_.Menu != 0) out_.Output().WriteLine(indent_ + "</select>");
    }

private:
    void WriteMenuHead() {
        const std::string n = std::to_string(choice_.Menu);
        const std::string location =
            choice_.Target.empty() ? "window.location" : "parent." + choice_.Target + ".location";
        TKSFileStream& output = out_.Output();
        output.WriteLine(indent_ + "<script type=\"text/javascript\">");
        output.WriteLine(indent_ + "  function selectkey" + n + "() ");
        output.WriteLine(indent_ + "  {");
        output.WriteLine(indent_ + "    if (document.getElementById(\"keymenu" + n +
                         "\").value != \"none\")");
        output.WriteLine(indent_ + "    {");
        output.WriteLine(indent_ + "      " + location + "=document.getElementById(\"keymenu" + n +
                         "\").value;");
        output.WriteLine(indent_ + "    }");
        output.WriteLine(indent_ + "  }");
        output.WriteLine(indent_ + "</script>");
        output.WriteLine(indent_ + "<select id=\"keymenu" + n +
                         "\" class=\"KSVIkeyMenu\" onchange=\"selectkey" + n + "()\">");
        if (!choice_.EmptyLabel.empty()) {
            output.WriteLine(indent_ +
                             "  <option class=\"KSVIkeyOption\" value=\"none\" "
                             "selected=\"selected\">" +
                             choice_.EmptyLabel + "</option>");
            choice_.Selected = 0;
        }
    }

    void WriteKey(const TKSindexData& page) {
        const std::string target = PageTarget(run_, *choice_.Entry, page.PageNumber);
        const std::string title = TreeText(PageTitle(page));
        std::string line = indent_;
        if (choice_.Menu != 0) {
            const bool selected = page.PageNumber == choice_.Selected;
            if (selected) choice_.Selected = 0;
            // A choice that may not be followed goes nowhere, like the empty one.
            const std::string value = IsSafeLink(target) ? HrefText(target) : "none";
            line += "  <option class=\"KSVIkeyOption\" value=\"" + value + "\" title=\"" + title +
                    (selected ? "\" selected=\"selected\">" : "\">") + Label(page, true) +
                    "</option>";
        } else {
            line +=
                "  <span class=\"KSVIkey\"><a" + HrefAttribute(target) + " title=\"" + title + "\"";
            if (!choice_.Target.empty()) line += " target=\"" + choice_.Target + "\"";
            // In a single file every page is here: none is the current one.
            if (choice_.MarkCurrent && run_.State.Splits(*choice_.Entry) &&
                page.PageNumber == choice_.Selected)
                line += " aria-current=\"page\"";
            line += ">" + Label(page, false) + "</a></span>";
        }
        out_.Output().WriteLine(line);
    }

    // The pages that hold a letter, each with the letter's first surname there
    // (in the section without a surname: its first given names there).
    struct TKSletterPages {
        std::string Letter;
        bool NoSurname = false;
        std::vector<std::pair<int32_t, std::string>> Pages;
    };

    // A row of letters for pages cut by size: each letter leads to the
    // first page that holds it, and when the letter is spread over several
    // pages those follow it, labelled by the first surname of the letter on
    // each, so that the row stays as short as the alphabet.
    void WriteLetterRow() {
        std::vector<TKSletterPages> letters;
        for (int32_t number = 1; number <= run_.State.PageCount; ++number) {
            out_.StepProgress(1);
            run_.Breather.Breathe();
            const TKSindexData& page = PageAt(run_.State.Pages, number);
            std::vector<TKSindexData::TKSletterStart> held = page.Letters;
            if (held.empty())
                held.push_back({page.GroupLetter,
                                page.NoSurname ? page.FirstGiven : page.FirstSurname,
                                page.NoSurname});
            for (const TKSindexData::TKSletterStart& start : held) {
                if (letters.empty() || letters.back().Letter != start.Letter ||
                    letters.back().NoSurname != start.NoSurname)
                    letters.push_back({start.Letter, start.NoSurname, {}});
                letters.back().Pages.emplace_back(number, start.Surname);
            }
        }
        for (const TKSletterPages& letter : letters) {
            const bool single = letter.Pages.size() == 1;
            // The section without a surname is named in words, its parts by given name.
            const std::string name = letter.NoSurname ? NoSurnameText() : letter.Letter;
            out_.Output().WriteLine(indent_ + "  <span class=\"KSVIkey\">" +
                                    Link(letter.Pages.front().first, name) + "</span>");
            if (single) continue;
            std::string parts = indent_ + "  <span class=\"KSVIkeyParts\">";
            for (std::size_t i = 0; i < letter.Pages.size(); ++i) {
                std::string label = letter.Pages[i].second;
                const int32_t earlier = labelsSeen_[AsciiUpper(label)]++;
                if (earlier > 0) label += " " + std::to_string(earlier + 1);
                parts += (i == 0 ? "" : " ") + Link(letter.Pages[i].first, label);
            }
            out_.Output().WriteLine(parts + "</span>");
        }
    }

    // A link to a page with the label given (plain text); every link to the
    // page being written carries the mark, a letter's as well as a part's.
    std::string Link(int32_t number, const std::string& label) {
        const TKSindexData& page = PageAt(run_.State.Pages, number);
        std::string link = "<a" + HrefAttribute(PageTarget(run_, *choice_.Entry, number)) +
                           " title=\"" + TreeText(PageTitle(page)) + "\"";
        if (!choice_.Target.empty()) link += " target=\"" + choice_.Target + "\"";
        if (choice_.MarkCurrent && run_.State.Splits(*choice_.Entry) && number == choice_.Selected)
            link += " aria-current=\"page\"";
        return link + ">" + TreeText(label) + "</a>";
    }

    std::string Label(const TKSindexData& page, bool withRange) {
        const TKSindexType indexType = run_.State.IndexType;
        if (!choice_.DistinctLabels) return TreeText(KeyLabel(page, indexType, withRange));
        std::string label = FullKeyLabel(page, indexType, withRange);
        // A surname cut over several pages starts each of them.
        const int32_t earlier = labelsSeen_[AsciiUpper(label)]++;
        if (earlier > 0) label += " " + std::to_string(earlier + 1);
        return TreeText(label);
    }

    const TKSrunView& run_;
    TKStemplateOutput& out_;
    TKSkeyChoice choice_;
    std::string indent_;
    std::map<std::string, int32_t> labelsSeen_; // how many pages had each label so far
};

} // namespace

void WriteIndexKeys(const TKSrunView& run, TKStemplateOutput& out, const std::string& arguments) {
    TKSargumentList args(arguments);
    TKSkeyChoice choice;
    const TKSkslData* layout = run.Settings.Layout;
    choice.Entry = layout != nullptr ? layout->FindItem(args.Next()) : nullptr;
    if (choice.Entry == nullptr) return; // no pages to offer
    choice.Target = args.Next();
    const bool menuGiven = args.HasNext();
    if (menuGiven) {
        choice.Menu = StrToIntDef("0" + args.Next(), 0);
        choice.EmptyLabel = args.Next();
        ReadOptions(args.Next(), choice);
    }
    // The division chosen by size keeps the row of letters, however many pages.
    choice.ByLetter = run.State.RequestedIndexType == TKSindexType::Auto &&
                      run.State.IndexType != TKSindexType::FirstLetter;
    if (!menuGiven && !choice.ByLetter &&
        (run.State.PageCount > kMostPagesAsLinks || InParts(run.State.IndexType))) {
        choice.Menu = ++run.State.KeyMenuCounter;
    }
    // Inside the entry's own output, the page being written is the chosen one.
    // (A surname list in parts counts its parts, not index pages.)
    const int32_t page = run.State.PageOf(*choice.Entry);
    if (!run.State.NameParts.IsParted(*choice.Entry) &&
        run.State.OutputName(*choice.Entry, page) == out.OutputFile())
        choice.Selected = page;
    TKSindexKeysWriter(run, out, std::move(choice)).Run();
}

} // namespace ks
