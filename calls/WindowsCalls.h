// The Windows calls whose answers steer the report and the saving, and those that the oldest
// Windows the program runs on lack, in one table that tests can answer for instead.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>

// How the program comes by a call:
enum CallSource {
    Imported, // by name in the import table: every Windows the program runs on has it
    LookedUp, // by name before the program starts, and null where this Windows lacks it
    WhenUsed, // by name, from its DLL loaded each time the program needs it (LoadWhenUsed)
};

// Every entry as X(DLL, FUNCTION, SOURCE, what the program does where it is missing), in the
// table's order, so that tests can go through them all. Each entry is named after its function.
#define WINDOWS_CALLS(X)                                                                           \
    /* the report */                                                                               \
    X(kernel32, GetVersionExA, Imported, "")                                                       \
    X(kernel32, GetSystemDirectoryA, Imported, "")                                                 \
    X(kernel32, GetWindowsDirectoryA, Imported, "")                                                \
    X(shell32, SHGetSpecialFolderPathA, LookedUp, "the folder's item list made a path (shell32 4.00)") \
    X(shell32, SHGetSpecialFolderLocation, LookedUp, "none: the folder's path is empty (NT 3.51)")  \
    X(shell32, SHGetPathFromIDListA, LookedUp, "none: the folder's path is empty (NT 3.51)")        \
    X(shell32, SHGetMalloc, LookedUp, "none: the folder's path is empty (NT 3.51)")                 \
    X(user32, GetDesktopWindow, Imported, "")                                                      \
    X(user32, GetClientRect, Imported, "")                                                         \
    X(kernel32, GetLocalTime, Imported, "")                                                        \
    X(kernel32, SetErrorMode, Imported, "")                                                        \
    X(kernel32, GetDiskFreeSpaceA, Imported, "")                                                   \
    X(kernel32, GetDiskFreeSpaceExA, LookedUp, "GetDiskFreeSpaceA, whose figures stop at 2 GB")     \
    X(kernel32, FindFirstFileA, Imported, "")                                                      \
    X(kernel32, FindClose, Imported, "")                                                           \
    X(version, GetFileVersionInfoSizeA, Imported, "")                                              \
    X(version, GetFileVersionInfoA, Imported, "")                                                  \
    X(version, VerQueryValueA, Imported, "")                                                       \
    X(kernel32, FileTimeToLocalFileTime, Imported, "")                                             \
    X(kernel32, FileTimeToSystemTime, Imported, "")                                                \
    /* saving */                                                                                   \
    X(comdlg32, GetSaveFileNameA, WhenUsed, "none: a box says the dialog cannot be opened")        \
    X(comdlg32, GetOpenFileNameA, WhenUsed, "none: a box says the dialog cannot be opened")        \
    X(kernel32, GetFileAttributesA, Imported, "")                                                  \
    X(kernel32, CreateFileA, Imported, "")                                                         \
    X(kernel32, ReadFile, Imported, "")                                                            \
    X(kernel32, WriteFile, Imported, "")                                                           \
    X(kernel32, SetFilePointer, Imported, "")                                                      \
    X(kernel32, SetEndOfFile, Imported, "")                                                        \
    X(kernel32, FlushFileBuffers, Imported, "")                                                    \
    X(kernel32, CloseHandle, Imported, "")                                                         \
    X(kernel32, DeleteFileA, Imported, "")                                                         \
    /* the windows */                                                                              \
    X(comctl32, InitCommonControlsEx, LookedUp, "InitCommonControls, which registers every class")  \
    X(user32, InsertMenuItemA, LookedUp, "InsertMenuA, with the separator enabled again")           \
    X(user32, RegisterClassExA, LookedUp, "RegisterClassA without the small icon, also where it fails (NT 3.51)") \
    X(user32, LoadImageA, LookedUp, "LoadIconA, at the same size, shared and so never destroyed")

struct WindowsCalls {
#define WINDOWS_CALL_ENTRY(dll, name, source, missing) decltype(&::name) name;
    WINDOWS_CALLS(WINDOWS_CALL_ENTRY)
#undef WINDOWS_CALL_ENTRY
};

extern WindowsCalls Sys; // the real calls before the program starts; tests may answer instead

// The real calls: the imported ones, and those looked up by name where this Windows has them.
// The entries used when needed are null.
WindowsCalls RealWindowsCalls();

// The DLLs of the table's entries, as Dll_kernel32 for kernel32.dll.
#define WINDOWS_DLLS(X) X(kernel32) X(user32) X(shell32) X(comctl32) X(version) X(comdlg32)
enum Dll {
#define DLL_ENUM(dll) Dll_##dll,
    WINDOWS_DLLS(DLL_ENUM)
#undef DLL_ENUM
};

// Loads the DLL and looks up the table's entries used when needed from it; null, with those
// entries null, where it cannot be loaded. It stays loaded.
HMODULE LoadWhenUsed(Dll dll);
