// The Windows calls whose answers steer the report and the saving, in one table so tests can
// answer instead.
#include "probes/SystemCalls.h"

SystemCalls Sys = RealSystemCalls();

SystemCalls RealSystemCalls()
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    HMODULE shell = LoadLibraryA("shell32.dll");
    SystemCalls calls = {
        &GetVersionExA,
        &GetSystemDirectoryA,
        &GetWindowsDirectoryA,
        (SHGetSpecialFolderPathSig)(void*)GetProcAddress(shell, "SHGetSpecialFolderPathA"),
        &GetDesktopWindow,
        &GetClientRect,
        &GetLocalTime,
        &SetErrorMode,
        &GetDiskFreeSpaceA,
        (GetDiskFreeSpaceExSig)(void*)GetProcAddress(kernel, "GetDiskFreeSpaceExA"),
        &FindFirstFileA,
        &FindClose,
        &GetFileVersionInfoSizeA,
        &GetFileVersionInfoA,
        &VerQueryValueA,
        &FileTimeToLocalFileTime,
        &FileTimeToSystemTime,
        &GetFileAttributesA,
        &GetTempFileNameA,
        &CreateFileA,
        &ReadFile,
        &WriteFile,
        &SetFilePointer,
        &SetEndOfFile,
        &FlushFileBuffers,
        &CloseHandle,
        &DeleteFileA,
        &MoveFileA,
        (MoveFileExSig)(void*)GetProcAddress(kernel, "MoveFileExA"),
    };
    return calls;
}
