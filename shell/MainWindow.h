// The main window: the report in an edit control that fills it, and the menu.
#pragma once
#include <windows.h>

// Registers the main window's class; false when refused.
bool RegisterMainWindowClass();
// The main window, shown with the report in place; null when it cannot be made.
HWND CreateMainWindow();
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
