#pragma once
// A fresh folder under the session's temporary folder, removed with everything in it at the end
// of the test (read-only files included), and small file helpers for checking what programs did.
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/text.h"

namespace wintest {

inline void FileCheck(bool ok, const char *what, const std::wstring &path) {
    if (!ok)
        throw std::runtime_error(std::string(what) + " failed for " + mend::Utf8FromWide(path) + " (error " +
                                 std::to_string(GetLastError()) + ")");
}

class TempFolder {
  public:
    // Under `parent` when one is given.
    explicit TempFolder(const std::wstring &hint = L"t", const std::wstring &parent = {}) {
        static unsigned counter = 0;
        const std::filesystem::path base =
            parent.empty() ? std::filesystem::temp_directory_path() : std::filesystem::path(parent);
        do
            path_ = (base / (L"mendtest-" + hint + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                             std::to_wstring(++counter)))
                        .wstring();
        while (!std::filesystem::create_directory(path_));
    }
    ~TempFolder() {
        // Read-only files too: their attribute goes first.
        std::error_code error;
        for (std::filesystem::recursive_directory_iterator i(path_, error), end; !error && i != end;
             i.increment(error))
            SetFileAttributesW(i->path().c_str(), FILE_ATTRIBUTE_NORMAL);
        std::filesystem::remove_all(path_, error);
    }
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    const std::wstring &Path() const { return path_; }
    std::wstring operator/(const std::wstring &relative) const { return path_ + L"\\" + relative; }

  private:
    std::wstring path_;
};

inline void WriteFile(const std::wstring &path, const std::string &bytes) {
    std::ofstream file(std::filesystem::path(path), std::ios::binary);
    FileCheck(bool(file.write(bytes.data(), std::streamsize(bytes.size())).flush()), "writing", path);
}

inline std::string ReadFile(const std::wstring &path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    FileCheck(bool(file), "reading", path);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

inline bool Exists(const std::wstring &path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline void SetReadOnly(const std::wstring &path, bool readOnly) {
    DWORD a = GetFileAttributesW(path.c_str());
    a = readOnly ? (a | FILE_ATTRIBUTE_READONLY) : (a & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    FileCheck(Exists(path) && SetFileAttributesW(path.c_str(), a), "SetFileAttributes", path);
}

inline void MakeFolders(const std::wstring &path) {
    std::filesystem::create_directories(path);
}

// Names of the files and folders directly in a folder, sorted.
inline std::vector<std::wstring> List(const std::wstring &folder) {
    std::vector<std::wstring> names;
    std::error_code error;
    for (const std::filesystem::directory_entry &entry : std::filesystem::directory_iterator(folder, error))
        names.push_back(entry.path().filename().wstring());
    std::sort(names.begin(), names.end());
    return names;
}

// The folder this test program runs from (the session's copy of the build's bin folder).
inline std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH];
    std::wstring p(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    return p.substr(0, p.find_last_of(L'\\'));
}

// Changes the current directory for a scope.
struct CurrentDirectory {
    const std::filesystem::path previous = std::filesystem::current_path();
    explicit CurrentDirectory(const std::wstring &path) { std::filesystem::current_path(path); }
    ~CurrentDirectory() { std::filesystem::current_path(previous); }
};

} // namespace wintest
