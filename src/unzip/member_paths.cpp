#include "unzip/member_paths.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace mUnzip {

namespace {

// Each stored path starts with its folder's and its name's byte counts, seven bits a byte
// (high bit: more follows): two bytes for the usual short path.
size_t CountSize(size_t value) {
    size_t n = 1;
    for (; value >= 0x80; value >>= 7)
        ++n;
    return n;
}

char *PutCount(char *at, size_t value) {
    for (; value >= 0x80; value >>= 7)
        *at++ = static_cast<char>((value & 0x7F) | 0x80);
    *at++ = static_cast<char>(value);
    return at;
}

const char *GetCount(const char *at, size_t &value) {
    value = 0;
    for (int shift = 0;; shift += 7) {
        auto byte = static_cast<unsigned char>(*at++);
        value |= static_cast<size_t>(byte & 0x7F) << shift;
        if (byte < 0x80)
            return at;
    }
}

} // namespace

char *MemberPaths::Room(size_t size, PackedPath &at) {
    if (size > kBlockSize - used_) {
        // A path longer than a block gets a block of its own.
        if (blocks_.size() > 0xFFFF)
            throw std::bad_alloc(); // 4 GiB of member paths: more than a PackedPath can point to
        blocks_.push_back(std::unique_ptr<char[]>(new char[std::max(kBlockSize, size)]));
        used_ = 0;
    }
    at = static_cast<PackedPath>((blocks_.size() - 1) << 16 | used_);
    char *room = blocks_.back().get() + used_;
    used_ = size > kBlockSize ? kBlockSize : used_ + size;
    return room;
}

bool MemberPaths::Add(std::string_view memberPath, PackedPath &stored) {
    size_t split = memberPath.size();
    // Most members of a flat archive have no "/" at all: one quick look finds that.
    if (memberPath.size() > 1 && std::memchr(memberPath.data() + 1, '/', memberPath.size() - 1) == nullptr)
        split = 0;
    while (split > 1 && memberPath[split - 1] != '/')
        --split;
    // At the last "/" after the first character; a "/" in front only is part of the name.
    split = split > 1 ? split - 1 : std::string_view::npos;
    std::string_view folder, name = memberPath;
    if (split != std::string_view::npos) {
        folder = memberPath.substr(0, split);
        name = memberPath.substr(split + 1);
    }
    if (name.empty())
        return false;
    char *at = Room(CountSize(folder.size()) + CountSize(name.size()) + memberPath.size(), stored);
    at = PutCount(PutCount(at, folder.size()), name.size());
    std::memcpy(at, memberPath.data(), memberPath.size());
    if (folder.size() > 1)
        std::replace(at + 1, at + folder.size(), '/', '\\');
    return true;
}

MemberPaths::Parts MemberPaths::Read(PackedPath path) const {
    const char *at = blocks_[path >> 16].get() + (path & 0xFFFF);
    size_t folderSize, nameSize;
    at = GetCount(GetCount(at, folderSize), nameSize);
    Parts parts;
    if (folderSize > 0) {
        parts.folder = std::string_view(at, folderSize);
        at += folderSize + 1;
    }
    parts.name = std::string_view(at, nameSize);
    return parts;
}

std::string_view MemberPaths::Folder(PackedPath path) const {
    return Read(path).folder;
}

std::string_view MemberPaths::Name(PackedPath path) const {
    return Read(path).name;
}

void MemberPaths::Clear() {
    blocks_.clear();
    used_ = kBlockSize;
}

} // namespace mUnzip
