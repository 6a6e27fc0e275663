#include "builder/KSbuilder.h"

#include "builder/KSduplicates.h"
#include "builder/KSmerge.h"
#include "builder/KSrunFolder.h"
#include "builder/KSsortedCopies.h"
#include "common/KSprogress.h"

namespace ks {

namespace {
const std::string kRecordFiles[] = {"HTMLindex1.tmp", "HTMLindexAN.tmp", "HTMLindex2.tmp"};
}

TKSbuilder::TKSbuilder(TKSrunSettings settings)
    : settings_(std::move(settings)), quietBreather_(std::make_unique<TKSnullBreather>()),
      breather_(quietBreather_.get()) {}

void TKSbuilder::SetBreather(TKSbreather* breather) {
    breather_ = breather != nullptr ? breather : quietBreather_.get();
}

TKSbuilder::~TKSbuilder() = default;

void TKSbuilder::OpenRunFolder() {
    runFolder_ = std::make_unique<TKSrunFolder>(settings_.TempFolder, settings_.TempSwitchFolder,
                                                settings_.DeveloperMode);
    runFolder_->RemoveLinks(kRecordFiles, 3);
    mergedPath_ = runFolder_->Path() + kRecordFiles[0];
    sizesPath_ = runFolder_->Path() + kRecordFiles[1];
    entriesPath_ = runFolder_->Path() + kRecordFiles[2];
}

void TKSbuilder::CloseRunFolder() {
    if (!runFolder_) return;
    if (!settings_.DeveloperMode) runFolder_->RemoveFiles(kRecordFiles, 3);
    runFolder_.reset();
}

void TKSbuilder::MergeStep(TKSprogressBar& bar, TKSbreather& breather) {
    if (!runFolder_) OpenRunFolder();
    // The copies stay locked until the merge has read them.
    const TKSsortedCopies copies = PrepareSortedCopies(settings_, *runFolder_);
    Warnings.clear();
    EstimatedSize = MergeIndexes(settings_, mergedPath_, sizesPath_, bar, breather, &Warnings);
}

int32_t TKSbuilder::DuplicatesStep(TKSprogressBar& bar, TKSbreather& breather) {
    if (!runFolder_) OpenRunFolder();
    TKSduplicateOptions options;
    options.IndexType = settings_.IndexType;
    options.IgnoreYears = settings_.DuplicatesIgnoreYears;
    options.EstimatedSize = EstimatedSize;
    options.ReferenceSizes = ReferenceSizes(settings_);
    const TKSduplicateResult result =
        FindDuplicates(mergedPath_, sizesPath_, bar, entriesPath_, options, Pages, breather);
    EntryTotalCount = result.EntryTotalCount;
    PageCount = result.PageCount;
    settings_.IndexType = result.IndexType;
    Division = result.Division;
    return PageCount;
}

} // namespace ks
