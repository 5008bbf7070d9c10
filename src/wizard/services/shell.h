#pragma once
// The shell object: the user's desktop folder and shortcuts (.lnk files) written through the
// system's own shell link object.
#include <string>

namespace wizard {

class Shortcut {
  public:
    explicit Shortcut(std::wstring file) : file_(std::move(file)) {}

    std::wstring TargetPath;
    int WindowStyle = 1; // 1: normal window
    std::wstring Description;
    std::wstring WorkingDirectory;

    // Writes the shortcut file, replacing one of that name.
    void Save() const;
    const std::wstring &File() const { return file_; }

  private:
    std::wstring file_;
};

class ShellObject {
  public:
    // "Desktop": the full path of the user's desktop folder, without a trailing backslash.
    std::wstring SpecialFolders(const std::wstring &folder) const;
    // A shortcut object for that file; nothing is written until Save.
    Shortcut CreateShortcut(const std::wstring &file) const { return Shortcut(file); }
};

} // namespace wizard
