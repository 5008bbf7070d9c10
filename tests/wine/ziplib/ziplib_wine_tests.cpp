// vbuzip10.dll under Windows (wine64): loaded by name like the archive component does, listing
// and extracting with non-ASCII archive and folder paths, and replacing files in one step.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "support/temp_folder.h"
#include "win32/handle.h"
#include "zip_builder.h"
#include "ziplib/vbuzip10.h"

using namespace wintest;
using mend::Utf8FromWide;

namespace {

struct Recorder {
    std::vector<std::string> listed;
    std::vector<std::string> messages;
    std::vector<std::string> replaceQuestions;
    int32_t replaceAnswer = 100;
    std::string AllMessages() const {
        std::string all;
        for (const auto &m : messages)
            all += m + "\n";
        return all;
    }
};
Recorder *g_recorder = nullptr;

int32_t VBUZIP_CALL OnPrint(const char *text, uint32_t count) {
    g_recorder->messages.emplace_back(text, count);
    return 0;
}
int32_t VBUZIP_CALL OnReplace(const char *path) {
    g_recorder->replaceQuestions.emplace_back(path);
    return g_recorder->replaceAnswer;
}
int32_t VBUZIP_CALL OnPassword(char *, int32_t, const char *, const char *) {
    return 1;
}
void VBUZIP_CALL OnListing(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t,
                           int32_t, const char *path, const char *, uint32_t, int32_t) {
    g_recorder->listed.emplace_back(path);
}
int32_t VBUZIP_CALL OnService(const char *, uint32_t) {
    return 0;
}

class Library {
  public:
    Library() : module_(LoadLibraryW(L"vbuzip10.dll")) {
        if (!module_)
            return;
        unzip_ = reinterpret_cast<WizSingleEntryUnzipFn>(
            reinterpret_cast<void *>(GetProcAddress(module_.Get(), "Wiz_SingleEntryUnzip")));
        version_ = reinterpret_cast<UzpVersion2Fn>(
            reinterpret_cast<void *>(GetProcAddress(module_.Get(), "UzpVersion2")));
    }
    bool Loaded() const { return unzip_ && version_; }

    int32_t Run(Recorder &recorder, const std::wstring &zip, const std::wstring &folder,
                UnzipOptions options) {
        std::string zip8 = Utf8FromWide(zip), folder8 = Utf8FromWide(folder), end;
        options.zipFile = zip8.c_str();
        options.extractFolder = folder8.c_str();
        char *none[] = {end.data()};
        UnzipCallbacks callbacks{};
        callbacks.print = OnPrint;
        callbacks.replace = OnReplace;
        callbacks.password = OnPassword;
        callbacks.listing = OnListing;
        callbacks.service = OnService;
        g_recorder = &recorder;
        int32_t status = unzip_(0, none, 0, none, &options, &callbacks);
        g_recorder = nullptr;
        return status;
    }
    UzpVersion2Fn Version() const { return version_; }

  private:
    win32::Module module_;
    WizSingleEntryUnzipFn unzip_ = nullptr;
    UzpVersion2Fn version_ = nullptr;
};

const std::wstring kUnicodeFolder = L"Zielordner Gr\u00fc\u00dfe \u65e5\u672c \u00f8";
const std::string kUnicodeMember = "Gr\xC3\xBC\xC3\x9F"
                                   "e/\xE6\x97\xA5\xE6\x9C\xAC.txt";
const std::wstring kUnicodeFile = L"Gr\u00fc\u00dfe\\\u65e5\u672c.txt";

std::wstring WriteArchive(const TempFolder &folder, const std::wstring &name,
                          const std::vector<ziptest::Member> &m) {
    std::wstring path = folder / name;
    WriteFile(path, ziptest::Build(m));
    return path;
}

ziptest::Member Utf8Member(const std::string &name, const std::string &data) {
    ziptest::Member m{name, data};
    m.flags = 0x800;
    return m;
}

} // namespace

TEST(Vbuzip10Dll, LoadsByNameWithPlainExportNames) {
    Library library;
    ASSERT_TRUE(library.Loaded());
    UnzipVersionInfo info{};
    info.length = 64;
    library.Version()(&info);
    EXPECT_EQ(info.version[3][0], 1);
    EXPECT_EQ(info.version[3][1], 0);
}

