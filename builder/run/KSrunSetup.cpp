#include "builder/run/KSrunSetup.h"

#include "builder/combine/KSdivision.h"
#include "builder/entries/KSrelativeLink.h"
#include "builder/run/KSfetchedDocument.h"
#include "builder/writers/KSsiteExport.h"
#include "common/KScodepage.h"
#include "common/KScommon.h"
#include "common/KSlocal.h"
#include "common/KSpaths.h"
#include "common/KStextutil.h"
#include "fetch/KSfetch.h"
#include "index/KSdocumentCheck.h"
#include "index/KShtxData.h"
#include "index/KSksl.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace ks {

namespace fs = std::filesystem;

struct TKSdocumentList::Item {
    std::unique_ptr<TKShtxData> document;
    bool selected = false;
    std::string given;
    std::string webAddress;
    bool address = false;
    std::string fetchProblem;
    std::string fetchWarning;
};

TKSdocumentList::TKSdocumentList() = default;
TKSdocumentList::~TKSdocumentList() = default;
TKSdocumentList::TKSdocumentList(TKSdocumentList&&) noexcept = default;
TKSdocumentList& TKSdocumentList::operator=(TKSdocumentList&&) noexcept = default;

TKShtxData& TKSdocumentList::Add(const std::string& path, bool selected) {
    if (IsFetchAddress(path)) {
        items_.push_back({std::make_unique<TKShtxData>(FetchedDocumentPath(path)),
                          selected,
                          path,
                          {},
                          true,
                          {},
                          {}});
        return *items_.back().document;
    }
    items_.push_back(
        {std::make_unique<TKShtxData>(AbsolutePath(path)), selected, path, {}, false, {}, {}});
    return *items_.back().document;
}

bool TKSdocumentList::IsAddress(std::size_t index) const {
    return items_.at(index).address;
}

void TKSdocumentList::Fetch(std::size_t index, const std::string& tempFolder) {
    Item& item = items_.at(index);
    if (!item.address) return;
    const TKSfetchedDocument fetched = FetchIndexDocument(item.given, tempFolder);
    item.fetchProblem = fetched.Problem;
    item.fetchWarning = fetched.Warning;
    *item.document =
        TKShtxData(fetched.Document.empty() ? FetchedDocumentPath(item.given) : fetched.Document);
}

const std::string& TKSdocumentList::FetchProblem(std::size_t index) const {
    return items_.at(index).fetchProblem;
}

const std::string& TKSdocumentList::FetchWarning(std::size_t index) const {
    return items_.at(index).fetchWarning;
}

void TKSdocumentList::Remove(std::size_t index) {
    if (index < items_.size()) items_.erase(items_.begin() + static_cast<long>(index));
}

void TKSdocumentList::Move(std::size_t from, std::size_t to) {
    if (from >= items_.size() || to >= items_.size() || from == to) return;
    Item item = std::move(items_[from]);
    items_.erase(items_.begin() + static_cast<long>(from));
    items_.insert(items_.begin() + static_cast<long>(to), std::move(item));
}

void TKSdocumentList::Clear() {
    items_.clear();
}

TKShtxData& TKSdocumentList::Document(std::size_t index) const {
    return *items_.at(index).document;
}

std::size_t TKSdocumentList::Count() const {
    return items_.size();
}

const std::string& TKSdocumentList::GivenPath(std::size_t index) const {
    return items_.at(index).given;
}

bool TKSdocumentList::Selected(std::size_t index) const {
    return items_.at(index).selected;
}

void TKSdocumentList::SetSelected(std::size_t index, bool selected) {
    items_.at(index).selected = selected;
}

const std::string& TKSdocumentList::WebAddress(std::size_t index) const {
    return items_.at(index).webAddress;
}

void TKSdocumentList::SetWebAddress(std::size_t index, std::string address) {
    items_.at(index).webAddress = std::move(address);
}

