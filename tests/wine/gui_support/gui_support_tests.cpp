// The GUI-driving helpers against windows whose truth this test knows: a dialog and message boxes
// run by a second thread of this process, so every helper works across threads as it must across
// processes.
#include <gtest/gtest.h>
#include <windows.h>
#include <zlib.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "support/gui.h"
#include "support/png.h"
#include "support/process.h"
#include "support/temp_folder.h"

using namespace wintest;

namespace {

const wchar_t kCaption[] = L"Driven  Dialog";
const wchar_t kFace[] = L"MS Sans Serif";
constexpr WORD kPoints = 8;

struct Item {
    DWORD style;
    short x, y, cx, cy;
    WORD id;
    WORD atom; // predefined class: 0x0080 button, 0x0082 static
    const wchar_t *text;
};

const Item kItems[] = {
    {WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 8, 30, 61, 17, 1003, 0x0080, L"Push"},
    {WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX | WS_TABSTOP, 74, 29, 77, 10, 1009, 0x0080, L"Tick me"},
    {WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON, 16, 12, 57, 10, 1007, 0x0080, L"One"},
    {WS_CHILD | WS_VISIBLE | SS_LEFT, 80, 12, 33, 10, 0xFFFF, 0x0082, L"Label"},
    // At the usual base units this one's right edge, converted as an edge, is a pixel short of
    // the dialog manager's position plus converted width.
    {WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 125, 8, 23, 18, 1011, 0x0080, L"?"},
};

// A classic in-memory DLGTEMPLATE with the items above.
std::vector<DWORD> BuildTemplate() {
    std::vector<WORD> t;
    auto dword = [&](DWORD v) {
        t.push_back(static_cast<WORD>(v));
        t.push_back(static_cast<WORD>(v >> 16));
    };
    auto text = [&](const wchar_t *s) {
        for (; *s; ++s)
            t.push_back(*s);
        t.push_back(0);
    };
    auto align = [&] {
        if (t.size() % 2)
            t.push_back(0);
    };
    dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | WS_VISIBLE);
    dword(0);
    t.push_back(static_cast<WORD>(std::size(kItems)));
    for (short v : {20, 20, 157, 54})
        t.push_back(static_cast<WORD>(v));
    t.push_back(0);
    t.push_back(0);
    text(kCaption);
    t.push_back(kPoints);
    text(kFace);
    for (const Item &item : kItems) {
        align();
        dword(item.style);
        dword(0);
        for (short v : {item.x, item.y, item.cx, item.cy})
            t.push_back(static_cast<WORD>(v));
        t.push_back(item.id);
        t.push_back(0xFFFF);
        t.push_back(item.atom);
        text(item.text);
        t.push_back(0); // no creation data
    }
    std::vector<DWORD> aligned((t.size() + 1) / 2);
    std::memcpy(aligned.data(), t.data(), t.size() * sizeof(WORD));
    return aligned;
}

// What the dialog thread saw.
std::mutex seenLock;
std::vector<int> commands;
std::atomic<bool> closed{false};

INT_PTR CALLBACK DrivenDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND: {
        std::lock_guard<std::mutex> lock(seenLock);
        commands.push_back(LOWORD(wParam));
        return TRUE;
    }
    case WM_CLOSE:
        closed = true;
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

// Runs the dialog modally on its own thread for the life of the fixture.
class DrivenDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        {
            std::lock_guard<std::mutex> lock(seenLock);
            commands.clear();
        }
        closed = false;
        thread_ = std::thread([this] {
            DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                                    reinterpret_cast<LPCDLGTEMPLATEW>(template_.data()), nullptr,
                                    DrivenDialogProc, 0);
        });
        dialog_ = FindTopWindow(kCaption, GetCurrentProcessId());
        ASSERT_NE(dialog_, nullptr);
    }
    void TearDown() override {
        if (!closed && dialog_)
            PostClose(dialog_);
        thread_.join();
    }
    std::vector<int> Commands() {
        std::lock_guard<std::mutex> lock(seenLock);
        return commands;
    }

    std::vector<DWORD> template_ = BuildTemplate();
    std::thread thread_;
    HWND dialog_ = nullptr;
};

