#include "builder/combine/KSduplicates.h"

#include "LINE_INPUT/KSFileStream.h"
#include "builder/entries/KSindexData.h"
#include "common/KSprogress.h"
#include "common/KStextutil.h"
#include "index/KShtxRegel.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <utility>
#include <vector>

namespace ks {

namespace {

// A line of the merged file: the index line, a tab and its document's list
// position, which is always the last field (the index line itself may end in
// a tab or carry extra fields).
bool ParseMergedIndexLine(const std::string& line, TKShtxRegel& regel) {
    if (line.empty() || line == "#") return false;
    const std::size_t tab = line.rfind('\t');
    if (tab == std::string::npos) {
        regel.ParseIndexLine(line);
        regel.DocIndex = 0;
        return true;
    }
    regel.ParseIndexLine(std::string_view(line).substr(0, tab));
    int32_t position = 0;
    const char* first = line.data() + tab + 1;
    const char* last = line.data() + line.size();
    const auto [end, error] = std::from_chars(first, last, position);
    regel.DocIndex = error == std::errc() && end == last ? position : 0;
    return true;
}

void AppendNumber(std::string& out, int64_t number) {
    char digits[24];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, number);
    out.append(digits, error == std::errc() ? end : digits);
}

// The entry being built: the first line of a run of duplicates and the
// references of all of them.
class PendingEntry {
public:
    // Takes over the line's fields; regel gets the old ones to be overwritten.
    void Start(TKShtxRegel& regel) {
        std::swap(regel_, regel);
        references_.clear();
        references_.emplace_back(regel_.DocIndex, regel_.Link);
        lastDocument_ = regel_.DocIndex;
    }

    // References stay ordered by document; lines of one document in the
    // order met.
    void AddDuplicate(const TKShtxRegel& regel) {
        if (regel.DocIndex >= lastDocument_) {
            references_.emplace_back(regel.DocIndex, regel.Link);
            lastDocument_ = regel.DocIndex;
        } else {
            auto it = references_.begin();
            while (it != references_.end() && it->first <= regel.DocIndex)
                ++it;
            references_.emplace(it, regel.DocIndex, regel.Link);
        }
    }

    bool IsDuplicate(const TKShtxRegel& line, bool ignoreYears) const {
        if (!SameTextAscii(line.Letter, regel_.Letter) ||
            !SameTextAscii(line.Surname, regel_.Surname) ||
            !SameTextAscii(line.GivenNames, regel_.GivenNames))
            return false;
        if (!line.Extra.empty() && !regel_.Extra.empty() &&
            !SameTextAscii(line.Extra, regel_.Extra))
            return false;
        if (ignoreYears) return true;
        return SameTextAscii(line.Year1, regel_.Year1) && SameTextAscii(line.Year2, regel_.Year2);
    }

    void Write(TKSFileStream& out, int32_t pageNr, int32_t recordNr, std::string& buffer) const {
        buffer.clear();
        for (const std::string* field : {&regel_.Letter, &regel_.Surname, &regel_.GivenNames,
                                         &regel_.Extra, &regel_.Year1, &regel_.Year2}) {
            buffer += *field;
            buffer += '\t';
        }
        AppendNumber(buffer, pageNr);
        buffer += '\t';
        AppendNumber(buffer, recordNr);
        buffer += '\t';
        AppendNumber(buffer, static_cast<int64_t>(references_.size()));
        buffer += '\t';
        for (std::size_t i = 0; i < references_.size(); ++i) {
            if (i > 0) buffer += '|';
            AppendNumber(buffer, references_[i].first);
            buffer += ',';
            buffer += references_[i].second;
        }
        out.WriteLine(buffer);
    }

    const TKShtxRegel& Regel() const { return regel_; }

private:
    TKShtxRegel regel_;
    std::vector<std::pair<int32_t, std::string>> references_;
    int32_t lastDocument_ = 0;
};

class DuplicateFinder {
public:
    // cap: the bytes an index page may hold (0: no cap).
    DuplicateFinder(const TKSduplicateOptions& options, int64_t cap, TKSpageList& pages)
        : options_(options), pages_(pages), bytes_(options.ReferenceSizes),
          target_(TargetPageSize(options.IndexType, options.EstimatedSize)), cap_(cap) {}

