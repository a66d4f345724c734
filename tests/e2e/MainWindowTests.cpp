// The main window as the user meets it: report, title, size, menus, resizing and leaving.
#include "tests/e2e/Driving.h"
#include "tests/e2e/MenuProbe.h"

#include "resources/resource.h"

class MainWindow : public testing::Test {
protected:
    void SetUp() override
    {
        std::string why;
        ASSERT_TRUE(app.Start(&why)) << why;
    }
    Program app;
};

// The report as the user first sees it: complete, not filled in after the window appeared.
TEST_F(MainWindow, ShowsTheWholeReportWhenItFirstAppears)
{
    ASSERT_TRUE(app.edit) << "the main window had no control " << ID_REPORT_EDIT << " when it first showed";
    const std::string& text = app.firstText;
    std::string start = "☆もふりん堂HPへ、トラブルを伝えるときには\r\n";
    std::string end = std::string(60, '-') + "\r\n\r\n";
    std::string lastBytes = text.size() > end.size() ? text.substr(text.size() - end.size()) : text;
    EXPECT_PRED_FORMAT2(SameText, start, text.substr(0, start.size()));
    EXPECT_PRED_FORMAT2(SameText, end, lastBytes);

    size_t bareBreaks = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))
            ++bareBreaks;
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            ++bareBreaks;
    }
    EXPECT_EQ(0u, bareBreaks) << "CR or LF bytes not paired as CR LF in the report";

    // the screen the driver shares with the program
    RECT screen = {};
    GetClientRect(GetDesktopWindow(), &screen);
    std::string line = "画面サイズ          ：" + std::to_string(screen.right) + " x " + std::to_string(screen.bottom) + "\r\n";
    EXPECT_TRUE(text.find(line) != std::string::npos) << "no line \"" << Readable(line) << "\" in the report";
}

TEST_F(MainWindow, HasItsTitleAndFirstSize)
{
    EXPECT_PRED_FORMAT2(SameText, "ぽこぺ システムレポート４", Caption(app.main));
    RECT r = {};
    GetWindowRect(app.main, &r);
    EXPECT_EQ(530, r.right - r.left) << "outer width";
    EXPECT_EQ(352, r.bottom - r.top) << "outer height";
}

TEST_F(MainWindow, ReportControlCoversTheClientAreaAtAnySize)
{
    ASSERT_TRUE(app.edit);
    auto expectCovered = [&](const std::string& after) {
        RECT client = {};
        GetClientRect(app.main, &client);
        EXPECT_EQ(RectText(client), RectText(RectInClient(app.edit, app.main)))
            << "report control against the client area, " << after;
    };
    expectCovered("at start");

    struct Size { int width, height; };
    static const Size sizes[] = {{800, 600}, {300, 200}, {1000, 740}, {531, 353}, {160, 120}, {640, 480}};
    for (const Size& s : sizes) {
        SetWindowPos(app.main, nullptr, 20, 10, s.width, s.height, SWP_NOZORDER | SWP_NOACTIVATE);
        expectCovered("after resizing the window to " + std::to_string(s.width) + " x " + std::to_string(s.height));
    }
    ShowWindow(app.main, SW_MAXIMIZE);
    expectCovered("when maximised");
    ShowWindow(app.main, SW_RESTORE);
    expectCovered("when restored from maximised");
    ShowWindow(app.main, SW_MINIMIZE);
    ShowWindow(app.main, SW_RESTORE);
    expectCovered("when restored from minimised");
}

