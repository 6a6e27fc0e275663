#include "builder/KSnameParts.h"

#include "LINE_INPUT/KSFileStream.h"
#include "builder/KSbuilder.h"
#include "builder/KSpageText.h"
#include "common/KSprogress.h"
#include "index/KShtxRegel.h"

#include <algorithm>

namespace ks {

namespace {

// An item of the list: its markup, the link to the index page with its
// record number, the count, and the surname (twice when it has a prefix).
constexpr int64_t kItemBytes = 180;
// A block's letter, range and anchor, besides its surnames.
constexpr int64_t kBlockBytes = 260;

int64_t ItemBytes(const TKShtxRegel& entry) {
    return kItemBytes + 2 * static_cast<int64_t>(entry.Surname.size());
}

} // namespace

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
            size = item.InPage > 0 ? kBlockBytes : 0; // the block opened again
        }
        size += item.Bytes;
        parts[i] = part;
    }
    return parts;
}

std::vector<TKSnameItem> EstimateNameItems(TKSbuilder& builder) {
    std::vector<TKSnameItem> items;
    TKSFileStream file(builder.EntriesPath(), File::OpenMode::Read);
    std::string line;
    TKShtxRegel entry;
    std::string letter; // of the item before
    while (!file.Eof()) {
        file.ReadLine(line);
        if (line == "#") break;
        if (line.empty()) continue;
        builder.Breather().Breathe();
        entry.ParseMergedLine(line);
        const bool samePage = !items.empty() && items.back().Page == entry.PageNr;
        // An item per run of one surname on one page, as the list writes them.
        if (samePage && entry.SameSurname(items.back().Surname)) continue;
        TKSnameItem item;
        item.Page = entry.PageNr;
        item.InPage = samePage ? items.back().InPage + 1 : 0;
        item.Bytes = ItemBytes(entry) + (samePage ? 0 : kBlockBytes);
        item.StartsLetter = entry.Letter != letter;
        item.Letter = entry.Letter;
        item.Surname = entry.Surname;
        letter = entry.Letter;
        items.push_back(std::move(item));
    }
    return items;
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

void TKSnameParts::Cut(TKSbuilder& builder, const TKSkslFile& entry, int64_t budget) {
    Clear();
    const std::vector<TKSnameItem> items = EstimateNameItems(builder);
    const std::vector<int32_t> cut = CutNameParts(items, budget);
    if (cut.empty() || cut.back() <= 1) return;
    const std::size_t count = static_cast<std::size_t>(cut.back());
    parts_.assign(count + 1, TKSindexData());
    starts_.assign(count + 1, {0, 0});
    wholeLetter_.assign(count + 1, false);
    partOfPage_.assign(static_cast<std::size_t>(std::max(builder.PageCount, 0)) + 1, 1);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const TKSnameItem& item = items[i];
        TKSindexData& part = parts_[static_cast<std::size_t>(cut[i])];
        if (part.PageNumber == 0) {
            // The first page of the part names it, with the letter of its first item.
            part = PageAt(builder.Pages, item.Page);
            part.PageNumber = cut[i];
            part.GroupLetter = item.Letter;
            part.FirstSurname = item.Surname;
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

std::string TKSnameParts::Name(int32_t part) const {
    if (part < 1 || part > Count()) return {};
    const std::size_t at = static_cast<std::size_t>(part);
    return PageName(parts_[at],
                    wholeLetter_[at] ? TKSindexType::FirstLetter : TKSindexType::Parts50);
}

void TKSnameParts::Clear() {
    entry_ = nullptr;
    partOfPage_.clear();
    starts_.clear();
    wholeLetter_.clear();
    parts_.assign(1, TKSindexData());
}

} // namespace ks
