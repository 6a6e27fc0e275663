#include "builder/writers/KSnavigationLink.h"

#include "builder/entries/KSrunSettings.h"
#include "builder/entries/KSrunState.h"
#include "builder/entries/KSrunView.h"
#include "builder/entries/KSurlPath.h"
#include "builder/writers/KShtmlPieces.h"
#include "builder/writers/KSpageText.h"
#include "builder/writers/KSwriterArgs.h"
#include "common/KStextutil.h"
#include "index/KSksl.h"

#include <cstdint>

namespace ks {

namespace {

struct TKSlinkKind {
    const char* Which;
    const char* Class;       // "First": KSVI<name>First, KSVI<name>NoFirst
    const char* DefaultText; // HTML as the layout would write it
    bool Backwards;          // present from page 2 on, else up to the last page but one
};

constexpr TKSlinkKind kKinds[] = {
    {"FIRST", "First", " |&lt; ", true},
    {"PREV", "Prev", " &lt; ", true},
    {"NEXT", "Next", " &gt; ", false},
    {"LAST", "Last", " &gt;| ", false},
};

const TKSlinkKind* FindKind(const std::string& which) {
    for (const TKSlinkKind& kind : kKinds)
        if (which == kind.Which) return &kind;
    return nullptr;
}

int32_t TargetPage(const TKSlinkKind& kind, int32_t current, int32_t pageCount) {
    const std::string which = kind.Which;
    if (which == "FIRST") return 1;
    if (which == "PREV") return current - 1;
    if (which == "NEXT") return current + 1;
    return pageCount;
}

} // namespace

std::string NavigationLink(const TKSrunView& run, const std::string& which,
                           const std::string& arguments) {
    const TKSlinkKind* kind = FindKind(which);
    const TKSkslData* layout = run.Settings.Layout;
    if (kind == nullptr || layout == nullptr) return {};
    TKSargumentList args(arguments);
    const std::string name = args.Next();
    const TKSkslFile* entry = layout->FindItem(name);
    if (entry == nullptr || !run.State.Splits(*entry)) return {};
    std::string target = args.Next();
    if (target.empty()) target = "VIindex";
    std::string text = args.Rest();
    if (text.empty()) text = kind->DefaultText;

    const std::string cssClass = "KSVI" + AsciiLower(name);
    const int32_t current = run.State.PageOf(*entry);
    const bool present = kind->Backwards ? current >= 2 : current < run.State.PageCount;
    if (!present) return "<span class=\"" + cssClass + "No" + kind->Class + "\">&nbsp;</span>";
    const int32_t page = TargetPage(*kind, current, run.State.PageCount);
    return "<span class=\"" + cssClass + kind->Class + "\"><a" +
           HrefAttribute(UrlPath(run.State.OutputName(*entry, page))) + " target=\"" + target +
           "\">" + text + "</a></span>";
}

} // namespace ks
