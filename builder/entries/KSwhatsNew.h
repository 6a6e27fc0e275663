// What a run learnt by comparing its persons with those of the previous
// complete run into the same output folder (see KSentryDigest): how many
// each tree gained, and the first of them in the order of the index.
#pragma once

#include "index/KShtxRegel.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ks {

// At most this many new persons per tree are kept for the page that lists
// them; the others are only counted.
constexpr int32_t kNewPersonsKept = 100;

// One tree that gained persons.
struct TKSnewTree {
    std::size_t Document = 0; // list position, from 0
    int64_t Count = 0;        // persons new in it
    // The first of them in the order of the index (at most kNewPersonsKept),
    // each an entry of the index with Link the person's link in this tree.
    std::vector<TKShtxRegel> First;
};

struct TKSwhatsNew {
    bool Compared = false;         // a previous run's digest was there and sound
    int64_t PreviousTime = 0;      // when that run ran (seconds since 1970, UTC)
    int64_t Added = 0;             // persons new in this run, all trees together
    std::vector<TKSnewTree> Trees; // in list order, only trees that gained persons
    std::string DigestPath;        // this run's digest, in the run's folder; "": none
};

} // namespace ks
