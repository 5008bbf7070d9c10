#pragma once
// Registry keys made, read and removed with the plain API, independent of the class under test.
#include <windows.h>

#include <string>

namespace regtest {

// Removes a key with everything below it; a key that is not there is fine.
void DeleteTree(HKEY root, const std::string &path);
bool KeyPresent(HKEY root, const std::string &path);
void CreateKey(HKEY root, const std::string &path);
// Creates the key when needed.
void SetRaw(HKEY root, const std::string &path, const std::string &name, DWORD type, const std::string &data);
// A REG_SZ value with its final NUL.
void SetText(HKEY root, const std::string &path, const std::string &name, const std::string &text);

struct RawValue {
    bool found = false;
    DWORD type = 0;
    std::string data;
};
RawValue GetRaw(HKEY root, const std::string &path, const std::string &name);

} // namespace regtest
