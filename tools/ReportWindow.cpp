// Reads and drives a running report program from outside, for the run script.
// usage: report_window print [SECONDS]  waits until the report is in the window, prints it as UTF-8
//        report_window command ID         sends the main window a menu command
//        report_window close              closes the main window
#include "resources/resource.h"
#include "tests/Cp932.h"
#include "tests/WindowClasses.h"

#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

static HWND MainWindow()
{
    return FindWindowA(MainWindowClass, NULL);
}

static std::string ReportText(HWND main)
{
    HWND edit = GetDlgItem(main, ID_REPORT_EDIT);
    int length = (int)SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0);
    std::string text((size_t)length + 1, '\0');
    int got = (int)SendMessageA(edit, WM_GETTEXT, (WPARAM)text.size(), (LPARAM)&text[0]);
    text.resize(got > 0 ? (size_t)got : 0);
    return text;
}

static std::string Utf8(const std::string& text)
{
    std::string unix;
    for (char c : Utf8FromCp932(text))
        if (c != '\r')
            unix += c;
    return unix;
}

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    std::string verb = argv[1];
    if (verb == "print") {
        DWORD limit = GetTickCount() + 1000u * (argc > 2 ? atoi(argv[2]) : 60);
        while (GetTickCount() < limit) {
            HWND main = MainWindow();
            if (main && IsWindowVisible(main) && !ReportText(main).empty()) {
                fputs(Utf8(ReportText(main)).c_str(), stdout);
                return 0;
            }
            Sleep(200);
        }
        fprintf(stderr, "report_window: no report window appeared\n");
        return 1;
    }
    HWND main = MainWindow();
    if (!main) {
        fprintf(stderr, "report_window: the program is not running\n");
        return 1;
    }
    if (verb == "command" && argc > 2) {
        PostMessageA(main, WM_COMMAND, (WPARAM)atoi(argv[2]), 0);
        return 0;
    }
    if (verb == "close") {
        PostMessageA(main, WM_CLOSE, 0, 0);
        return 0;
    }
    return 2;
}
