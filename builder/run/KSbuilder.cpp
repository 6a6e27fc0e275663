#include "builder/run/KSbuilder.h"

#include "builder/combine/KSduplicates.h"
#include "builder/combine/KSmerge.h"
#include "builder/combine/KSsortedCopies.h"
#include "builder/entries/KSrunFolder.h"
#include "common/KSpaths.h"
#include "common/KSprogress.h"
#include "index/KShtxData.h"
#include "index/KSksl.h"

namespace ks {

namespace {
const std::string kRecordFiles[] = {"HTMLindex1.tmp", "HTMLindexAN.tmp", "HTMLindex2.tmp",
                                    "HTMLindex2.bin"};

// A layout whose index is one file until it grows too large: it has an
// entry written in parts and none split into pages anyway.
bool WrittenInParts(const TKSkslData* layout) {
    if (layout == nullptr) return false;
    bool inParts = false;
    for (int n = 1; n <= layout->ItemCount(); ++n) {
        if (layout->Item(n)->Split) return false;
        inParts = inParts || layout->Item(n)->InParts;
    }
    return inParts;
}
} // namespace

TKSbuilder::TKSbuilder(TKSrunSettings settings)
    : settings_(std::move(settings)), quietBreather_(std::make_unique<TKSnullBreather>()),
      breather_(quietBreather_.get()) {
    ResetState();
}

void TKSbuilder::ResetState() {
    state_ = TKSrunState();
    state_.BaseName = settings_.BaseName;
    state_.RequestedIndexType = settings_.IndexType;
    state_.IndexType = settings_.IndexType;
    // The same folder, written the way every output name is appended to it.
    state_.OutputFolder = WithSlash(settings_.OutputFolder);
    state_.WriteFolder = state_.OutputFolder;
    for (std::size_t i = 0; i < settings_.Documents.size(); ++i) {
        TKSdocumentRun document;
        document.ListPosition = static_cast<int32_t>(i + 1);
        if (settings_.Documents[i].Data != nullptr)
            document.DataFileName = settings_.Documents[i].Data->FileName;
        state_.Documents.push_back(std::move(document));
    }
    if (runFolder_) NameRecordFiles();
}

void TKSbuilder::SetBreather(TKSbreather* breather) {
    breather_ = breather != nullptr ? breather : quietBreather_.get();
}

TKSbuilder::~TKSbuilder() = default;

void TKSbuilder::OpenRunFolder() {
    runFolder_ = std::make_unique<TKSrunFolder>(settings_.TempFolder, settings_.TempSwitchFolder,
                                                settings_.DeveloperMode);
    runFolder_->RemoveLinks(kRecordFiles, 4);
    NameRecordFiles();
}

void TKSbuilder::NameRecordFiles() {
    state_.MergedPath = runFolder_->Path() + kRecordFiles[0];
    state_.SizesPath = runFolder_->Path() + kRecordFiles[1];
    state_.EntriesPath = runFolder_->Path() + kRecordFiles[2];
    state_.EntryCopyPath = runFolder_->Path() + kRecordFiles[3];
}

void TKSbuilder::CloseRunFolder() {
    if (!runFolder_) return;
    if (!settings_.DeveloperMode) runFolder_->RemoveFiles(kRecordFiles, 4);
    runFolder_.reset();
}

void TKSbuilder::MergeStep(TKSprogressBar& bar, TKSbreather& breather) {
    if (!runFolder_) OpenRunFolder();
    // The statistics start afresh, also when the settings' documents were
    // set after the builder was made.
    std::vector<TKSdocumentRun>& documents = state_.Documents;
    documents.resize(settings_.Documents.size());
    for (std::size_t i = 0; i < documents.size(); ++i) {
        documents[i].ListPosition = static_cast<int32_t>(i + 1);
        documents[i].SeqNr = 0;
        documents[i].ResetStatistics();
    }
    // The copies stay locked until the merge has read them.
    const TKSsortedCopies copies =
        PrepareSortedCopies(settings_, state_.CopiesInRunFolder, documents, *runFolder_);
    state_.Warnings.clear();
    state_.EstimatedSize = MergeIndexes(settings_, documents, state_.MergedPath, state_.SizesPath,
                                        bar, breather, &state_.Warnings);
}

int32_t TKSbuilder::DuplicatesStep(TKSprogressBar& bar, TKSbreather& breather) {
    if (!runFolder_) OpenRunFolder();
    // The entries are written afresh: a copy of earlier ones no longer holds.
    state_.EntryCopyWhole = false;
    TKSduplicateOptions options;
    state_.RequestedIndexType = settings_.IndexType;
    options.IndexType = settings_.IndexType;
    options.IgnoreYears = settings_.DuplicatesIgnoreYears;
    options.EstimatedSize = state_.EstimatedSize;
    options.ReferenceSizes = ReferenceSizes(settings_);
    options.WholeWhenLight = WrittenInParts(settings_.Layout);
    const TKSduplicateResult result =
        FindDuplicates(state_.MergedPath, state_.SizesPath, bar, state_.EntriesPath, options,
                       state_.Pages, breather);
    state_.EntryTotalCount = result.EntryTotalCount;
    state_.PageCount = result.PageCount;
    state_.IndexType = result.IndexType;
    state_.CutInParts = settings_.IndexType == TKSindexType::Auto && !result.KeptWhole;
    state_.Division = result.Division;
    return state_.PageCount;
}

} // namespace ks
