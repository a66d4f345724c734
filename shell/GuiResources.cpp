// The fonts, brush and menus that live from start-up to shutdown, and the window classes, each
// made through the older call where Windows lacks the newer one.
#include "shell/Gui.h"

#include "calls/WindowsCalls.h"
#include "resources/resource.h"

#include <cstddef>

GuiResources Gui;

static HFONT CreateUiFont(int height, BYTE pitchAndFamily, const char* face)
{
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                       OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS, DRAFT_QUALITY, pitchAndFamily, face);
}

// Inserts at the top of menu, so items go in in reverse order. No text makes a separator.
static void InsertMenuEntry(HMENU menu, const char* text, UINT id, HMENU popup)
{
    MENUITEMINFOA item = {};
    // the layout without hbmpItem, the one Windows 95 and NT 4.0 accept
    const UINT oldSize = offsetof(MENUITEMINFOA, hbmpItem);
    static_assert(sizeof(void*) != 4 || oldSize == 44, "44 bytes on 32-bit Windows");
    item.cbSize = oldSize;
    item.fMask = MIIM_TYPE;
    if (!text) {
        item.fType = MFT_SEPARATOR;
    } else {
        item.fMask |= MIIM_STATE | MIIM_ID;
        item.fType = MFT_STRING;
        item.dwTypeData = const_cast<char*>(text);
        item.wID = id;
        item.fState = 0;
        if (popup) {
            item.fMask |= MIIM_SUBMENU;
            item.hSubMenu = popup;
        }
    }
    if (Sys.InsertMenuItemA && Sys.InsertMenuItemA(menu, 0, TRUE, &item))
        return;
    // NT 3.51, or a Windows whose newer call refuses: the same item through the old call, which
    // leaves a separator disabled
    UINT flags = MF_BYPOSITION | (!text ? MF_SEPARATOR : popup ? MF_STRING | MF_POPUP : MF_STRING);
    InsertMenuA(menu, 0, flags, popup ? (UINT_PTR)popup : id, text);
    EnableMenuItem(menu, 0, MF_BYPOSITION | MF_ENABLED);
}

bool RegisterWindowClass(const WNDCLASSEXA& windowClass)
{
    if (Sys.RegisterClassExA && Sys.RegisterClassExA(&windowClass))
        return true;
    WNDCLASSA old = {};
    old.style = windowClass.style;
    old.lpfnWndProc = windowClass.lpfnWndProc;
    old.cbClsExtra = windowClass.cbClsExtra;
    old.cbWndExtra = windowClass.cbWndExtra;
    old.hInstance = windowClass.hInstance;
    old.hIcon = windowClass.hIcon;
    old.hCursor = windowClass.hCursor;
    old.hbrBackground = windowClass.hbrBackground;
    old.lpszMenuName = windowClass.lpszMenuName;
    old.lpszClassName = windowClass.lpszClassName;
    return RegisterClassA(&old) != 0;
}

static void CreateMenus()
{
    Gui.menuBar = CreateMenu();
    Gui.fileMenu = CreatePopupMenu();
    Gui.helpMenu = CreatePopupMenu();
    InsertMenuEntry(Gui.helpMenu, "バージョン情報(&V)", IDM_ABOUT, NULL);
    InsertMenuEntry(Gui.menuBar, "ヘルプ(&H)", 0, Gui.helpMenu);
    InsertMenuEntry(Gui.fileMenu, "終了(&X)", IDM_EXIT, NULL);
    InsertMenuEntry(Gui.fileMenu, NULL, 0, NULL);
    InsertMenuEntry(Gui.fileMenu, "名前をつけてレポートの保存(&A)", IDM_SAVE_REPORT, NULL);
    InsertMenuEntry(Gui.menuBar, "ファイル(&F)", 0, Gui.fileMenu);
}

void CreateGuiResources()
{
    Gui.reportFont = CreateUiFont(-13, FIXED_PITCH | FF_MODERN, "ＭＳ ゴシック");
    Gui.dialogFont = CreateUiFont(-12, FF_SWISS, "ＭＳ Ｐゴシック");
    Gui.backgroundBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    CreateMenus();
}

void ReleaseGuiResources()
{
    // the bar takes its pop-ups with it
    if (Gui.menuBar)
        DestroyMenu(Gui.menuBar);
    if (Gui.reportFont)
        DeleteObject(Gui.reportFont);
    if (Gui.dialogFont)
        DeleteObject(Gui.dialogFont);
    if (Gui.backgroundBrush)
        DeleteObject(Gui.backgroundBrush);
    Gui.menuBar = Gui.fileMenu = Gui.helpMenu = NULL;
    Gui.reportFont = Gui.dialogFont = NULL;
    Gui.backgroundBrush = NULL;
}
