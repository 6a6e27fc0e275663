// The set-up of a run that both front ends fill: the document list (owned,
// in list order, with its ticks), the chosen layout, the options of the
// settings page, the split choices per entry, and every check that can be
// made before the run starts. The wizard binds its pages to it, the
// command-line tool fills it from its arguments; both get the same list of
// problems and the same run settings.
#pragma once

#include "builder/entries/KSrunSettings.h"
#include "builder/run/KSrunChecks.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ks {

class TKScommon;
class TKShtxData;
class TKSkslData;

// Duplicates are folded without comparing years only in an index that shows
// no years: each entry shows the years of the persons it holds, so persons
// with different years cannot share one. A run given both shows the years.
constexpr bool MayIgnoreYears(bool indexWithYears) {
    return !indexWithYears;
}

// The index documents of a run in list order, each with its tick.
class TKSdocumentList {
public:
    TKSdocumentList();
    ~TKSdocumentList();
    TKSdocumentList(TKSdocumentList&&) noexcept;
    TKSdocumentList& operator=(TKSdocumentList&&) noexcept;

    // Adds the document at path (made absolute) at the end; returns it.
    // Problems name it as given. An https: address is a document fetched by
    // it: listed as its copy in the cache (or nothing, before the first
    // fetch) until Fetch.
    TKShtxData& Add(const std::string& path, bool selected);
    // Whether the document is given by its https: address.
    bool IsAddress(std::size_t index) const;
    // Fetches a document given by its address (see FetchIndexDocument) and
    // reads its header again; what went wrong is kept for the checks.
    void Fetch(std::size_t index, const std::string& tempFolder);
    // Why the last Fetch has no document to give ("" when it has one), and
    // what the run should be told of an earlier copy used.
    const std::string& FetchProblem(std::size_t index) const;
    const std::string& FetchWarning(std::size_t index) const;
    void Remove(std::size_t index);
    // Moves the document at from to place to, the others keeping their order.
    void Move(std::size_t from, std::size_t to);
    void Clear();

    std::size_t Count() const;
    TKShtxData& Document(std::size_t index) const;
    const std::string& GivenPath(std::size_t index) const;
    bool Selected(std::size_t index) const;
    void SetSelected(std::size_t index, bool selected);
    // The address at which the document's folder is published, as set ("":
    // none, its links are relative, or for a document given by its address
    // the folder of that address); checked by TKSrunSetup::CheckDocuments.
    const std::string& WebAddress(std::size_t index) const;
    void SetWebAddress(std::size_t index, std::string address);
    // The same for an address as typed (UTF-8): blanks around it dropped,
    // its letters converted one by one, so that both front ends keep the
    // same bytes and the check names a letter an address cannot hold.
    void SetTypedWebAddress(std::size_t index, std::string_view typed);
    // The index of the document naming the same file as path, or -1.
    int Find(const std::string& path) const;

private:
    struct Item;
    std::vector<Item> items_;
};

// Whether two paths name one index document (by any spelling or link); two
// addresses only when they are the same.
bool SameDocument(const std::string& a, const std::string& b);

// The division a run uses when the user chose none: the automatic one for a
// layout whose index is written in parts only when it grows too large, and,
// when keepPagesLight, for any layout that can be divided; else per letter.
// The tool always keeps pages light; the wizard preselects it for an index
// whose pages per letter would be too large.
TKSindexType DefaultIndexType(const TKSkslData* layout, bool keepPagesLight);

class TKSrunSetup {
public:
    TKSrunSetup();
    ~TKSrunSetup();
    TKSrunSetup(const TKSrunSetup&) = delete;
    TKSrunSetup& operator=(const TKSrunSetup&) = delete;

    // Takes the layout of the run; entries that can be split are split.
    void SetLayout(std::unique_ptr<TKSkslData> layout);
    TKSkslData* Layout() const { return layout_.get(); }

    // Split every numbered entry of the layout, except those named in
    // noSplit, and when split is not empty only those named there (names
    // compared with the letter case of A-Z ignored). A name that is no entry
    // that can be split is a problem.
    std::vector<TKSproblem> ChooseSplits(const std::vector<std::string>& split,
                                         const std::vector<std::string>& noSplit);

    // Everything a run would meet before it starts: the documents (also one
    // listed twice), the layout's output names, the index division against
    // what the layout asks for, whether the output folder exists or can be
    // made, and what the run itself checks at its start (CheckRunStart).
    std::vector<TKSproblem> Check() const;
    // The parts of Check, for a caller that reports more in between.
    std::vector<TKSproblem> CheckDocuments() const;
    std::vector<TKSproblem> CheckLayout() const;
    std::vector<TKSproblem> CheckOutputFolder() const;
    // What the run checks at its start (see CheckRun: the base name, the
    // site's address, every entry's source and output against the layout's
    // folder, the output folder and the inputs); nothing without a layout.
    std::vector<TKSproblem> CheckRunStart() const;
    // Fetches every ticked document given by its address, before Check:
    // what cannot be fetched and has no earlier copy is then a problem of
    // CheckDocuments, an earlier copy used a warning of the run.
    void FetchDocuments(const std::string& tempFolder);
    // Makes a missing output folder (once the checks are fine).
    std::vector<TKSproblem> MakeOutputFolder() const;
    // What the run works from, with the environment's temporary folder and
    // developer mode. The documents and the layout stay owned here.
    TKSrunSettings Settings(const TKScommon& environment) const;

    // The division the run uses: the one chosen, else
    // DefaultIndexType(layout, false).
    TKSindexType EffectiveIndexType() const;
    // The output folder as an absolute path with "/".
    std::string OutputFolderPath() const;

    TKSdocumentList Documents;
    std::string OutputFolder; // as given
    std::string BaseName = "KESTRIN-Index";
    TKSindexType IndexType = TKSindexType::NotChosen;
    bool IndexWithYears = false;
    bool DuplicatesIgnoreYears = false;
    std::string Title;
    std::string Homepage;
    std::string Email;
    // As typed, when a letter above had to be replaced (see TKSrunSettings).
    std::string TypedTitle;
    std::string TypedHomepage;
    std::string TypedEmail;
    // The export beside the pages: gendex.txt, and the site's own address
    // (as given; "" for none) for sitemap.xml and absolute links.
    bool WriteGendex = false;
    std::string SiteAddress;
    // What a user typed (UTF-8) for the title, home page and e-mail address:
    // the texts above with the nearest letters Windows-1252 holds, and the
    // typed ones beside them when those differ.
    void SetTypedTexts(std::string_view title, std::string_view homepage, std::string_view email);

private:
    // Settings() without what the environment adds.
    TKSrunSettings RunSettings() const;

    std::unique_ptr<TKSkslData> layout_;
};

} // namespace ks
