// The pages of the combined index: one TKSindexData per page, numbered from
// 1, with the first and last surname and the number of entries on it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ks {

struct TKSindexData {
    int32_t PageNumber = 0;
    std::string GroupLetter;  // Letter of the page's first entry
    std::string FirstSurname; // Surname of the first entry
    std::string LastSurname;  // Surname of the last entry
    int32_t EntryTotal = 0;   // entries on the page
    // The letters whose entries are on the page, in index order, each with
    // its first surname here (a page of parts may hold several letters).
    struct TKSletterStart {
        std::string Letter;
        std::string Surname;
    };
    std::vector<TKSletterStart> Letters;
    // Notes the letter of an entry added at the end of the page.
    void NoteLetter(const std::string& letter, const std::string& surname) {
        if (Letters.empty() || Letters.back().Letter != letter)
            Letters.push_back({letter, surname});
    }
};

class TKSpageList {
public:
    // The page of that number. A number above PageCount grows the list to
    // hold it (with a page 0 in front when the list was empty); pages are
    // asked in ascending order, so no gaps arise.
    TKSindexData& PageData(int32_t pageNumber);
    int32_t PageCount() const { return pageCount_; }
    void Clear();

private:
    std::vector<TKSindexData> pages_; // index = page number
    int32_t pageCount_ = 0;
};

// A copy of the page of that number; a number outside the list gives an
// empty page with that number (the list never grows from here).
TKSindexData PageAt(TKSpageList& pages, int32_t page);

} // namespace ks
