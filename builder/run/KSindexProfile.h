// What the page estimate knows of the index lines of documents before a
// run, in units of about a byte of HTML each: what the index writer writes
// for them, and what the merge estimates for them (it counts a person's given
// names only where they differ from those before, and the automatic
// division chooses by it); in total, per index letter, per pair of first
// letters and for the largest surnames. Read from a document in one pass;
// the profiles of several documents add up.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace ks {

struct TKSprofileUnits {
    int64_t Written = 0; // as the index writer writes them
    int64_t Merged = 0;  // as the merge estimates them
};

struct TKSindexProfile {
    int64_t Lines = 0;
    TKSprofileUnits Units; // of all lines
    // A hash of every distinct surname, sorted: the profiles of documents
    // that share surnames count them once.
    std::vector<uint64_t> SurnameKeys;
    // The same for every person (name and years), with the written units of
    // their names: a person in several documents is one entry of the index.
    std::vector<uint64_t> PersonKeys;
    int64_t PersonUnits = 0;
    // Written units saved by the persons in more than one document.
    int64_t FoldedUnits = 0;
    // Written units of the largest entry: one person with every reference
    // of one document, which no division cuts.
    int64_t LargestPerson = 0;
    std::map<std::string, TKSprofileUnits> Letters;    // per index letter
    std::map<std::string, TKSprofileUnits> TwoLetters; // per two-letter key
    std::map<std::string, int64_t> Largest;            // written units of the largest surnames

    void Add(const TKSindexProfile& other);
    TKSprofileUnits LargestLetter() const;
    TKSprofileUnits LargestTwoLetters() const;
    int64_t LargestSurname() const;
    int64_t Surnames() const { return static_cast<int64_t>(SurnameKeys.size()); }
    // How many of the largest surnames have more written units than units.
    int64_t SurnamesOver(int64_t units) const;
};

// The profile of the index document at path; empty when it cannot be read.
TKSindexProfile ReadIndexProfile(const std::string& path);

} // namespace ks