TEST(Vbuzip10Dll, ListsAndExtractsIntoAFolderWithNonAsciiCharacters) {
    Library library;
    ASSERT_TRUE(library.Loaded());
    TempFolder temp;
    std::wstring zip = WriteArchive(temp, L"Archiv \u00e4\u00f6\u00fc.zip",
                                    {Utf8Member(kUnicodeMember, "unicode"), {"plain/readme.txt", "readme"}});
    Recorder listing;
    UnzipOptions list{};
    list.listOnly = 1;
    ASSERT_EQ(library.Run(listing, zip, L"", list), 0) << listing.AllMessages();
    EXPECT_EQ(listing.listed, (std::vector<std::string>{kUnicodeMember, "plain/readme.txt"}));

    std::wstring target = temp / kUnicodeFolder;
    Recorder run;
    UnzipOptions withFolders{};
    withFolders.useFolderNames = 1;
    ASSERT_EQ(library.Run(run, zip, target, withFolders), 0) << run.AllMessages();
    EXPECT_EQ(ReadFile(target + L"\\" + kUnicodeFile), "unicode");
    EXPECT_EQ(ReadFile(target + L"\\plain\\readme.txt"), "readme");

    std::wstring flat = temp / (kUnicodeFolder + L" flach");
    Recorder flatRun;
    ASSERT_EQ(library.Run(flatRun, zip, flat, UnzipOptions{}), 0) << flatRun.AllMessages();
    EXPECT_EQ(List(flat), (std::vector<std::wstring>{L"readme.txt", L"\u65e5\u672c.txt"}));
}

TEST(Vbuzip10Dll, ReplacesAnExistingFileInOneStepOrNotAtAll) {
    Library library;
    ASSERT_TRUE(library.Loaded());
    TempFolder temp;
    std::wstring folder = temp / kUnicodeFolder;
    MakeFolders(folder);
    WriteFile(folder + L"\\gfprefs.dat", "old");

    ziptest::Member damaged{"gfprefs.dat", std::string(200000, 'd')};
    damaged.crc = 42;
    damaged.descriptor = true;
    std::wstring bad = WriteArchive(temp, L"bad.zip", {damaged});
    Recorder failed;
    EXPECT_NE(library.Run(failed, bad, folder, UnzipOptions{}), 0);
    EXPECT_EQ(ReadFile(folder + L"\\gfprefs.dat"), "old");
    EXPECT_EQ(List(folder), (std::vector<std::wstring>{L"gfprefs.dat"})) << "no temporary file left";

    std::wstring good = WriteArchive(temp, L"good.zip", {{"gfprefs.dat", "new"}});
    Recorder kept;
    kept.replaceAnswer = 101;
    EXPECT_EQ(library.Run(kept, good, folder, UnzipOptions{}), 0);
    ASSERT_EQ(kept.replaceQuestions.size(), 1u);
    EXPECT_EQ(kept.replaceQuestions[0], Utf8FromWide(folder + L"\\gfprefs.dat"));
    EXPECT_EQ(ReadFile(folder + L"\\gfprefs.dat"), "old");

    Recorder replaced;
    EXPECT_EQ(library.Run(replaced, good, folder, UnzipOptions{}), 0) << replaced.AllMessages();
    EXPECT_EQ(ReadFile(folder + L"\\gfprefs.dat"), "new");
    EXPECT_EQ(List(folder), (std::vector<std::wstring>{L"gfprefs.dat"}));

    SetReadOnly(folder + L"\\gfprefs.dat", true);
    std::wstring newer = WriteArchive(temp, L"newer.zip", {{"gfprefs.dat", "newer"}});
    Recorder frozen;
    UnzipOptions overwrite{};
    overwrite.overwriteExisting = 1;
    EXPECT_NE(library.Run(frozen, newer, folder, overwrite), 0);
    EXPECT_EQ(ReadFile(folder + L"\\gfprefs.dat"), "new") << "a read-only file is not replaced";
    EXPECT_NE(frozen.AllMessages().find("gfprefs.dat"), std::string::npos);
    EXPECT_EQ(List(folder), (std::vector<std::wstring>{L"gfprefs.dat"}));
    SetReadOnly(folder + L"\\gfprefs.dat", false);
}

TEST(Vbuzip10Dll, HostileNamesStayInsideTheFolder) {
    Library library;
    ASSERT_TRUE(library.Loaded());
    TempFolder temp;
    std::wstring zip = WriteArchive(temp, L"hostile.zip",
                                    {{"..\\escaped.txt", "x"},
                                     {"../escaped2.txt", "x"},
                                     {"C:\\escaped3.txt", "x"},
                                     {"nul.txt", "x"},
                                     {"stream.txt:hidden", "x"},
                                     {"dots...", "x"},
                                     {"ok.txt", "ok"}});
    std::wstring folder = temp / L"inner\\out";
    MakeFolders(folder);
    Recorder run;
    UnzipOptions withFolders{};
    withFolders.useFolderNames = 1;
    EXPECT_NE(library.Run(run, zip, folder, withFolders), 0);
    EXPECT_EQ(List(folder), (std::vector<std::wstring>{L"ok.txt"})) << run.AllMessages();
    EXPECT_EQ(List(temp / L"inner"), (std::vector<std::wstring>{L"out"}));
    EXPECT_EQ(run.messages.size(), 6u) << run.AllMessages();
}
