#pragma once
// One listing, test or extraction run over an archive: what Wiz_SingleEntryUnzip does, with the
// host's callbacks behind a plain interface so that the run is portable and testable.
#include <cstdint>
#include <string>
#include <vector>

#include "ziplib/listing.h"

namespace ziplib {

class Host {
  public:
    virtual ~Host() = default;
    virtual void Print(const std::string &message) = 0;
    // The answer for an existing file at `path`: 100 replaces it, anything else keeps it.
    virtual int32_t AskReplace(const std::string &path) = 0;
    // False when the host gives no password.
    virtual bool AskPassword(const std::string &memberPath, std::string &password) = 0;
    virtual void List(const ListedMember &member) = 0;
    // Called before each member is worked on; true stops the run.
    virtual bool ShouldStop(const std::string &memberPath) = 0;
};

struct RunOptions {
    std::string zipFile;
    std::string extractFolder; // empty: the current directory
    bool listOnly = false;
    bool testOnly = false; // decode and check every member, write nothing
    bool useFolderNames = false;
    bool overwriteExisting = false;
    bool extractOnlyNewer = false;
    bool spaceToUnderscore = false;
    int32_t messageLevel = 0;              // 1 and more: a line for every member worked on
    std::vector<std::string> includeNames; // empty: every member
    std::vector<std::string> excludeNames;
};

// Returns a status from ziplib/status.h; every failure has been reported through Print.
long Run(const RunOptions &options, Host &host);

} // namespace ziplib
