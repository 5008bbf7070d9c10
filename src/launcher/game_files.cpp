#include "launcher/game_files.h"

#include <windows.h>

#include <cstdio>
#include <memory>

#include "launcher/launcher_files.h"
#include "win32/handle.h"

namespace nightjar {

namespace {
struct CloseStream {
    void operator()(FILE *stream) const { std::fclose(stream); }
};
} // namespace

bool FileExists(const char *path) {
    WIN32_FIND_DATAA found;
    win32::FindHandle search(FindFirstFileA(path, &found));
    return static_cast<bool>(search);
}

bool IsFrozen(const char *path) {
    DWORD attributes = GetFileAttributesA(path);
    // A failed read returns all bits set; that must not pass for "read-only".
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

bool SetFrozen(const char *path, bool frozen) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    attributes =
        frozen ? (attributes | FILE_ATTRIBUTE_READONLY) : (attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
    return SetFileAttributesA(path, attributes) != 0;
}

bool WriteSoundByte(const char *path) {
    // "r+b" opens for update without creating or truncating, and shares the file like the
    // game's own tools do; it fails when the file is read-only or held without sharing.
    std::unique_ptr<FILE, CloseStream> stream(std::fopen(path, "r+b"));
    if (!stream)
        return false;
    std::fseek(stream.get(), kSoundByteOffset, SEEK_SET);
    std::fputc(kSoundByteValue, stream.get());
    return true;
}

} // namespace nightjar