TEST_F(DrivenDialog, ReadsControlsInTabOrderWithTheirTemplateLayout) {
    auto controls = ChildControls(dialog_);
    ASSERT_EQ(controls.size(), std::size(kItems));
    DialogBaseUnits base = BaseUnitsOfFont(kFace, kPoints);
    ASSERT_GT(base.x, 0);
    ASSERT_GT(base.y, 0);
    // The conversion must agree with the dialog manager's own for the dialog it made.
    RECT probe{10, 20, 157, 54};
    RECT mapped = probe;
    MapDialogRect(dialog_, &mapped);
    EXPECT_EQ(Describe(PixelsFromDialogUnits(probe, base)), Describe(mapped));

    const wchar_t *classes[] = {L"Button", L"Button", L"Button", L"Static", L"Button"};
    for (size_t i = 0; i < controls.size() && i < std::size(classes); ++i) {
        const auto &c = controls[i];
        const Item &item = kItems[i];
        SCOPED_TRACE(item.text);
        EXPECT_EQ(c.text, item.text);
        EXPECT_EQ(_wcsicmp(c.className.c_str(), classes[i]), 0) << c.className;
        EXPECT_EQ(c.id, item.id == 0xFFFF ? -1 : item.id);
        EXPECT_EQ(c.style & 0xFFFF, item.style & 0xFFFF);
        EXPECT_EQ((c.style & WS_TABSTOP) != 0, (item.style & WS_TABSTOP) != 0);
        EXPECT_TRUE(c.visible);
        DialogUnitBox units{item.x, item.y, item.cx, item.cy};
        EXPECT_EQ(Describe(c.rect), Describe(PixelsFromDialogBox(units, base)));
        EXPECT_EQ(Describe(DialogBoxFromPixels(c.rect, base)), Describe(units));
    }
    EXPECT_EQ(controls[1].check, BST_UNCHECKED);
    EXPECT_EQ(controls[3].check, -1) << "only buttons have a check state";

    RECT inch{0, 0, ScreenDpi(), ScreenDpi() / 2};
    EXPECT_EQ(Describe(TwipsFromPixels(inch, ScreenDpi())), L"0, 0, 1440 x 720");
}

TEST_F(DrivenDialog, ClicksReachTheDialogAndChangeTheTicks) {
    ASSERT_TRUE(Click(dialog_, 1009));
    ASSERT_TRUE(WaitUntil([&] { return FindControl(dialog_, 1009)->Checked(); }));
    ASSERT_TRUE(ClickByText(dialog_, L"One"));
    ASSERT_TRUE(WaitUntil([&] { return FindControl(dialog_, 1007)->Checked(); }));
    ASSERT_TRUE(Click(dialog_, 1003));
    ASSERT_TRUE(Sync(dialog_));
    EXPECT_EQ(Commands(), (std::vector<int>{1009, 1007, 1003}));
    EXPECT_FALSE(Click(dialog_, 4242));
    EXPECT_FALSE(ClickByText(dialog_, L"Nobody"));
}

TEST_F(DrivenDialog, KeysGoThroughTheDialogManager) {
    EXPECT_NE(FocusedWindow(dialog_), nullptr);
    SendKey(dialog_, Key::Escape);
    ASSERT_TRUE(Sync(dialog_));
    EXPECT_EQ(Commands(), (std::vector<int>{IDCANCEL}));
    EXPECT_FALSE(closed);
    SendKey(dialog_, Key::AltF4);
    ASSERT_TRUE(WaitUntil([] { return closed.load(); }));
}

TEST_F(DrivenDialog, SystemMenuCloseEndsTheDialog) {
    PostSystemClose(dialog_);
    ASSERT_TRUE(WaitUntil([] { return closed.load(); }));
    EXPECT_TRUE(WaitUntilGone(dialog_));
}

TEST_F(DrivenDialog, ScreenshotsAreWrittenAsPngOfTheWindowSize) {
    RECT r;
    GetWindowRect(dialog_, &r);
    RgbImage screen = CaptureWindow(dialog_, Capture::Screen);
    RgbImage printed = CaptureWindow(dialog_, Capture::Print);
    EXPECT_EQ(screen.width, r.right - r.left);
    EXPECT_EQ(screen.height, r.bottom - r.top);
    EXPECT_EQ(printed.width, screen.width);
    // A real picture of a dialog is not one flat colour.
    EXPECT_NE(std::count(screen.rgb.begin(), screen.rgb.end(), screen.rgb[0]),
              static_cast<long>(screen.rgb.size()));
    std::wstring path = SaveScreenshot(screen, L"gui_support_screen");
    SaveScreenshot(printed, L"gui_support_print");
    std::string png = ReadFile(path);
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
}

