#include "builder/entries/KSnameParts.h"

#include <algorithm>

namespace ks {

std::vector<int32_t> CutNameParts(const std::vector<TKSnameItem>& items, int64_t budget) {
    int64_t total = 0;
    for (const TKSnameItem& item : items)
        total += item.Bytes;
    std::vector<int32_t> parts(items.size(), 1);
    if (total <= budget) return parts;
    int32_t part = 0;
    int64_t size = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const TKSnameItem& item = items[i];
        if (part == 0 || item.StartsLetter || size + item.Bytes > budget) {
            ++part;
            size = item.InPage > 0 ? kNameBlockBytes : 0; // the block opened again
        }
        size += item.Bytes;
        parts[i] = part;
    }
    return parts;
}

int32_t TKSnameParts::PartOf(int32_t page) const {
    if (page < 1 || static_cast<std::size_t>(page) >= partOfPage_.size()) return 1;
    return partOfPage_[static_cast<std::size_t>(page)];
}

std::string TKSnameParts::PartFile(const std::string& firstFile, int32_t part) {
    if (part <= 1) return firstFile;
    const std::size_t slash = firstFile.rfind('/');
    const std::size_t dot = firstFile.rfind('.');
    const std::size_t at = dot == std::string::npos || (slash != std::string::npos && dot < slash)
                               ? firstFile.size()
                               : dot;
    return firstFile.substr(0, at) + std::to_string(part) + firstFile.substr(at);
}

bool TKSnameParts::StartsAt(int32_t part, int32_t page, int32_t inPage) const {
    if (part < 2 || part > Count()) return false;
    return starts_[static_cast<std::size_t>(part)] == std::make_pair(page, inPage);
}

void TKSnameParts::Cut(const TKSkslFile& entry, const std::vector<TKSnameItem>& items,
                       TKSpageList& pages, int32_t pageCount, int64_t budget) {
    Clear();
    const std::vector<int32_t> cut = CutNameParts(items, budget);
    if (cut.empty() || cut.back() <= 1) return;
    const std::size_t count = static_cast<std::size_t>(cut.back());
    parts_.assign(count + 1, TKSindexData());
    starts_.assign(count + 1, {0, 0});
    wholeLetter_.assign(count + 1, false);
    partOfPage_.assign(static_cast<std::size_t>(std::max(pageCount, 0)) + 1, 1);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const TKSnameItem& item = items[i];
        TKSindexData& part = parts_[static_cast<std::size_t>(cut[i])];
        if (part.PageNumber == 0) {
            // The first page of the part names it, with the letter of its first item.
            part = PageAt(pages, item.Page);
            part.PageNumber = cut[i];
            part.GroupLetter = item.Letter;
            part.FirstSurname = item.Surname;
            // A part names the section without a surname as a whole.
            part.NoSurname = IsNoSurname(item.Surname);
            part.WholeSection = true;
            part.Letters.clear();
            part.EntryTotal = 0;
            starts_[static_cast<std::size_t>(cut[i])] = {item.Page, item.InPage};
            wholeLetter_[static_cast<std::size_t>(cut[i])] = item.StartsLetter;
        }
        part.LastSurname = item.Surname;
        // A part holds its whole letter when the letter begins it and the
        // next letter the next part (each letter begins a part).
        if (i + 1 < items.size() && cut[i + 1] != cut[i] && !items[i + 1].StartsLetter)
            wholeLetter_[static_cast<std::size_t>(cut[i])] = false;
        if (item.InPage == 0 && item.Page >= 1 &&
            static_cast<std::size_t>(item.Page) < partOfPage_.size())
            partOfPage_[static_cast<std::size_t>(item.Page)] = cut[i];
    }
    entry_ = &entry;
}

bool TKSnameParts::AsPage(int32_t part, TKSindexData& page, TKSindexType& type) const {
    if (part < 1 || part > Count()) return false;
    const std::size_t at = static_cast<std::size_t>(part);
    page = parts_[at];
    type = wholeLetter_[at] ? TKSindexType::FirstLetter : TKSindexType::Parts50;
    return true;
}

void TKSnameParts::Clear() {
    entry_ = nullptr;
    partOfPage_.clear();
    starts_.clear();
    wholeLetter_.clear();
    parts_.assign(1, TKSindexData());
}

} // namespace ks
