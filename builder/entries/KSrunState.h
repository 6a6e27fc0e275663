// What a run learns and where it stands, kept apart from what it is given:
// the documents, the layout and the settings stay as they were, so a second
// run starts from the same inputs as the first, and a writer's inputs are
// the settings and this state. Everything here starts afresh with a run.
#pragma once

#include "builder/entries/KSindexData.h"
#include "builder/entries/KSindexType.h"
#include "builder/entries/KSnameParts.h"
#include "builder/entries/KSrunWarning.h"
#include "builder/entries/KSwhatsNew.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace ks {

class TKSkslFile;

// What a run gathers about one document of its list.
struct TKSdocumentRun {
    static constexpr int32_t kNoMinYear = 32000;
    static constexpr int32_t kNoMaxYear = -32000;

    int32_t ListPosition = 0; // from 1, in the order of the document list
    std::string DataFileName; // where the lines are read: the document or its sorted copy
    int32_t SeqNr = 0;        // number among the selected documents, from 1; 0 when left out
    int32_t EntryCount = 0;
    int32_t MinYear = kNoMinYear;
    int32_t MaxYear = kNoMaxYear;
    std::string FirstPage = std::string(1, '\xFF');
    std::string ExampleLink; // the first link on a host for examples (IsExampleAddress); "": none

    // No entries, no years seen (32000 / -32000), FirstPage after every file
    // name, no link for examples.
    void ResetStatistics();
};

struct TKSrunState {
    std::vector<TKSdocumentRun> Documents; // by list position, as the settings' documents
    std::string BaseName;                  // "#PREFIX!" in the layout's names
    // The output folder as given, ending with "/": the names of the pages
    // and every link between them are seen from here.
    std::string OutputFolder;
    bool OutputFolderExists = false;
    // Where the outputs are written until the run is complete: a private
    // folder inside the output folder, or the output folder itself.
    std::string WriteFolder;
    // The files the run reads (documents, sorted copies, the layout's
    // sources): never taken for old results, whatever their names.
    std::vector<std::string> Inputs;
    // The record files in the run's private folder ("" until it is made).
    std::string MergedPath;  // "HTMLindex1.tmp"
    std::string SizesPath;   // "HTMLindexAN.tmp"
    std::string EntriesPath; // "HTMLindex2.tmp"
    // The entries' compact copy ("HTMLindex2.bin", see TKSentryReader): ""
    // for none; whole once a reader has written it to the end.
    std::string EntryCopyPath;
    bool EntryCopyWhole = false;
    bool EntryCopyWriting = false;

    int64_t EstimatedSize = 0; // of the whole index, as the merge estimates it
    int32_t EntryTotalCount = 0;
    int32_t PageCount = 0;
    TKSpageList Pages;
    TKSdivisionInfo Division;   // the pages each division would give
    int32_t KeyMenuCounter = 0; // selection menus written into the current entry's output
    // What the merge had to change in the documents' lines (names cut), one
    // line each, naming the document and the line.
    std::vector<TKSrunWarning> Warnings;
    std::vector<TKSrunWarning> MissingWarnings; // the layout's missing source files
    std::vector<std::string> SearchMasks;       // shards of search data written by this run
    std::vector<std::string> PagesWritten;      // by the templates, as published
    bool IndexPages = false; // the template being expanded writes a file per index page
    bool Publishing = false; // old results may have been moved
    TKSindexType RequestedIndexType = TKSindexType::FirstLetter;
    TKSindexType IndexType = TKSindexType::FirstLetter; // the division used (Auto resolved)
    // Sort old documents only into the run's private folder (the dry run).
    bool CopiesInRunFolder = false;
    // The automatic division cut the index: entries written in parts only
    // then (TKSkslFile::InParts) are split in this run.
    bool CutInParts = false;
    const TKSkslFile* CurrentItem = nullptr; // the layout entry being written
    int32_t CurrentPage = 0;                 // its page; 0 when it is not split
    TKSnameParts NameParts;                  // the surname list in parts, when it is
    // When the run started (seconds since 1970, UTC): the date of its list
    // of new persons and of its entry in the feed.
    int64_t RunTime = 0;
    TKSwhatsNew WhatsNew; // the persons new since the previous run
    // The page that lists them, as published ("" when no entry wrote one):
    // the feed links to it.
    std::string NewPagePath;
    // The history of the feed to keep when the run is complete ("" when
    // the run wrote no feed).
    std::string FeedHistory;

    // Starts writing entry at page; only a split entry, or one written in
    // parts, counts pages.
    void StartEntry(const TKSkslFile* entry, int32_t page);
    // Goes on to page of the entry being written.
    void SetPage(int32_t page);
    bool CurrentSplit() const;
    // Whether entry is split into pages in this run.
    bool Splits(const TKSkslFile& entry) const;
    // The entry being written is the surname list in parts.
    bool CurrentParted() const;
    // The page entry is at in this run: the last one written, or 0 before
    // it is written.
    int32_t PageOf(const TKSkslFile& entry) const;
    const TKSdocumentRun& DocumentRun(std::size_t index) const { return Documents.at(index); }

    // The names of this run's files: "#PREFIX!" is the run's base name, "#NR!"
    // the page with the digits of the run's page count; the parts of a
    // surname list in parts are numbered after the first (see TKSnameParts).
    std::string SourcePath(const TKSkslFile& entry) const;
    std::string OutputName(const TKSkslFile& entry, int page) const;
    // The output of the entry being written, on its current page.
    std::string CurrentOutputName() const;

private:
    std::map<const TKSkslFile*, int32_t> entryPages_;
};

} // namespace ks
