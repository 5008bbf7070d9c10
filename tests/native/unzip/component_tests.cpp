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

using Numbers = std::vector<int64_t>;

class Component : public ::testing::Test {
  protected:
    void SetUp() override {
        unzip.ZipFile(L"kit.zip");
        unzip.UnzipFolder(L"/game");
    }
    void ListMembers(std::vector<std::string> paths) {
        lib.script = [paths](const UnzipCallbacks &cb, UnzipOptions &) {
            for (const auto &p : paths)
                fake::List(cb, p.c_str());
            return 0;
        };
        unzip.Directory();
        lib.script = nullptr;
    }
    // The error number that `f` raises (0 for none); the source always names the program.
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

TEST_F(Component, ListingFillsEveryFieldSkipsFolderEntriesAndAppends) {
    EXPECT_EQ(ErrorNumber([&] { unzip.FileName(1); }), mend::kErrSubscriptOutOfRange) << "empty list";
    lib.script = [](const UnzipCallbacks &cb, UnzipOptions &) {
        fake::List(cb, "dir/", 0);
        fake::List(cb, "dir/sub/file.txt", 1001, -50, 0xCAFEF00D, 64, "Defl:N\0junk");
        fake::List(cb, "top.txt", 1001, 50, 1, 0x3F);
        fake::List(cb, "huge.txt", INT32_MAX, 2);
        return 0;
    };
    EXPECT_EQ(unzip.Directory(), 0);
    ASSERT_EQ(unzip.FileCount(), 3);
    EXPECT_EQ(unzip.FileDirectory(1) + L"|" + unzip.FileName(1) + L"|" + unzip.FileCompressionMethod(1),
              L"dir\\sub|file.txt|Defl:N");
    ZipDate d = unzip.FileDate(1);
    EXPECT_EQ(Numbers({unzip.FileSize(1), unzip.FileCompressionRatio(1), unzip.FileCRC(1), d.year, d.month,
                       d.day, d.hour, d.minute, d.second}),
              Numbers({1001, -50, 0xCAFEF00D, 2004, 6, 15, 13, 45, 0}));
    EXPECT_TRUE(unzip.FileEncrypted(1) && unzip.FileSelected(1));
    EXPECT_FALSE(unzip.FileEncrypted(2)) << "only bit 6 of the indicator means encrypted";
    EXPECT_EQ(Numbers({unzip.FilePackedSize(1), unzip.FilePackedSize(2)}), Numbers({-500, 500}))
        << "toward zero";
    EXPECT_EQ(ErrorNumber([&] { unzip.FilePackedSize(3); }), mend::kErrOverflow);
    EXPECT_EQ(ErrorNumber([&] { unzip.FileName(0); }), mend::kErrSubscriptOutOfRange);
    EXPECT_EQ(ErrorNumber([&] { unzip.FileSelected(4, false); }), mend::kErrSubscriptOutOfRange);
    const fake::Call &call = lib.calls.at(0);
    EXPECT_EQ(std::make_tuple(call.options.listOnly, call.zipFile, call.extractFolder, call.includeCount,
                              call.excludeCount, call.listsWellFormed),
              std::make_tuple(1, std::string("kit.zip"), std::string(), 0, 0, true));

    unzip.Directory();
    EXPECT_EQ(unzip.FileCount(), 6) << "a second listing appends";
    EXPECT_EQ(unzip.FileName(4), L"file.txt");
    unzip.ZipFile(L"other.zip");
    EXPECT_EQ(unzip.FileCount(), 0) << "a new archive starts over";
}

TEST_F(Component, ListingSplitsEveryPathLikeSplitFolderAndName) {
    for (auto [path, expected] :
         std::vector<std::pair<std::wstring, std::wstring>>{{L"dir/sub/file.txt", L"dir\\sub|file.txt"},
                                                            {L"dir/", L"dir|"},
                                                            {std::wstring(L"a/b.txt\0c/d", 11), L"a|b.txt"},
                                                            {L"/abs/file", L"/abs|file"},
                                                            {L"/top", L"|/top"}}) {
        std::wstring folder = L"?", name = L"?";
        mUnzip::SplitFolderAndName(path, folder, name);
        EXPECT_EQ(folder + L"|" + name, expected);
        if (!name.empty()) {
            EXPECT_EQ(mUnzip::ArchivePath(folder, name), mUnzip::CutAtNul(path))
                << "back as its archive path";
        }
    }
    EXPECT_EQ(mUnzip::ArchivePath(std::wstring(1, L'\0'), L"x.txt"), L"x.txt");

    // Odd paths, a folder longer than 256 bytes and one longer than the list's 64 KiB blocks,
    // among enough short members to fill several blocks of both the paths and the entries.
    std::vector<std::string> paths = {"dir/sub/file.txt",
                                      "/abs/file",
                                      "/top",
                                      "a//b",
                                      "x/y/",
                                      "\xC3\xA9t\xC3\xA9/n",
                                      std::string(280, 'd') + "/name.txt",
                                      std::string(70000, 'e') + "/long.txt"};
    for (int i = 0; i < 6000; ++i)
        paths.insert(paths.begin() + 4, "f" + std::to_string(i) + ".txt");
    ListMembers(paths);
    int32_t index = 0;
    for (const std::string &path : paths) {
        std::wstring folder, name;
        mUnzip::SplitFolderAndName(mend::WideFromUtf8(path), folder, name);
        if (name.empty())
            continue; // a folder entry: not listed
        ASSERT_LT(index++, unzip.FileCount());
        ASSERT_EQ(unzip.FileDirectory(index) + L"|" + unzip.FileName(index), folder + L"|" + name)
            << path.substr(0, 40);
    }
    EXPECT_EQ(index, unzip.FileCount());
}

TEST_F(Component, UnzipNamesTheChosenMembersOrNoneForTheWholeArchive) {
    ListMembers({"dir/sub/file.txt", "top.txt", "other.txt"});
    unzip.FileSelected(3, false);
    EXPECT_TRUE(unzip.Unzip());
    const fake::Call &call = lib.calls.back();
    EXPECT_EQ(call.include, std::vector<std::string>({"dir/sub/file.txt", "top.txt"}));
    EXPECT_EQ(std::make_tuple(call.includeCount, call.listsWellFormed, call.options.listOnly, call.zipFile,
                              call.extractFolder),
              std::make_tuple(2, true, 0, std::string("kit.zip"), std::string("/game")));
    EXPECT_FALSE(unzip.FileSelected(3)) << "the selection outlives the extraction";

    unzip.FileSelected(3, true);
    lib.script = [](const UnzipCallbacks &, UnzipOptions &) { return 11; };
    EXPECT_FALSE(unzip.Unzip()) << "the library's non-zero status is a failure";
    EXPECT_EQ(unzip.LibraryStatus(), 11);
    EXPECT_EQ(lib.calls.back().includeCount, 0) << "all selected: no names, the whole archive";

    for (int32_t i = 1; i <= 3; ++i)
        unzip.FileSelected(i, false);
    size_t callsBefore = lib.calls.size();
    EXPECT_FALSE(unzip.Unzip()) << "nothing chosen: nothing to extract";
    cUnzip unlisted, unnamed;
    EXPECT_FALSE(unnamed.Unzip()) << "no archive: nothing to extract";
    EXPECT_EQ(lib.calls.size(), callsBefore) << "an empty include list would mean every member";
    unlisted.ZipFile(L"kit.zip");
    unlisted.Unzip();
    EXPECT_EQ(lib.calls.back().includeCount, 0) << "never listed: the whole archive";
}

TEST_F(Component, AtMost1023NamesReachTheLibrary) {
    std::vector<std::string> paths;
    for (int i = 1; i <= 1025; ++i)
        paths.push_back("f" + std::to_string(i) + ".txt");
    ListMembers(paths);
    unzip.FileSelected(7, false);
    size_t callsBefore = lib.calls.size();
    EXPECT_EQ(ErrorNumber([&] { unzip.Unzip(); }), mend::kErrSubscriptOutOfRange);
    EXPECT_EQ(lib.calls.size(), callsBefore) << "refused before the library is called";
    EXPECT_EQ(mUnzip::ActiveComponent(), nullptr) << "a failed call leaves no active component";

    unzip.FileSelected(8, false);
    EXPECT_TRUE(unzip.Unzip());
    const fake::Call &call = lib.calls.back();
    EXPECT_EQ(call.includeCount, 1023);
    EXPECT_EQ(call.include.front() + " " + call.include.back(), "f1.txt f1025.txt");
    EXPECT_TRUE(call.listsWellFormed);
    EXPECT_EQ(mUnzip::ActiveComponent(), &unzip) << "a successful call leaves it in place";
}

TEST_F(Component, PasswordRules) {
    int requests = 0;
    std::vector<std::wstring> answers;
    unzip.PasswordRequest = [&](std::wstring &sPassword, bool &bCancel) {
        EXPECT_TRUE(sPassword.empty() && !bCancel);
        sPassword = answers.at(static_cast<size_t>(requests++));
        bCancel = sPassword == L"cancel";
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
    auto run = [&](std::vector<std::wstring> given) {
        requests = 0;
        answers = given;
        results.clear();
        buffers.clear();
        unzip.Unzip();
    };
    run({L"  secret  ", L"again"});
    EXPECT_EQ(requests, 2) << "asked again after an accepted password";
    EXPECT_EQ(results, std::vector<int32_t>({0, 0}));
    EXPECT_EQ(buffers[0].substr(0, 8), std::string("secret\0#", 8)) << "trimmed";
    for (std::wstring refusal : {L"   ", L"", L"cancel"}) {
        run({refusal, L"never"});
        EXPECT_EQ(requests, 1) << "no second request after a refusal";
        EXPECT_EQ(results, std::vector<int32_t>({1, 1}));
    }
    run({std::wstring(300, L'p'), L"x"});
    EXPECT_EQ(results[0], 0);
    EXPECT_EQ(buffers[0].substr(0, 256), std::string(254, 'p') + '\0' + '#') << "254 bytes and the NUL";
}

TEST_F(Component, EventsCarryTheLibrarysTextsAndAnswersAndNoExceptionReachesIt) {
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
        std::string big(32000, 'm');
        char buffer[256];
        returns = {cb.print("  inflating: dir/a.txt\n", 23),
                   cb.print("x", 1),
                   cb.print(big.data(), 32000),
                   cb.replace("dir/keep.txt"),
                   cb.replace("new.txt"),
                   cb.service("dir\\go.txt", 10),
                   cb.service("dir/stop.txt\0xx", 15),
                   cb.service("s", 1),
                   cb.password(buffer, 256, "", ""),
                   cb.password(buffer, 256, "", "")};
        return 0;
    };
    unzip.Unzip();
    EXPECT_EQ(progress, (std::vector<std::pair<int32_t, std::wstring>>{{1, L"  inflating: dir\\a.txt\n"}}))
        << "messages of one byte or of 32000 and more are not shown";
    EXPECT_EQ(cancelSeen, std::vector<std::wstring>({L"dir/go.txt", L"dir/stop.txt"}));
    EXPECT_EQ(returns, std::vector<int32_t>({0, 0, 0, 101, 100, 0, 1, 0, 1, 1})) << "no handler: no password";

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
    EXPECT_TRUE(unzip.Unzip());
    EXPECT_EQ(returns, std::vector<int32_t>({0, 0, 0, 101, 101, 0, 0, 0, 1, 1}));
    EXPECT_EQ(requests, 1) << "a failed request counts as a refusal";
}

TEST_F(Component, AMissingLibraryOrEntryPointRaisesWithTheComponentSource) {
    {
        cUnzip passing;
        passing.ZipFile(L"kit.zip");
        passing.Directory();
        EXPECT_EQ(mUnzip::ActiveComponent(), &passing);
    }
    EXPECT_EQ(mUnzip::ActiveComponent(), nullptr) << "a destroyed component is no longer active";
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
        EXPECT_EQ(error.Description(), L"Can't find DLL entry point Wiz_SingleEntryUnzip in libc.so.6");
    }
}

} // namespace
