#pragma once
// The file operations the launcher needs, on narrow paths in the ANSI code page. None of them
// shows anything; the dialog decides what to tell the user.
namespace nightjar {

// True when something of that name exists (FindFirstFileA), as the game's own tools test it.
bool FileExists(const char *path);

// Reads the read-only attribute; false when the attributes cannot be read.
bool IsFrozen(const char *path);

// Sets or clears the read-only attribute and leaves every other attribute as it was; false
// when the attributes cannot be read or written.
bool SetFrozen(const char *path, bool frozen);

// Writes the sound byte into the existing file, which is neither created nor truncated (a
// shorter file grows to reach the byte); false when the file cannot be opened for update.
bool WriteSoundByte(const char *path);

} // namespace nightjar
