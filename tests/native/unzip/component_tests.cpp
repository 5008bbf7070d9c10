// cUnzip and mUnzip against a fake library: what the component hands the library and how it
// answers the library's callbacks.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "common/error.h"
#include "common/text.h"
#include "fake_library.h"
#include "unzip/member_path.h"
#include "unzip/unzip.h"

namespace {

class Component : public ::testing::Test {
  protected:
    void SetUp() override {
        unzip.ZipFile(L"kit.zip");
        unzip.UnzipFolder(L"/game");
    }
    // Lists the given member paths through the fake.
    void ListMembers(std::vector<std::string> paths) {
        lib.script = [paths](const UnzipCallbacks &cb, UnzipOptions &) {
            for (const auto &p : paths)
                fake::List(cb, p.c_str());
            return 0;
        };
        unzip.Directory();
        lib.script = nullptr;
    }
    void ListMany(int count) {
        std::vector<std::string> paths;
        for (int i = 1; i <= count; ++i)
            paths.push_back("f" + std::to_string(i) + ".txt");
        ListMembers(paths);
    }
    template <typename F> long ErrorNumber(F &&f) {
        try {
            f();
        } catch (const mend::Error &e) {
            EXPECT_EQ(e.Source(), L"unzip_tests.VBUnzip");
            return e.Number();
        }
        return 0;
    }

