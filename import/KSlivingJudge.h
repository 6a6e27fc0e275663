// Who of an imported tree may still be alive, judged as genealogists judge
// it. With N the living age (100 unless the user chooses another), a person
// is presumed dead when
// - the file says so: a death, burial or cremation, dated or not;
// - any dated event of theirs lies N years back or more: a birth,
//   christening, baptism, residence or any other dated fact, and the events
//   of the families they are a spouse in (a marriage);
// - a parent was born N + 45 years back or more (parents at most 45 years
//   older than their children);
// - a spouse was born N + 40 years back or more (spouses at most 40 years
//   apart);
// - a child was born N - 15 years back or more (parents at least 15 years
//   older than their children).
// "Born" is the latest year a person may have been born in: the least of the
// latest years their dated events allow (a birth "BET 1900 AND 1990" allows
// 1990, a marriage in 1950 says the spouses were born by 1950). Everyone
// else may be alive.
//
// A file's persons and families come in any order, so they are kept in a
// compact table (a key of the record, a year and a few flags a person, the
// keys of the members a family) and judged when the file is read.
#pragma once

#include "import/KSchunkedArray.h"

#include <cstdint>
#include <vector>

namespace ks {

constexpr int kDefaultLivingAge = 100;
// The most years the front ends take: beyond it every date is recent.
constexpr int kMaxLivingAge = 999;
// The margins of the rule above, in years.
constexpr int kParentYearsOlder = 45;
constexpr int kSpousesYearsApart = 40;
constexpr int kParentYearsAtChild = 15;

// One family of a file: its members by the keys of their records
// (GedcomRecordKey) and the latest year its earliest dated event allows (0
// when none has a year).
struct TKSimportFamily {
    int EventYear = 0;
    std::vector<uint64_t> Spouses;
    std::vector<uint64_t> Children;
};

class TKSlivingJudge {
public:
    // A person in read order. key: the key of the record (0 when it has
    // none: no relative can name it); bornBy: the latest year the person
    // may have been born in (0 unknown); died: the file says so. Returns the
    // person's number, counted from 0.
    uint32_t AddPerson(uint64_t key, int bornBy, bool died);
    void AddFamily(const TKSimportFamily& family);
    // Judges every person added, then gives back the memory of the table but
    // for one flag a person. Two records with one key name nobody.
    void Judge(int thisYear, int livingAge);
    // After Judge.
    bool IsLiving(uint32_t person) const;
    std::size_t Persons() const { return flags_.Size(); }

private:
    void IndexKeys();
    uint32_t Find(uint64_t key) const;
    void ResolveFamilies();
    void JudgeByRelatives(int thisYear, int livingAge);

    TKSchunkedArray<uint64_t> keys_;
    TKSchunkedArray<int16_t> bornBy_;
    TKSchunkedArray<uint8_t> flags_;
    // Per family a head (its counts and year), then the keys of its spouses
    // and children; Judge puts the numbers of the persons in their place.
    TKSchunkedArray<uint64_t> families_;
    std::vector<uint32_t> slots_; // open addressing: person number + 1, 0 empty
};

} // namespace ks
