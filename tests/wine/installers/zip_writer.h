#pragma once
// A tiny zip writer for the tests' kit archives: stored members only, names as given.
#include <string>
#include <vector>

namespace kittest {

struct ZipMember {
    std::string name; // "dir/file.txt"; a name ending in "/" is a folder entry
    std::string data;
};

std::string MakeZip(const std::vector<ZipMember> &members);

} // namespace kittest
