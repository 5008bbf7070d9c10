// ziptool: the archive component from the command line.
//   ziptool list ARCHIVE
//       one line per member: folder, name, size, ratio, method, date, CRC, encrypted (tab-separated)
//   ziptool extract ARCHIVE FOLDER [NAME...]
//       extracts the members with those file names (all without names) and prints the library's messages
// Exit status: 0 on success, 1 when the library failed, 2 for a wrong command line.
#include <cinttypes>
#include <cstdio>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "common/error.h"
#include "common/text.h"
#include "unzip/unzip.h"

namespace {

void Print(const std::wstring &text) {
    std::string bytes = mend::Utf8FromWide(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

std::wstring Arg(const char *arg) {
    return mend::WideFromUtf8(arg);
}

int List(const std::wstring &archive) {
    cUnzip reader;
    reader.ZipFile(archive);
    reader.Directory();
    for (int32_t i = 1; i <= reader.FileCount(); ++i) {
        ZipDate d = reader.FileDate(i);
        char fields[160];
        std::snprintf(fields, sizeof fields, "\t%" PRId32 "\t%" PRId32 "\t", reader.FileSize(i),
                      reader.FileCompressionRatio(i));
        char stamp[96];
        std::snprintf(
            stamp, sizeof stamp,
            "\t%04" PRId32 "-%02" PRId32 "-%02" PRId32 " %02" PRId32 ":%02" PRId32 "\t%08" PRIx32 "\t%d\n",
            d.year, d.month, d.day, d.hour, d.minute, reader.FileCRC(i), reader.FileEncrypted(i) ? 1 : 0);
        Print(reader.FileDirectory(i) + L"\t" + reader.FileName(i) + mend::WideFromUtf8(fields) +
              reader.FileCompressionMethod(i) + mend::WideFromUtf8(stamp));
    }
    return reader.LibraryStatus() == 0 ? 0 : 1;
}

int Extract(const std::wstring &archive, const std::wstring &folder, const std::vector<std::string> &names) {
    std::unordered_set<std::string_view> wanted(names.begin(), names.end());
    cUnzip reader;
    reader.Progress = [](int32_t, const std::wstring &sMsg) {
        Print(sMsg);
        if (sMsg.empty() || sMsg.back() != L'\n')
            Print(L"\n");
    };
    reader.ZipFile(archive);
    reader.UnzipFolder(folder);
    reader.Directory();
    if (!names.empty()) {
        for (int32_t i = 1; i <= reader.FileCount(); ++i)
            if (wanted.count(reader.FileNameUtf8(i)) == 0)
                reader.FileSelected(i, false);
    }
    return reader.Unzip() ? 0 : 1;
}

int Usage() {
    std::fputs("usage: ziptool list ARCHIVE\n"
               "       ziptool extract ARCHIVE FOLDER [NAME...]\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char **argv) {
    try {
        std::string command = argc > 1 ? argv[1] : "";
        if (command == "list" && argc == 3)
            return List(Arg(argv[2]));
        if (command == "extract" && argc >= 4) {
            std::vector<std::string> names(argv + 4, argv + argc); // UTF-8, as the component keeps them
            return Extract(Arg(argv[2]), Arg(argv[3]), names);
        }
        return Usage();
    } catch (const mend::Error &e) {
        std::fflush(stdout);
        std::fprintf(stderr, "ziptool: error %ld: %s (%s)\n", e.Number(),
                     mend::Utf8FromWide(e.Description()).c_str(), mend::Utf8FromWide(e.Source()).c_str());
        return 1;
    }
}
