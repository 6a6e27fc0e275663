// Sorts more records than memory should hold: records are gathered in a
// buffer of bounded size, which is sorted and written to a run file whenever
// it fills; at the end the run files are merged (so many at once, in passes
// when there are more). Memory holds the buffer, and a block of each run file
// while they are merged. Records that fit the buffer never touch a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ks {

// A record as the sort hands it out; its texts are valid during the call.
struct TKSsortRecord {
    std::string_view Key;  // compared byte by byte, as unsigned values
    std::string_view Line; // carried along, never compared
    uint32_t Tie = 0;      // among equal keys, the lower comes first
};

class TKSrunFileSort {
public:
    // The name of run file number (1, 2, ...): a new file in a folder of the
    // caller's own. Called only when a run file is needed.
    using RunFileName = std::function<std::string(int number)>;
    using Sink = std::function<void(const TKSsortRecord&)>;

    // bufferBytes: the memory of the records sorted at a time (their keys
    // and lines, and a few bytes each) before they go to a run file. keepRunFiles: leave
    // them in place (developer mode); otherwise they are deleted when the
    // sort goes, also after a failure.
    TKSrunFileSort(RunFileName runFileName, std::size_t bufferBytes, bool keepRunFiles = false);
    ~TKSrunFileSort();
    TKSrunFileSort(const TKSrunFileSort&) = delete;
    TKSrunFileSort& operator=(const TKSrunFileSort&) = delete;

    // Copies the record in. key and line must hold no CR or LF: a run file
    // keeps them as lines. Raises EWriteError naming the run file when it
    // cannot be made or written; a run file is always a new file, never one
    // that exists nor the target of a link.
    void Add(std::string_view key, std::string_view line = {}, uint32_t tie = 0);
    // When run files are in use, writes the records gathered so far to one
    // more and gives back the buffer's memory until the next Add, for a
    // caller that needs the memory before Finish. Raises as Add does.
    void ReleaseBuffer();
    // Hands every record to sink: key ascending, on equal keys the lower Tie
    // first, then the order in which they were added. Can be called once.
    // Raises as Add does, and EInOutError when a run file cannot be read.
    void Finish(const Sink& sink);

private:
    // Where a record of the buffer lies in arena_, with the first bytes of
    // its key (big-endian, zero-padded), which decide most comparisons
    // without reaching into the arena.
    struct Entry {
        uint64_t prefix;
        std::size_t offset;
        uint32_t keyLength;
        uint32_t lineLength;
        uint32_t tie;
    };
    bool Before(const Entry& a, const Entry& b) const;
    TKSsortRecord RecordOf(const Entry& e) const;
    std::size_t BufferBytes() const { return arena_.size() + entries_.size() * sizeof(Entry); }
    void SortBuffer();
    std::string NewRunFile();
    void SpillBuffer();
    void MergePass();

    RunFileName runFileName_;
    std::size_t bufferLimit_;
    bool keepRunFiles_;
    std::string arena_; // the keys and lines of the buffer, one after the other
    std::vector<Entry> entries_;
    std::vector<std::string> runFiles_;    // to be merged, in the order of their records
    std::vector<std::string> allRunFiles_; // every file made, for clean-up
    int runCounter_ = 0;
};

} // namespace ks