void TKSdocumentList::SetTypedWebAddress(std::size_t index, std::string_view typed) {
    // Converted letter for letter: an address with a letter outside ASCII is
    // refused by the check rather than quietly made another address.
    SetWebAddress(index, Trim(Utf8ToWindows1252(typed)));
}

bool SameDocument(const std::string& a, const std::string& b) {
    if (IsFetchAddress(a) || IsFetchAddress(b)) return a == b;
    return SameFile(a, b) || AbsolutePath(a) == AbsolutePath(b);
}

int TKSdocumentList::Find(const std::string& path) const {
    if (IsFetchAddress(path)) {
        for (std::size_t i = 0; i < items_.size(); ++i)
            if (items_[i].address && items_[i].given == path) return static_cast<int>(i);
        return -1;
    }
    const std::string absolute = AbsolutePath(path);
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const std::string& name = items_[i].document->FileName;
        if (items_[i].address) continue;
        if (name == absolute || SameFile(name, path)) return static_cast<int>(i);
    }
    return -1;
}

TKSrunSetup::TKSrunSetup() = default;
TKSrunSetup::~TKSrunSetup() = default;

void TKSrunSetup::SetLayout(std::unique_ptr<TKSkslData> layout) {
    layout_ = std::move(layout);
    ChooseSplits({}, {});
}

namespace {

bool Named(const std::vector<std::string>& names, const std::string& name) {
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& n) { return SameTextAscii(n, name); });
}

bool AnySplit(const TKSkslData& layout) {
    for (int n = 1; n <= layout.ItemCount(); ++n)
        if (layout.Item(n)->Split) return true;
    return false;
}

// A layout whose index is cut into parts by the automatic division only,
// when it would pass the page size limit; it asks for no division.
bool OnlyAutomatic(const TKSkslData& layout) {
    if (layout.AsksFor("INDEXTYPE")) return false;
    for (int n = 1; n <= layout.ItemCount(); ++n)
        if (layout.Item(n)->InParts) return true;
    return false;
}

// Adds to problems those of more that it does not hold yet.
void AddNew(std::vector<TKSproblem>& problems, std::vector<TKSproblem> more) {
    for (TKSproblem& p : more)
        if (std::none_of(problems.begin(), problems.end(), [&](const TKSproblem& known) {
                return known.Path == p.Path && known.Reason == p.Reason;
            }))
            problems.push_back(std::move(p));
}

} // namespace

TKSindexType DefaultIndexType(const TKSkslData* layout, bool keepPagesLight) {
    if (layout == nullptr) return TKSindexType::FirstLetter;
    const bool divisible = layout->AsksFor("INDEXTYPE") && AnySplit(*layout);
    return (keepPagesLight && divisible) || OnlyAutomatic(*layout) ? TKSindexType::Auto
                                                                   : TKSindexType::FirstLetter;
}

std::vector<TKSproblem> TKSrunSetup::ChooseSplits(const std::vector<std::string>& split,
                                                  const std::vector<std::string>& noSplit) {
    std::vector<TKSproblem> problems;
    if (!layout_) return problems;
    for (int n = 1; n <= layout_->ItemCount(); ++n) {
        TKSkslFile& entry = *layout_->Item(n);
        entry.SetSplit(entry.Numbered && !Named(noSplit, entry.Name) &&
                       (split.empty() || Named(split, entry.Name)));
    }
    for (const auto* names : {&split, &noSplit})
        for (const std::string& name : *names)
            if (layout_->FindItem(name) == nullptr || !layout_->FindItem(name)->Numbered)
                problems.push_back(
                    {layout_->LayoutFile,
                     LocalText(
                         "#1562.1=er is geen uitvoer %1 die over pagina's verdeeld kan worden",
                         {name})});
    return problems;
}

std::vector<TKSproblem> TKSrunSetup::Check() const {
    std::vector<TKSproblem> problems = CheckDocuments();
    for (TKSproblem& p : CheckLayout())
        problems.push_back(std::move(p));
    for (TKSproblem& p : CheckOutputFolder())
        problems.push_back(std::move(p));
    AddNew(problems, CheckRunStart());
    return problems;
}

