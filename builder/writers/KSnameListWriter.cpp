#include "builder/writers/KSnameListWriter.h"

#include "builder/entries/KSentryReader.h"
#include "builder/entries/KSrunSettings.h"
#include "builder/entries/KSrunState.h"
#include "builder/entries/KSrunView.h"
#include "builder/writers/KShtmlPieces.h"
#include "builder/writers/KSpageLine.h"
#include "builder/writers/KSpageText.h"
#include "builder/writers/KSwriterArgs.h"
#include "common/KSconvert.h"
#include "index/KShtxRegel.h"
#include "index/KSksl.h"
#include "template/KStemplateParser.h"

#include "common/KSfileio.h"
#include "common/KStextutil.h"
#include "common/KSutf8.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

namespace ks {

namespace {

int64_t ItemBytes(const TKShtxRegel& entry) {
    return kNameItemBytes + 2 * static_cast<int64_t>(EstimatedLength(entry.Surname));
}

const char* SizeClass(int32_t count) {
    if (count >= 10) return "N10";
    if (count >= 5) return "N5";
    if (count >= 2) return "N2";
    return "N1";
}

// The surname with its count, linking to its first entry in the index.
std::string NameItem(const TKSrunView& run, const TKSkslFile& target, const TKShtxRegel& first,
                     int32_t count, const std::string& opening, const std::string& closing) {
    const std::string href =
        PageFile(run, target, first.PageNr) + "#bm" + std::to_string(first.RecordNr);
    return std::string("<span class=\"") + SizeClass(count) + "\"><a" + HrefAttribute(href) +
           " class=\"Naam\">" + SurnameHtml(first, "VV") + "</a> <span class=\"Aantal\">" +
           opening + std::to_string(count) + closing + "</span></span>";
}

// The first argument: the entry, then optionally the word "frequent" (the
// surnames with the most persons first) and the number of surnames to list.
struct TKSnameListChoice {
    std::string Entry;
    bool ByCount = false;
    int32_t Limit = 0; // 0: every surname
};

TKSnameListChoice ReadChoice(const std::string& argument) {
    TKSnameListChoice choice;
    std::string rest = Trim(argument);
    CutField(rest, " ", '\0', choice.Entry, false);
    std::string word;
    while (!rest.empty()) {
        CutField(rest, " ", '\0', word, false);
        if (AsciiLower(word) == "frequent") choice.ByCount = true;
        const int32_t limit = StrToIntDef(word, -1);
        if (limit > 0) choice.Limit = limit;
    }
    return choice;
}

// The surnames ordered by their number of persons, most first, ties in the
// order of the index; a surname filed under two letters counts once, linking
// to its first entry. One list, never divided: a page of the most frequent
// surnames is meant to be short.
class TKSfrequentNamesWriter {
public:
    TKSfrequentNamesWriter(const TKSrunView& run, TKStemplateOutput& out, const TKSkslFile& target,
                           std::string opening, std::string closing, int32_t limit)
        : run_(run), out_(out), target_(target), opening_(std::move(opening)),
          closing_(std::move(closing)), limit_(limit) {}

    void Run() {
        std::vector<Item> items;
        std::map<std::string, std::size_t> seen; // upper-cased surname: its item
        TKSentryReader reader(run_, out_);
        TKShtxRegel entry;
        while (reader.Next(entry)) {
            if (entry.Surname == "?") continue; // an unknown surname is no name to rank
            const auto [at, added] = seen.try_emplace(AsciiUpper(entry.Surname), items.size());
            if (added)
                items.push_back({entry.Surname, entry.PageNr, entry.RecordNr, 1});
            else
                ++items[at->second].Count;
        }
        std::stable_sort(items.begin(), items.end(),
                         [](const Item& a, const Item& b) { return a.Count > b.Count; });
        if (limit_ > 0 && items.size() > static_cast<std::size_t>(limit_))
            items.resize(static_cast<std::size_t>(limit_));
        const std::string indent = Indent(out_.PlaceholderColumn());
        TKSFileStream& output = out_.Output();
        output.WriteLine(indent + "<ol class=\"KSVIfrequent\">");
        TKShtxRegel first;
        for (const Item& item : items) {
            first.Surname = item.Surname;
            first.PageNr = item.PageNr;
            first.RecordNr = item.RecordNr;
            output.WriteLine(indent + "  <li class=\"Record\">" +
                             NameItem(run_, target_, first, item.Count, opening_, closing_) +
                             "</li>");
        }
        output.WriteLine(indent + "</ol>");
    }

private:
    // A surname's first entry, as far as its item shows it: one for every
    // surname of the index, so no more than that.
    struct Item {
        std::string Surname;
        int32_t PageNr = 0;
        int32_t RecordNr = 0;
        int32_t Count = 0;
    };

    const TKSrunView& run_;
    TKStemplateOutput& out_;
    const TKSkslFile& target_;
    std::string opening_;
    std::string closing_;
    int32_t limit_;
};

class TKSnameListWriter {
public:
    TKSnameListWriter(const TKSrunView& run, TKStemplateOutput& out, const TKSkslFile& target,
                      std::string opening, std::string closing)
        : run_(run), out_(out), target_(target), opening_(std::move(opening)),
          closing_(std::move(closing)), indent_(Indent(out.PlaceholderColumn())) {
        split_ = run.State.CurrentSplit();
        parted_ = run.State.CurrentParted();
    }

