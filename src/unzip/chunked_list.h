#pragma once
// A list that grows by blocks of 1024 items: nothing moves or is copied when it grows, an item is
// found by its index with a shift and a mask, and a block's memory is only touched as items are
// added to it.
#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

namespace mUnzip {

template <typename T> class ChunkedList {
    static_assert(std::is_trivially_destructible_v<T>, "items are dropped with their block");

  public:
    // A new item at the end, default-constructed.
    T &emplace_back() {
        if ((count_ & kMask) == 0)
            chunks_.push_back(std::unique_ptr<Chunk>(new Chunk)); // uninitialised until used
        T *item = new (chunks_.back()->items + (count_ & kMask) * sizeof(T)) T();
        ++count_;
        return *item;
    }
    T &operator[](size_t index) { return *Item(index); }
    const T &operator[](size_t index) const { return *Item(index); }
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
    struct Chunk {
        alignas(T) unsigned char items[sizeof(T) * kChunk];
    };
    T *Item(size_t index) const {
        return std::launder(
            reinterpret_cast<T *>(chunks_[index >> kShift]->items + (index & kMask) * sizeof(T)));
    }
    std::vector<std::unique_ptr<Chunk>> chunks_;
    size_t count_ = 0;
};

} // namespace mUnzip
