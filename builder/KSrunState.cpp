#include "builder/KSrunState.h"

#include "index/KSksl.h"

namespace ks {

void TKSdocumentRun::ResetStatistics() {
    EntryCount = 0;
    MinYear = kNoMinYear;
    MaxYear = kNoMaxYear;
    FirstPage = std::string(1, '\xFF');
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

} // namespace ks

namespace ks {

bool TKSrunState::CurrentParted() const {
    return CurrentItem != nullptr && NameParts.IsParted(*CurrentItem);
}

} // namespace ks
