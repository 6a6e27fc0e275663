// The builder of a combined index: the state a run shares between its steps
// (temporary record files, sizes, the page list, what the run learns about
// its documents, the entry being written, the stop request) and the steps
// themselves. The wizard and the command-line tool both drive it. It reads
// the documents and the layout of its settings and never changes them.
#pragma once

#include "builder/KSdivision.h"
#include "builder/KSindexData.h"
#include "builder/KSmerge.h"
#include "builder/KSrunSettings.h"
#include "builder/KSrunState.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ks {

class TKSbreather;
class TKSkslFile;
class TKSprogressBar;
class TKSrunFolder;

// What the user asked while the run was busy: cancel the wizard, go back a
// page, or finish.
enum class TKSstopRequest : int32_t { None = 0, Cancel = 1, Back = 2, Finish = 4 };

class TKSbuilder {
public:
    explicit TKSbuilder(TKSrunSettings settings);
    ~TKSbuilder();
    TKSbuilder(const TKSbuilder&) = delete;
    TKSbuilder& operator=(const TKSbuilder&) = delete;

    // Creates the folder of the record files: the TEMP switch's folder when
    // set (a link found there at a record file's name is removed), else a
    // private folder of this run inside the temporary folder.
    void OpenRunFolder();
    // Removes the record files (and the private folder), unless developer mode.
    void CloseRunFolder();

    // Starts the state of a new run afresh from the settings: nothing of an
    // earlier run is left in it.
    void ResetState();

    // Merging: sorted copies of old documents (other runs that need the same
    // copies wait meanwhile), then the merged index lines and the sizes per
    // surname; the statistics of every document go into the run state.
    void MergeStep(TKSprogressBar& bar, TKSbreather& breather);
    // Folding duplicates and cutting pages; returns the number of pages. The
    // division used (the one chosen for Auto) goes into the run state beside
    // the one requested.
    int32_t DuplicatesStep(TKSprogressBar& bar, TKSbreather& breather);

    // What the builder was given. Set up before a run; a run changes nothing
    // in them but the closing "/" of the output folder.
    TKSrunSettings& Settings() { return settings_; }
    const TKSrunSettings& Settings() const { return settings_; }
    TKSrunState& State() { return state_; }
    const TKSrunState& State() const { return state_; }
    const TKSdocumentRun& DocumentRun(std::size_t index) const {
        return state_.Documents.at(index);
    }

    // The names of this run's files: "#PREFIX!" is the run's base name, "#NR!"
    // the page with the digits of the run's page count; the parts of a
    // surname list in parts are numbered after the first (see TKSnameParts).
    std::string SourcePath(const TKSkslFile& entry) const;
    std::string OutputName(const TKSkslFile& entry, int page) const;
    // The output of the entry being written, on its current page.
    std::string CurrentOutputName() const;
    // Whether entry is split into pages in this run (see TKSrunState::Splits).
    bool Splits(const TKSkslFile& entry) const { return state_.Splits(entry); }
    // The page entry is at in this run (see TKSrunState::PageOf).
    int32_t PageOf(const TKSkslFile& entry) const { return state_.PageOf(entry); }
    // Lets the user interface breathe; never null (a quiet one by default).
    TKSbreather& Breather() { return *breather_; }
    void SetBreather(TKSbreather* breather);
    const std::string& MergedPath() const { return mergedPath_; }   // "HTMLindex1.tmp"
    const std::string& SizesPath() const { return sizesPath_; }     // "HTMLindexAN.tmp"
    const std::string& EntriesPath() const { return entriesPath_; } // "HTMLindex2.tmp"

    int64_t EstimatedSize = 0;
    int32_t EntryTotalCount = 0;
    int32_t PageCount = 0;
    TKSpageList Pages;
    TKSdivisionInfo Division;   // the pages each division would give
    int32_t KeyMenuCounter = 0; // selection menus written into the current entry's output
    // The bytes of surname list that one page may hold when the division is
    // chosen by size (see TKSnameParts).
    int64_t NamePartBudget = kNamePartBudget;
    // What the last merge had to change in the documents' lines (names cut),
    // one line each, naming the document and the line.
    std::vector<TKSrunWarning> Warnings;

    // A button pressed while the run is busy only asks it to stop; the run
    // stops between steps and the user interface carries the request out
    // once the run has returned. The first request counts.
    void RequestStop(TKSstopRequest request) {
        if (stopRequest_ == TKSstopRequest::None) stopRequest_ = request;
    }
    TKSstopRequest StopRequest() const { return stopRequest_; }
    bool StopRequested() const { return stopRequest_ != TKSstopRequest::None; }
    void ClearStopRequest() { stopRequest_ = TKSstopRequest::None; }

private:
    TKSstopRequest stopRequest_ = TKSstopRequest::None;
    TKSrunSettings settings_;
    TKSrunState state_;
    std::unique_ptr<TKSrunFolder> runFolder_;
    std::unique_ptr<TKSbreather> quietBreather_;
    TKSbreather* breather_;
    std::string mergedPath_;
    std::string sizesPath_;
    std::string entriesPath_;
};

} // namespace ks