std::vector<TKSproblem> TKSrunSetup::CheckRunStart() const {
    if (!layout_) return {};
    return CheckRun(RunSettings());
}

std::vector<TKSproblem> TKSrunSetup::CheckDocuments() const {
    std::vector<TKSproblem> problems;
    for (std::size_t i = 0; i < Documents.Count(); ++i) {
        const std::string& path = Documents.GivenPath(i);
        // An address not ticked is not fetched, and may have no copy yet.
        if (Documents.IsAddress(i) && !Documents.Selected(i)) continue;
        if (Documents.IsAddress(i) && !Documents.FetchProblem(i).empty())
            problems.push_back({path, Documents.FetchProblem(i)});
        else if (const std::string problem = IndexDocumentProblem(
                     Documents.IsAddress(i) ? Documents.Document(i).FileName : path);
                 !problem.empty())
            problems.push_back({path, problem});
        if (const std::string& address = Documents.WebAddress(i);
            !address.empty() && !IsGoodWebAddress(address))
            problems.push_back(
                {path, LocalText("#1582.1=het webadres %1 is geen http- of https-adres van een "
                                 "map (met een host en zonder spaties, aanhalingstekens, <, >, "
                                 "? of #)",
                                 {address})});
    }
    for (std::size_t i = 1; i < Documents.Count(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            if (SameDocument(Documents.GivenPath(j), Documents.GivenPath(i))) {
                problems.push_back(
                    {Documents.GivenPath(i),
                     LocalText("#1563.9=staat al in de lijst (als %1)", {Documents.GivenPath(j)})});
                break;
            }
    return problems;
}

std::vector<TKSproblem> TKSrunSetup::CheckLayout() const {
    std::vector<TKSproblem> problems;
    if (!layout_) return problems;
    for (int n = 1; n <= layout_->ItemCount(); ++n) {
        const TKSkslFile& entry = *layout_->Item(n);
        if (const std::string problem = CheckOutputName(entry.OutputName(BaseName, 1, 0));
            !problem.empty())
            problems.push_back({layout_->LayoutFile,
                                LocalText("#1561.1=onderdeel %1", {entry.Name}) + ": " + problem});
    }
    const bool divided = IndexType != TKSindexType::NotChosen &&
                         IndexType != TKSindexType::FirstLetter &&
                         !(IndexType == TKSindexType::Auto && OnlyAutomatic(*layout_));
    if (divided && !layout_->AsksFor("INDEXTYPE"))
        problems.push_back(
            {layout_->LayoutFile, LocalText("#1562.2=de stijl vraagt niet om een index indeling")});
    else if (divided && !AnySplit(*layout_))
        problems.push_back({"", LocalText("#1562.3=de index indeling vraagt om een uitvoer die "
                                          "over pagina's verdeeld wordt")});
    return problems;
}

TKSindexType TKSrunSetup::EffectiveIndexType() const {
    if (IndexType != TKSindexType::NotChosen) return IndexType;
    return DefaultIndexType(layout_.get(), false);
}

std::string TKSrunSetup::OutputFolderPath() const {
    return OutputFolder.empty() ? std::string() : AbsoluteFolder(OutputFolder);
}

// A missing output folder is made only once everything else is fine; until
// then its nearest existing parent must be writable.
std::vector<TKSproblem> TKSrunSetup::CheckOutputFolder() const {
    const std::string folder = OutputFolderPath();
    std::error_code ec;
    fs::path existing = fs::path(folder).parent_path();
    while (!existing.empty() && !fs::exists(existing, ec) && existing != existing.parent_path())
        existing = existing.parent_path();
    if (fs::exists(folder, ec) && !fs::is_directory(folder, ec))
        return {{OutputFolder, LocalText("#1562.4=geen map")}};
    if (!fs::is_directory(existing, ec))
        return {{existing.string(),
                 LocalText("#1562.5=geen map, dus de opslagmap kan er niet in gemaakt worden")}};
    if (::access(existing.c_str(), W_OK | X_OK) != 0)
        return {{OutputFolder,
                 LocalReason("#1562.6=in de opslagmap kan niet geschreven worden", errno)}};
    return {};
}

void TKSrunSetup::FetchDocuments(const std::string& tempFolder) {
    for (std::size_t i = 0; i < Documents.Count(); ++i)
        if (Documents.IsAddress(i) && Documents.Selected(i)) Documents.Fetch(i, tempFolder);
}

std::vector<TKSproblem> TKSrunSetup::MakeOutputFolder() const {
    const std::string folder = OutputFolderPath();
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder, ec))
        return {{OutputFolder, LocalText("#1562.7=de opslagmap kan niet gemaakt worden") + ": " +
                                   (ec ? ec.message() : LocalText("#1562.4=geen map"))}};
    return {};
}