    fake::Library &lib = fake::Install();
    cUnzip unzip;
};

TEST_F(Component, ListingFillsEveryFieldAndSkipsFolderEntries) {
    lib.script = [](const UnzipCallbacks &cb, UnzipOptions &) {
        fake::List(cb, "dir/", 0);
        fake::List(cb, "dir/sub/file.txt", 1001, -50, 0xCAFEF00D, 64, "Defl:N\0junk");
        fake::List(cb, "top.txt", 7, 0, 1, 0x3F);
        return 0;
    };
    EXPECT_EQ(unzip.Directory(), 0);
    ASSERT_EQ(unzip.FileCount(), 2);
    EXPECT_EQ(unzip.FileName(1), L"file.txt");
    EXPECT_EQ(unzip.FileDirectory(1), L"dir\\sub");
    EXPECT_EQ(unzip.FileSize(1), 1001);
    EXPECT_EQ(unzip.FileCompressionRatio(1), -50);
    EXPECT_EQ(unzip.FileCompressionMethod(1), L"Defl:N");
    EXPECT_EQ(unzip.FileCRC(1), 0xCAFEF00Du);
    EXPECT_TRUE(unzip.FileEncrypted(1));
    EXPECT_TRUE(unzip.FileSelected(1));
    ZipDate d = unzip.FileDate(1);
    EXPECT_EQ(std::vector<int32_t>({d.year, d.month, d.day, d.hour, d.minute, d.second}),
              std::vector<int32_t>({2004, 6, 15, 13, 45, 0}));
    EXPECT_FALSE(unzip.FileEncrypted(2)) << "only bit 6 of the indicator means encrypted";

    ASSERT_EQ(lib.calls.size(), 1u);
    const fake::Call &call = lib.calls[0];
    EXPECT_EQ(call.options.listOnly, 1);
    EXPECT_EQ(call.zipFile, "kit.zip");
    EXPECT_EQ(call.extractFolder, "");
    EXPECT_EQ(call.includeCount + call.excludeCount, 0);
    EXPECT_TRUE(call.listsWellFormed);
}

TEST_F(Component, ChosenMembersGoBackAsArchivePaths) {
    ListMembers({"dir/sub/file.txt", "top.txt", "other.txt"});
    unzip.FileSelected(3, false);
    EXPECT_TRUE(unzip.Unzip());
    ASSERT_EQ(lib.calls.size(), 2u);
    const fake::Call &call = lib.calls[1];
    EXPECT_EQ(call.include, std::vector<std::string>({"dir/sub/file.txt", "top.txt"}));
    EXPECT_EQ(call.includeCount, 2);
    EXPECT_TRUE(call.listsWellFormed);
    EXPECT_EQ(call.options.listOnly, 0);
    EXPECT_EQ(call.zipFile, "kit.zip");
    EXPECT_EQ(call.extractFolder, "/game");
    EXPECT_FALSE(unzip.FileSelected(3)) << "the selection outlives the extraction";
}

TEST_F(Component, ListingSplitsEveryPathLikeSplitFolderAndName) {
    // Odd paths, a folder longer than 256 bytes and one longer than the list's 64 KiB blocks,
    // among enough short members to fill several blocks of both the paths and the entries.
    std::vector<std::string> paths = {"dir/sub/file.txt", "/abs/file", "/top", "a//b", "x/y/", "\xC3\xA9t\xC3\xA9/n",
                                      std::string(280, 'd') + "/name.txt", std::string(70000, 'e') + "/long.txt"};
    for (int i = 0; i < 6000; ++i)
        paths.insert(paths.begin() + 4, "f" + std::to_string(i) + ".txt");
    ListMembers(paths);
    int32_t index = 0;
    for (const std::string &path : paths) {
        std::wstring folder, name;
        mUnzip::SplitFolderAndName(mend::WideFromUtf8(path), folder, name);
        if (name.empty())
            continue; // a folder entry: not listed
        ++index;
        ASSERT_LE(index, unzip.FileCount());
        ASSERT_EQ(unzip.FileName(index), name) << path.substr(0, 40);
        ASSERT_EQ(unzip.FileDirectory(index), folder) << path.substr(0, 40);
    }
    EXPECT_EQ(index, unzip.FileCount());
}

TEST_F(Component, DirectoryAppendsAndZipFileStartsOver) {
    ListMembers({"a.txt", "b.txt"});
    ListMembers({"a.txt", "b.txt"});
    EXPECT_EQ(unzip.FileCount(), 4);
    EXPECT_EQ(unzip.FileName(3), L"a.txt");
    unzip.ZipFile(L"other.zip");
    EXPECT_EQ(unzip.FileCount(), 0);
    EXPECT_EQ(unzip.ZipFile(), L"other.zip");
}

TEST_F(Component, UnzipAsksForTheWholeArchiveOnlyWhenEveryMemberIsWanted) {
    ListMembers({"a.txt", "b.txt"});
    EXPECT_TRUE(unzip.Unzip());
    EXPECT_EQ(lib.calls.back().includeCount, 0) << "all selected: no names, the whole archive";
    EXPECT_TRUE(lib.calls.back().listsWellFormed);

    unzip.FileSelected(1, false);
    unzip.FileSelected(2, false);
    size_t callsBefore = lib.calls.size();
    EXPECT_FALSE(unzip.Unzip()) << "nothing chosen: nothing to extract";
    EXPECT_EQ(lib.calls.size(), callsBefore) << "an empty include list would mean every member";

    cUnzip unlisted;
    unlisted.ZipFile(L"kit.zip");
    EXPECT_TRUE(unlisted.Unzip());
    EXPECT_EQ(lib.calls.back().includeCount, 0) << "never listed: the whole archive";
}

TEST_F(Component, UnzipTellsSuccessFromFailureAndNeedsAnArchive) {
    ListMembers({"a.txt"});
    lib.script = [](const UnzipCallbacks &, UnzipOptions &) { return 11; };
    EXPECT_FALSE(unzip.Unzip());
    EXPECT_EQ(unzip.LibraryStatus(), 11);
    lib.script = nullptr;
    EXPECT_TRUE(unzip.Unzip());

    cUnzip empty;
    size_t callsBefore = lib.calls.size();
    EXPECT_FALSE(empty.Unzip());
    EXPECT_EQ(lib.calls.size(), callsBefore);
}

TEST_F(Component, AtMost1023NamesReachTheLibrary) {
    ListMany(1025);
    unzip.FileSelected(7, false);
    size_t callsBefore = lib.calls.size();
    EXPECT_EQ(ErrorNumber([&] { unzip.Unzip(); }), mend::kErrSubscriptOutOfRange);
    EXPECT_EQ(lib.calls.size(), callsBefore) << "refused before the library is called";
    EXPECT_EQ(mUnzip::ActiveComponent(), nullptr) << "a failed call leaves no active component";

    unzip.FileSelected(8, false);
    EXPECT_TRUE(unzip.Unzip());
    const fake::Call &call = lib.calls.back();
    EXPECT_EQ(call.includeCount, 1023);
    EXPECT_EQ(call.include.front(), "f1.txt");
    EXPECT_EQ(call.include.back(), "f1025.txt");
    EXPECT_TRUE(call.listsWellFormed);
    EXPECT_EQ(mUnzip::ActiveComponent(), &unzip) << "a successful call leaves it in place";

    for (int i = 1; i <= 1025; ++i)
        unzip.FileSelected(i, true);
    EXPECT_TRUE(unzip.Unzip()) << "all 1025 selected: no names at all";
}

TEST_F(Component, PackedSizeAndItsOverflow) {
    lib.script = [](const UnzipCallbacks &cb, UnzipOptions &) {
        fake::List(cb, "half.txt", 1001, 50);
        fake::List(cb, "grown.txt", 1001, -50);
        fake::List(cb, "huge.txt", INT32_MAX, 2);
        return 0;
    };
    unzip.Directory();
    EXPECT_EQ(unzip.FilePackedSize(1), 500);
    EXPECT_EQ(unzip.FilePackedSize(2), -500) << "truncated toward zero";
    EXPECT_EQ(ErrorNumber([&] { unzip.FilePackedSize(3); }), mend::kErrOverflow);
}

TEST_F(Component, IndexesOutsideTheListFail) {
    EXPECT_EQ(ErrorNumber([&] { unzip.FileName(1); }), mend::kErrSubscriptOutOfRange) << "empty list";
    EXPECT_EQ(ErrorNumber([&] { unzip.FileSelected(1, false); }), mend::kErrSubscriptOutOfRange);
    ListMembers({"a.txt", "b.txt"});
    EXPECT_EQ(ErrorNumber([&] { unzip.FileName(0); }), mend::kErrSubscriptOutOfRange);
    EXPECT_EQ(ErrorNumber([&] { unzip.FileDate(3); }), mend::kErrSubscriptOutOfRange);
    EXPECT_EQ(ErrorNumber([&] { unzip.FileName(2); }), 0);
}

TEST_F(Component, OptionsReachTheLibraryAndComeBack) {
    unzip.OverwriteExisting(true);
    unzip.UseFolderNames(true);
    unzip.MessageLevel(-7);
    EXPECT_TRUE(unzip.OverwriteExisting());
    EXPECT_FALSE(unzip.PromptToOverwrite());
    lib.script = [](const UnzipCallbacks &, UnzipOptions &options) {
        options.messageLevel = 3;
        return 0;
    };
    unzip.Unzip();
    const UnzipOptions &seen = lib.calls.back().options;
    EXPECT_EQ(seen.overwriteExisting, 1);
    EXPECT_EQ(seen.useFolderNames, 1);
    EXPECT_EQ(seen.messageLevel, -7);
    EXPECT_EQ(seen.promptToOverwrite, 0);
    EXPECT_EQ(unzip.MessageLevel(), 3) << "the record is read back after the call";
}

TEST_F(Component, PasswordRules) {
    int requests = 0;
    std::vector<std::wstring> answers;
    unzip.PasswordRequest = [&](std::wstring &sPassword, bool &bCancel) {
        EXPECT_TRUE(sPassword.empty());
        EXPECT_FALSE(bCancel);
        sPassword = answers.at(static_cast<size_t>(requests++));
        if (sPassword == L"cancel")
            bCancel = true;
    };
    std::vector<int32_t> results;
    std::vector<std::string> buffers;
    lib.script = [&](const UnzipCallbacks &cb, UnzipOptions &) {
        for (int i = 0; i < 2; ++i) {
            char buffer[300];
            std::memset(buffer, '#', sizeof buffer);
            results.push_back(cb.password(buffer, 256, "Password:", "a.txt"));
            buffers.emplace_back(buffer, sizeof buffer);
        }
        return 0;
    };

    answers = {L"  secret  ", L"again"};
    unzip.Unzip();
    EXPECT_EQ(requests, 2) << "asked again after an accepted password";
    EXPECT_EQ(results, std::vector<int32_t>({0, 0}));
    EXPECT_EQ(std::string(buffers[0].c_str()), "secret") << "trimmed and NUL-terminated";

    for (std::wstring refusal : {L"   ", L"", L"cancel"}) {
        requests = 0;
        results.clear();
        answers = {refusal, L"never"};
        unzip.Unzip();
        EXPECT_EQ(requests, 1) << "no second request after a refusal";
        EXPECT_EQ(results, std::vector<int32_t>({1, 1}));
    }

    requests = 0;
    results.clear();
    buffers.clear();
    answers = {std::wstring(300, L'p'), L"x"};
    unzip.Unzip();
    EXPECT_EQ(results[0], 0);
    EXPECT_EQ(buffers[0].substr(0, 255), std::string(254, 'p') + '\0') << "254 characters and the NUL";
    EXPECT_EQ(buffers[0][255], '#');
}

TEST_F(Component, ProgressOverwriteAndCancelEvents) {
    std::vector<std::pair<int32_t, std::wstring>> progress;
    unzip.Progress = [&](int32_t lCount, const std::wstring &sMsg) { progress.emplace_back(lCount, sMsg); };
    unzip.OverwritePrompt = [](const std::wstring &sFile, int32_t &eResponse) {
        EXPECT_EQ(eResponse, 100);
        if (sFile == L"dir\\keep.txt")
            eResponse = 101;
    };
    std::vector<std::wstring> cancelSeen;
    unzip.Cancel = [&](const std::wstring &sMsg, bool &bCancel) {
        cancelSeen.push_back(sMsg);
        bCancel = sMsg == L"dir/stop.txt";
    };
    std::vector<int32_t> returns;
    lib.script = [&](const UnzipCallbacks &cb, UnzipOptions &) {
        returns.push_back(cb.print("  inflating: dir/a.txt\n", 23));
        returns.push_back(cb.print("x", 1));
        std::string big(32000, 'm');
        returns.push_back(cb.print(big.data(), 32000));
        returns.push_back(cb.replace("dir/keep.txt"));
        returns.push_back(cb.replace("new.txt"));
        returns.push_back(cb.service("dir\\go.txt", 10));
        returns.push_back(cb.service("dir/stop.txt\0xx", 15));
        returns.push_back(cb.service("s", 1));
        return 0;
    };
    unzip.Unzip();
    ASSERT_EQ(progress.size(), 1u) << "messages of one byte or of 32000 and more are not shown";
    EXPECT_EQ(progress[0].first, 1);
    EXPECT_EQ(progress[0].second, L"  inflating: dir\\a.txt\n");
    EXPECT_EQ(cancelSeen, std::vector<std::wstring>({L"dir/go.txt", L"dir/stop.txt"}));
    EXPECT_EQ(returns, std::vector<int32_t>({0, 0, 0, 101, 100, 0, 1, 0}));
}

TEST_F(Component, HandlerExceptionsStopAtTheLibraryBoundary) {
    unzip.Progress = [](int32_t, const std::wstring &) { throw std::runtime_error("host"); };
    unzip.OverwritePrompt = [](const std::wstring &, int32_t &eResponse) {
        eResponse = 101;
        throw mend::Error(5, L"host", L"x");
    };
    unzip.Cancel = [](const std::wstring &, bool &) { throw 42; };
    int requests = 0;
    unzip.PasswordRequest = [&](std::wstring &, bool &) {
        ++requests;
        throw std::runtime_error("host");
    };
    std::vector<int32_t> returns;
    lib.script = [&](const UnzipCallbacks &cb, UnzipOptions &) {
        char buffer[256];
        returns.push_back(cb.print("hello", 5));
        returns.push_back(cb.replace("a.txt"));
        returns.push_back(cb.service("a.txt", 5));
        returns.push_back(cb.password(buffer, 256, "", ""));
        returns.push_back(cb.password(buffer, 256, "", ""));
        return 0;
    };
    EXPECT_TRUE(unzip.Unzip());
    EXPECT_EQ(returns, std::vector<int32_t>({0, 101, 0, 1, 1}));
    EXPECT_EQ(requests, 1) << "a failed request counts as a refusal";
}

TEST_F(Component, GetVersionReadsTheFourthBlock) {
    lib.version = [](UnzipVersionInfo &info) {
        std::memcpy(info.betaLevel, "b2\0\0\0\0\0\0\0", 10);
        info.version[3][0] = 6;
        info.version[3][1] = 200;
        info.version[3][2] = 3;
        info.version[2][0] = 99;
    };
    int32_t major = -1, minor = -1, revision = -1;
    ZipDate date;
    date.year = 1999;
    std::wstring extra;
    unzip.GetVersion(major, minor, revision, date, extra);
    EXPECT_EQ(lib.versionSeen.length, 64u);
    EXPECT_EQ(std::string(lib.versionSeen.betaLevel, 10), std::string(9, ' ') + '\0');
    EXPECT_EQ(std::string(lib.versionSeen.date, 20), std::string(19, ' ') + '\0');
    EXPECT_EQ(std::string(lib.versionSeen.extra, 10), std::string(9, ' ') + '\0');
    EXPECT_EQ(std::vector<int32_t>({major, minor, revision}), std::vector<int32_t>({6, 200, 3}));
    EXPECT_EQ(extra, L"b2        ");
    EXPECT_EQ(date.year, 1999) << "the date is left as given";
}

TEST_F(Component, ADestroyedComponentIsNoLongerActive) {
    {
        cUnzip passing;
        passing.ZipFile(L"kit.zip");
        passing.Directory();
        EXPECT_EQ(mUnzip::ActiveComponent(), &passing);
    }
    EXPECT_EQ(mUnzip::ActiveComponent(), nullptr);
}

TEST_F(Component, AMissingLibraryOrEntryPointRaisesWithTheComponentSource) {
    mUnzip::UseLibrary(mUnzip::UnzipLibrary(L"libvbuzip10-not-here.so"));
    EXPECT_EQ(ErrorNumber([&] { unzip.Directory(); }), mUnzip::kErrLoadingDll);
    EXPECT_EQ(mUnzip::ActiveComponent(), nullptr);
    int32_t a, b, c;
    ZipDate d;
    std::wstring e;
    EXPECT_EQ(ErrorNumber([&] { unzip.GetVersion(a, b, c, d, e); }), mUnzip::kErrLoadingDll);

    mUnzip::UseLibrary(mUnzip::UnzipLibrary(L"libc.so.6"));
    try {
        unzip.Unzip();
        FAIL();
    } catch (const mend::Error &error) {
        EXPECT_EQ(error.Number(), mUnzip::kErrDllEntryPoint);
        EXPECT_EQ(error.Source(), L"unzip_tests.VBUnzip");
        EXPECT_EQ(error.Description(), L"Can't find DLL entry point Wiz_SingleEntryUnzip in libc.so.6");
    }
}

TEST(MemberPath, SplitsAndJoinsPaths) {
    struct Case {
        std::wstring path, folder, name;
    };
    for (const Case &c : std::vector<Case>{{L"dir/sub/file.txt", L"dir\\sub", L"file.txt"},
                                           {L"file.txt", L"", L"file.txt"},
                                           {L"dir/", L"dir", L""},
                                           {std::wstring(L"a/b.txt\0c/d", 11), L"a", L"b.txt"},
                                           {L"/abs/file", L"/abs", L"file"},
                                           {L"/top", L"", L"/top"}}) {
        std::wstring folder = L"?", name = L"?";
        mUnzip::SplitFolderAndName(c.path, folder, name);
        EXPECT_EQ(folder, c.folder) << mend::Utf8FromWide(c.path);
        EXPECT_EQ(name, c.name);
        if (!name.empty()) {
            EXPECT_EQ(mUnzip::ArchivePath(folder, name), mUnzip::CutAtNul(c.path));
        }
    }
    EXPECT_EQ(mUnzip::ArchivePath(std::wstring(1, L'\0'), L"x.txt"), L"x.txt");
}

} // namespace
