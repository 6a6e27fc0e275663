#include "builder/writers/KSbuilderVariables.h"

#include "builder/entries/KSrunSettings.h"
#include "builder/entries/KSrunState.h"
#include "builder/entries/KSurlPath.h"
#include "builder/writers/KShtmlPieces.h"
#include "builder/writers/KSindexDataWriter.h"
#include "builder/writers/KSindexKeysWriter.h"
#include "builder/writers/KSnameListWriter.h"
#include "builder/writers/KSnavigationLink.h"
#include "builder/writers/KSnewListWriter.h"
#include "builder/writers/KSpageText.h"
#include "builder/writers/KSreportListWriter.h"
#include "builder/writers/KSsearchWriter.h"
#include "common/KStextutil.h"
#include "index/KSksl.h"
#include "template/KStemplateParser.h"

#include <algorithm>
#include <filesystem>
#include <utility>

namespace ks {

namespace fs = std::filesystem;

namespace {

// The next argument: the text before the next comma outside double quotes.
std::string NextArgument(std::string& arguments) {
    std::string field;
    CutField(arguments, ",", '"', field, false);
    return field;
}

// The text between the brackets of "NAME(...)": "" for "NAME" and "NAME()".
std::string BracketText(const std::string& placeholder) {
    const std::size_t open = placeholder.find('(');
    if (open == std::string::npos) return {};
    const std::size_t end = placeholder.back() == ')' ? placeholder.size() - 1 : placeholder.size();
    return placeholder.substr(open + 1, end - open - 1);
}

// What the writer of a builder variable gets: the placeholder and the run it
// writes for. List variables write their lines into the parser's output and
// are replaced by nothing.
struct VariableCall {
    TKSrunView run;
    TKStemplateParser& parser;
    const std::string& placeholder; // name and arguments as written
    std::string arguments;          // after "(", without the closing ")"

