// The digest of a run's persons, kept beside the record of written files so
// that the next run can tell which persons are new. A person is a link in a
// tree: a 64-bit hash of the tree (its web address, else its document's
// path) and the person's link, so that a person whose page in the combined
// index moves stays the same person. The file holds the line
// "kestrin-digest 1 TIME COUNT" (TIME in seconds since 1970, UTC) and then
// COUNT hashes, eight bytes each, most significant first, ascending, each
// once. A digest that is damaged counts as none.
//
// The persons are sorted as fixed-size records through run files and
// merged against the previous digest as it is read a block at a time, so
// memory stays the same whatever the number of persons: the sort's buffer,
// and kNewPersonsKept persons per tree.
#pragma once

#include "builder/entries/KSwhatsNew.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace ks {

struct TKSrunDocument;
struct TKSrunView;

// The digest's file name inside the output folder.
extern const char* const kEntryDigestName;

// The hash of a person: the tree's key and the person's link in it.
std::uint64_t PersonHash(std::string_view treeKey, std::string_view link);
// What names a tree from run to run: its web address, else the absolute
// path of its document.
std::string TreeKey(const TKSrunDocument& document);

// Reads the run's entries, writes this run's digest into folder (the run's
// own) and compares it with the digest in outputFolder. runTime: when this
// run started. Raises EWriteError or EInOutError naming a run file that
// cannot be written or read.
TKSwhatsNew CompareWithPreviousRun(const TKSrunView& run, const std::string& folder,
                                   const std::string& outputFolder, std::int64_t runTime);

// Puts the digest at digestPath in place in outputFolder, whole or not at
// all. Raises EWriteError naming the digest in the output folder.
void CommitEntryDigest(const std::string& outputFolder, const std::string& digestPath);

} // namespace ks
