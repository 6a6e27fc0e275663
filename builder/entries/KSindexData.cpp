#include "builder/entries/KSindexData.h"

namespace ks {

TKSindexData& TKSpageList::PageData(int32_t pageNumber) {
    if (pageNumber < 0) pageNumber = 0;
    if (pages_.empty()) pages_.push_back(TKSindexData{});
    if (pageNumber > pageCount_) {
        while (static_cast<int32_t>(pages_.size()) <= pageNumber) {
            TKSindexData page;
            page.PageNumber = static_cast<int32_t>(pages_.size());
            pages_.push_back(page);
        }
        pageCount_ = pageNumber;
    }
    return pages_[static_cast<std::size_t>(pageNumber)];
}

void TKSpageList::Clear() {
    pages_.clear();
    pageCount_ = 0;
}

TKSindexData PageAt(TKSpageList& pages, int32_t page) {
    if (page >= 1 && page <= pages.PageCount()) return pages.PageData(page);
    TKSindexData missing;
    missing.PageNumber = page;
    return missing;
}

} // namespace ks
