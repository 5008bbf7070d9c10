#pragma once
// The module between cUnzip and our zip library: the one wrapper that calls
// Wiz_SingleEntryUnzip and the callbacks that the library calls while it works.
//
// The library calls back into plain functions, so the component whose call is running is kept
// process-wide (the active component), as is the password-refused flag. Only one listing or
// extraction may run at a time in the process.
#include <cstdint>
#include <string>
#include <vector>

#include "unzip/component_events.h"
#include "unzip/unzip_library.h"
#include "ziplib/vbuzip10.h"

namespace mUnzip {

// The options record in the component's own form: the numeric fields as the library reads them
// (the two text pointers stay null here) and the two texts wide. RunUnzip hands the library a
// narrow copy and takes the numeric fields back afterwards.
struct WideUnzipOptions {
    UnzipOptions fields{};
    std::wstring zipFile;       // field 15
    std::wstring extractFolder; // field 16
};

// An include or exclude list has 1024 entries, one of them the terminator.
constexpr size_t kMaxListNames = 1023;

// Lists or extracts through the library with `component` as the active component; returns the
// library's status (0: everything asked succeeded). Every error on the way (more than 1023 names,
// a missing library or entry point) clears the active component and is raised with the source
// "<program>.VBUnzip".
int32_t RunUnzip(ComponentEvents &component, WideUnzipOptions &options,
                 const std::vector<std::wstring> &includeNames,
                 const std::vector<std::wstring> &excludeNames);

// The library the module calls; bound to the platform's vbuzip10 unless replaced.
UnzipLibrary &Library();
// Replaces the library for the rest of the process (tests: a fake, or a file that is not there).
void UseLibrary(UnzipLibrary library);

// The component whose library call runs or ran last; null after a failed call.
ComponentEvents *ActiveComponent();
// A component going away must not stay reachable from a later stray callback.
void Forget(const ComponentEvents &component);

// The five functions that the library calls. They reach the component only through the active
// component and never let an exception escape into the library.
class Callbacks {
  public:
    static UnzipCallbacks Record();

    static int32_t VBUZIP_CALL Print(const char *text, uint32_t count);
    static int32_t VBUZIP_CALL Replace(const char *path);
    static int32_t VBUZIP_CALL Password(char *buffer, int32_t bufferSize, const char *prompt,
                                        const char *memberPath);
    static void VBUZIP_CALL Listing(uint32_t uncompressedSize, uint32_t compressedSize, uint32_t factor,
                                    uint32_t month, uint32_t day, uint32_t year, uint32_t hour,
                                    uint32_t minute, int32_t flag, const char *path, const char *method,
                                    uint32_t crc, int32_t encryption);
    static int32_t VBUZIP_CALL Service(const char *path, uint32_t count);
};

} // namespace mUnzip
