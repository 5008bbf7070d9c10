#pragma once
// A fresh folder under the session's temporary folder, removed with everything in it at the end
// of the test (read-only files included), and small file helpers for checking what programs did.
#include <string>
#include <vector>

namespace wintest {

class TempFolder {
  public:
    // Under `parent` when one is given.
    explicit TempFolder(const std::wstring &hint = L"t", const std::wstring &parent = {});
    ~TempFolder();
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    const std::wstring &Path() const { return path_; }
    std::wstring operator/(const std::wstring &relative) const { return path_ + L"\\" + relative; }

  private:
    std::wstring path_;
};

void RemoveTree(const std::wstring &path);
void WriteFile(const std::wstring &path, const std::string &bytes);
std::string ReadFile(const std::wstring &path);
bool Exists(const std::wstring &path);
bool IsReadOnly(const std::wstring &path);
void SetReadOnly(const std::wstring &path, bool readOnly);
void MakeFolders(const std::wstring &path);
// Names of the files and folders directly in a folder, sorted.
std::vector<std::wstring> List(const std::wstring &folder);

// The folder this test program runs from (the session's copy of the build's bin folder).
std::wstring ProgramFolder();

// Changes the current directory for a scope.
class CurrentDirectory {
  public:
    explicit CurrentDirectory(const std::wstring &path);
    ~CurrentDirectory();
    CurrentDirectory(const CurrentDirectory &) = delete;
    CurrentDirectory &operator=(const CurrentDirectory &) = delete;

  private:
    std::wstring previous_;
};

} // namespace wintest
