// The builder of a combined index: what a run is given (the settings), what
// it learns (the run state), the private folder of its record files, the
// stop request, and the steps that combine the documents. The wizard and
// the command-line tool both drive it. It reads the documents and the
// layout of its settings and never changes them.
#pragma once

#include "builder/entries/KSrunSettings.h"
#include "builder/entries/KSrunState.h"
#include "builder/entries/KSrunView.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace ks {

class TKSbreather;
class TKSprogressBar;
class TKSrunFolder;

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

    // What the builder was given; a run changes nothing in them.
    const TKSrunSettings& Settings() const { return settings_; }
    // Replaces what the next run is given; the state stays until that run.
    void SetSettings(TKSrunSettings settings) { settings_ = std::move(settings); }
    TKSrunState& State() { return state_; }
    const TKSrunState& State() const { return state_; }
    const TKSdocumentRun& DocumentRun(std::size_t index) const {
        return state_.Documents.at(index);
    }
    // What the writers of the run are handed.
    TKSrunView View() { return {settings_, state_, *breather_, stopRequest_}; }

    // Lets the user interface breathe; never null (a quiet one by default).
    TKSbreather& Breather() { return *breather_; }
    void SetBreather(TKSbreather* breather);

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
    void NameRecordFiles();

    TKSstopRequest stopRequest_ = TKSstopRequest::None;
    TKSrunSettings settings_;
    TKSrunState state_;
    std::unique_ptr<TKSrunFolder> runFolder_;
    std::unique_ptr<TKSbreather> quietBreather_;
    TKSbreather* breather_;
};

} // namespace ks
