#include "builder/run/KSindexProfile.h"

#include "LINE_INPUT/KSFileStream.h"
#include "builder/combine/KSdivision.h"
#include "common/KStextutil.h"
#include "index/KShtxData.h"
#include "index/KShtxRegel.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <vector>

namespace ks {

namespace {

// A document keeps its largest surnames only: the largest of several
// documents together is all but always among them.
constexpr std::size_t kLargestKept = 64;
// The markup of a reference folded into the entry before it: 2,000 lines of
// one person in one document gave an index page of 185 kB.
constexpr int64_t kFoldedReference = 25;

// As the merge estimates them: a surname's heading, per line its reference
// (link and the tree's title), and given names with their years.
int64_t HeadingUnits(const std::string& surname) {
    int64_t units = static_cast<int64_t>(surname.size()) + 73;
    if (surname.find(',') != std::string::npos) units += 28;
    return units;
}

int64_t ReferenceUnits(const TKShtxRegel& line, const std::string& title) {
    return 40 + static_cast<int64_t>(line.Link.size() + title.size());
}

int64_t NameUnits(const TKShtxRegel& line) {
    int64_t units = 95 + static_cast<int64_t>(line.GivenNames.size());
    const auto years = static_cast<int64_t>(line.Year1.size() + line.Year2.size());
    if (years > 0) units += 2 * (years + 1);
    return units;
}

TKSprofileUnits Largest(const std::map<std::string, TKSprofileUnits>& units) {
    TKSprofileUnits largest;
    for (const auto& [key, value] : units)
        if (value.Written > largest.Written) largest = value;
    return largest;
}

void AddTo(TKSprofileUnits& sum, const TKSprofileUnits& more) {
    sum.Written += more.Written;
    sum.Merged += more.Merged;
}

void KeepLargest(std::map<std::string, int64_t>& surnames) {
    if (surnames.size() <= kLargestKept) return;
    std::vector<int64_t> sizes;
    for (const auto& [key, value] : surnames)
        sizes.push_back(value);
    std::nth_element(sizes.begin(), sizes.begin() + kLargestKept - 1, sizes.end(),
                     std::greater<>());
    const int64_t least = sizes[kLargestKept - 1];
    std::erase_if(surnames, [&](const auto& entry) { return entry.second < least; });
}

// Sorted keys: into keys, those of more it does not hold yet.
void Join(std::vector<uint64_t>& keys, const std::vector<uint64_t>& more) {
    std::vector<uint64_t> joined;
    joined.reserve(keys.size() + more.size());
    std::set_union(keys.begin(), keys.end(), more.begin(), more.end(), std::back_inserter(joined));
    keys = std::move(joined);
}

void SortUnique(std::vector<uint64_t>& keys) {
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
}

} // namespace

void TKSindexProfile::Add(const TKSindexProfile& other) {
    Lines += other.Lines;
    Join(SurnameKeys, other.SurnameKeys);
    const auto persons = static_cast<int64_t>(PersonKeys.size() + other.PersonKeys.size());
    Join(PersonKeys, other.PersonKeys);
    const int64_t shared = persons - static_cast<int64_t>(PersonKeys.size());
    PersonUnits += other.PersonUnits;
    FoldedUnits += other.FoldedUnits;
    LargestPerson = std::max(LargestPerson, other.LargestPerson);
    if (shared > 0)
        FoldedUnits += shared * std::max<int64_t>(PersonUnits / persons - kFoldedReference, 0);
    AddTo(Units, other.Units);
    for (const auto& [key, value] : other.Letters)
        AddTo(Letters[key], value);
    for (const auto& [key, value] : other.TwoLetters)
        AddTo(TwoLetters[key], value);
    for (const auto& [key, value] : other.Largest)
        Largest[key] += value;
}

TKSprofileUnits TKSindexProfile::LargestLetter() const {
    return ks::Largest(Letters);
}

TKSprofileUnits TKSindexProfile::LargestTwoLetters() const {
    return ks::Largest(TwoLetters);
}

int64_t TKSindexProfile::LargestSurname() const {
    int64_t largest = 0;
    for (const auto& [key, value] : Largest)
        largest = std::max(largest, value);
    return largest;
}

int64_t TKSindexProfile::SurnamesOver(int64_t units) const {
    return std::count_if(Largest.begin(), Largest.end(),
                         [&](const auto& entry) { return entry.second > units; });
}

namespace {

// Takes the index lines of one document in their order; a line that repeats
// the person before it (name and years) is one more reference of that entry.
class ProfileReader {
public:
    explicit ProfileReader(TKSindexProfile& profile) : profile_(profile) {}

