#include "unzip_runner.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace ziptest {

namespace {

// The callbacks carry no context pointer; one run at a time records here.
Result *g_result = nullptr;
Call *g_call = nullptr;
size_t g_nextPassword = 0;

int32_t VBUZIP_CALL OnPrint(const char *text, uint32_t count) {
    EXPECT_GE(count, 2u);
    EXPECT_LE(count, 31999u);
    g_result->messages.emplace_back(text, count);
    return 0;
}

int32_t VBUZIP_CALL OnReplace(const char *path) {
    g_result->replaceQuestions.emplace_back(path);
    return g_call->replaceAnswer;
}

int32_t VBUZIP_CALL OnPassword(char *buffer, int32_t size, const char *, const char *) {
    ++g_result->passwordRequests;
    if (g_nextPassword >= g_call->passwords.size())
        return 1;
    const std::string &p = g_call->passwords[g_nextPassword++];
    // Like the component: the bytes only, no terminating NUL.
    std::memcpy(buffer, p.data(), std::min<size_t>(p.size(), static_cast<size_t>(size) - 1));
    return 0;
}

void VBUZIP_CALL OnListing(uint32_t size, uint32_t compressedSize, uint32_t factor, uint32_t month,
                           uint32_t day, uint32_t year, uint32_t hour, uint32_t minute, int32_t flag,
                           const char *path, const char *method, uint32_t crc, int32_t encryption) {
    g_result->listed.push_back({size, compressedSize, factor, month, day, year, hour, minute,
                                static_cast<char>(flag), path, method, crc, static_cast<char>(encryption)});
}

int32_t VBUZIP_CALL OnService(const char *path, uint32_t count) {
    std::string name(path, count);
    name = name.substr(0, name.find('\0'));
    g_result->serviced.push_back(name);
    return !g_call->stopAt.empty() && name == g_call->stopAt ? 1 : 0;
}

std::vector<char *> NameArray(std::vector<std::string> &names, std::string &terminator) {
    std::vector<char *> list;
    for (auto &n : names)
        list.push_back(n.data());
    list.push_back(terminator.data());
    return list;
}

} // namespace

std::string Result::AllMessages() const {
    std::string all;
    for (const auto &m : messages)
        all += m + "\n";
    return all;
}

Result RunUnzip(Call call, const std::string &archive, const std::string &folder) {
    Result result;
    g_result = &result;
    g_call = &call;
    g_nextPassword = 0;
    std::string zip = archive, dest = folder, endInclude, endExclude;
    call.options.zipFile = zip.c_str();
    call.options.extractFolder = dest.c_str();
    auto include = NameArray(call.include, endInclude);
    auto exclude = NameArray(call.exclude, endExclude);
    UnzipCallbacks callbacks{};
    callbacks.print = OnPrint;
    callbacks.replace = OnReplace;
    callbacks.password = OnPassword;
    callbacks.listing = OnListing;
    callbacks.service = OnService;
    result.status = Wiz_SingleEntryUnzip(static_cast<int32_t>(call.include.size()), include.data(),
                                         static_cast<int32_t>(call.exclude.size()), exclude.data(),
                                         &call.options, &callbacks);
    g_result = nullptr;
    g_call = nullptr;
    return result;
}

Result List(const std::string &archive) {
    Call call;
    call.options.listOnly = 1;
    return RunUnzip(call, archive, "");
}

Result Extract(const std::string &archive, const std::string &folder, UnzipOptions options,
               std::vector<std::string> include) {
    Call call;
    call.options = options;
    call.include = std::move(include);
    return RunUnzip(call, archive, folder);
}

ScratchFolder::ScratchFolder() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("ziplib-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string ScratchFolder::Write(const std::string &name, const std::string &bytes) const {
    std::string path = (path_ / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string ReadFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> Tree(const std::filesystem::path &root) {
    std::vector<std::string> names;
    for (auto &item : std::filesystem::recursive_directory_iterator(root)) {
        names.push_back(std::filesystem::relative(item.path(), root).generic_string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace ziptest
