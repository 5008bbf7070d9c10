#include "test_keys.h"

#include <shlwapi.h>

#include <stdexcept>

#include "win32/handle.h"

namespace regtest {

namespace {

// Paths go through the wide calls: the narrow ones cut paths longer than MAX_PATH under Wine.
std::wstring W(const std::string &text) {
    return std::wstring(text.begin(), text.end());
}

void Check(LONG rc, const char *what, const std::string &path) {
    if (rc != ERROR_SUCCESS)
        throw std::runtime_error(std::string(what) + " " + path + ": " + std::to_string(rc));
}

win32::RegKey Created(HKEY root, const std::string &path) {
    win32::RegKey key;
    Check(RegCreateKeyExW(root, W(path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(),
                          nullptr),
          "RegCreateKeyEx", path);
    return key;
}

} // namespace

void DeleteTree(HKEY root, const std::string &path) {
    LONG rc = SHDeleteKeyW(root, W(path).c_str());
    Check(rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc, "SHDeleteKey", path);
}

bool KeyPresent(HKEY root, const std::string &path) {
    win32::RegKey key;
    return RegOpenKeyExW(root, W(path).c_str(), 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

void CreateKey(HKEY root, const std::string &path) {
    Created(root, path);
}

void SetRaw(HKEY root, const std::string &path, const std::string &name, DWORD type,
            const std::string &data) {
    Check(RegSetValueExA(Created(root, path).Get(), name.c_str(), 0, type,
                         reinterpret_cast<const BYTE *>(data.data()), static_cast<DWORD>(data.size())),
          "RegSetValueEx", path + "\\" + name);
}

void SetText(HKEY root, const std::string &path, const std::string &name, const std::string &text) {
    SetRaw(root, path, name, REG_SZ, std::string(text.c_str(), text.size() + 1));
}

RawValue GetRaw(HKEY root, const std::string &path, const std::string &name) {
    RawValue value;
    win32::RegKey key;
    DWORD size = 0;
    if (RegOpenKeyExW(root, W(path).c_str(), 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS ||
        RegQueryValueExA(key.Get(), name.c_str(), nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS)
        return value;
    value.data.assign(size, '\0');
    value.found = RegQueryValueExA(key.Get(), name.c_str(), nullptr, &value.type,
                                   reinterpret_cast<BYTE *>(value.data.data()), &size) == ERROR_SUCCESS;
    value.data.resize(size);
    return value;
}

} // namespace regtest
