#include "test_keys.h"

#include <shlwapi.h>

#include <stdexcept>

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
} // namespace

void DeleteTree(HKEY root, const std::string &path) {
    LONG rc = SHDeleteKeyW(root, W(path).c_str());
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)
        Check(rc, "SHDeleteKey", path);
}

bool KeyPresent(HKEY root, const std::string &path) {
    HKEY key;
    if (RegOpenKeyExW(root, W(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void CreateKey(HKEY root, const std::string &path) {
    HKEY key;
    Check(RegCreateKeyExW(root, W(path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
          "RegCreateKeyEx", path);
    RegCloseKey(key);
}

void SetRaw(HKEY root, const std::string &path, const std::string &name, DWORD type,
            const std::string &data) {
    HKEY key;
    Check(RegCreateKeyExW(root, W(path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
          "RegCreateKeyEx", path);
    LONG rc = RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE *>(data.data()),
                             static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    Check(rc, "RegSetValueEx", path + "\\" + name);
}

void SetText(HKEY root, const std::string &path, const std::string &name, const std::string &text) {
    SetRaw(root, path, name, REG_SZ, std::string(text.c_str(), text.size() + 1));
}

RawValue GetRaw(HKEY root, const std::string &path, const std::string &name) {
    RawValue value;
    HKEY key;
    if (RegOpenKeyExW(root, W(path).c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.data.assign(size, '\0');
        value.found = RegQueryValueExA(key, name.c_str(), nullptr, &value.type,
                                       reinterpret_cast<BYTE *>(value.data.data()), &size) == ERROR_SUCCESS;
        value.data.resize(size);
    }
    RegCloseKey(key);
    return value;
}

ScratchKey::ScratchKey(const std::string &name) : path_("Software\\MendpackTest\\" + name) {
    DeleteTree(HKEY_CURRENT_USER, path_);
    CreateKey(HKEY_CURRENT_USER, path_);
}

ScratchKey::~ScratchKey() {
    try {
        DeleteTree(HKEY_CURRENT_USER, path_);
        // The parent goes too once the last test's key has gone.
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\MendpackTest");
    } catch (...) {
    }
}

} // namespace regtest
