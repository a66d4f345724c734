// The About window: icon, title, version, copyright and a link to the home page.
#pragma once
#include <windows.h>

// Registers the plain window class the About window is built from; false when refused.
bool RegisterDialogClass();

// Shows the About window modally over owner; returns 1 when closed with OK, 0 when closed
// otherwise or when it could not be opened.
int ShowAboutWindow(HWND owner);

LRESULT CALLBACK AboutWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void CloseAboutWindow(HWND window, int code);
LRESULT CALLBACK AboutLinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
