#pragma once
// The listed members' paths, packed into shared blocks of bytes: a listing of many thousand
// members costs a few allocations instead of two strings per member, and the paths stay as the
// library sent them (UTF-8) until a caller asks for one.
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace mUnzip {

// Where a path lies in the store: its block (high 16 bits) and its offset in the block.
using PackedPath = uint32_t;

class MemberPaths {
  public:
    // Stores a member path as the component shows it: split at its last "/" after the first
    // character into folder and name, the folder's other "/" turned into "\". Returns false,
    // storing nothing, when the path has no name (a folder entry such as "dir/").
    bool Add(std::string_view memberPath, PackedPath &stored);
    std::string_view Folder(PackedPath path) const;
    std::string_view Name(PackedPath path) const;
    void Clear();

  private:
    struct Parts {
        std::string_view folder, name;
    };
    Parts Read(PackedPath path) const;
    char *Room(size_t size, PackedPath &at);

    static constexpr size_t kBlockSize = 64 * 1024;
    std::vector<std::unique_ptr<char[]>> blocks_;
    size_t used_ = kBlockSize; // in the last block; a full block asks for a new one
};

} // namespace mUnzip
