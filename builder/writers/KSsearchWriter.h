// The data of the search across all trees, for a layout whose pages offer a
// search box (the script that a layout copies beside its pages). The
// builder variable SEARCHDATA writes the catalogue into its output, a
// JavaScript file: the trees with their folders relative to that file, the
// surname prefix words, and the shards with the range of keys each holds. The
// shards are written beside it (see TKSsearchShards), named after the output
// without its extension: "idx_search.js" gets "idx_search-b.js" and so on.
// Every person is filed once more under each of its given names, in shards
// of their own ("idx_search-given-v.js"), where a person without a surname
// is found too (with an empty surname).
#pragma once

#include <cstddef>
#include <string>

namespace ks {

struct TKSrunView;
class TKStemplateOutput;

// The largest part of the data sorted in memory, in bytes: with what sorting
// it takes besides, a few megabytes whatever the size of the index.
constexpr std::size_t kSearchSortBytes = 4u << 20;

// Writes the catalogue into out.Output() and the shards into the folder out
// writes into, after deleting the shards an earlier run left there (a run
// that writes elsewhere first deletes the old shards in the output folder
// when it puts its files in place, see SearchShardMask). arguments: the size
// no shard passes, in kilobytes of 1000 bytes (500 when empty or not a
// whole number of at least 1). Raises EKSError when a shard's name would be
// the output of another layout entry, and EWriteError when a shard cannot
// be written or an old one deleted.
void WriteSearchData(const TKSrunView& run, TKStemplateOutput& out, const std::string& arguments,
                     std::size_t sortBytes = kSearchSortBytes);

// The mask of the shards that go with the output name (relative to the
// output folder, folder part included): "js/idx_search.js" gives
// "js/idx_search-*.js".
std::string SearchShardMask(const std::string& outputName);

} // namespace ks
