#include "fake_library.h"

#include "unzip/m_unzip.h"

namespace fake {

namespace {

Library g_library;

void ReadList(int32_t count, char **entries, std::vector<std::string> &names, bool &wellFormed) {
    int32_t n = count < 1 ? 0 : count;
    for (int32_t i = 0; i < n; ++i)
        names.emplace_back(entries[i] ? entries[i] : "<null>");
    bool ok = entries[n] && entries[n][0] == '\0';
    for (int32_t i = n + 1; i < 1024; ++i)
        ok = ok && entries[i] == nullptr;
    wellFormed = wellFormed && ok;
}

int32_t VBUZIP_CALL SingleEntryUnzip(int32_t includeCount, char **includeNames, int32_t excludeCount,
                                     char **excludeNames, UnzipOptions *options, UnzipCallbacks *callbacks) {
    Call call;
    call.includeCount = includeCount;
    call.excludeCount = excludeCount;
    call.listsWellFormed = true;
    ReadList(includeCount, includeNames, call.include, call.listsWellFormed);
    ReadList(excludeCount, excludeNames, call.exclude, call.listsWellFormed);
    call.options = *options;
    call.zipFile = options->zipFile ? options->zipFile : "<null>";
    call.extractFolder = options->extractFolder ? options->extractFolder : "<null>";
    call.options.zipFile = call.options.extractFolder = nullptr;
    g_library.calls.push_back(call);
    return g_library.script ? g_library.script(*callbacks, *options) : 0;
}

void VBUZIP_CALL Version(UnzipVersionInfo *) {}

} // namespace

Library &Install() {
    g_library = Library{};
    mUnzip::UseLibrary(mUnzip::UnzipLibrary(&SingleEntryUnzip, &Version));
    return g_library;
}

void List(const UnzipCallbacks &callbacks, const char *path, uint32_t compressedSize, int32_t factor,
          uint32_t crc, int32_t encryption, const char *method) {
    callbacks.listing(2 * compressedSize, compressedSize, static_cast<uint32_t>(factor) & 0xFFFF, 6, 15, 2004,
                      13, 45, ' ', path, method, crc, encryption);
}

} // namespace fake