    TKSduplicateResult Run(TKSFileStream& merged, TKSFileStream& sizes, TKSFileStream& entries,
                           TKSprogressBar& bar, TKSbreather& breather) {
        bar.SetRange(0, merged.Size());
        sizes_ = &sizes;
        currentSize_ = SurnameSize(ReadSizeLine());
        surnameSize_ = currentSize_;
        std::string line;
        TKShtxRegel regel;
        if (!ReadMerged(merged, line, regel, bar)) {
            entries.WriteLine("#");
            return result_;
        }
        pageBytes_ = bytes_.Heading(regel) + bytes_.Entry(regel);
        bytesTotal_ = pageBytes_;
        StartFirstPage(regel);
        std::string buffer;
        while (true) {
            breather.Breathe();
            const bool more = ReadMerged(merged, line, regel, bar);
            if (more && pending_.IsDuplicate(regel, options_.IgnoreYears)) {
                pageBytes_ += bytes_.Reference(regel);
                bytesTotal_ += bytes_.Reference(regel);
                pending_.AddDuplicate(regel);
                continue;
            }
            pending_.Write(entries, pageNr_, recordNr_, buffer);
            ++result_.EntryTotalCount;
            if (!more) break;
            if (PageEnds(pending_.Regel(), regel)) StartPage(regel);
            ++recordNr_;
            TKSindexData& page = pages_.PageData(pageNr_);
            page.LastSurname = regel.Surname;
            page.LastGiven = regel.GivenNames;
            page.NoteLetter(regel.Letter, regel.Surname, regel.GivenNames);
            page.EntryTotal = recordNr_ - pageStartRecord_ + 1;
            pending_.Start(regel);
        }
        entries.WriteLine("#");
        result_.PageCount = pageNr_;
        return result_;
    }

private:
    bool ReadMerged(TKSFileStream& merged, std::string& line, TKShtxRegel& regel,
                    TKSprogressBar& bar) {
        if (merged.Eof()) return false;
        merged.ReadLine(line);
        bar.SetPosition(merged.Position());
        return ParseMergedIndexLine(line, regel);
    }

    std::string ReadSizeLine() {
        std::string line;
        if (!sizes_->Eof()) sizes_->ReadLine(line);
        return line;
    }

    void StartFirstPage(TKShtxRegel& regel) {
        pageNr_ = 1;
        recordNr_ = 1;
        pageStartRecord_ = 1;
        TKSindexData& page = pages_.PageData(1);
        NamePage(page, regel);
        page.LastSurname = regel.Surname;
        page.LastGiven = regel.GivenNames;
        page.NoteLetter(regel.Letter, regel.Surname, regel.GivenNames);
        page.EntryTotal = 1;
        pending_.Start(regel);
    }

    void StartPage(const TKShtxRegel& regel) {
        ++pageNr_;
        NamePage(pages_.PageData(pageNr_), regel);
        pageStartRecord_ = recordNr_ + 1;
    }

    // A page is named by its first entry; a second page of the section
    // without a surname tells the first that the section goes on.
    void NamePage(TKSindexData& page, const TKShtxRegel& regel) {
        page.GroupLetter = regel.Letter;
        page.FirstSurname = regel.Surname;
        page.FirstGiven = regel.GivenNames;
        page.NoSurname = IsNoSurname(regel.Surname);
        if (!page.NoSurname) return;
        if (pageNr_ > 1 && pages_.PageData(pageNr_ - 1).NoSurname) {
            pages_.PageData(pageNr_ - 1).WholeSection = false;
            page.WholeSection = false;
        }
    }

    // The division's decision. With a cap, a page also ends before a
    // surname that would take it past the cap, and inside a surname that is
    // larger than the cap by itself (the index writer repeats the surname
    // on the next page).
    bool PageEnds(const TKShtxRegel& previous, const TKShtxRegel& next) {
        const bool sameSurname = SameTextAscii(previous.Surname, next.Surname);
        if (!sameSurname) {
            unitsDone_ += surnameSize_;
            bytesDone_ = bytesTotal_;
        }
        bool newPage = NewPage(previous, next); // reads the next surname's size
        const int64_t heading = bytes_.Heading(next);
        const int64_t bytes = bytes_.Entry(next) + (sameSurname ? 0 : heading);
        // A new surname that fits on a page is kept whole.
        int64_t needed = bytes;
        if (cap_ > 0 && !sameSurname && PredictedBytes(surnameSize_) <= cap_)
            needed = std::max(bytes, PredictedBytes(surnameSize_));
        if (!newPage && cap_ > 0 && pageBytes_ + needed > cap_) {
            newPage = true;
            // The page now holds the new surname, or only a part of one.
            currentSize_ = sameSurname ? 0 : surnameSize_;
        }
        pageBytes_ = newPage ? heading + bytes_.Entry(next) : pageBytes_ + bytes;
        bytesTotal_ += bytes;
        return newPage;
    }

