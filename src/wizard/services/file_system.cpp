#include "wizard/services/file_system.h"

#include <windows.h>

#include "common/error.h"
#include "win32/win_error.h"

namespace wizard {

namespace {
const std::wstring &Source() {
    static const std::wstring source = mend::ComponentSource(L".FileSystemObject");
    return source;
}

bool Exists(const std::wstring &name, bool folder) {
    DWORD attributes = GetFileAttributesW(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) == !folder;
}
} // namespace

bool FileSystemObject::FileExists(const std::wstring &file) const {
    return Exists(file, false);
}

void FileSystemObject::CopyFile(const std::wstring &source, const std::wstring &destination) const {
    if (!::CopyFileW(source.c_str(), destination.c_str(), FALSE))
        win32::RaiseLastError(Source(), L"copy " + source + L" to " + destination);
}

void FileSystemObject::DeleteFile(const std::wstring &file, bool force) const {
    if (force) {
        DWORD attributes = GetFileAttributesW(file.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
            SetFileAttributesW(file.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    }
    if (!::DeleteFileW(file.c_str()))
        win32::RaiseLastError(Source(), L"delete " + file);
}

void FileSystemObject::MoveFile(const std::wstring &source, const std::wstring &destination) const {
    if (!::MoveFileW(source.c_str(), destination.c_str()))
        win32::RaiseLastError(Source(), L"move " + source + L" to " + destination);
}

bool FileSystemObject::FolderExists(const std::wstring &folder) const {
    return Exists(folder, true);
}

void FileSystemObject::CreateFolder(const std::wstring &folder) const {
    if (!CreateDirectoryW(folder.c_str(), nullptr))
        win32::RaiseLastError(Source(), L"create folder " + folder);
}

bool FileSystemObject::DeleteEmptyFolder(const std::wstring &folder) const {
    if (RemoveDirectoryW(folder.c_str()))
        return true;
    if (GetLastError() == ERROR_DIR_NOT_EMPTY)
        return false;
    win32::RaiseLastError(Source(), L"delete folder " + folder);
}

} // namespace wizard
