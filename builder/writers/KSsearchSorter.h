// Puts the records of the search data in byte order without holding them all
// in memory. Records are gathered up to the memory budget, sorted there and
// written to a run file whenever the budget is full; at the end the run files
// are merged, in passes when there are very many. Records that fit the budget
// never touch a file, and each record is written and read back once in all
// but the largest indexes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ks {

class TKSsearchSorter {
public:
    using Sink = std::function<void(std::string_view)>;

    // Works in a private folder made inside folder (removed with everything
    // in it when the sorter goes). budget: the bytes of records sorted in
    // memory at a time, and about the most the merge reads ahead. Raises
    // EInOutError when the folder cannot be made.
    TKSsearchSorter(const std::string& folder, std::size_t budget);
    ~TKSsearchSorter();
    TKSsearchSorter(const TKSsearchSorter&) = delete;
    TKSsearchSorter& operator=(const TKSsearchSorter&) = delete;

    // A record is one line: it must not hold a line feed. Raises EWriteError
    // when a run file cannot be written.
    void Add(std::string_view record);
    // Hands every record to sink, in ascending order of their bytes (as
    // unsigned values). Can be called once. Raises EInOutError when a run
    // file cannot be read back.
    void Finish(const Sink& sink);

private:
    std::string NewFileName();
    // The records gathered so far as sorted lines (views into arena_).
    const std::vector<std::string_view>& SortedBuffer();
    void Spill();
    // Merges the run files [from, to) to sink.
    void Merge(std::size_t from, std::size_t to, const Sink& sink) const;

    std::string folder_;
    std::size_t budget_;
    std::string arena_;     // the records gathered, each ended by a line feed
    std::size_t count_ = 0; // records in arena_
    std::vector<std::string_view> lines_;
    std::vector<std::string> runs_; // run files, in the order they were written
    uint64_t files_ = 0;
};

} // namespace ks
