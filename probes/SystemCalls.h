// The Windows calls whose answers steer the report and the saving, in one table so tests can
// answer instead.
#pragma once
#include <windows.h>

typedef BOOL(WINAPI* GetDiskFreeSpaceExSig)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
typedef BOOL(WINAPI* SHGetSpecialFolderPathSig)(HWND, LPSTR, int, BOOL);
typedef BOOL(WINAPI* MoveFileExSig)(LPCSTR, LPCSTR, DWORD);

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

    // saving
    decltype(&GetTempFileNameA) getTempFileName;
    decltype(&CreateFileA) createFile;
    decltype(&WriteFile) writeFile;
    decltype(&CloseHandle) closeHandle;
    decltype(&DeleteFileA) deleteFile;
    decltype(&MoveFileA) moveFile;
    MoveFileExSig moveFileEx; // fails on the 9x family, missing from the earliest
};

extern SystemCalls Sys;

// The real functions; those that old systems lack are looked up by name and may be null.
SystemCalls RealSystemCalls();
