#pragma once
// The library's only contact with the file system. Paths are UTF-8; the Windows half converts
// them to wide text and uses the W functions, so any Unicode path works.
#include <cstdint>
#include <memory>
#include <string>

#include "ziplib/archive_file.h"
#include "ziplib/member_data.h"

namespace ziplib {

// Fails (kStatusNotAnArchive) with the system's reason when the file cannot be opened.
std::unique_ptr<ArchiveFile> OpenArchive(const std::string &path);

// What joins a folder and a name in the paths the library hands the system (mend::JoinPath).
#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

struct ExistingItem {
    bool exists = false;
    bool isFolder = false;
    bool isLink = false;      // a symbolic link, junction or other reparse point
    bool readOnly = false;    // Windows' read-only attribute; natively: not writable by its owner
    uint32_t dosDateTime = 0; // last write, local time, DOS date in the high half
};
// What is at `path`, links not followed.
ExistingItem Inspect(const std::string &path);

// Creates the extraction folder when it is missing (its parent must exist).
void EnsureExtractionFolder(const std::string &path);
// Creates one folder below the extraction folder when it is missing; fails when a file or a
// link is in the way, so that a member can never be written through a planted link.
void MakeMemberFolder(const std::string &path);

// A new, uniquely named file in `folder` that disappears unless it is moved into place.
class TemporaryFile : public Sink {
  public:
    static std::unique_ptr<TemporaryFile> Create(const std::string &folder);
    // Sets the last-write time (DOS date and time, local) and closes the file.
    virtual void Finish(uint16_t dosDate, uint16_t dosTime) = 0;
    // Moves the finished file to `target` in one step, replacing what is there.
    virtual void MoveTo(const std::string &target) = 0;
};

} // namespace ziplib
