// The Atom feed of the combined index ("feed.xml", RFC 4287), written beside
// the pages when the layout writes the list of new persons (#NEWLIST!): one
// entry per run that added persons, the latest kFeedEntries, each linking to
// that page. What the feed needs of earlier runs is kept in a small hidden
// file beside the record of written files (".kestrin-feed"): the line
// "kestrin-feed 1", the line "id<TAB>urn:uuid:..." (the feed's id, made
// once at random), then per run "run<TAB>TIME<TAB>ADDED<TAB>TITLE<TAB>SUMMARY"
// (TIME in seconds since 1970, UTC; texts UTF-8, without tabs or line ends).
// It is replaced only when a run is complete.
//
// The feed's and every entry's id are urn:uuid: names that stay the same
// when the site moves or is retitled. Links are absolute when the run knows
// the site's address (then the feed links to itself too), else relative
// to the feed, which a feed reader resolves against the address it fetched
// the feed from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ks {

struct TKSrunView;

extern const char* const kFeedName;        // "feed.xml"
extern const char* const kFeedHistoryName; // ".kestrin-feed"
constexpr std::size_t kFeedEntries = 20;
constexpr std::size_t kMaxFeedHistoryBytes = 1u << 20;

struct TKSfeedRun {
    int64_t Time = 0;
    int64_t Added = 0;
    std::string Title;   // UTF-8
    std::string Summary; // UTF-8
};

struct TKSfeedHistory {
    std::string Id;               // "urn:uuid:..."; "" when none was kept
    std::vector<TKSfeedRun> Runs; // oldest first
};

// The history in outputFolder; empty when missing, too large or damaged.
TKSfeedHistory ReadFeedHistory(const std::string& outputFolder);
// The history as its file holds it.
std::string FeedHistoryText(const TKSfeedHistory& history);

// Writes writeRoot + kFeedName from the history in the output folder and
// what this run found new, and leaves the history to keep in
// run.State.FeedHistory. Raises EKSError when a layout entry already wrote
// a file of that name, EWriteError when it cannot be written.
void WriteFeed(const TKSrunView& run, const std::string& writeRoot);

// Replaces the history in outputFolder by text, whole or not at all.
// Raises EWriteError naming it.
void CommitFeedHistory(const std::string& outputFolder, const std::string& text);

} // namespace ks