    // The bytes a surname of the merge's estimated size will take, by the
    // proportion of the surnames so far.
    int64_t PredictedBytes(int64_t units) const {
        if (unitsDone_ <= 0 || bytesDone_ <= 0) return 2 * units;
        return static_cast<int64_t>(static_cast<double>(units) * static_cast<double>(bytesDone_) /
                                    static_cast<double>(unitsDone_));
    }

    // The division's rule, and then the section without a surname: it
    // starts and ends a page, and its pages end at a given name once full.
    bool NewPage(const TKShtxRegel& previous, const TKShtxRegel& next) {
        const bool divided = NewPageByType(previous, next); // reads the sizes it needs
        const bool sectionBefore = IsNoSurname(previous.Surname);
        if (sectionBefore != IsNoSurname(next.Surname)) {
            currentSize_ = surnameSize_;
            return true;
        }
        if (!sectionBefore) return divided;
        return divided || (recordNr_ - pageStartRecord_ + 1 >= kNoSurnamePageEntries &&
                           !SameTextAscii(previous.GivenNames, next.GivenNames));
    }

    bool NewPageByType(const TKShtxRegel& previous, const TKShtxRegel& next) {
        switch (options_.IndexType) {
        case TKSindexType::FirstLetter:
            return previous.Letter != next.Letter;
        case TKSindexType::TwoLetters:
            return TwoLetterKey(previous.Surname) != TwoLetterKey(next.Surname);
        case TKSindexType::Parts50:
        case TKSindexType::Parts100:
        case TKSindexType::Parts250:
        case TKSindexType::Parts500:
            return NewPageBySize(previous, next);
        default:
            return false;
        }
    }

    bool NewPageBySize(const TKShtxRegel& previous, const TKShtxRegel& next) {
        if (SameTextAscii(previous.Surname, next.Surname)) return false;
        const int64_t u = SurnameSize(ReadSizeLine());
        surnameSize_ = u;
        if (JoinsPage(currentSize_, u, target_)) {
            currentSize_ += u;
            return false;
        }
        currentSize_ = u;
        return true;
    }

    const TKSduplicateOptions& options_;
    TKSpageList& pages_;
    TKSFileStream* sizes_ = nullptr;
    PendingEntry pending_;
    TKSduplicateResult result_;
    TKSpageBytes bytes_;
    int64_t target_ = 0;
    int64_t cap_ = 0;
    int64_t currentSize_ = 0;
    int64_t surnameSize_ = 0; // of the last surname read from the sizes
    // For the cap: the page's index, and the bytes and merge sizes of the
    // whole index so far (of the surnames done, for the proportion).
    int64_t pageBytes_ = 0;
    int64_t bytesTotal_ = 0;
    int64_t bytesDone_ = 0;
    int64_t unitsDone_ = 0;
    int32_t pageNr_ = 0;
    int32_t recordNr_ = 0;
    int32_t pageStartRecord_ = 1;
};

} // namespace

TKSduplicateResult FindDuplicates(const std::string& mergedPath, const std::string& sizesPath,
                                  TKSprogressBar& bar, const std::string& entriesPath,
                                  const TKSduplicateOptions& options, TKSpageList& pages,
                                  TKSbreather& breather) {
    pages.Clear();
    TKSdivisionInfo division;
    division.Auto = options.IndexType == TKSindexType::Auto;
    division.Estimates = EstimateDivisions(sizesPath, options.EstimatedSize);
    TKSduplicateOptions used = options;
    int64_t cap = 0;
    const bool keptWhole =
        division.Auto && options.WholeWhenLight && options.EstimatedSize <= kAutoPageBudget;
    if (keptWhole) {
        used.IndexType = TKSindexType::FirstLetter;
    } else if (division.Auto) {
        // Chosen as if a surname larger than the budget were cut into parts,
        // as the cap does.
        used.IndexType = ChooseDivision(
            EstimateDivisions(sizesPath, options.EstimatedSize, kAutoPageBudget), kAutoPageBudget);
        if (InParts(used.IndexType)) cap = kAutoPageCap;
    }
    TKSFileStream merged(mergedPath, File::OpenMode::Read);
    TKSFileStream sizes(sizesPath, File::OpenMode::Read);
    TKSFileStream entries(entriesPath, File::OpenMode::Create);
    DuplicateFinder finder(used, cap, pages);
    TKSduplicateResult result = finder.Run(merged, sizes, entries, bar, breather);
    entries.Close();
    result.IndexType = used.IndexType;
    result.Division = std::move(division);
    result.KeptWhole = keptWhole;
    return result;
}

} // namespace ks
