#pragma once
// The file-system object through which the wizard tests, copies and deletes the game folder's
// files. Names are relative to the current directory (the game folder) unless they are full paths.
// Every failure raises mend::Error with the Windows error's number and text, followed by what was
// being done and to which files, so that the player learns which file it was.
#include <windows.h>

#include <string>

// The object keeps the names its callers know; the Win32 calls are used by their wide names.
#undef CopyFile
#undef DeleteFile
#undef MoveFile

namespace wizard {

class FileSystemObject {
  public:
    // True when a file (not a folder) of that name exists.
    bool FileExists(const std::wstring &file) const;
    // Destination becomes a copy of source, attributes included, replacing an existing
    // destination; a read-only destination makes the copy fail, as Windows does.
    void CopyFile(const std::wstring &source, const std::wstring &destination) const;
    // Removes the file; with force a read-only file too. A missing file is a failure.
    void DeleteFile(const std::wstring &file, bool force = false) const;
    // Renames the file, attributes included; an existing destination is a failure.
    void MoveFile(const std::wstring &source, const std::wstring &destination) const;

    bool FolderExists(const std::wstring &folder) const;
    void CreateFolder(const std::wstring &folder) const;
    // Removes the folder only when it holds nothing; false when it does and so stays.
    bool DeleteEmptyFolder(const std::wstring &folder) const;
};

} // namespace wizard
