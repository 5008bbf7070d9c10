#include "archive_support.h"

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace ziptest {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "unzip-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string Quote(const std::string &text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

RunResult RunProgram(const std::string &commandLine) {
    RunResult result;
    FILE *pipe = popen(commandLine.c_str(), "r");
    if (!pipe)
        throw std::runtime_error("popen failed: " + commandLine);
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, n);
    int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::vector<MemberFacts> MakeZip(const fs::path &archive, const std::string &membersJson) {
    fs::path json = archive.string() + ".json";
    std::ofstream(json) << membersJson;
    RunResult made = RunProgram(Quote(PYTHON3_EXE) + " " + Quote(MAKE_ZIP_SCRIPT) + " " +
                                Quote(archive.string()) + " < " + Quote(json.string()));
    fs::remove(json);
    if (made.exitCode != 0)
        throw std::runtime_error("make_zip.py failed for " + archive.string());
    std::vector<MemberFacts> facts;
    std::istringstream lines(made.output);
    for (std::string line; std::getline(lines, line);) {
        MemberFacts f;
        std::istringstream fields(line);
        std::getline(fields, f.name, '\t');
        fields >> f.compressedSize >> f.size >> f.crc;
        facts.push_back(f);
    }
    return facts;
}

std::string ReadFile(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> FileNames(const fs::path &folder) {
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace ziptest
