// The About window: its look, how it closes, what it leaves open, and its home-page link.
#include "tests/e2e/Driving.h"

#include "resources/resource.h"

static const char HomePage[] = "http://mofurindo.example.jp/";

struct ControlRow {
    int id;
    const char* className;
    const char* text;
    DWORD exStyle;
    DWORD style;
    int x, y, width, height;
};

static const ControlRow Controls[] = {
    {ID_ABOUT_OK, "BUTTON", "OK", 0, 0x50000000, 309, 113, 80, 19},
    {ID_ABOUT_ICON, "STATIC", "", 0, 0x50000003, 23, 17, 32, 32},
    {ID_ABOUT_TITLE, "STATIC", "ぽこぺシステムレポート", 0, 0x50000000, 70, 9, 203, 16},
    {ID_ABOUT_VERSION, "STATIC", "Version 4.1", 0, 0x50000000, 71, 28, 178, 13},
    {ID_ABOUT_SEPARATOR, "STATIC", "", WS_EX_STATICEDGE, 0x50000000, 2, 86, 398, 2},
    {ID_ABOUT_COPYRIGHT, "STATIC", "Copyright (C) 2009 もふりん堂", 0, 0x50000000, 70, 47, 292, 14},
    {ID_ABOUT_COPYRIGHT2, "STATIC", "All rights reserved.", 0, 0x50000000, 70, 65, 268, 12},
    {ID_ABOUT_LINK, "STATIC", HomePage, 0, 0x50000100, 70, 116, 206, 15},
    {ID_ABOUT_LINK_LABEL, "STATIC", "ぽこぺアプリホームページ：", 0, 0x50000000, 17, 95, 147, 14},
};

static std::string Hex(DWORD value)
{
    char text[16];
    snprintf(text, sizeof text, "0x%08lX", value);
    return text;
}

static BOOL CALLBACK CountChild(HWND, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

static void ExpectAboutLooksRight(HWND about, HWND main)
{
    EXPECT_EQ(AboutWindowClass, ClassName(about));
    EXPECT_PRED_FORMAT2(SameText, "バージョン情報", Caption(about));
    EXPECT_EQ(main, GetWindow(about, GW_OWNER)) << "the About window's owner is not the main window";
    RECT r = {};
    GetWindowRect(about, &r);
    EXPECT_EQ(406, r.right - r.left) << "outer width";
    EXPECT_EQ(165, r.bottom - r.top) << "outer height";
    // a title bar and border only: no system menu, close box, sizing border or min/max boxes
    const DWORD frame = WS_POPUP | WS_CHILD | WS_VISIBLE | WS_DISABLED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME
                      | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    DWORD style = GetWindowLongA(about, GWL_STYLE);
    EXPECT_EQ(Hex(WS_CAPTION | WS_VISIBLE), Hex(style & frame)) << "About window frame styles";

    int children = 0;
    EnumChildWindows(about, CountChild, reinterpret_cast<LPARAM>(&children));
    EXPECT_EQ(9, children) << "controls in the About window";
    for (const ControlRow& row : Controls) {
        SCOPED_TRACE("control " + std::to_string(row.id));
        HWND control = GetDlgItem(about, row.id);
        if (!control) {
            ADD_FAILURE() << "missing";
            continue;
        }
        EXPECT_EQ(2, CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, row.className, -1,
                                    ClassName(control).c_str(), -1))
            << "class: expected " << row.className << ", got " << ClassName(control);
        EXPECT_PRED_FORMAT2(SameText, row.text, ControlText(control));
        DWORD style = GetWindowLongA(control, GWL_STYLE);
        DWORD exStyle = GetWindowLongA(control, GWL_EXSTYLE);
        EXPECT_EQ(Hex(row.style), Hex(style)) << "style";
        EXPECT_EQ(Hex(row.exStyle), Hex(exStyle)) << "extended style";
        RECT expected = {row.x, row.y, row.x + row.width, row.y + row.height};
        EXPECT_EQ(RectText(expected), RectText(RectInClient(control, about))) << "place in the About window";
    }
    EXPECT_FALSE(IsWindowEnabled(main)) << "main window enabled while About is open";
}

class AboutWindow : public testing::Test {
protected:
    void SetUp() override
    {
        std::string why;
        ASSERT_TRUE(app.Start(&why)) << why;
        ASSERT_TRUE(Open(&about));
    }

    bool Open(HWND* window)
    {
        app.Command(IDM_ABOUT);
        bool shown = WaitFor([&] { return (*window = FindOwnedWindow(app.pid, AboutWindowClass, app.main)) != nullptr; },
                             Opt.stepTimeout);
        EXPECT_TRUE(shown) << "no visible " << AboutWindowClass << " window owned by the main window after the About command";
        return shown;
    }

