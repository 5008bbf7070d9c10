#pragma once
// Registry fixtures for the tests: keys made and removed with the plain API, independent of the
// class under test, and raw access to the bytes and types that are stored.
#include <windows.h>

#include <string>

namespace regtest {

// Removes a key with everything below it; a key that is not there is fine.
void DeleteTree(HKEY root, const std::string &path);
bool KeyPresent(HKEY root, const std::string &path);
void CreateKey(HKEY root, const std::string &path);

struct RawValue {
    bool found = false;
    DWORD type = 0;
    std::string data;
};
void SetRaw(HKEY root, const std::string &path, const std::string &name, DWORD type, const std::string &data);
RawValue GetRaw(HKEY root, const std::string &path, const std::string &name);
// A REG_SZ value with its final NUL.
void SetText(HKEY root, const std::string &path, const std::string &name, const std::string &text);

// A key below HKEY_CURRENT_USER\Software\MendpackTest, fresh at the start and gone at the end.
class ScratchKey {
  public:
    explicit ScratchKey(const std::string &name);
    ~ScratchKey();
    ScratchKey(const ScratchKey &) = delete;
    ScratchKey &operator=(const ScratchKey &) = delete;
    const std::string &Path() const { return path_; }
    std::wstring WidePath() const { return std::wstring(path_.begin(), path_.end()); }

  private:
    std::string path_;
};

} // namespace regtest