// Under Wine another process's menus cannot be read: a hook DLL reads them inside the program.
static std::string MenuAsSeenInside(const Program& app, std::string* why)
{
    char self[MAX_PATH + 1];
    DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string dll(self, n);
    dll = dll.substr(0, dll.find_last_of('\\') + 1) + "E2EMenuProbe.dll";
    HMODULE probe = LoadLibraryA(dll.c_str());
    auto hook = probe ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(probe, MENU_PROBE_HOOK)))
                      : nullptr;
    if (!hook) {
        *why = "cannot load " + dll;
        return "";
    }
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        sizeof(MenuProbeShared), MENU_PROBE_MAPPING);
    auto* shared = static_cast<MenuProbeShared*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
    shared->window = reinterpret_cast<ULONG_PTR>(app.main);
    shared->done = 0;
    HHOOK installed = SetWindowsHookExA(WH_GETMESSAGE, hook, probe, app.guiThread);
    std::string text;
    if (!installed) {
        *why = "cannot hook the program's thread: error " + std::to_string(GetLastError());
    } else {
        app.Post(WM_NULL);
        if (WaitFor([&] { return shared->done != 0; }, Opt.stepTimeout))
            text = shared->text;
        else
            *why = "the probe in the program did not answer";
        UnhookWindowsHookEx(installed);
    }
    UnmapViewOfFile(shared);
    CloseHandle(mapping);
    FreeLibrary(probe);
    return text;
}

TEST_F(MainWindow, MenusListTheirItemsInOrder)
{
    std::string why;
    std::string menu = MenuAsSeenInside(app, &why);
    ASSERT_FALSE(menu.empty()) << why;
    EXPECT_PRED_FORMAT2(SameText,
                        "ファイル(&F)\n"
                        "  名前をつけてレポートの保存(&A) -> 1010\n"
                        "  ----\n"
                        "  終了(&X) -> 1011\n"
                        "ヘルプ(&H)\n"
                        "  バージョン情報(&V) -> 1012\n",
                        menu);
}

TEST_F(MainWindow, KeepsTheReportItShowedFirst)
{
    // the report's stamp has seconds: a second composition would differ
    Sleep(1100);
    EXPECT_PRED_FORMAT2(SameText, app.firstText, ControlText(app.edit));
}

TEST_F(MainWindow, ExitCommandCloseBoxAndCloseMessageEndItWithCodeZero)
{
    struct Ending { const char* how; UINT message; WPARAM wParam; };
    static const Ending endings[] = {{"the exit command", WM_COMMAND, IDM_EXIT},
                                     {"the close box", WM_SYSCOMMAND, SC_CLOSE},
                                     {"WM_CLOSE", WM_CLOSE, 0}};
    for (const Ending& e : endings) {
        std::string why;
        ASSERT_TRUE(app.Running() || app.Start(&why)) << why; // a run of its own for each
        app.Post(e.message, e.wParam);
        DWORD code = 1234;
        ASSERT_TRUE(app.WaitForExit(Opt.stepTimeout, &code)) << "still running after " << e.how;
        EXPECT_EQ(0u, code) << "after " << e.how;
    }
}

TEST_F(MainWindow, KeysGoToTheReportAtFirstAndAfterTheAboutWindowClosesWithOk)
{
    auto expectTyped = [&](BYTE key, const std::string& expected, const char* when) {
        EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == app.main; }, Opt.stepTimeout))
            << "the main window is not in front " << when;
        keybd_event(key, 0, 0, 0); // to the window with the focus
        keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
        WaitFor([&] { return ControlText(app.edit) == expected; }, Opt.stepTimeout);
        EXPECT_PRED_FORMAT2(SameText, expected, ControlText(app.edit)) << "a key pressed " << when;
    };
    expectTyped('X', "x" + app.firstText, "after start-up"); // where the caret starts
    app.Command(IDM_ABOUT);
    HWND about = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (about = FindOwnedWindow(app.pid, AboutWindowClass, app.main)) != nullptr; },
                        Opt.stepTimeout)) << "no About window";
    PostMessageA(GetDlgItem(about, ID_ABOUT_OK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(about); }, Opt.stepTimeout)) << "the About window stays after OK";
    expectTyped('Y', "xy" + app.firstText, "after the About window closed with OK");
}
