// Driving the real program from outside.
#include "tests/e2e/Driving.h"

#include "resources/resource.h"
#include "tests/Cp932.h"

#include <algorithm>
#include <cstdio>

Options Opt;

std::string WindowsPath(const std::string& path)
{
    std::string out = !path.empty() && path[0] == '/' ? "Z:" + path : path;
    std::replace(out.begin(), out.end(), '/', '\\');
    return out;
}

bool WaitFor(const std::function<bool()>& ready, DWORD timeout)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (ready())
            return true;
        if (GetTickCount() - start >= timeout)
            return ready();
        Sleep(Opt.pollInterval);
    }
}

std::string ClassName(HWND window)
{
    char name[256];
    int n = GetClassNameA(window, name, sizeof name);
    return std::string(name, n > 0 ? n : 0);
}

std::string Caption(HWND window)
{
    char text[1024];
    int n = GetWindowTextA(window, text, sizeof text);
    return std::string(text, n > 0 ? n : 0);
}

// A long text takes the control's process longer to take or give. While it works on one, Wine
// takes it for hung; these sends wait instead of giving up at once.
static DWORD TimeoutFor(size_t bytes)
{
    return Opt.stepTimeout + (DWORD)(bytes / 16);
}

std::string ControlText(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, Opt.stepTimeout, &length))
        return "(no answer to WM_GETTEXTLENGTH)";
    // the length may count characters of the control's own encoding: leave room for bytes
    std::vector<char> text(length * 2 + 2);
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_NORMAL, TimeoutFor(text.size()), &copied))
        return "(no answer to WM_GETTEXT)";
    return std::string(text.data(), std::min<size_t>(copied, text.size()));
}

long long ControlTextLength(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, Opt.stepTimeout, &length))
        return -1;
    return (long long)length;
}

bool SetControlText(HWND window, const std::string& text)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                               SMTO_NORMAL, TimeoutFor(text.size()), &result) && result;
}

bool Responds(HWND window)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, Opt.stepTimeout, &result) != 0;
}

RECT RectInClient(HWND child, HWND parent)
{
    RECT r = {};
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string RectText(const RECT& r)
{
    char text[96];
    snprintf(text, sizeof text, "x %ld y %ld, %ld x %ld", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return text;
}

namespace {
struct Search {
    DWORD pid;
    const char* className;
    HWND owner;
    bool visibleOnly;
    HWND found;
};
}

static BOOL CALLBACK MatchWindow(HWND window, LPARAM param)
{
    Search& s = *reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != s.pid || ClassName(window) != s.className)
        return TRUE;
    if (s.owner && GetWindow(window, GW_OWNER) != s.owner)
        return TRUE;
    if (s.visibleOnly && !IsWindowVisible(window))
        return TRUE;
    s.found = window;
    return FALSE;
}

HWND FindOwnedWindow(DWORD pid, const char* className, HWND owner, bool visibleOnly)
{
    Search s = {pid, className, owner, visibleOnly, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::string Readable(const std::string& cp932)
{
    std::string shown;
    for (char c : cp932) {
        if (c == '\r')
            shown += "\\r";
        else if (c == '\n')
            shown += "\\n";
        else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
            shown += escaped;
        } else
            shown += c;
    }
    return Utf8FromCp932(shown);
}

static std::string Excerpt(const std::string& text, size_t at)
{
    size_t from = at > 40 ? at - 40 : 0;
    // start on a character boundary: step from a known one
    size_t i = 0;
    while (i < from)
        i += IsDBCSLeadByteEx(932, static_cast<BYTE>(text[i])) ? 2 : 1;
    return (i > 0 ? "..." : "") + Readable(text.substr(i, 80)) + (i + 80 < text.size() ? "..." : "");
}

testing::AssertionResult SameText(const char* expectedExpr, const char* gotExpr,
                                  const std::string& expected, const std::string& got)
{
    if (expected == got)
        return testing::AssertionSuccess();
    size_t at = 0;
    while (at < expected.size() && at < got.size() && expected[at] == got[at])
        ++at;
    auto result = testing::AssertionFailure();
    result << Readable(gotExpr) << " differs from " << Readable(expectedExpr);
    if (expected.size() + got.size() < 300) {
        result << "\n  expected: \"" << Readable(expected) << "\" (" << expected.size() << " bytes)"
               << "\n  got:      \"" << Readable(got) << "\" (" << got.size() << " bytes)";
    } else {
        result << " at byte " << at << " of " << expected.size() << " expected / " << got.size() << " got"
               << "\n  expected: \"" << Excerpt(expected, at) << "\""
               << "\n  got:      \"" << Excerpt(got, at) << "\"";
    }
    return result;
}

Program::~Program()
{
    if (!process)
        return;
    if (Running()) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, Opt.stepTimeout);
    }
    CloseHandle(process);
}

bool Program::Start(std::string* why)
{
    std::string commandLine = "\"" + Opt.program + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        Opt.scratch.c_str(), &startup, &info)) {
        *why = "cannot start " + Opt.program + ": error " + std::to_string(GetLastError());
        return false;
    }
    CloseHandle(info.hThread);
    if (process)
        CloseHandle(process); // of a run that has ended
    process = info.hProcess;
    pid = info.dwProcessId;

    // the first moment the user can see the window: the report must be there already
    WaitFor([&] { return (main = FindOwnedWindow(pid, MainWindowClass, nullptr)) != nullptr || !Running(); },
            Opt.startTimeout);
    if (main) {
        guiThread = GetWindowThreadProcessId(main, nullptr);
        edit = GetDlgItem(main, ID_REPORT_EDIT);
        if (edit)
            firstText = ControlText(edit);
        return true;
    }
    if (!Running()) {
        DWORD code = 0;
        GetExitCodeProcess(process, &code);
        *why = "the program ended with code " + std::to_string(code) + " before showing a window";
        return false;
    }
    *why = std::string("no visible window of class ") + MainWindowClass + " within " + std::to_string(Opt.startTimeout) + " ms";
    return false;
}

bool Program::Running() const
{
    return process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
}

bool Program::WaitForExit(DWORD timeout, DWORD* exitCode)
{
    if (WaitForSingleObject(process, timeout) != WAIT_OBJECT_0)
        return false;
    GetExitCodeProcess(process, exitCode);
    return true;
}

void Program::Post(UINT message, WPARAM wParam, LPARAM lParam) const
{
    PostMessageA(main, message, wParam, lParam);
}

std::string DialogText(HWND box)
{
    HWND text = GetDlgItem(box, 0xFFFF);
    return text ? ControlText(text) : "(no text control 0xFFFF)";
}

static BOOL CALLBACK CollectButton(HWND child, LPARAM param)
{
    if (IsWindowVisible(child) && ClassName(child) == "Button")
        reinterpret_cast<std::vector<int>*>(param)->push_back(GetDlgCtrlID(child));
    return TRUE;
}

std::vector<int> VisibleButtonIds(HWND dialog)
{
    std::vector<int> ids;
    EnumChildWindows(dialog, CollectButton, reinterpret_cast<LPARAM>(&ids));
    return ids;
}

void PressButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}
