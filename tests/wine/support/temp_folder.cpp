#include "support/temp_folder.h"

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "common/text.h"

namespace fs = std::filesystem;

namespace wintest {

namespace {

void Check(bool ok, const char *what, const std::wstring &path) {
    if (!ok)
        throw std::runtime_error(std::string(what) + " failed for " + mend::Utf8FromWide(path) + " (error " +
                                 std::to_string(GetLastError()) + ")");
}

} // namespace

TempFolder::TempFolder(const std::wstring &hint, const std::wstring &parent) {
    static unsigned counter = 0;
    const fs::path base = parent.empty() ? fs::temp_directory_path() : fs::path(parent);
    do
        path_ = (base / (L"mendtest-" + hint + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                         std::to_wstring(++counter)))
                    .wstring();
    while (!fs::create_directory(path_));
}

TempFolder::~TempFolder() {
    RemoveTree(path_);
}

void RemoveTree(const std::wstring &path) {
    // Read-only files too: their attribute goes first.
    std::error_code error;
    for (fs::recursive_directory_iterator i(path, error), end; !error && i != end; i.increment(error))
        SetFileAttributesW(i->path().c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(path, error);
}

void WriteFile(const std::wstring &path, const std::string &bytes) {
    std::ofstream file(fs::path(path), std::ios::binary);
    Check(bool(file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush()), "writing",
          path);
}

std::string ReadFile(const std::wstring &path) {
    std::ifstream file(fs::path(path), std::ios::binary);
    Check(bool(file), "reading", path);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

bool Exists(const std::wstring &path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsReadOnly(const std::wstring &path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY);
}

void SetReadOnly(const std::wstring &path, bool readOnly) {
    DWORD a = GetFileAttributesW(path.c_str());
    a = readOnly ? (a | FILE_ATTRIBUTE_READONLY) : (a & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    Check(Exists(path) && SetFileAttributesW(path.c_str(), a), "SetFileAttributes", path);
}

void MakeFolders(const std::wstring &path) {
    std::error_code error;
    fs::create_directories(path, error);
}

std::vector<std::wstring> List(const std::wstring &folder) {
    std::vector<std::wstring> names;
    std::error_code error;
    for (const fs::directory_entry &entry : fs::directory_iterator(folder, error))
        names.push_back(entry.path().filename().wstring());
    std::sort(names.begin(), names.end());
    return names;
}

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH];
    std::wstring p(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    return p.substr(0, p.find_last_of(L'\\'));
}

CurrentDirectory::CurrentDirectory(const std::wstring &path) : previous_(fs::current_path().wstring()) {
    fs::current_path(path);
}

CurrentDirectory::~CurrentDirectory() {
    std::error_code error;
    fs::current_path(previous_, error);
}

} // namespace wintest
