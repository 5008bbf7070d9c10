#pragma once
// Calls our zip library through its exported interface, as the archive component does, and
// records what it says.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

#include "ziplib/vbuzip10.h"

namespace ziptest {

namespace fs = std::filesystem;

struct Call {
    UnzipOptions options{};
    std::vector<std::string> include;
    std::string password; // none: the host refuses
    // What the run gave.
    int32_t status = -1;
    std::vector<std::string> listed; // the member paths
    std::string messages;            // one line per print callback
};

inline Call *g_call; // the callbacks carry no context: the one run at a time records here

inline Call Unzip(Call call, const std::string &archive, const std::string &folder) {
    g_call = &call;
    call.options.zipFile = archive.c_str();
    call.options.extractFolder = folder.c_str();
    call.include.emplace_back(); // the empty name that ends the list
    std::vector<char *> include;
    for (std::string &name : call.include)
        include.push_back(name.data());
    UnzipCallbacks callbacks{};
    callbacks.print = [](const char *text, uint32_t count) {
        EXPECT_TRUE(count >= 2 && count <= 31999) << count;
        g_call->messages.append(text, count) += '\n';
        return 0;
    };
    callbacks.password = [](char *buffer, int32_t size, const char *, const char *) {
        std::snprintf(buffer, size_t(size), "%s", g_call->password.c_str());
        return g_call->password.empty() ? 1 : 0;
    };
    callbacks.listing = [](uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t,
                           int32_t, const char *path, const char *, uint32_t,
                           int32_t) { g_call->listed.push_back(path); };
    call.status = Wiz_SingleEntryUnzip(int32_t(include.size()) - 1, include.data(), 0, &include.back(),
                                       &call.options, &callbacks);
    return call;
}

inline Call List(const std::string &archive) {
    Call call;
    call.options.listOnly = 1;
    return Unzip(call, archive, "");
}

inline std::string ReadFile(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every file and folder under `root`, relative, sorted and separated by spaces: "a a/b.txt".
inline std::string Tree(const fs::path &root) {
    std::set<std::string> names;
    for (auto &item : fs::recursive_directory_iterator(root))
        names.insert(item.path().lexically_relative(root).generic_string());
    std::string tree;
    for (const std::string &name : names)
        tree += (tree.empty() ? "" : " ") + name;
    return tree;
}

// A fresh folder under the system's temporary folder, removed at the end of the test.
struct ScratchFolder {
    ScratchFolder() { fs::create_directories(path); }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    std::string operator/(const std::string &name) const { return (path / name).string(); }
    std::string Write(const std::string &name, const std::string &bytes) const {
        std::ofstream(path / name, std::ios::binary) << bytes;
        return *this / name;
    }
    inline static int made = 0;
    const fs::path path =
        fs::temp_directory_path() / ("ziptest-" + std::to_string(getpid()) + "-" + std::to_string(made++));
};

} // namespace ziptest
