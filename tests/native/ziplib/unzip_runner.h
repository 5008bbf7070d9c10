#pragma once
// Calls the library through its exported C interface with recording callbacks.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "ziplib/vbuzip10.h"

namespace ziptest {

struct Listed {
    uint32_t size, compressedSize, factor, month, day, year, hour, minute;
    char flag;
    std::string path, method;
    uint32_t crc;
    char encryption;
};

struct Result {
    int32_t status = -1;
    std::vector<Listed> listed;
    std::vector<std::string> messages;
    std::vector<std::string> replaceQuestions;
    std::vector<std::string> serviced;
    int passwordRequests = 0;
    std::string AllMessages() const;
};

struct Call {
    UnzipOptions options{};
    std::vector<std::string> include, exclude;
    int32_t replaceAnswer = 100;
    std::vector<std::string> passwords; // answers in turn; none left: refuse
    std::string stopAt;                 // the service callback stops at this member
};

Result RunUnzip(Call call, const std::string &archive, const std::string &folder);
Result List(const std::string &archive);
Result Extract(const std::string &archive, const std::string &folder, UnzipOptions options = {},
               std::vector<std::string> include = {});

// A fresh folder under the system's temporary folder, removed at the end of the test.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    const std::filesystem::path &Path() const { return path_; }
    std::string operator/(const std::string &name) const { return (path_ / name).string(); }
    std::string Write(const std::string &name, const std::string &bytes) const;

  private:
    std::filesystem::path path_;
};

std::string ReadFile(const std::string &path);
// Every file and folder under `root`, relative, sorted ("a", "a/b.txt").
std::vector<std::string> Tree(const std::filesystem::path &root);

} // namespace ziptest
