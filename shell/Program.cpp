// The program from start-up to exit: start-up in order, then the message loop.
#include "shell/Program.h"

#include "calls/WindowsCalls.h"
#include "probes/WindowsVersion.h"
#include "shell/AboutWindow.h"
#include "shell/Gui.h"
#include "shell/MainWindow.h"

#include <commctrl.h>

// The first Windows 95 has only the old call, which registers every class anyway.
static void InitCommonControlClasses()
{
    INITCOMMONCONTROLSEX classes = {};
    static_assert(sizeof(void*) != 4 || sizeof(classes) == 8, "old Windows read 8 bytes");
    classes.dwSize = sizeof(classes);
    classes.dwICC = 0xFF; // list view through animate: every class of the time
    if (Sys.InitCommonControlsEx)
        Sys.InitCommonControlsEx(&classes);
    else
        InitCommonControls();
}

int RunProgram()
{
    InitCommonControlClasses();
    CreateGuiResources();
    // Without its fonts, brush, menus or icon the program still shows the report, and the About
    // window's class is asked for again when the window is opened; without its main window it
    // could only idle where nobody can end it.
    RegisterDialogClass();
    QueryWindowsVersion();
    if (!RegisterMainWindowClass() || !CreateMainWindow()) {
        ReleaseGuiResources();
        return 1;
    }

    MSG msg;
    BOOL got;
    while ((got = GetMessageA(&msg, NULL, 0, 0)) != 0 && got != -1) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
