// The Windows calls whose answers steer the report, in one table so tests can answer instead.
#pragma once
#include <windows.h>

typedef BOOL(WINAPI* GetDiskFreeSpaceExSig)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
typedef BOOL(WINAPI* SHGetSpecialFolderPathSig)(HWND, LPSTR, int, BOOL);

struct SystemCalls {
    decltype(&GetVersionExA) getVersionEx;
    decltype(&GetSystemDirectoryA) getSystemDirectory;
    decltype(&GetWindowsDirectoryA) getWindowsDirectory;
    SHGetSpecialFolderPathSig shGetSpecialFolderPath; // null where shell32 predates it
    decltype(&GetDesktopWindow) getDesktopWindow;
    decltype(&GetClientRect) getClientRect;
    decltype(&GetLocalTime) getLocalTime;
    decltype(&SetErrorMode) setErrorMode;
    decltype(&GetDiskFreeSpaceA) getDiskFreeSpace;
    GetDiskFreeSpaceExSig getDiskFreeSpaceEx; // null on the first Windows 95
    decltype(&FindFirstFileA) findFirstFile;
    decltype(&FindClose) findClose;
    decltype(&GetFileVersionInfoSizeA) getFileVersionInfoSize;
    decltype(&GetFileVersionInfoA) getFileVersionInfo;
    decltype(&VerQueryValueA) verQueryValue;
    decltype(&FileTimeToLocalFileTime) fileTimeToLocalFileTime;
    decltype(&FileTimeToSystemTime) fileTimeToSystemTime;
};

extern SystemCalls Sys;

// The real functions; those that old systems lack are looked up by name and may be null.
SystemCalls RealSystemCalls();
