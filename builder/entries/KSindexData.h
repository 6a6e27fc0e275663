// The pages of the combined index: one TKSindexData per page, numbered from
// 1, with the first and last surname and the number of entries on it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ks {

// Persons without a surname (the unknown surname "?") form a section of
// their own, named in words and divided by given name, never one page
// titled "?".
inline bool IsNoSurname(const std::string& surname) {
    return surname == "?";
}

// The most persons a page of the section without a surname holds before it
// ends at the next given name (one given name is never cut for it).
constexpr int32_t kNoSurnamePageEntries = 100;

struct TKSindexData {
    int32_t PageNumber = 0;
    std::string GroupLetter;  // Letter of the page's first entry
    std::string FirstSurname; // Surname of the first entry
    std::string LastSurname;  // Surname of the last entry
    int32_t EntryTotal = 0;   // entries on the page
    // A page of the section without a surname: it holds nothing else, and
    // is named by the given names of its first and last entry. WholeSection
    // tells that the section has no other page.
    bool NoSurname = false;
    bool WholeSection = true;
    std::string FirstGiven;
    std::string LastGiven;
    // The letters whose entries are on the page, in index order, each with
    // its first surname here (a page of parts may hold several letters).
    // The section without a surname counts as a letter of its own, with
    // its first given names here.
    struct TKSletterStart {
        std::string Letter;
        std::string Surname;
        bool NoSurname = false;
    };
    std::vector<TKSletterStart> Letters;
    // Notes the letter of an entry added at the end of the page.
    void NoteLetter(const std::string& letter, const std::string& surname,
                    const std::string& givenNames = {}) {
        const bool noSurname = IsNoSurname(surname);
        if (Letters.empty() || Letters.back().Letter != letter ||
            Letters.back().NoSurname != noSurname)
            Letters.push_back({letter, noSurname ? givenNames : surname, noSurname});
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
