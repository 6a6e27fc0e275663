#include "builder/entries/KSrunState.h"

#include "index/KSksl.h"

namespace ks {

void TKSdocumentRun::ResetStatistics() {
    EntryCount = 0;
    MinYear = kNoMinYear;
    MaxYear = kNoMaxYear;
    FirstPage = std::string(1, '\xFF');
    ExampleLink.clear();
}

void TKSrunState::StartEntry(const TKSkslFile* entry, int32_t page) {
    CurrentItem = entry;
    SetPage(page);
}

void TKSrunState::SetPage(int32_t page) {
    CurrentPage = CurrentSplit() || CurrentParted() ? page : 0;
    if (CurrentItem != nullptr) entryPages_[CurrentItem] = CurrentPage;
}

int32_t TKSrunState::PageOf(const TKSkslFile& entry) const {
    const auto found = entryPages_.find(&entry);
    return found != entryPages_.end() ? found->second : 0;
}

bool TKSrunState::CurrentSplit() const {
    return CurrentItem != nullptr && Splits(*CurrentItem);
}

bool TKSrunState::Splits(const TKSkslFile& entry) const {
    return entry.Split || (entry.InParts && CutInParts);
}

bool TKSrunState::CurrentParted() const {
    return CurrentItem != nullptr && NameParts.IsParted(*CurrentItem);
}

std::string TKSrunState::SourcePath(const TKSkslFile& entry) const {
    return entry.SourcePath(BaseName);
}

std::string TKSrunState::OutputName(const TKSkslFile& entry, int page) const {
    if (NameParts.IsParted(entry) && page > 1)
        return TKSnameParts::PartFile(entry.OutputName(BaseName, 0, PageCount, Splits(entry)),
                                      page);
    return entry.OutputName(BaseName, page, PageCount, Splits(entry));
}

std::string TKSrunState::CurrentOutputName() const {
    return CurrentItem != nullptr ? OutputName(*CurrentItem, CurrentPage) : std::string();
}

} // namespace ks
