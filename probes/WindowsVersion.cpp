// Which Windows this is, and where it keeps its directories.
#include "probes/WindowsVersion.h"

#include "probes/SystemCalls.h"
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
    Sys.getVersionEx(&WindowsVersion);
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
    return DirectoryText(Sys.getSystemDirectory);
}

std::string WindowsDirectory()
{
    return DirectoryText(Sys.getWindowsDirectory);
}

std::string SpecialFolderPath(int csidl)
{
    if (!Sys.shGetSpecialFolderPath)
        return "";
    char buffer[MAX_PATH] = {};
    Sys.shGetSpecialFolderPath(NULL, buffer, csidl, 255);
    return TextUpToNul(buffer, sizeof(buffer));
}
