// The main window: the report in an edit control that fills it, and the menu.
#include "shell/MainWindow.h"

#include "report/ReportComposer.h"
#include "resources/resource.h"
#include "shell/AboutWindow.h"
#include "shell/Gui.h"
#include "shell/SaveReport.h"

static const char MainClassName[] = "NORMAL0";

static HWND ReportEdit()
{
    return GetDlgItem(Gui.mainWindow, ID_REPORT_EDIT);
}

static void OnCreate(HWND window)
{
    Gui.mainWindow = window;
    SetMenu(window, Gui.menuBar);
    HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE
                                    | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN,
                                1, 0, 518, 306, window, (HMENU)(INT_PTR)ID_REPORT_EDIT,
                                GetModuleHandleA(NULL), NULL);
    // The report fills the window before it is first shown: resized only then, the edit control
    // would lay its scroll bars out and draw them once more before the first paint.
    RECT client;
    GetClientRect(window, &client);
    MoveWindow(edit, 0, 0, client.right, client.bottom, FALSE);
    SendMessageA(edit, WM_SETFONT, (WPARAM)Gui.reportFont, 0);
    ComposeReport(window);
}

static void OnSize(int width, int height)
{
    MoveWindow(ReportEdit(), 0, 0, width, height, TRUE);
}

static void Shutdown()
{
    ReleaseGuiResources();
    PostQuitMessage(0);
}

static void OnCommand(HWND window, int id)
{
    switch (id) {
    case IDM_SAVE_REPORT: SaveReport(); break;
    case IDM_EXIT: Shutdown(); break;
    case IDM_ABOUT: ShowAboutWindow(window); break;
    }
}

static void OnDestroy(HWND window)
{
    Shutdown();
    SetMenu(window, NULL);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:   OnCreate(window); return 0;
    case WM_SIZE:     OnSize(LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_SETFOCUS: SetFocus(ReportEdit()); return 0; // typing goes to the report
    case WM_COMMAND:  OnCommand(window, LOWORD(wParam)); return 0;
    case WM_CLOSE:    DestroyWindow(window); return 0;
    case WM_DESTROY:  OnDestroy(window); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterMainWindowClass()
{
    HINSTANCE instance = GetModuleHandleA(NULL);
    WNDCLASSEXA windowClass = {};
    static_assert(sizeof(void*) != 4 || sizeof(windowClass) == 48, "old Windows read 48 bytes");
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP));
    windowClass.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP));
    windowClass.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    windowClass.hbrBackground = Gui.backgroundBrush;
    windowClass.lpszClassName = MainClassName;
    return RegisterWindowClass(windowClass);
}

HWND CreateMainWindow()
{
    return CreateWindowExA(0, MainClassName, "ぽこぺ システムレポート４", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                           CW_USEDEFAULT, CW_USEDEFAULT, 530, 352, NULL, NULL,
                           GetModuleHandleA(NULL), NULL);
}
