// Holds the Wine desktop of a test prefix for its whole session. Wine ends its desktop process a
// moment after the last program that uses it, and the next program starts it again; started by
// a test, it would come and go between tests and keep that test's limits. Writes the file named
// on its command line once its hidden window stands on the desktop, then waits to be ended.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    if (!CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, NULL, NULL, NULL, NULL))
        return 1;
    HANDLE ready = CreateFileA(commandLine, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (ready == INVALID_HANDLE_VALUE)
        return 1;
    CloseHandle(ready);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
