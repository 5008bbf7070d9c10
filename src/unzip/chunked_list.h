#pragma once
// A list that grows by blocks of 1024 items: nothing moves or is copied when it grows, and an
// item is found by its index with a shift and a mask.
#include <cstddef>
#include <memory>
#include <vector>

namespace mUnzip {

template <typename T> class ChunkedList {
  public:
    // A new item at the end, default-constructed.
    T &emplace_back() {
        if ((count_ & kMask) == 0)
            chunks_.push_back(std::make_unique<T[]>(kChunk));
        T &item = chunks_.back()[count_ & kMask];
        ++count_;
        return item;
    }
    T &operator[](size_t index) { return chunks_[index >> kShift][index & kMask]; }
    const T &operator[](size_t index) const { return chunks_[index >> kShift][index & kMask]; }
    size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    void clear() {
        chunks_.clear();
        count_ = 0;
    }

  private:
    static constexpr size_t kShift = 10;
    static constexpr size_t kChunk = size_t{1} << kShift;
    static constexpr size_t kMask = kChunk - 1;
    std::vector<std::unique_ptr<T[]>> chunks_;
    size_t count_ = 0;
};

} // namespace mUnzip