    void ExpectClosedAndProgramGoesOn(const char* how)
    {
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(about); }, Opt.stepTimeout)) << "still open after " << how;
        WaitFor([&] { return IsWindowEnabled(app.main) || !IsWindow(app.main); }, Opt.stepTimeout);
        if (!IsWindow(app.main)) {
            ADD_FAILURE() << "the program ended after " << how;
            return;
        }
        EXPECT_TRUE(IsWindowEnabled(app.main)) << "main window still disabled after " << how;
        EXPECT_TRUE(Responds(app.main)) << "main window does not answer after " << how;
    }

    void ExpectStillOpen(const char* after)
    {
        EXPECT_TRUE(Responds(about)) << "About window gone after " << after;
        EXPECT_TRUE(IsWindowVisible(about)) << "About window hidden after " << after;
        EXPECT_FALSE(IsWindowEnabled(app.main)) << "main window enabled while About is open, after " << after;
    }

    Program app;
    HWND about = nullptr;
};

TEST_F(AboutWindow, ShowsItsControlsInPlaceWhileTheMainWindowIsDisabled)
{
    ExpectAboutLooksRight(about, app.main);
}

TEST_F(AboutWindow, OkAndCloseMessageCloseItAndItOpensAgain)
{
    struct Closing { const char* how; int control; UINT message; };
    static const Closing closings[] = {{"pressing OK", ID_ABOUT_OK, BM_CLICK}, {"WM_CLOSE", 0, WM_CLOSE}};
    for (const Closing& c : closings) {
        PostMessageA(c.control ? GetDlgItem(about, c.control) : about, c.message, 0, 0);
        ExpectClosedAndProgramGoesOn(c.how);
        if (HasFailure())
            return;
        ASSERT_TRUE(Open(&about));
        SCOPED_TRACE(std::string("opened again after ") + c.how);
        ExpectAboutLooksRight(about, app.main);
    }
}

TEST_F(AboutWindow, OkAndCancelCommandsAndEscapeLeaveItOpen)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(about, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0, SMTO_ABORTIFHUNG, Opt.stepTimeout, &result);
    ExpectStillOpen("WM_COMMAND IDOK");
    SendMessageTimeoutA(about, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0, SMTO_ABORTIFHUNG, Opt.stepTimeout, &result);
    ExpectStillOpen("WM_COMMAND IDCANCEL");
    PostMessageA(about, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(about, WM_KEYUP, VK_ESCAPE, 0xC0010001);
    // a posted key is taken after any message sent meanwhile: give it time to act first
    EXPECT_FALSE(WaitFor([&] { return !IsWindow(about); }, 500)) << "the Esc key closed the About window";
    ExpectStillOpen("the Esc key");
}

static std::vector<std::string> BrowserLines()
{
    std::string log = ReadAll(Opt.browserLog);
    std::vector<std::string> lines;
    size_t from = 0;
    for (size_t end; (end = log.find("\r\n", from)) != std::string::npos; from = end + 2)
        lines.push_back(log.substr(from, end - from));
    return lines;
}

TEST_F(AboutWindow, LinkPressOpensTheHomePageOncePerPress)
{
    ASSERT_FALSE(Opt.browserLog.empty()) << "run with --browser-log=FILE";
    DeleteFileA(Opt.browserLog.c_str());
    HWND link = GetDlgItem(about, ID_ABOUT_LINK);
    ASSERT_TRUE(link);
    const LPARAM inside = MAKELPARAM(10, 5);

    PostMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, inside);
    EXPECT_TRUE(WaitFor([] { return BrowserLines().size() >= 1; }, Opt.stepTimeout))
        << "the browser was not started on the press";
    // a release starts nothing; the next press starts the browser once more
    PostMessageA(link, WM_LBUTTONUP, 0, inside);
    PostMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, inside);
    PostMessageA(link, WM_LBUTTONUP, 0, inside);
    EXPECT_TRUE(WaitFor([] { return BrowserLines().size() >= 2; }, Opt.stepTimeout))
        << "the browser was not started on the second press";
    Sleep(1500);

    std::vector<std::string> lines = BrowserLines();
    EXPECT_EQ(2u, lines.size()) << "browser starts for two presses";
    for (const std::string& line : lines)
        EXPECT_PRED_FORMAT2(SameText, HomePage, line);
    ExpectStillOpen("pressing the link");
}

TEST_F(AboutWindow, QuitFromOutsideOrClosingTheMainWindowMeanwhileEndsTheProgram)
{
    for (bool quit : {true, false}) {
        const char* how = quit ? "WM_QUIT while About was open" : "WM_CLOSE to the main window";
        std::string why;
        ASSERT_TRUE(app.Running() || (app.Start(&why) && Open(&about))) << why; // a run of its own for each
        if (quit)
            PostThreadMessageA(app.guiThread, WM_QUIT, 0, 0);
        else
            app.Post(WM_CLOSE);
        DWORD code = 1234;
        ASSERT_TRUE(app.WaitForExit(Opt.stepTimeout, &code)) << "still running after " << how;
        EXPECT_EQ(0u, code) << "after " << how;
    }
}
