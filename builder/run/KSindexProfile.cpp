#include "builder/run/KSindexProfile.h"

#include "LINE_INPUT/KSFileStream.h"
#include "builder/combine/KSdivision.h"
#include "common/KStextutil.h"
#include "index/KShtxData.h"
#include "index/KShtxRegel.h"

#include <algorithm>
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

} // namespace

void TKSindexProfile::Add(const TKSindexProfile& other) {
    Lines += other.Lines;
    Surnames = std::max(Surnames, other.Surnames);
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

TKSindexProfile ReadIndexProfile(const std::string& path) {
    TKSindexProfile profile;
    TKSFileStream stream(path, File::OpenMode::Read);
    if (!stream.Opened()) return profile;
    std::string text;
    std::string title;
    bool inIndex = false;
    TKShtxRegel line;
    std::string lastSurname;
    std::string lastNames;
    std::string lastYear1;
    std::string lastYear2;
    std::map<std::string, int64_t> surnames;
    while (!stream.Eof()) {
        stream.ReadLine(text);
        if (!inIndex) {
            if (title.empty() && AsciiLower(text.substr(0, 6)) == "title=") title = text.substr(6);
            inIndex = TKShtxData::IsIndexDataLine(text);
            continue;
        }
        if (text.empty()) break;
        line.ParseIndexLine(text);
        const std::string surname = AsciiUpper(line.Surname);
        const bool newSurname = surname != lastSurname;
        const bool newNames = !newSurname && !SameTextAscii(line.GivenNames, lastNames);
        // The same person again (name and years) is one more reference.
        const bool samePerson =
            !newSurname && !newNames && line.Year1 == lastYear1 && line.Year2 == lastYear2;
        TKSprofileUnits units;
        units.Written =
            ReferenceUnits(line, title) + (samePerson ? kFoldedReference : NameUnits(line));
        units.Merged = ReferenceUnits(line, title) + (newNames ? NameUnits(line) : 0);
        if (newSurname) {
            units.Written += HeadingUnits(line.Surname);
            units.Merged += HeadingUnits(line.Surname);
        }
        lastSurname = surname;
        lastNames = line.GivenNames;
        lastYear1 = line.Year1;
        lastYear2 = line.Year2;
        surnames[surname] += units.Written;
        ++profile.Lines;
        AddTo(profile.Units, units);
        AddTo(profile.Letters[line.Letter], units);
        AddTo(profile.TwoLetters[TwoLetterKey(line.Surname)], units);
    }
    profile.Surnames = static_cast<int64_t>(surnames.size());
    KeepLargest(surnames);
    profile.Largest = std::move(surnames);
    return profile;
}

} // namespace ks