TEST(Png, HoldsThePixelsAndValidChunks) {
    RgbImage image;
    image.width = 3;
    image.height = 2;
    image.rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    std::string png = EncodePng(image);
    // Walk the chunks, checking each CRC, and collect the compressed pixels.
    size_t at = 8;
    std::string types, idat, ihdr;
    while (at < png.size()) {
        auto be32 = [&](size_t i) {
            return static_cast<std::uint32_t>(
                static_cast<unsigned char>(png[i]) << 24 | static_cast<unsigned char>(png[i + 1]) << 16 |
                static_cast<unsigned char>(png[i + 2]) << 8 | static_cast<unsigned char>(png[i + 3]));
        };
        std::uint32_t length = be32(at);
        std::string type = png.substr(at + 4, 4);
        std::string data = png.substr(at + 8, length);
        uLong crc = crc32(0L, reinterpret_cast<const Bytef *>(png.data() + at + 4), length + 4);
        EXPECT_EQ(be32(at + 8 + length), crc) << type;
        types += type + " ";
        if (type == "IDAT")
            idat += data;
        if (type == "IHDR")
            ihdr = data;
        at += 12 + length;
    }
    EXPECT_EQ(types, "IHDR IDAT IEND ");
    EXPECT_EQ(ihdr, std::string("\0\0\0\3\0\0\0\2\x08\x02\0\0\0", 13));
    std::string raw(64, '\0');
    uLongf rawSize = raw.size();
    ASSERT_EQ(uncompress(reinterpret_cast<Bytef *>(raw.data()), &rawSize,
                         reinterpret_cast<const Bytef *>(idat.data()), idat.size()),
              Z_OK);
    raw.resize(rawSize);
    std::string expected;
    for (int y = 0; y < 2; ++y) {
        expected.push_back('\0');
        expected.append(reinterpret_cast<const char *>(image.rgb.data()) + y * 9, 9);
    }
    EXPECT_EQ(raw, expected);
}

// A message box shown by another thread: read, answered, and its result handed back.
class OtherThreadMessageBox {
  public:
    OtherThreadMessageBox(const wchar_t *text, const wchar_t *caption, UINT type)
        : thread_([=] { result_ = MessageBoxW(nullptr, text, caption, type); }) {}
    ~OtherThreadMessageBox() { thread_.join(); }
    int Result() const { return result_; }

  private:
    std::atomic<int> result_{0};
    std::thread thread_;
};

TEST(MessageBoxes, AreReadAndAnsweredWithOk) {
    int result = 0;
    {
        OtherThreadMessageBox box(L"file not found", L"File not found", MB_OK);
        auto info = WaitForMessageBox(L"File not found", GetCurrentProcessId());
        ASSERT_TRUE(info);
        EXPECT_EQ(info->text, L"file not found");
        EXPECT_EQ(info->buttons, std::vector<std::wstring>{L"OK"});
        EXPECT_FALSE(info->hasIcon);
        EXPECT_FALSE(WaitForMessageBox(L"Another caption", GetCurrentProcessId(), 100));
        EXPECT_TRUE(PressOk(info->window));
        ASSERT_TRUE(WaitUntil([&] { return box.Result() != 0; }));
        result = box.Result();
    }
    EXPECT_EQ(result, IDOK);
}

TEST(MessageBoxes, ShowTheirIconAndButtons) {
    OtherThreadMessageBox box(L"Question?", L"Asking", MB_OKCANCEL | MB_ICONINFORMATION);
    auto info = WaitForAnyMessageBox(GetCurrentProcessId());
    ASSERT_TRUE(info);
    EXPECT_EQ(info->caption, L"Asking");
    EXPECT_EQ(info->text, L"Question?");
    EXPECT_EQ(info->buttons, (std::vector<std::wstring>{L"OK", L"Cancel"}));
    EXPECT_TRUE(info->hasIcon);
    EXPECT_TRUE(PressOk(info->window));
}

TEST(Processes, EndAndGiveTheirExitCode) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    ChildProcess child(self, L"--gtest_filter=Nothing.AtAll", ProgramFolder());
    DWORD code = 99;
    ASSERT_TRUE(WaitUntil([&] { return ProcessEnded(child.Handle(), &code); }));
    EXPECT_EQ(code, 0u);
}

} // namespace
