// Times whole starts: from CreateProcess until the main window is visible, its first paint is
// done and the text is in its edit control, for a program and a reference window, in pairs that
// alternate which goes first. Prints the median of each and of the per-pair ratios.
// usage: start_benchmark PAIRS PROGRAM REFERENCE [LABEL]
//
// When the first paint is done is read from outside in three steps, each of which the one
// before does not imply:
//  1. The window is visible. Its update region is set in the same server request that shows it,
//     so from here on an empty update region means the paint has begun.
//  2. Neither the window nor its edit control has an update region left (GetUpdateRect without
//     erasing sends the window nothing). BeginPaint empties the region before painting, so this
//     alone could be read while the edit control is still drawing its text.
//  3. The edit control answers WM_GETTEXTLENGTH with the length of its text. The window's
//     thread takes a sent message only when it asks for messages again, that is, once the
//     WM_PAINT it was handling has returned. A WM_NULL would prove the same; asking for the
//     length proves the text is in place with the same round trip.
// Between polls the driver sleeps a millisecond, leaving the processor to the program.
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Search {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindVisible(HWND window, LPARAM data)
{
    Search* search = (Search*)data;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid || !IsWindowVisible(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND VisibleWindowOf(DWORD pid)
{
    Search search = {pid, NULL};
    EnumWindows(FindVisible, (LPARAM)&search);
    return search.found;
}

bool Painted(HWND window)
{
    RECT update;
    return !GetUpdateRect(window, &update, FALSE);
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

// One start of program, in seconds, or a negative number when it never got ready.
double TimeStart(const std::string& program)
{
    std::string commandLine = "\"" + program + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    LARGE_INTEGER start, ready;
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(NULL, &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &info)) {
        fprintf(stderr, "start_benchmark: cannot start %s: error %lu\n", program.c_str(), GetLastError());
        return -1;
    }
    CloseHandle(info.hThread);
    HWND window = NULL;
    bool done = false;
    while (!done && WaitForSingleObject(info.hProcess, 1) == WAIT_TIMEOUT) {
        window = VisibleWindowOf(info.dwProcessId);
        HWND edit = window ? FindWindowExA(window, NULL, "EDIT", NULL) : NULL;
        DWORD_PTR length = 0;
        done = edit && Painted(window) && Painted(edit)
            && SendMessageTimeoutA(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 30000, &length)
            && length > 0;
    }
    QueryPerformanceCounter(&ready);
    if (!done)
        fprintf(stderr, "start_benchmark: %s ended before its window was ready\n", program.c_str());
    if (window)
        PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(info.hProcess, 30000) != WAIT_OBJECT_0) {
        fprintf(stderr, "start_benchmark: %s did not end after WM_CLOSE\n", program.c_str());
        TerminateProcess(info.hProcess, 1);
        done = false;
    }
    CloseHandle(info.hProcess);
    return done ? Seconds(start, ready) : -1;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: start_benchmark PAIRS PROGRAM REFERENCE [LABEL]\n");
        return 2;
    }
    int pairs = std::max(1, atoi(argv[1]));
    std::string program = argv[2], reference = argv[3], label = argc > 4 ? argv[4] : "program";

    // one start of each first, unmeasured: the server, the services and the file cache warm up
    if (TimeStart(program) < 0 || TimeStart(reference) < 0)
        return 1;
    std::vector<double> programTimes, referenceTimes, ratios;
    for (int i = 0; i < pairs; ++i) {
        double p, r;
        if (i % 2 == 0) {
            p = TimeStart(program);
            r = TimeStart(reference);
        } else {
            r = TimeStart(reference);
            p = TimeStart(program);
        }
        if (p < 0 || r < 0)
            return 1;
        programTimes.push_back(p);
        referenceTimes.push_back(r);
        ratios.push_back(p / r);
    }
    printf("%s: median start %.1f ms, bare window %.1f ms; median of %d paired ratios %.3f (range %.3f-%.3f)\n",
           label.c_str(), Median(programTimes) * 1000, Median(referenceTimes) * 1000, pairs,
           Median(ratios), *std::min_element(ratios.begin(), ratios.end()),
           *std::max_element(ratios.begin(), ratios.end()));
    return 0;
}
