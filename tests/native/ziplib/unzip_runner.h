#pragma once
// Calls our zip library through its exported interface with callbacks that record everything,
// in a scratch folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

#include "ziplib/vbuzip10.h"

namespace ziptest {

namespace fs = std::filesystem;

struct Listed { // the listing callback's arguments
    uint32_t size, compressedSize, factor, month, day, year, hour, minute;
    char flag;
    std::string path, method;
    uint32_t crc;
    char encryption;
};

struct Call {
    UnzipOptions options{};
    std::vector<std::string> include, exclude;
    int32_t replaceAnswer = 100;
    std::vector<std::string> passwords; // given in turn; when none is left the host refuses
    std::string stopAt;                 // the service callback stops the run at this member
    // What the run gave.
    int32_t status = -1;
    std::vector<Listed> listed;
    std::string messages; // one line per print callback
    std::vector<std::string> replaceQuestions, serviced;
    size_t passwordRequests = 0;
};

inline Call *g_call; // the callbacks carry no context: the one run at a time records here

inline Call Unzip(Call call, const std::string &archive, const std::string &folder) {
    g_call = &call;
    call.options.zipFile = archive.c_str();
    call.options.extractFolder = folder.c_str();
    std::vector<char *> lists[2];
    for (int i : {0, 1}) {
        for (std::string &name : i ? call.exclude : call.include)
            lists[i].push_back(name.data());
        lists[i].push_back(const_cast<char *>(""));
    }
    UnzipCallbacks callbacks{};
    callbacks.print = [](const char *text, uint32_t count) {
        EXPECT_TRUE(count >= 2 && count <= 31999) << count;
        g_call->messages.append(text, count) += '\n';
        return 0;
    };
    callbacks.replace = [](const char *path) {
        g_call->replaceQuestions.emplace_back(path);
        return g_call->replaceAnswer;
    };
    callbacks.password = [](char *buffer, int32_t size, const char *, const char *) {
        if (g_call->passwordRequests++ >= g_call->passwords.size())
            return 1;
        const std::string &p = g_call->passwords[g_call->passwordRequests - 1];
        std::memcpy(buffer, p.data(), std::min(p.size(), size_t(size) - 1)); // no NUL, like the component
        return 0;
    };
    callbacks.listing = [](uint32_t size, uint32_t compressed, uint32_t factor, uint32_t month, uint32_t day,
                           uint32_t year, uint32_t hour, uint32_t minute, int32_t flag, const char *path,
                           const char *method, uint32_t crc, int32_t encryption) {
        g_call->listed.push_back({size, compressed, factor, month, day, year, hour, minute, char(flag), path,
                                  method, crc, char(encryption)});
    };
    callbacks.service = [](const char *path, uint32_t count) {
        g_call->serviced.push_back(std::string(path, count).c_str());
        return g_call->serviced.back() == g_call->stopAt ? 1 : 0;
    };
    call.status =
        Wiz_SingleEntryUnzip(int32_t(call.include.size()), lists[0].data(), int32_t(call.exclude.size()),
                             lists[1].data(), &call.options, &callbacks);
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
