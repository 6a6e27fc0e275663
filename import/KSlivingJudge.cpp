#include "import/KSlivingJudge.h"

#include <algorithm>
#include <limits>

namespace ks {

namespace {

constexpr int16_t kNoYear = std::numeric_limits<int16_t>::max();
constexpr uint32_t kNobody = std::numeric_limits<uint32_t>::max();
constexpr uint64_t kMaxSpouses = 0xFFFF;
constexpr uint64_t kMaxChildren = 0xFFFFFFFF;

enum : uint8_t { kDied = 1, kDead = 2, kSharedKey = 4 };

int16_t StoredYear(int year) {
    return year > 0 && year < kNoYear ? static_cast<int16_t>(year) : kNoYear;
}

// A family's head: its counts of spouses and children and its year.
uint64_t FamilyHead(uint64_t spouses, uint64_t children, int16_t year) {
    return spouses | (children << 16) | (static_cast<uint64_t>(static_cast<uint16_t>(year)) << 48);
}

struct THead {
    std::size_t Spouses, Children;
    int16_t Year;
};

THead ReadHead(uint64_t head) {
    return {static_cast<std::size_t>(head & kMaxSpouses),
            static_cast<std::size_t>((head >> 16) & kMaxChildren),
            static_cast<int16_t>(static_cast<uint16_t>(head >> 48))};
}

// The first slot of a key in a table of size slots: the key's bits mixed,
// then scaled to the size.
std::size_t SlotOf(uint64_t key, std::size_t size) {
    const uint64_t mixed = (key * 0x9E3779B97F4A7C15ULL) >> 32;
    return static_cast<std::size_t>((mixed * size) >> 32);
}

} // namespace

uint32_t TKSlivingJudge::AddPerson(uint64_t key, int bornBy, bool died) {
    keys_.PushBack(key);
    bornBy_.PushBack(StoredYear(bornBy));
    flags_.PushBack(died ? kDied : 0);
    return static_cast<uint32_t>(flags_.Size() - 1);
}

void TKSlivingJudge::AddFamily(const TKSimportFamily& family) {
    const uint64_t spouses = std::min<uint64_t>(family.Spouses.size(), kMaxSpouses);
    const uint64_t children = std::min<uint64_t>(family.Children.size(), kMaxChildren);
    if (spouses + children == 0) return;
    families_.PushBack(FamilyHead(spouses, children, StoredYear(family.EventYear)));
    for (uint64_t i = 0; i < spouses; ++i)
        families_.PushBack(family.Spouses[i]);
    for (uint64_t i = 0; i < children; ++i)
        families_.PushBack(family.Children[i]);
}

void TKSlivingJudge::IndexKeys() {
    // Two thirds full at most: a few steps a search.
    const std::size_t size = std::max<std::size_t>(16, keys_.Size() + keys_.Size() / 2);
    slots_.assign(size, 0);
    for (std::size_t person = 0; person < keys_.Size(); ++person) {
        const uint64_t key = keys_[person];
        if (key == 0) continue;
        for (std::size_t slot = SlotOf(key, size);; slot = slot + 1 == size ? 0 : slot + 1) {
            if (slots_[slot] == 0) {
                slots_[slot] = static_cast<uint32_t>(person + 1);
                break;
            }
            const uint32_t other = slots_[slot] - 1;
            if (keys_[other] == key) { // two records of one name: neither is trusted
                flags_[other] |= kSharedKey;
                break;
            }
        }
    }
}

uint32_t TKSlivingJudge::Find(uint64_t key) const {
    if (key == 0 || slots_.empty()) return kNobody;
    const std::size_t size = slots_.size();
    for (std::size_t slot = SlotOf(key, size); slots_[slot] != 0;
         slot = slot + 1 == size ? 0 : slot + 1) {
        const uint32_t person = slots_[slot] - 1;
        if (keys_[person] == key) return (flags_[person] & kSharedKey) ? kNobody : person;
    }
    return kNobody;
}

// Puts the persons' numbers in place of their keys; a family's event bounds
// the births of its spouses.
void TKSlivingJudge::ResolveFamilies() {
    for (std::size_t at = 0; at < families_.Size();) {
        const THead head = ReadHead(families_[at++]);
        for (std::size_t k = 0; k < head.Spouses + head.Children; ++k, ++at) {
            const uint32_t person = Find(families_[at]);
            families_[at] = person;
            if (person != kNobody && k < head.Spouses)
                bornBy_[person] = std::min(bornBy_[person], head.Year);
        }
    }
}

void TKSlivingJudge::JudgeByRelatives(int thisYear, int livingAge) {
    const int parentBy = thisYear - livingAge - kParentYearsOlder;
    const int spouseBy = thisYear - livingAge - kSpousesYearsApart;
    const int childBy = thisYear - livingAge + kParentYearsAtChild;
    const auto born = [this](uint64_t person) {
        return person == kNobody ? kNoYear : bornBy_[static_cast<std::size_t>(person)];
    };
    const auto dead = [this](uint64_t person) {
        if (person != kNobody) flags_[static_cast<std::size_t>(person)] |= kDead;
    };
    for (std::size_t at = 0; at < families_.Size();) {
        const THead head = ReadHead(families_[at++]);
        const std::size_t spouses = at, children = at + head.Spouses;
        at = children + head.Children;
        int16_t firstParent = kNoYear, firstChild = kNoYear;
        for (std::size_t k = spouses; k < children; ++k)
            firstParent = std::min(firstParent, born(families_[k]));
        for (std::size_t k = children; k < at; ++k)
            firstChild = std::min(firstChild, born(families_[k]));
        if (firstParent <= parentBy)
            for (std::size_t k = children; k < at; ++k)
                dead(families_[k]);
        for (std::size_t k = spouses; k < children; ++k) {
            bool byOther = false;
            for (std::size_t other = spouses; other < children; ++other)
                byOther |= other != k && born(families_[other]) <= spouseBy;
            if (byOther || firstChild <= childBy) dead(families_[k]);
        }
    }
}

void TKSlivingJudge::Judge(int thisYear, int livingAge) {
    if (families_.Size() > 0) {
        IndexKeys();
        ResolveFamilies();
        slots_ = {};
    }
    keys_.Clear();
    const int ownBy = thisYear - livingAge;
    for (std::size_t person = 0; person < flags_.Size(); ++person)
        if ((flags_[person] & kDied) || bornBy_[person] <= ownBy) flags_[person] |= kDead;
    JudgeByRelatives(thisYear, livingAge);
    families_.Clear();
    bornBy_.Clear();
}

bool TKSlivingJudge::IsLiving(uint32_t person) const {
    return (flags_[person] & kDead) == 0;
}

} // namespace ks
