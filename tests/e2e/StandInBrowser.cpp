// A browser for the end-to-end tests: appends each address it is asked to open, one line per
// start, to browser.log next to itself, and shows nothing.
#include <windows.h>
#include <cstdlib>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    std::string line;
    for (int i = 1; i < __argc; ++i) {
        if (i > 1)
            line += ' ';
        line += __argv[i];
    }
    line += "\r\n";

    char path[MAX_PATH + 1];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return 1;
    std::string log(path, n);
    log.resize(log.find_last_of('\\') + 1);
    log += "browser.log";

    // Two presses in quick succession start two of us: wait for the other to finish its line.
    for (int attempt = 0; attempt < 200; ++attempt) {
        HANDLE file = CreateFileA(log.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            BOOL ok = WriteFile(file, line.data(), (DWORD)line.size(), &written, nullptr);
            CloseHandle(file);
            return ok && written == line.size() ? 0 : 1;
        }
        Sleep(50);
    }
    return 1;
}
