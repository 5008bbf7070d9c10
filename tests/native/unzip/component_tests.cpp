// cUnzip and mUnzip against a stand-in for our zip library that records what the component hands
// it and plays a script of callbacks. With the real library they are tested under Wine.
#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "common/error.h"
#include "unzip/m_unzip.h"
#include "unzip/unzip.h"

namespace {

using Names = std::vector<std::string>;

struct LibraryCall {
    Names include; // the names before the terminator
    // No exclude names; the include list's terminator right after the names, nulls up to 1024 entries.
    bool listsWellFormed;
    UnzipOptions options;
    std::string zipFile, extractFolder;
};
std::vector<LibraryCall> g_calls;
std::function<int32_t(const UnzipCallbacks &)> g_script; // its result is the library's status

int32_t VBUZIP_CALL FakeUnzip(int32_t count, char **include, int32_t excludeCount, char **,
                              UnzipOptions *options, UnzipCallbacks *callbacks) {
    LibraryCall call{{}, excludeCount == 0, *options, options->zipFile, options->extractFolder};
    for (int32_t i = 0; i < count; ++i)
        call.include.emplace_back(include[i] ? include[i] : "<null>");
    call.listsWellFormed = call.listsWellFormed && include[count] && include[count][0] == '\0';
    for (int32_t i = count + 1; i < 1024; ++i)
        call.listsWellFormed = call.listsWellFormed && include[i] == nullptr;
    g_calls.push_back(call);
    return g_script ? g_script(*callbacks) : 0;
}

// Reports one member through the listing callback as the library would.
void List(const UnzipCallbacks &cb, const char *path, uint32_t compressedSize = 10, int32_t factor = 0) {
    cb.listing(2 * compressedSize, compressedSize, uint32_t(factor) & 0xFFFF, 6, 15, 2004, 13, 45, ' ', path,
               "Stored", 0, 0);
}

class Component : public ::testing::Test {
  protected:
    void SetUp() override {
        g_calls.clear();
        g_script = nullptr;
        mUnzip::UseLibrary(mUnzip::UnzipLibrary(&FakeUnzip, nullptr));
        reader.ZipFile(L"kit.zip");
        reader.UnzipFolder(L"/game");
    }
    // The error number that `f` raises (0 for none).
    template <typename F> long ErrorNumber(F &&f) {
        try {
            f();
        } catch (const mend::Error &e) {
            EXPECT_EQ(e.Source(), L"unzip_tests.VBUnzip");
            return e.Number();
        }
        return 0;
    }

