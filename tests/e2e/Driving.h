// Driving the real program from outside: starting it, finding its windows, reading and typing
// text, and files on disk. Texts are code page 932 bytes, as the program sees them.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>
#include <gtest/gtest.h>

#include "tests/TestFiles.h"
#include "tests/WindowClasses.h"

struct Options {
    std::string program;    // the program under test
    std::string browserLog; // where the stand-in browser records the addresses it is given
    std::string scratch;    // a folder the tests may fill
    DWORD startTimeout = 30000;
    DWORD stepTimeout = 10000;
    DWORD pollInterval = 2;
};
extern Options Opt;

// A Unix path as Wine sees it through drive Z:; any path with its slashes turned to backslashes.
std::string WindowsPath(const std::string& path);

// Polls until ready() holds or the timeout passes; returns ready()'s last answer.
bool WaitFor(const std::function<bool()>& ready, DWORD timeout);

std::string ClassName(HWND window);
std::string Caption(HWND window);     // the window's own title, without asking its process
std::string ControlText(HWND window); // WM_GETTEXT, answered by the control's process
// WM_GETTEXTLENGTH, answered by the control's process; -1 without an answer. What a text of a
// megabyte is checked with: Wine 10 hands a sent WM_GETTEXT's buffer to the control's thread on
// its stack, and a megabyte's room overflows the program's stack of 2 MB, which ends it.
long long ControlTextLength(HWND window);
bool SetControlText(HWND window, const std::string& text);
bool Responds(HWND window); // its thread has processed a message sent now
RECT RectInClient(HWND child, HWND parent);
std::string RectText(const RECT& r);

// A top-level window of the process with the class, owned by owner unless owner is null.
HWND FindOwnedWindow(DWORD pid, const char* className, HWND owner, bool visibleOnly = true);

// Equal bytes; on failure both texts are shown readably, with the first difference.
testing::AssertionResult SameText(const char* expectedExpr, const char* gotExpr,
                                  const std::string& expected, const std::string& got);
std::string Readable(const std::string& cp932); // UTF-8 with CR and LF spelled out

// One run of the program under test.
class Program {
public:
    Program() = default;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program(); // ends a run the test left going

    // Starts the program, again once a run has ended, and waits for its main window to become
    // visible; at that moment the report control's text is read into firstText.
    bool Start(std::string* why);
    bool Running() const;
    // Waits for the process to end; false when it does not within the timeout.
    bool WaitForExit(DWORD timeout, DWORD* exitCode);
    void Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void Command(WORD id) const { Post(WM_COMMAND, MAKEWPARAM(id, 0)); }

    HANDLE process = nullptr;
    DWORD pid = 0;
    DWORD guiThread = 0;
    HWND main = nullptr;
    HWND edit = nullptr;
    std::string firstText;
};

// Message boxes and other dialogs (class "#32770").
std::string DialogText(HWND box); // the message box's text (control 0xFFFF)
std::vector<int> VisibleButtonIds(HWND dialog);
void PressButton(HWND dialog, int id); // posted, so a nested modal loop cannot block the caller
