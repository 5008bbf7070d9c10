#include "support/temp_folder.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>

#include "common/text.h"
#include "win32/handle.h"

namespace wintest {

namespace {

void Check(bool ok, const char *what, const std::wstring &path) {
    if (!ok)
        throw std::runtime_error(std::string(what) + " failed for " + mend::Utf8FromWide(path) + " (error " +
                                 std::to_string(GetLastError()) + ")");
}

// Calls `visit` with the name and attributes of every entry of a folder but "." and "..".
template <typename F> void ForEachEntry(const std::wstring &folder, F visit) {
    WIN32_FIND_DATAW data;
    win32::FindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &data));
    for (bool more = bool(find); more; more = FindNextFileW(find.Get(), &data))
        if (std::wstring name = data.cFileName; name != L"." && name != L"..")
            visit(name, data.dwFileAttributes);
}

} // namespace

TempFolder::TempFolder(const std::wstring &hint, const std::wstring &parent) {
    wchar_t temp[MAX_PATH];
    const std::wstring base =
        parent.empty() ? std::wstring(temp, GetTempPathW(MAX_PATH, temp)) : parent + L"\\";
    static unsigned counter = 0;
    for (;;) {
        path_ = base + L"mendtest-" + hint + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(++counter);
        if (CreateDirectoryW(path_.c_str(), nullptr))
            return;
        Check(GetLastError() == ERROR_ALREADY_EXISTS, "CreateDirectory", path_);
    }
}

TempFolder::~TempFolder() {
    RemoveTree(path_);
}

void RemoveTree(const std::wstring &path) {
    ForEachEntry(path, [&](const std::wstring &name, DWORD attributes) {
        std::wstring child = path + L"\\" + name;
        SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            RemoveTree(child);
        else
            DeleteFileW(child.c_str());
    });
    RemoveDirectoryW(path.c_str());
}

void WriteFile(const std::wstring &path, const std::string &bytes) {
    win32::Handle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    Check(bool(file), "CreateFile", path);
    DWORD written = 0;
    BOOL ok = ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    Check(ok && written == bytes.size(), "WriteFile", path);
}

std::string ReadFile(const std::wstring &path) {
    win32::Handle file(CreateFileW(path.c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
    Check(bool(file), "CreateFile", path);
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    return bytes;
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
    Check(a != INVALID_FILE_ATTRIBUTES, "GetFileAttributes", path);
    a = readOnly ? (a | FILE_ATTRIBUTE_READONLY) : (a & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    Check(SetFileAttributesW(path.c_str(), a) != 0, "SetFileAttributes", path);
}

void MakeFolders(const std::wstring &path) {
    for (size_t i = path.find(L'\\', 3); i != std::wstring::npos; i = path.find(L'\\', i + 1))
        CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
    CreateDirectoryW(path.c_str(), nullptr);
}

std::vector<std::wstring> List(const std::wstring &folder) {
    std::vector<std::wstring> names;
    ForEachEntry(folder, [&](const std::wstring &name, DWORD) { names.push_back(name); });
    std::sort(names.begin(), names.end());
    return names;
}

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH];
    std::wstring p(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    return p.substr(0, p.find_last_of(L'\\'));
}

CurrentDirectory::CurrentDirectory(const std::wstring &path) {
    wchar_t buffer[MAX_PATH];
    previous_.assign(buffer, GetCurrentDirectoryW(MAX_PATH, buffer));
    Check(SetCurrentDirectoryW(path.c_str()) != 0, "SetCurrentDirectory", path);
}

CurrentDirectory::~CurrentDirectory() {
    SetCurrentDirectoryW(previous_.c_str());
}

} // namespace wintest