    cUnzip reader;
};

TEST_F(Component, ListingSkipsFolderEntriesAndGivesThePathsBackWhole) {
    // Member path and what the component shows (folder|name), after a folder entry among enough
    // short members to fill several blocks of both the packed paths and the entries.
    const std::vector<std::pair<std::string, std::wstring>> rows = {
        {"dir/sub/file.txt", L"dir\\sub|file.txt"},
        {"/abs/file", L"/abs|file"},
        {"/top", L"|/top"},
        {"a//b", L"a\\|b"},
        {"\xC3\xA9t\xC3\xA9/n", L"\u00e9t\u00e9|n"},
        {std::string(280, 'd') + "/name.txt", std::wstring(280, L'd') + L"|name.txt"},
        {std::string(70000, 'e') + "/long.txt", std::wstring(70000, L'e') + L"|long.txt"}};
    g_script = [&rows](const UnzipCallbacks &cb) {
        if (!g_calls.back().options.listOnly)
            return 0;
        List(cb, "dir/sub/file.txt", 1001, -50);
        List(cb, "huge.txt", INT32_MAX, 2);
        for (int i = 0; i < 6000; ++i) {
            List(cb, i == 3000 ? "dir/" : "filler.txt");
            for (size_t r = 0; i == 3000 && r < rows.size(); ++r)
                List(cb, rows[r].first.c_str());
        }
        return 0;
    };
    reader.Directory();
    ASSERT_EQ(reader.FileCount(), 6008);
    EXPECT_EQ(reader.FilePackedSize(1), -500) << "toward zero";
    EXPECT_EQ(ErrorNumber([&] { reader.FilePackedSize(2); }), mend::kErrOverflow);
    EXPECT_EQ(ErrorNumber([&] { reader.FileName(0); }), mend::kErrSubscriptOutOfRange);
    EXPECT_EQ(ErrorNumber([&] { reader.FileSelected(6009, false); }), mend::kErrSubscriptOutOfRange);
    EXPECT_EQ(g_calls.at(0).zipFile, "kit.zip");
    // The shown members picked: their paths go back to the library whole.
    for (int32_t i = 1; i <= reader.FileCount(); ++i)
        reader.FileSelected(i, i > 2 && reader.FileName(i) != L"filler.txt");
    Names back;
    for (const auto &[path, shown] : rows) {
        const int32_t i = 3003 + static_cast<int32_t>(back.size());
        EXPECT_EQ(reader.FileDirectory(i) + L"|" + reader.FileName(i), shown) << path.substr(0, 40);
        back.push_back(path);
    }
    reader.Unzip();
    EXPECT_EQ(g_calls.back().include, back);
}

TEST_F(Component, UnzipNamesAtMost1023ChosenMembersOrNoneForTheWholeArchive) {
    g_script = [](const UnzipCallbacks &cb) {
        for (int i = 1; i <= 1025; ++i)
            List(cb, ("f" + std::to_string(i) + ".txt").c_str());
        return 0;
    };
    reader.Directory();
    g_script = nullptr;
    reader.FileSelected(7, false);
    EXPECT_EQ(ErrorNumber([&] { reader.Unzip(); }), mend::kErrSubscriptOutOfRange);
    EXPECT_EQ(g_calls.size(), 1u) << "refused before the library is called";
    EXPECT_EQ(mUnzip::ActiveComponent(), nullptr) << "a failed call leaves no active component";
    reader.FileSelected(8, false);
    EXPECT_TRUE(reader.Unzip());
    const LibraryCall &call = g_calls.back();
    EXPECT_EQ(call.include.size(), 1023u);
    EXPECT_EQ(call.include.front() + " " + call.include.back(), "f1.txt f1025.txt");
    EXPECT_EQ(std::make_tuple(call.listsWellFormed, call.options.listOnly, call.zipFile, call.extractFolder),
              std::make_tuple(true, 0, std::string("kit.zip"), std::string("/game")));
    EXPECT_FALSE(reader.FileSelected(8)) << "the selection outlives the extraction";

    reader.FileSelected(7, true);
    reader.FileSelected(8, true);
    g_script = [](const UnzipCallbacks &) { return 11; };
    EXPECT_FALSE(reader.Unzip()) << "the library's non-zero status is a failure";
    EXPECT_EQ(reader.LibraryStatus(), 11);
    EXPECT_TRUE(g_calls.back().include.empty()) << "all selected: no names, the whole archive";
    for (int32_t i = 1; i <= 1025; ++i)
        reader.FileSelected(i, false);
    size_t callsBefore = g_calls.size();
    EXPECT_FALSE(reader.Unzip()) << "nothing chosen: nothing to extract";
    EXPECT_EQ(g_calls.size(), callsBefore) << "an empty include list would mean every member";
    {
        cUnzip unlisted;
        unlisted.ZipFile(L"kit.zip");
        unlisted.Unzip();
        EXPECT_TRUE(g_calls.back().include.empty()) << "never listed: the whole archive";
        EXPECT_EQ(mUnzip::ActiveComponent(), &unlisted);
    }
    EXPECT_EQ(mUnzip::ActiveComponent(), nullptr) << "a destroyed component is no longer active";
}

// The library reads a NUL-terminated password: the component ends it after at most 254 bytes.
TEST_F(Component, PasswordRules) {
    const struct {
        std::wstring answer;
        std::vector<int32_t> results; // of two requests in one call: asked again only after a password
        std::string written;          // the start of the first request's buffer
    } rows[] = {{L"  secret  ", {0, 0}, std::string("secret\0#", 8)},
                {L"cancel", {1, 1}, "#"},
                {std::wstring(300, L'p'), {0, 0}, std::string(254, 'p') + '\0' + '#'}};
    for (const auto &row : rows) {
        bool asked = false;
        reader.PasswordRequest = [&](std::wstring &sPassword, bool &bCancel) {
            sPassword = asked ? L"again" : row.answer;
            bCancel = sPassword == L"cancel";
            asked = true;
        };
        std::vector<int32_t> results;
        std::string first(300, '#'), second(300, '#');
        g_script = [&](const UnzipCallbacks &cb) {
            results = {cb.password(first.data(), 256, "Password:", "a.txt"),
                       cb.password(second.data(), 256, "Password:", "a.txt")};
            return 0;
        };
        reader.Unzip();
        EXPECT_EQ(results, row.results) << first.substr(0, 8);
        EXPECT_EQ(first.substr(0, row.written.size()), row.written);
    }
}

// Without handlers, as in the wizard, the library's questions get the default answers; a
// handler's exception never reaches the library.
TEST_F(Component, ProgressAndTheDefaultAnswers) {
    std::vector<std::pair<int32_t, std::wstring>> progress;
    reader.Progress = [&](int32_t lCount, const std::wstring &sMsg) { progress.emplace_back(lCount, sMsg); };
    std::vector<int32_t> returns;
    g_script = [&](const UnzipCallbacks &cb) {
        char buffer[256];
        cb.print("  inflating: dir/a.txt\n", 23);
        cb.print("x", 1);
        cb.print(std::string(32000, 'm').data(), 32000);
        returns = {cb.replace("dir/keep.txt"), cb.service("dir/stop.txt", 12),
                   cb.password(buffer, 256, "", "")};
        return 0;
    };
    reader.Unzip();
    EXPECT_EQ(progress, (std::vector<std::pair<int32_t, std::wstring>>{{1, L"  inflating: dir\\a.txt\n"}}))
        << "messages of one byte or of 32000 and more are not shown";
    const std::vector<int32_t> defaults = {100, 0, 1};
    EXPECT_EQ(returns, defaults);
    reader.Progress = [](int32_t, const std::wstring &) { throw std::runtime_error("host"); };
    reader.OverwritePrompt = [](const std::wstring &, int32_t &) { throw mend::Error(5, L"host", L"x"); };
    reader.Cancel = [](const std::wstring &, bool &) { throw 42; };
    reader.PasswordRequest = [](std::wstring &, bool &) { throw std::runtime_error("host"); };
    EXPECT_TRUE(reader.Unzip());
    EXPECT_EQ(returns, defaults);
}

} // namespace
