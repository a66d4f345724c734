// Which Windows this is, and where it keeps its directories.
#include "probes/WindowsVersion.h"

#include "calls/WindowsCalls.h"
#include "text/Text.h"

OSVERSIONINFOA WindowsVersion;

static const char UnknownWindows[] = "謎のWindows(^^;";

static bool IsWin9x()
{
    return WindowsVersion.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

void QueryWindowsVersion()
{
    static_assert(sizeof(OSVERSIONINFOA) == 148, "the size GetVersionExA expects");
    WindowsVersion.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    Sys.GetVersionExA(&WindowsVersion);
}

long MajorVersion()
{
    return (long)WindowsVersion.dwMajorVersion;
}

long MinorVersion()
{
    return (long)WindowsVersion.dwMinorVersion;
}

long BuildNumber()
{
    DWORD build = WindowsVersion.dwBuildNumber;
    return (long)(IsWin9x() ? LOWORD(build) : build);
}

std::string ServicePackText()
{
    return TextUpToNul(WindowsVersion.szCSDVersion, sizeof(WindowsVersion.szCSDVersion));
}

static std::string Windows4Name()
{
    switch (WindowsVersion.dwMinorVersion) {
    case 0:
        if (!IsWin9x())
            return "Windows NT 4.0";
        if (TextEquals(ServicePackText(), "B") || TextEquals(ServicePackText(), "C"))
            return "Windows 95 OSR2";
        return "Windows 95";
    case 10:
        return TextEquals(ServicePackText(), "A") ? "Windows 98 SE" : "Windows 98";
    case 90:
        return "Windows Me";
    default:
        return "";
    }
}

static std::string Windows5Name()
{
    switch (WindowsVersion.dwMinorVersion) {
    case 0: return "Windows 2000";
    case 1: return "Windows XP";
    case 2: return "Windows Server 2003";
    default: return UnknownWindows;
    }
}

std::string WindowsName()
{
    switch (WindowsVersion.dwMajorVersion) {
    case 3: return "Windows NT 3.51";
    case 4: return Windows4Name();
    case 5: return Windows5Name();
    case 6: return "Windows Vista";
    default: return UnknownWindows;
    }
}

typedef UINT(WINAPI* DirectoryCall)(LPSTR, UINT);

// A directory as Windows delivers it; empty when refused or too long for the buffer.
static std::string DirectoryText(DirectoryCall call)
{
    char buffer[256] = {};
    UINT n = call(buffer, sizeof(buffer) - 1);
    if (n == 0 || n >= sizeof(buffer) - 1)
        return "";
    return TextUpToNul(buffer, sizeof(buffer));
}

std::string SystemDirectory()
{
    return DirectoryText(Sys.GetSystemDirectoryA);
}

std::string WindowsDirectory()
{
    return DirectoryText(Sys.GetWindowsDirectoryA);
}

// Where the shell predates SHGetSpecialFolderPathA (the first Windows 95, NT 4.0 without the
// desktop update): the folder's item list made a path, the list freed by the shell's allocator.
// NT 3.51's shell has none of these calls, and the path stays empty.
static void PathOfItemList(int csidl, char* buffer)
{
    if (!Sys.SHGetSpecialFolderLocation || !Sys.SHGetPathFromIDListA || !Sys.SHGetMalloc)
        return;
    IMalloc* shellMemory = NULL;
    if (FAILED(Sys.SHGetMalloc(&shellMemory)) || !shellMemory)
        return;
    LPITEMIDLIST list = NULL;
    if (SUCCEEDED(Sys.SHGetSpecialFolderLocation(NULL, csidl, &list)) && list) {
        if (!Sys.SHGetPathFromIDListA(list, buffer))
            buffer[0] = '\0';
        shellMemory->Free(list);
    }
    shellMemory->Release();
}

// Out of line: inlined into the report's header, its calls take the registers that the header's
// code keeps its texts in, which costs the program more than the call.
__attribute__((noinline)) std::string SpecialFolderPath(int csidl)
{
    char buffer[MAX_PATH] = {};
    if (Sys.SHGetSpecialFolderPathA)
        Sys.SHGetSpecialFolderPathA(NULL, buffer, csidl, 255);
    else
        PathOfItemList(csidl, buffer);
    return TextUpToNul(buffer, sizeof(buffer));
}
