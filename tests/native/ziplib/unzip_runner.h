#pragma once
// Calls our zip library through its exported interface with callbacks that record everything,
// in a scratch folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "ziplib/vbuzip10.h"

namespace ziptest {

struct Listed { // the listing callback's arguments
    uint32_t size, compressedSize, factor, month, day, year, hour, minute;
    char flag;
    std::string path, method;
    uint32_t crc;
    char encryption;
};

struct Result {
    int32_t status = -1;
    std::vector<Listed> listed;
    std::string messages; // one line per print callback
    std::vector<std::string> replaceQuestions, serviced;
    int passwordRequests = 0;
};

struct Call {
    UnzipOptions options{};
    std::vector<std::string> include, exclude;
    int32_t replaceAnswer = 100;
    std::vector<std::string> passwords; // given in turn; when none is left the host refuses
    std::string stopAt;                 // the service callback stops the run at this member
};

// The callbacks carry no context: the one run at a time records here.
inline Result *g_result;
inline Call *g_call;

inline Result Unzip(Call call, const std::string &archive, const std::string &folder) {
    Result result;
    g_result = &result;
    g_call = &call;
    call.options.zipFile = archive.c_str();
    call.options.extractFolder = folder.c_str();
    std::string end;
    std::vector<char *> include, exclude;
    for (auto [names, list] : {std::pair{&call.include, &include}, std::pair{&call.exclude, &exclude}}) {
        for (std::string &name : *names)
            list->push_back(name.data());
        list->push_back(end.data());
    }
    UnzipCallbacks callbacks{};
    callbacks.print = [](const char *text, uint32_t count) {
        EXPECT_TRUE(count >= 2 && count <= 31999) << count;
        g_result->messages.append(text, count) += '\n';
        return 0;
    };
    callbacks.replace = [](const char *path) {
        g_result->replaceQuestions.emplace_back(path);
        return g_call->replaceAnswer;
    };
    callbacks.password = [](char *buffer, int32_t size, const char *, const char *) {
        if (size_t(g_result->passwordRequests++) >= g_call->passwords.size())
            return 1;
        const std::string &p = g_call->passwords[size_t(g_result->passwordRequests - 1)];
        std::memcpy(buffer, p.data(), std::min(p.size(), size_t(size) - 1)); // no NUL, like the component
        return 0;
    };
    callbacks.listing = [](uint32_t size, uint32_t compressed, uint32_t factor, uint32_t month, uint32_t day,
                           uint32_t year, uint32_t hour, uint32_t minute, int32_t flag, const char *path,
                           const char *method, uint32_t crc, int32_t encryption) {
        g_result->listed.push_back({size, compressed, factor, month, day, year, hour, minute, char(flag),
                                    path, method, crc, char(encryption)});
    };
    callbacks.service = [](const char *path, uint32_t count) {
        g_result->serviced.push_back(std::string(path, count).c_str());
        return g_result->serviced.back() == g_call->stopAt ? 1 : 0;
    };
    result.status =
        Wiz_SingleEntryUnzip(int32_t(call.include.size()), include.data(), int32_t(call.exclude.size()),
                             exclude.data(), &call.options, &callbacks);
    return result;
}

inline Result List(const std::string &archive) {
    Call call;
    call.options.listOnly = 1;
    return Unzip(call, archive, "");
}

// Every member, under its folders when `folders` is set.
inline Result Extract(const std::string &archive, const std::string &folder, bool folders = false) {
    Call call;
    call.options.useFolderNames = folders;
    return Unzip(call, archive, folder);
}

inline std::string ReadFile(const std::filesystem::path &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every file and folder under `root`, relative, sorted and separated by spaces: "a a/b.txt".
inline std::string Tree(const std::filesystem::path &root) {
    std::vector<std::string> names;
    for (auto &item : std::filesystem::recursive_directory_iterator(root))
        names.push_back(item.path().lexically_relative(root).generic_string());
    std::sort(names.begin(), names.end());
    std::string tree;
    for (const std::string &name : names)
        tree += (tree.empty() ? "" : " ") + name;
    return tree;
}

// A fresh folder under the system's temporary folder, removed at the end of the test.
class ScratchFolder {
  public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "ziptest-XXXXXX").string();
        EXPECT_NE(mkdtemp(pattern.data()), nullptr);
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path &Path() const { return path_; }
    std::string operator/(const std::string &name) const { return (path_ / name).string(); }
    std::string Write(const std::string &name, const std::string &bytes) const {
        std::ofstream(path_ / name, std::ios::binary) << bytes;
        return *this / name;
    }

  private:
    std::filesystem::path path_;
};

} // namespace ziptest
