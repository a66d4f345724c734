// GUI resources and window handles shared by the program's windows.
#pragma once
#include <windows.h>

// Made at start-up, released at shutdown.
struct GuiResources {
    HFONT reportFont; // fixed pitch, so the report's columns line up
    HFONT dialogFont;
    HBRUSH backgroundBrush;
    HMENU menuBar;
    HMENU fileMenu;
    HMENU helpMenu;
    HWND mainWindow;
};

extern GuiResources Gui;

void CreateGuiResources();
// Registers the class with RegisterClassExA, or where that is missing or refuses (as NT 3.51's
// does), with RegisterClassA and no small icon; false when both refuse.
bool RegisterWindowClass(const WNDCLASSEXA& windowClass);
// Releases fonts, brush and menus; safe to call more than once.
void ReleaseGuiResources();