namespace {

// The TEMP switch's folder, when the environment took it as the temporary folder.
std::string TempSwitchFolder(const TKScommon& environment) {
    const std::string value = Trim(environment.CommandLineSwitch("TEMP"));
    if (value.empty()) return "";
    const std::string folder = AbsoluteFolder(value);
    return folder == environment.TempFolder ? folder : "";
}

} // namespace

void TKSrunSetup::SetTypedTexts(std::string_view title, std::string_view homepage,
                                std::string_view email) {
    const auto take = [](std::string_view typed, std::string& text, std::string& kept) {
        NearestText nearest = Utf8ToNearestWindows1252(typed);
        text = std::move(nearest.Text);
        kept = nearest.Replaced ? std::string(typed) : std::string();
    };
    take(title, Title, TypedTitle);
    take(homepage, Homepage, TypedHomepage);
    take(email, Email, TypedEmail);
}

TKSrunSettings TKSrunSetup::Settings(const TKScommon& environment) const {
    TKSrunSettings s = RunSettings();
    s.TempFolder = environment.TempFolder;
    s.TempSwitchFolder = TempSwitchFolder(environment);
    s.DeveloperMode = environment.DeveloperSwitches.IsNonZero();
    return s;
}

TKSrunSettings TKSrunSetup::RunSettings() const {
    TKSrunSettings s;
    for (std::size_t i = 0; i < Documents.Count(); ++i) {
        const std::string& address = Documents.WebAddress(i);
        const bool fetched = Documents.IsAddress(i);
        // A tree fetched by its address is published beside it, unless told otherwise.
        s.Documents.push_back({&Documents.Document(i), Documents.Selected(i),
                               Documents.GivenPath(i),
                               !address.empty() ? WebFolder(address)
                               : fetched        ? AddressFolder(Documents.GivenPath(i))
                                                : std::string()});
        if (fetched && Documents.Selected(i) && !Documents.FetchWarning(i).empty())
            s.FetchWarnings.push_back({Documents.GivenPath(i), Documents.FetchWarning(i),
                                       TKSrunWarningKind::FetchedCopy});
    }
    s.Layout = layout_.get();
    s.IndexType = EffectiveIndexType();
    s.IndexWithYears = IndexWithYears;
    s.DuplicatesIgnoreYears = DuplicatesIgnoreYears && MayIgnoreYears(IndexWithYears);
    s.OutputFolder = OutputFolderPath();
    s.BaseName = BaseName;
    s.Title = Title;
    s.Homepage = Homepage;
    s.Email = Email;
    s.TypedTitle = TypedTitle;
    s.TypedHomepage = TypedHomepage;
    s.TypedEmail = TypedEmail;
    s.WriteGendex = WriteGendex;
    // An address that is no site's reaches the run as given, which refuses it.
    s.SiteAddress = CheckSiteAddress(SiteAddress).empty() && !SiteAddress.empty()
                        ? SiteAddressBase(SiteAddress)
                        : SiteAddress;
    return s;
}

} // namespace ks
