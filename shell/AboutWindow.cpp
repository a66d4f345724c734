// The About window: icon, title, version, copyright and a link to the home page.
#include "shell/AboutWindow.h"

#include <shellapi.h>

#include "calls/WindowsCalls.h"
#include "resources/resource.h"
#include "shell/Gui.h"

static const char DialogClassName[] = "NORMALDLG";
static const char HomePage[] = "http://mofurindo.example.jp/";

// Only one About window exists at a time.
struct AboutState {
    HWND window;
    HICON icon;
    bool iconShared; // LoadIconA's, which the system owns
    HCURSOR handCursor;
    WNDPROC linkPreviousProc;
    bool closing; // CloseAboutWindow posted the WM_QUIT that ends the loop
};
static AboutState About;

struct ControlSpec {
    int id;
    const char* className;
    const char* text;
    DWORD exStyle;
    DWORD style;
    int x, y, width, height;
};

static const ControlSpec Controls[] = {
    {ID_ABOUT_OK, "BUTTON", "OK", 0, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 309, 113, 80, 19},
    {ID_ABOUT_ICON, "STATIC", "", 0, WS_CHILD | WS_VISIBLE | SS_ICON, 23, 17, 32, 32},
    {ID_ABOUT_TITLE, "STATIC", "ぽこぺシステムレポート", 0, WS_CHILD | WS_VISIBLE | SS_LEFT, 70, 9, 203, 16},
    {ID_ABOUT_VERSION, "STATIC", "Version 4.1", 0, WS_CHILD | WS_VISIBLE, 71, 28, 178, 13},
    {ID_ABOUT_SEPARATOR, "STATIC", "", WS_EX_STATICEDGE, WS_CHILD | WS_VISIBLE, 2, 86, 398, 2},
    {ID_ABOUT_COPYRIGHT, "STATIC", "Copyright (C) 2009 もふりん堂", 0, WS_CHILD | WS_VISIBLE, 70, 47, 292, 14},
    {ID_ABOUT_COPYRIGHT2, "STATIC", "All rights reserved.", 0, WS_CHILD | WS_VISIBLE, 70, 65, 268, 12},
    {ID_ABOUT_LINK, "STATIC", HomePage, 0, WS_CHILD | WS_VISIBLE | SS_NOTIFY, 70, 116, 206, 15},
    {ID_ABOUT_LINK_LABEL, "STATIC", "ぽこぺアプリホームページ：", 0, WS_CHILD | WS_VISIBLE, 17, 95, 147, 14},
};

static LRESULT CALLBACK DialogClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterDialogClass()
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = DialogClassProc;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.hIcon = LoadIconA(NULL, (LPCSTR)IDI_APPLICATION);
    windowClass.hIconSm = LoadIconA(NULL, (LPCSTR)IDI_WINLOGO);
    windowClass.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    windowClass.hbrBackground = Gui.backgroundBrush;
    windowClass.lpszClassName = DialogClassName;
    return RegisterWindowClass(windowClass);
}

static void SetUpLink(HWND window)
{
    // IDC_HAND by number: Windows 95 and NT 4.0 have no hand and give no cursor
    About.handCursor = LoadCursorA(NULL, "#32649");
    HWND link = GetDlgItem(window, ID_ABOUT_LINK);
    About.linkPreviousProc = (WNDPROC)GetWindowLongPtrA(link, GWLP_WNDPROC);
    SetWindowLongPtrA(link, GWLP_WNDPROC, (LONG_PTR)AboutLinkProc);
}

// At the system's icon size; NT 3.51 has only LoadIconA, which gives that size too, and so does a
// Windows whose LoadImageA refuses.
static void LoadAboutIcon(HINSTANCE own)
{
    About.icon = Sys.LoadImageA
        ? (HICON)Sys.LoadImageA(own, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)
        : NULL;
    About.iconShared = !About.icon;
    if (!About.icon)
        About.icon = LoadIconA(own, MAKEINTRESOURCEA(IDI_APP));
}

