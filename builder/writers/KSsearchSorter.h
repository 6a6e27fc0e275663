// Puts the records of the search data in byte order without holding them all
// in memory. Records go into a file per first byte; a file that fits the
// memory budget is sorted in memory, a larger one is spread again over files
// by its next differing byte. So memory stays within the budget however
// large the index is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ks {

class TKSsearchSorter {
public:
    // Works in a private folder made inside folder (removed with everything
    // in it when the sorter goes). budget: the largest file, in bytes, that
    // is sorted in memory. Raises EInOutError when the folder cannot be made.
    TKSsearchSorter(const std::string& folder, std::size_t budget);
    ~TKSsearchSorter();
    TKSsearchSorter(const TKSsearchSorter&) = delete;
    TKSsearchSorter& operator=(const TKSsearchSorter&) = delete;

    // A record is one line: it must not hold a line feed. Raises EWriteError
    // when its file cannot be written.
    void Add(std::string_view record);
    // Hands every record to sink, in ascending order of their bytes (as
    // unsigned values). A run of records too large for the budget that no
    // byte tells apart any further keeps the order in which it was added.
    // Can be called once.
    void Finish(const std::function<void(std::string_view)>& sink);

private:
    struct Bucket;
    using Buckets = std::vector<std::unique_ptr<Bucket>>;

    std::string NewFileName();
    void Add(Buckets& buckets, std::size_t depth, std::string_view record);
    void Close(Buckets& buckets);
    void Sort(Bucket& bucket, std::size_t depth, const std::function<void(std::string_view)>& sink);
    void SortInMemory(const std::string& path, const std::function<void(std::string_view)>& sink);
    // The first position from depth on at which the records of the file
    // differ; npos when none does.
    std::size_t SplitDepth(const std::string& path, std::size_t depth) const;
    void Stream(const std::string& path, const std::function<void(std::string_view)>& sink) const;

    std::string folder_;
    std::size_t budget_;
    Buckets buckets_;
    uint64_t files_ = 0;
};

} // namespace ks
