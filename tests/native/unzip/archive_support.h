#pragma once
// Helpers for tests on real archives: a scratch folder, archives written by python3's zipfile
// (tests/native/unzip/make_zip.py) and programs run with their output captured.
#include <filesystem>
#include <string>
#include <vector>

namespace ziptest {

class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;
    const std::filesystem::path &Path() const { return path_; }
    std::filesystem::path operator/(const std::string &name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

// What zipfile wrote for one file member.
struct MemberFacts {
    std::string name;
    long compressedSize = 0;
    long size = 0;
    std::string crc; // 8 lower-case hex digits
};

// Writes `archive` from a JSON member list (see make_zip.py) and returns the facts of its files.
std::vector<MemberFacts> MakeZip(const std::filesystem::path &archive, const std::string &membersJson);

struct RunResult {
    int exitCode = -1;
    std::string output; // standard output
};
RunResult RunProgram(const std::string &commandLine);
std::string Quote(const std::string &text);

std::string ReadFile(const std::filesystem::path &path);
// Names of the files directly in a folder, sorted.
std::vector<std::string> FileNames(const std::filesystem::path &folder);

} // namespace ziptest