static void OnInitDialog(HWND window)
{
    About.window = window;
    HINSTANCE instance = GetModuleHandleA(NULL);
    for (const ControlSpec& c : Controls) {
        CreateWindowExA(c.exStyle, c.className, c.text, c.style, c.x, c.y, c.width, c.height,
                        window, (HMENU)(INT_PTR)c.id, instance, NULL);
        SendMessageA(GetDlgItem(window, c.id), WM_SETFONT, (WPARAM)Gui.dialogFont, 0);
        if (c.id == ID_ABOUT_ICON) {
            HINSTANCE own = (HINSTANCE)GetWindowLongPtrA(window, GWLP_HINSTANCE);
            LoadAboutIcon(own);
            SendDlgItemMessageA(window, ID_ABOUT_ICON, STM_SETICON, (WPARAM)About.icon, 0);
        }
    }
    SetUpLink(window);
}

static void OnDestroy()
{
    if (About.icon && !About.iconShared)
        DestroyIcon(About.icon);
    About.icon = NULL;
}

static void OnCommand(int id, int notification)
{
    if (id == ID_ABOUT_OK && notification == BN_CLICKED)
        CloseAboutWindow(About.window, 1);
    // Enter and Esc arrive as IDOK and IDCANCEL and leave the window open; so does the link
}

LRESULT CALLBACK AboutWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(window); return 0;
    case WM_DESTROY:    OnDestroy(); return 0;
    case WM_CLOSE:      CloseAboutWindow(window, 0); return 0;
    case WM_COMMAND:    OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void CloseAboutWindow(HWND window, int code)
{
    EnableWindow(GetWindow(window, GW_OWNER), TRUE);
    DestroyWindow(window);
    About.closing = true;
    PostMessageA(NULL, WM_QUIT, (WPARAM)code, 0);
}

int ShowAboutWindow(HWND owner)
{
    // a refusal at start-up may have passed
    WNDCLASSA registered;
    if (!GetClassInfoA(GetModuleHandleA(NULL), DialogClassName, &registered))
        RegisterDialogClass();
    HWND window = CreateWindowExA(0, DialogClassName, "バージョン情報", WS_CAPTION,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 406, 165, owner, NULL,
                                  GetModuleHandleA(NULL), NULL);
    if (!window)
        return 0; // the owner was never disabled and there is nothing to wait for
    About.window = window;
    About.closing = false;
    SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)AboutWindowProc);
    SendMessageA(window, WM_INITDIALOG, 0, 0);
    ShowWindow(window, SW_SHOW);
    EnableWindow(owner, FALSE);

    MSG msg = {};
    BOOL got;
    while ((got = GetMessageA(&msg, NULL, 0, 0)) != 0 && got != -1) {
        if (!IsDialogMessageA(window, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (!About.closing) {
        // Someone else ended the loop (Windows ending the session, say): close up here and
        // hand the WM_QUIT on to the main loop so the program still ends.
        EnableWindow(owner, TRUE);
        DestroyWindow(window);
        if (got == 0)
            PostQuitMessage((int)msg.wParam);
        return 0;
    }
    return (int)msg.wParam;
}

static void PaintLink(HWND link)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(link, &paint);
    HFONT font = CreateFontA(12, 0, 0, 0, FW_NORMAL, FALSE, TRUE, FALSE, SHIFTJIS_CHARSET,
                             0, 0, 0, 0, NULL);
    HGDIOBJ previous = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 255));
    TextOutA(dc, 0, 0, HomePage, lstrlenA(HomePage));
    SelectObject(dc, previous);
    DeleteObject(font);
    EndPaint(link, &paint);
}

LRESULT CALLBACK AboutLinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
        ShellExecuteA(window, NULL, HomePage, NULL, NULL, SW_SHOWNORMAL);
        return 0;
    case WM_SETCURSOR:
        if (!About.handCursor)
            break; // no hand on this system: keep the ordinary pointer rather than none
        SetCursor(About.handCursor);
        return 0;
    case WM_PAINT:
        PaintLink(window);
        return 0;
    }
    return CallWindowProcA(About.linkPreviousProc, window, message, wParam, lParam);
}