    void SetTitle(const std::string& title) {
        if (title_.empty()) title_ = title;
    }

    void Take(const TKShtxRegel& line) {
        const std::string surname = AsciiUpper(line.Surname);
        const bool newSurname = surname != lastSurname_;
        const bool newNames = !newSurname && !SameTextAscii(line.GivenNames, lastNames_);
        const bool samePerson =
            !newSurname && !newNames && line.Year1 == lastYear1_ && line.Year2 == lastYear2_;
        TKSprofileUnits units;
        units.Written =
            ReferenceUnits(line, title_) + (samePerson ? kFoldedReference : NameUnits(line));
        units.Merged = ReferenceUnits(line, title_) + (newNames ? NameUnits(line) : 0);
        if (newSurname) {
            units.Written += HeadingUnits(line.Surname);
            units.Merged += HeadingUnits(line.Surname);
        }
        if (!samePerson) NewPerson(surname, line);
        person_ += units.Written;
        profile_.LargestPerson = std::max(profile_.LargestPerson, person_);
        if (newSurname || line.Letter != letter_) Flush();
        if (newSurname) surname_ = line.Surname;
        letter_ = line.Letter;
        lastSurname_ = surname;
        lastNames_ = line.GivenNames;
        lastYear1_ = line.Year1;
        lastYear2_ = line.Year2;
        ++profile_.Lines;
        AddTo(profile_.Units, units);
        AddTo(pending_, units);
    }

    void Finish() {
        Flush();
        for (const auto& [surname, units] : surnames_)
            profile_.SurnameKeys.push_back(std::hash<std::string>{}(surname));
        SortUnique(profile_.SurnameKeys);
        SortUnique(profile_.PersonKeys);
        KeepLargest(surnames_);
        profile_.Largest = std::move(surnames_);
    }

private:
    // The units of the lines of one surname and letter, counted once a run.
    void Flush() {
        if (pending_.Written == 0) return;
        surnames_[AsciiUpper(surname_)] += pending_.Written;
        AddTo(profile_.Letters[letter_], pending_);
        AddTo(profile_.TwoLetters[TwoLetterKey(surname_)], pending_);
        pending_ = {};
    }

    void NewPerson(const std::string& surname, const TKShtxRegel& line) {
        const std::string person =
            surname + '\t' + AsciiUpper(line.GivenNames) + '\t' + line.Year1 + '\t' + line.Year2;
        profile_.PersonKeys.push_back(std::hash<std::string>{}(person));
        profile_.PersonUnits += NameUnits(line);
        person_ = 0;
    }

    TKSindexProfile& profile_;
    std::string title_;
    std::string lastSurname_;
    std::string lastNames_;
    std::string lastYear1_;
    std::string lastYear2_;
    int64_t person_ = 0; // written units of the person so far
    std::string surname_;
    std::string letter_;
    TKSprofileUnits pending_;
    std::map<std::string, int64_t> surnames_;
};

} // namespace

TKSindexProfile ReadIndexProfile(const std::string& path) {
    TKSindexProfile profile;
    TKSFileStream stream(path, File::OpenMode::Read);
    if (!stream.Opened()) return profile;
    ProfileReader reader(profile);
    std::string text;
    bool inIndex = false;
    TKShtxRegel line;
    while (!stream.Eof()) {
        stream.ReadLine(text);
        if (inIndex && text.empty()) break;
        if (inIndex) {
            line.ParseIndexLine(text);
            reader.Take(line);
        } else if (AsciiLower(text.substr(0, 6)) == "title=") {
            reader.SetTitle(text.substr(6));
        } else {
            inIndex = TKShtxData::IsIndexDataLine(text);
        }
    }
    reader.Finish();
    return profile;
}

} // namespace ks