    // One item per run of entries with the same surname, written when the
    // run has ended, because the item shows the run's length. A page change
    // ends a run too: a surname filed under two index letters ("IJzerman"
    // under I and under IJ) gets an item on each page, so that every page
    // has its block (and its own file when split).
    void Run() {
        TKSentryReader reader(run_, out_);
        TKShtxRegel entry;
        while (reader.Next(entry)) {
            if (count_ > 0 && entry.PageNr == first_.PageNr && entry.SameSurname(first_.Surname)) {
                ++count_;
                continue;
            }
            if (count_ > 0 && !Flush(&entry)) return;
            first_ = entry;
            count_ = 1;
        }
        if (count_ > 0) Flush(nullptr);
    }

private:
    // Writes the item of the run that ends before next (nullptr: the end);
    // false when the output could not go on to the next page.
    bool Flush(const TKShtxRegel* next) {
        if (first_.PageNr != itemPage_) {
            itemPage_ = first_.PageNr;
            inPage_ = 0;
        }
        // The list in parts goes on to the next part where it starts, inside a block too.
        if (parted_ && run_.State.NameParts.StartsAt(part_ + 1, itemPage_, inPage_)) {
            if (blockOpen_) CloseBlock();
            if (!out_.NextPage()) return false;
            ++part_;
        }
        if (!blockOpen_) OpenBlock(inPage_ == 0);
        ++inPage_;
        const bool pageEnds = next == nullptr || next->PageNr != first_.PageNr;
        out_.Output().WriteLine(indent_ + "    " + ItemText(!pageEnds));
        if (pageEnds) CloseBlock();
        if (next != nullptr && pageEnds && split_) return out_.NextPage();
        return true;
    }

    void CloseBlock() {
        out_.Output().WriteLine(indent_ + "  </span>");
        out_.Output().WriteLine(indent_ + "</span>");
        blockOpen_ = false;
    }

    // A block opened again in the next part has its anchor in the part before.
    void OpenBlock(bool withAnchor) {
        const TKSindexData page = PageAt(run_.State.Pages, first_.PageNr);
        const std::string anchor = AnchorName(page);
        const TKSindexType indexType = run_.State.IndexType;
        TKSFileStream& output = out_.Output();
        output.WriteLine(indent_ + "<span class=\"KSVIletter\">");
        if (withAnchor)
            output.WriteLine(indent_ + "  <a name=\"" + anchor + "\" id=\"" + anchor + "\"></a>");
        output.WriteLine(indent_ + "  <span class=\"Letter\">" +
                         TreeText(KeyLabel(page, indexType, false)) + "</span>");
        output.WriteLine(indent_ + "  <span class=\"FromTo\">" +
                         TreeText(KeyLabel(page, indexType, true)) + "</span>");
        output.WriteLine(indent_ + "  <span class=\"Records\">");
        blockOpen_ = true;
    }

    std::string ItemText(bool separator) const {
        std::string text =
            "<span class=\"Record\">" + NameItem(run_, target_, first_, count_, opening_, closing_);
        if (separator) text += " |";
        return text + "</span>";
    }

    const TKSrunView& run_;
    TKStemplateOutput& out_;
    const TKSkslFile& target_;
    std::string opening_;
    std::string closing_;
    std::string indent_;
    bool split_ = false;
    bool parted_ = false; // the list in parts (see TKSnameParts)
    int32_t part_ = 1;    // the part being written
    int32_t itemPage_ = 0;
    int32_t inPage_ = 0; // items of itemPage_ written so far
    bool blockOpen_ = false;
    TKShtxRegel first_;
    int32_t count_ = 0;
};

} // namespace

std::vector<TKSnameItem> EstimateNameItems(const TKSrunView& run) {
    std::vector<TKSnameItem> items;
    TKSentryReader reader(run);
    TKShtxRegel entry;
    std::string letter; // of the item before
    while (reader.Next(entry)) {
        const bool samePage = !items.empty() && items.back().Page == entry.PageNr;
        // An item per run of one surname on one page, as the list writes them.
        if (samePage && entry.SameSurname(items.back().Surname)) continue;
        TKSnameItem item;
        item.Page = entry.PageNr;
        item.InPage = samePage ? items.back().InPage + 1 : 0;
        item.Bytes = ItemBytes(entry) + (samePage ? 0 : kNameBlockBytes);
        item.StartsLetter = entry.Letter != letter;
        item.Letter = entry.Letter;
        item.Surname = entry.Surname;
        letter = entry.Letter;
        items.push_back(std::move(item));
    }
    return items;
}

void WriteNameList(const TKSrunView& run, TKStemplateOutput& out, const std::string& arguments) {
    TKSargumentList args(arguments);
    const TKSnameListChoice choice = ReadChoice(args.Next());
    const std::string opening = args.HasNext() ? args.Next() : "(";
    const std::string closing = args.HasNext() ? args.Rest() : ")";
    const TKSkslData* layout = run.Settings.Layout;
    const TKSkslFile* target = layout != nullptr ? layout->FindItem(choice.Entry) : nullptr;
    if (target == nullptr) return; // no pages to link to
    if (choice.ByCount)
        TKSfrequentNamesWriter(run, out, *target, opening, closing, choice.Limit).Run();
    else
        TKSnameListWriter(run, out, *target, opening, closing).Run();
}

bool WritesAlphabeticalNameList(const std::string& templatePath, const TKSkslData& layout) {
    std::string text;
    FileStamp stamp;
    if (ReadWholeFile(templatePath, text, stamp) != ReadOutcome::Read) return false;
    const std::string upper = AsciiUpper(text);
    for (std::size_t at = upper.find("#NAMELIST("); at != std::string::npos;
         at = upper.find("#NAMELIST(", at + 1)) {
        const std::size_t begin = at + 10;
        const std::size_t end = text.find_first_of(",)", begin);
        if (end == std::string::npos) continue;
        const TKSnameListChoice choice = ReadChoice(text.substr(begin, end - begin));
        if (!choice.ByCount && layout.FindItem(choice.Entry) != nullptr) return true;
    }
    return false;
}

} // namespace ks
