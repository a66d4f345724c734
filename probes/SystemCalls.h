// The Windows calls whose answers steer the report and the saving, in one table so tests can
// answer instead.
#pragma once
#include <windows.h>

typedef BOOL(WINAPI* GetDiskFreeSpaceExSig)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
typedef BOOL(WINAPI* SHGetSpecialFolderPathSig)(HWND, LPSTR, int, BOOL);
typedef BOOL(WINAPI* MoveFileExSig)(LPCSTR, LPCSTR, DWORD);

// Every entry as X(name, type), in the table's order, so that tests can go through them all.
#define SYSTEM_CALLS(X)                                                                            \
    X(getVersionEx, decltype(&GetVersionExA))                                                      \
    X(getSystemDirectory, decltype(&GetSystemDirectoryA))                                          \
    X(getWindowsDirectory, decltype(&GetWindowsDirectoryA))                                        \
    X(shGetSpecialFolderPath, SHGetSpecialFolderPathSig) /* null where shell32 predates it */      \
    X(getDesktopWindow, decltype(&GetDesktopWindow))                                               \
    X(getClientRect, decltype(&GetClientRect))                                                     \
    X(getLocalTime, decltype(&GetLocalTime))                                                       \
    X(setErrorMode, decltype(&SetErrorMode))                                                       \
    X(getDiskFreeSpace, decltype(&GetDiskFreeSpaceA))                                              \
    X(getDiskFreeSpaceEx, GetDiskFreeSpaceExSig) /* null on the first Windows 95 */                \
    X(findFirstFile, decltype(&FindFirstFileA))                                                    \
    X(findClose, decltype(&FindClose))                                                             \
    X(getFileVersionInfoSize, decltype(&GetFileVersionInfoSizeA))                                  \
    X(getFileVersionInfo, decltype(&GetFileVersionInfoA))                                          \
    X(verQueryValue, decltype(&VerQueryValueA))                                                    \
    X(fileTimeToLocalFileTime, decltype(&FileTimeToLocalFileTime))                                 \
    X(fileTimeToSystemTime, decltype(&FileTimeToSystemTime))                                       \
    /* saving */                                                                                   \
    X(getFileAttributes, decltype(&GetFileAttributesA))                                            \
    X(getTempFileName, decltype(&GetTempFileNameA))                                                \
    X(createFile, decltype(&CreateFileA))                                                          \
    X(readFile, decltype(&ReadFile))                                                               \
    X(writeFile, decltype(&WriteFile))                                                             \
    X(setFilePointer, decltype(&SetFilePointer))                                                   \
    X(setEndOfFile, decltype(&SetEndOfFile))                                                       \
    X(flushFileBuffers, decltype(&FlushFileBuffers))                                               \
    X(closeHandle, decltype(&CloseHandle))                                                         \
    X(deleteFile, decltype(&DeleteFileA))                                                          \
    X(moveFile, decltype(&MoveFileA))                                                              \
    X(moveFileEx, MoveFileExSig) /* fails on the 9x family, missing from the earliest */

struct SystemCalls {
#define SYSTEM_CALL_ENTRY(name, type) type name;
    SYSTEM_CALLS(SYSTEM_CALL_ENTRY)
#undef SYSTEM_CALL_ENTRY
};

extern SystemCalls Sys;

// The real functions; those that old systems lack are looked up by name and may be null.
SystemCalls RealSystemCalls();
