#pragma once
// A stand-in for our zip library inside the test program: it records every call and lets the
// test script what the library does while it runs (which callbacks it calls, what it returns).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ziplib/vbuzip10.h"

namespace fake {

struct Call {
    int32_t includeCount = 0;
    std::vector<std::string> include; // the names before the terminator
    int32_t excludeCount = 0;
    std::vector<std::string> exclude;
    bool listsWellFormed = false; // terminator right after the names, nulls after it, 1024 entries
    UnzipOptions options{};       // text pointers cleared; the texts are below
    std::string zipFile;
    std::string extractFolder;
};

struct Library {
    std::vector<Call> calls;
    // Runs inside the library call; its result is the library's status.
    std::function<int32_t(const UnzipCallbacks &, UnzipOptions &)> script;
};

// Resets the fake and makes it the library of mUnzip.
Library &Install();

// Reports one member through the listing callback as the library would.
void List(const UnzipCallbacks &callbacks, const char *path, uint32_t compressedSize = 10, int32_t factor = 0,
          uint32_t crc = 0, int32_t encryption = 0, const char *method = "Stored");

} // namespace fake
