// An array that grows by fixed blocks: appending never copies what is
// there, so a table of millions of entries never needs twice its size while
// it grows.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace ks {

template <typename T, std::size_t kBlock = 64 * 1024> class TKSchunkedArray {
public:
    void PushBack(const T& value) {
        if (size_ % kBlock == 0) blocks_.push_back(std::make_unique_for_overwrite<T[]>(kBlock));
        blocks_.back()[size_ % kBlock] = value;
        ++size_;
    }
    T& operator[](std::size_t i) { return blocks_[i / kBlock][i % kBlock]; }
    const T& operator[](std::size_t i) const { return blocks_[i / kBlock][i % kBlock]; }
    std::size_t Size() const { return size_; }
    // Gives the memory back.
    void Clear() {
        std::vector<std::unique_ptr<T[]>>().swap(blocks_);
        size_ = 0;
    }

private:
    std::vector<std::unique_ptr<T[]>> blocks_;
    std::size_t size_ = 0;
};

} // namespace ks
