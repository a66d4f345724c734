// The main window: the report in an edit control that fills it, and the menu.
#pragma once
#include <windows.h>

void RegisterMainWindowClass();
HWND CreateMainWindow();
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