    const TKSrunSettings& Settings() const { return run.Settings; }
    TKSrunState& State() const { return run.State; }
};

// One builder variable: its name, its writer, what it adds to the progress of
// a template that uses it, and whether a split template that uses it goes on
// to a page per index page.
struct BuilderVariable {
    const char* Name;
    std::string (*Write)(VariableCall& call);
    int64_t (*Progress)(const TKSrunSettings& settings, const TKSrunState& state,
                        bool split); // nullptr: nothing
    bool PagePerIndexPage;
};

int64_t EveryDocument(const TKSrunSettings& settings, const TKSrunState&, bool) {
    return static_cast<int64_t>(settings.Documents.size());
}

int64_t EveryEntry(const TKSrunSettings&, const TKSrunState& state, bool) {
    return state.EntryTotalCount;
}

int64_t EveryKey(const TKSrunSettings&, const TKSrunState& state, bool split) {
    const int64_t pages = state.PageCount;
    return split ? pages * pages : pages;
}

// A text as the user typed it, for pages in UTF-8; empty when the text as
// kept is to be written (a page in Windows-1252, nothing was replaced, or
// nothing was kept: a text of marks alone is no text).
const std::string& TypedText(const VariableCall& call, const std::string& kept,
                             const std::string& typed) {
    static const std::string none;
    return call.parser.Utf8Output && !kept.empty() ? typed : none;
}

std::string Link(VariableCall& call, const char* which) {
    return NavigationLink(call.run, which, call.arguments);
}

const BuilderVariable kBuilderVariables[] = {
    {"FILE",
     [](VariableCall& call) -> std::string {
         const TKSkslData* layout = call.Settings().Layout;
         const TKSkslFile* entry =
             layout != nullptr ? layout->FindItem(NextArgument(call.arguments)) : nullptr;
         return entry ? HrefText(UrlPath(call.State().OutputName(*entry, 1))) : "";
     },
     nullptr, false},
    {"REPORTLIST",
     [](VariableCall& call) {
         WriteReportList(call.run, call.parser, call.arguments);
         return std::string();
     },
     EveryDocument, false},
    {"NAMELIST",
     [](VariableCall& call) {
         WriteNameList(call.run, call.parser, call.arguments);
         return std::string();
     },
     EveryEntry, true},
    {"INDEXKEYS",
     [](VariableCall& call) {
         WriteIndexKeys(call.run, call.parser, call.arguments);
         return std::string();
     },
     EveryKey, false},
    {"INDEXDATA",
     [](VariableCall& call) {
         // The layout's text "legend" heads the list of the trees of a page.
         const TKSkslData* layout = call.Settings().Layout;
         WriteIndexData(call.run, call.parser, BracketText(call.placeholder),
                        layout != nullptr ? layout->LayoutText("legend") : std::string());
         return std::string();
     },
     EveryEntry, true},
    {"LINKFIRST", [](VariableCall& call) { return Link(call, "FIRST"); }, nullptr, false},
    {"LINKPREV", [](VariableCall& call) { return Link(call, "PREV"); }, nullptr, false},
    {"LINKNEXT", [](VariableCall& call) { return Link(call, "NEXT"); }, nullptr, false},
    {"LINKLAST", [](VariableCall& call) { return Link(call, "LAST"); }, nullptr, false},
    {"TEMPLATE$",
     [](VariableCall& call) { return fs::path(call.parser.TemplateFile).filename().string(); },
     nullptr, false},
    {"TITLE$",
     [](VariableCall& call) {
         const std::string arguments = BracketText(call.placeholder);
         const std::string& typed =
             TypedText(call, call.Settings().Title, call.Settings().TypedTitle);
         if (typed.empty())
             return call.parser.Verbatim(TitleText(call.Settings().Title, arguments));
         std::size_t at = 0;
         std::string text = TitleText(typed, arguments, &at);
         return call.parser.VerbatimUtf8(std::move(text), at, typed.size());
     },
     nullptr, false},
    // The name of the index page being written, for its title and heading;
    // arguments as TITLE$. Only a split entry with a file per index page
    // has one, and each part of the surname list in parts: other files
    // have none.
    {"PAGE$",
     [](VariableCall& call) {
         TKSrunState& state = call.State();
         const int32_t page = state.IndexPages ? state.CurrentPage : 0;
         std::string name;
         TKSindexData part;
         TKSindexType partType = TKSindexType::FirstLetter;
         if (page >= 1 && page <= state.PageCount)
             name = PageName(PageAt(state.Pages, page), state.IndexType);
         else if (state.CurrentParted() &&
                  state.NameParts.AsPage(state.CurrentPage, part, partType))
             name = PageName(part, partType);
         // Never read again for placeholders: surnames are the trees' text.
         return call.parser.Verbatim(TitleText(name, BracketText(call.placeholder)));
     },
     nullptr, false},
    {"HOMEPAGE$",
     [](VariableCall& call) {
         const std::string& homepage = call.Settings().Homepage;
         // The rule looks at the text as kept, so both kinds of page agree.
         const std::string scheme = !homepage.empty() && homepage[0] != '.' && homepage[0] != '/' &&
                                            homepage[0] != '\\' &&
                                            homepage.find("://") == std::string::npos
                                        ? "http://"
                                        : "";
         const std::string& typed = TypedText(call, homepage, call.Settings().TypedHomepage);
         if (typed.empty()) return call.parser.Verbatim(scheme + homepage);
         return call.parser.VerbatimUtf8(scheme + typed, scheme.size(), typed.size());
     },
     nullptr, false},
    {"EMAIL$",
     [](VariableCall& call) {
         const std::string& email = call.Settings().Email;
         if (email.find('@') == std::string::npos) return call.parser.Verbatim("");
         const std::string& typed = TypedText(call, email, call.Settings().TypedEmail);
         if (typed.empty()) return call.parser.Verbatim(email);
         return call.parser.VerbatimUtf8(typed, 0, typed.size());
     },
     nullptr, false},
    {"KSLTEXT",
     [](VariableCall& call) -> std::string {
         const TKSkslData* layout = call.Settings().Layout;
         if (layout == nullptr) return "";
         return layout->LayoutText(call.arguments.substr(0, call.arguments.find(',')));
     },
     nullptr, false},
    {"SEARCHDATA",
     [](VariableCall& call) {
         const std::string output = call.parser.OutputFolder() + call.parser.OutputFile();
         const std::string& folder = call.State().OutputFolder;
         // The shards this run writes replace those of an earlier run.
         if (output.starts_with(folder))
             call.State().SearchMasks.push_back(SearchShardMask(output.substr(folder.size())));
         WriteSearchData(call.run, call.parser, call.arguments);
         return std::string();
     },
     EveryEntry, false},
    // The persons new since the previous run, by tree; the page it stands
    // on is the one the feed links to.
    {"NEWLIST",
     [](VariableCall& call) {
         WriteNewList(call.run, call.parser, call.arguments);
         return std::string();
     },
     nullptr, false},
};

const BuilderVariable* FindVariable(const std::string& upperName) {
    for (const BuilderVariable& variable : kBuilderVariables)
        if (upperName == variable.Name) return &variable;
    return nullptr;
}

} // namespace

const std::string& BuilderVariableNames() {
    static const std::string names = [] {
        std::string list;
        for (const BuilderVariable& variable : kBuilderVariables)
            list += (list.empty() ? "" : ",") + std::string(variable.Name);
        return list;
    }();
    return names;
}

std::string ResolveBuilderVariable(const TKSrunView& run, const std::string& placeholder,
                                   TKStemplateParser& parser) {
    const int open = FindOutside(placeholder, "(", '"', false);
    const std::string name = AsciiUpper(open > 0 ? placeholder.substr(0, open - 1) : placeholder);
    const BuilderVariable* variable = FindVariable(name);
    if (variable == nullptr) return "";
    std::string arguments = open > 0 ? placeholder.substr(open) : "";
    if (arguments.size() > 1) arguments.pop_back();
    VariableCall call{run, parser, placeholder, std::move(arguments)};
    return variable->Write(call);
}

bool PagePerIndexPage(const TKSvariableCount& count) {
    return std::any_of(count.Names.begin(), count.Names.end(), [](const std::string& name) {
        const BuilderVariable* variable = FindVariable(name);
        return variable != nullptr && variable->PagePerIndexPage;
    });
}

int64_t EstimateProgress(const TKSrunSettings& settings, const TKSrunState& state,
                         const TKSvariableCount& count, bool split) {
    const int64_t pages = state.PageCount;
    int64_t total = static_cast<int64_t>(count.Lines) * (split ? pages : 1);
    for (const std::string& name : count.Names)
        if (const BuilderVariable* variable = FindVariable(name);
            variable != nullptr && variable->Progress != nullptr)
            total += variable->Progress(settings, state, split);
    return total;
}

} // namespace ks
