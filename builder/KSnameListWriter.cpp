#include "builder/KSnameListWriter.h"

#include "builder/KSbuilder.h"
#include "builder/KSentryReader.h"
#include "builder/KShtmlPieces.h"
#include "builder/KSpageText.h"
#include "builder/KSwriterArgs.h"
#include "common/KSconvert.h"
#include "index/KShtxRegel.h"
#include "index/KSksl.h"
#include "template/KStemplateParser.h"

#include <cstdint>

namespace ks {

namespace {

const char* SizeClass(int32_t count) {
    if (count >= 10) return "N10";
    if (count >= 5) return "N5";
    if (count >= 2) return "N2";
    return "N1";
}

class TKSnameListWriter {
public:
    TKSnameListWriter(TKSbuilder& builder, TKStemplateOutput& out, const TKSkslFile& target,
                      std::string opening, std::string closing)
        : builder_(builder), out_(out), target_(target), opening_(std::move(opening)),
          closing_(std::move(closing)), indent_(Indent(out.PlaceholderColumn())) {
        split_ = builder.State().CurrentSplit();
    }

    // One item per run of entries with the same surname, written when the
    // run has ended, because the item shows the run's length. A page change
    // ends a run too: a surname filed under two index letters ("IJzerman"
    // under I and under IJ) gets an item on each page, so that every page
    // has its block (and its own file when split).
    void Run() {
        TKSentryReader reader(builder_, out_);
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
        if (!blockOpen_) OpenBlock();
        const bool pageEnds = next == nullptr || next->PageNr != first_.PageNr;
        TKSFileStream& output = out_.Output();
        output.WriteLine(indent_ + "    " + ItemText(!pageEnds));
        if (pageEnds) {
            output.WriteLine(indent_ + "  </span>");
            output.WriteLine(indent_ + "</span>");
            blockOpen_ = false;
        }
        if (next != nullptr && pageEnds && split_) return out_.NextPage();
        return true;
    }

    void OpenBlock() {
        const TKSindexData page = PageAt(builder_.Pages, first_.PageNr);
        const std::string anchor = AnchorName(page);
        const TKSindexType indexType = builder_.State().IndexType;
        TKSFileStream& output = out_.Output();
        output.WriteLine(indent_ + "<span class=\"KSVIletter\">");
        output.WriteLine(indent_ + "  <a name=\"" + anchor + "\" id=\"" + anchor + "\"></a>");
        output.WriteLine(indent_ + "  <span class=\"Letter\">" +
                         HtmlEncode(KeyLabel(page, indexType, false)) + "</span>");
        output.WriteLine(indent_ + "  <span class=\"FromTo\">" +
                         HtmlEncode(KeyLabel(page, indexType, true)) + "</span>");
        output.WriteLine(indent_ + "  <span class=\"Records\">");
        blockOpen_ = true;
    }

    std::string ItemText(bool separator) const {
        const std::string href =
            PageFile(builder_, target_, first_.PageNr) + "#bm" + std::to_string(first_.RecordNr);
        std::string text = "<span class=\"Record\"><span class=\"";
        text += SizeClass(count_);
        text += "\"><a" + HrefAttribute(href) + " class=\"Naam\">" + SurnameHtml(first_, "VV") +
                "</a> <span class=\"Aantal\">" + opening_ + std::to_string(count_) + closing_ +
                "</span></span>";
        if (separator) text += " |";
        return text + "</span>";
    }

    TKSbuilder& builder_;
    TKStemplateOutput& out_;
    const TKSkslFile& target_;
    std::string opening_;
    std::string closing_;
    std::string indent_;
    bool split_ = false;
    bool blockOpen_ = false;
    TKShtxRegel first_;
    int32_t count_ = 0;
};

} // namespace

void WriteNameList(TKSbuilder& builder, TKStemplateOutput& out, const std::string& arguments) {
    TKSargumentList args(arguments);
    const std::string name = args.Next();
    const std::string opening = args.HasNext() ? args.Next() : "(";
    const std::string closing = args.HasNext() ? args.Rest() : ")";
    const TKSkslData* layout = builder.Settings().Layout;
    const TKSkslFile* target = layout != nullptr ? layout->FindItem(name) : nullptr;
    if (target == nullptr) return; // no pages to link to
    TKSnameListWriter(builder, out, *target, opening, closing).Run();
}

} // namespace ks
