#pragma once
// The game's files that the launcher works on and the texts it shows about them. Every path is
// relative to the current directory, which the desktop shortcut sets to the game folder.

namespace nightjar {

struct PreferenceFile {
    const char *path;
    const char *missingMessage;
};

constexpr PreferenceFile kSinglePlayerPrefs{".\\data\\gfprefs.dat", "gfprefs.dat file not found"};
constexpr PreferenceFile kMultiplayerPrefs{".\\data\\multi\\mpprefs.dat", "mpprefs.dat file not found"};

constexpr const char *kSinglePlayerGame = "falcon.exe";
constexpr const char *kMultiplayerGame = "falconmmp.exe";

constexpr const char *kHelpPage = "Nightjar.htm";
constexpr const char *kHelpCommand = "explorer.exe Nightjar.htm";

// The game keeps the setting that silences it under Windows XP in this byte.
constexpr long kSoundByteOffset = 68;
constexpr int kSoundByteValue = 0;

constexpr const char *kCaptionFileNotFound = "File not found";
constexpr const char *kCaptionError = "error";
constexpr const char *kAttributeFailedMessage = "file not found";
constexpr const char *kStreamFailedMessage = "error creating file stream";
constexpr const char *kHelpMissingMessage = "No help file found";

} // namespace nightjar
