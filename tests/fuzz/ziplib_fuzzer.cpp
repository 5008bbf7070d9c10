// libFuzzer target for our zip library's reader: every input is an archive in memory that is
// listed, path-checked and fully decoded (with a guessed password for encrypted members) into
// a sink that discards the data. Finds crashes, hangs, leaks and unbounded memory use.
#include <exception>

#include "ziplib/archive_file.h"
#include "ziplib/listing.h"
#include "ziplib/member_data.h"
#include "ziplib/member_path.h"
#include "ziplib/zip_directory.h"

namespace {

struct CountingSink : ziplib::Sink {
    void Write(const uint8_t *, size_t size) override { total += size; }
    uint64_t total = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    ziplib::MemoryArchive archive(data, size);
    ziplib::ZipDirectory directory;
    try {
        directory = ziplib::ReadDirectory(archive);
    } catch (const std::exception &) {
        return 0;
    }
    ziplib::MemberDecoder decoder;
    for (const ziplib::ZipEntry &entry : directory.entries) {
        (void)ziplib::Describe(entry);
        try {
            ziplib::CheckedMemberPath(entry.name);
        } catch (const std::exception &) {
        }
        if (!entry.problem.empty() || !ziplib::CanDecode(entry.method) || entry.StrongEncryption())
            continue;
        try {
            uint64_t offset = ziplib::LocateData(archive, entry);
            std::optional<ziplib::ZipCryptoKeys> keys;
            if (entry.Encrypted() && !(keys = decoder.OpenEncrypted(archive, entry, offset, "password")))
                continue;
            CountingSink sink;
            decoder.Decode(archive, entry, offset, keys ? &*keys : nullptr, sink);
            if (sink.total != entry.size)
                __builtin_trap(); // success must mean the declared size
        } catch (const std::exception &) {
        }
    }
    return 0;
}
