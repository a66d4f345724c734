// Naming the edition from made-up version records, and the real answers of each Windows Wine presents.
#include "calls/WindowsCalls.h"
#include "probes/WindowsVersion.h"
#include <shlobj.h>
#include "tests/CallTable.h"
#include "tests/TestMain.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

OSVERSIONINFOA Record(DWORD major, DWORD minor, DWORD platform, const char* servicePack, DWORD build = 0)
{
    OSVERSIONINFOA v = {};
    v.dwOSVersionInfoSize = sizeof(v);
    v.dwMajorVersion = major;
    v.dwMinorVersion = minor;
    v.dwBuildNumber = build;
    v.dwPlatformId = platform;
    strncpy(v.szCSDVersion, servicePack, sizeof(v.szCSDVersion) - 1);
    return v;
}

class WindowsVersionTest : public ::testing::Test {
protected:
    void SetUp() override { saved_ = WindowsVersion; }
    void TearDown() override
    {
        WindowsVersion = saved_;
        Sys = RealWindowsCalls();
    }
    OSVERSIONINFOA saved_;
};

const DWORD Win9x = VER_PLATFORM_WIN32_WINDOWS;
const DWORD WinNT = VER_PLATFORM_WIN32_NT;
const char UnknownName[] = "謎のWindows(^^;";

} // namespace

TEST_F(WindowsVersionTest, NamesEditions)
{
    static const struct { DWORD major, minor, platform; const char* servicePack; const char* name; } rows[] = {
        {3, 51, WinNT, "Service Pack 5", "Windows NT 3.51"},
        {3, 10, 0, "Win32s 1.3", "Windows NT 3.51"},
        {3, 0, Win9x, "", "Windows NT 3.51"},
        {4, 0, Win9x, "", "Windows 95"},
        {4, 0, Win9x, "B", "Windows 95 OSR2"},
        {4, 0, Win9x, "C", "Windows 95 OSR2"},
        {4, 0, Win9x, "b", "Windows 95"},
        {4, 0, Win9x, " C ", "Windows 95"},
        {4, 0, Win9x, "C ", "Windows 95"},
        {4, 0, Win9x, "A", "Windows 95"},
        {4, 0, WinNT, "B", "Windows NT 4.0"},
        {4, 0, WinNT, "Service Pack 6a", "Windows NT 4.0"},
        {4, 0, 0, "", "Windows NT 4.0"},
        {4, 10, Win9x, "A", "Windows 98 SE"},
        {4, 10, WinNT, "A", "Windows 98 SE"},
        {4, 10, Win9x, " A ", "Windows 98"},
        {4, 10, Win9x, "a", "Windows 98"},
        {4, 10, Win9x, "", "Windows 98"},
        {4, 90, Win9x, " ", "Windows Me"},
        {4, 3, Win9x, "", ""},
        {4, 1, WinNT, "", ""},
        {5, 0, WinNT, "Service Pack 4", "Windows 2000"},
        {5, 1, WinNT, "Service Pack 3", "Windows XP"},
        {5, 2, WinNT, "", "Windows Server 2003"},
        {5, 3, WinNT, "", UnknownName},
        {6, 0, WinNT, "", "Windows Vista"},
        {6, 1, WinNT, "Service Pack 1", "Windows Vista"},
        {6, 2, WinNT, "", "Windows Vista"},
        {6, 99, WinNT, "", "Windows Vista"},
        {7, 0, WinNT, "", UnknownName},
        {10, 0, WinNT, "", UnknownName},
        {0, 0, 0, "", UnknownName},
        {2, 0, WinNT, "", UnknownName},
    };
    for (const auto& row : rows) {
        WindowsVersion = Record(row.major, row.minor, row.platform, row.servicePack);
        EXPECT_EQ(row.name, WindowsName())
            << row.major << "." << row.minor << " platform " << row.platform << " \"" << row.servicePack << "\"";
    }
}

TEST_F(WindowsVersionTest, BuildNumberKeepsLowWordOnlyOn9x)
{
    WindowsVersion = Record(4, 0, Win9x, "", 0x040003B6);
    EXPECT_EQ(950, BuildNumber());
    WindowsVersion = Record(4, 10, Win9x, "", 0xFFFF0000);
    EXPECT_EQ(0, BuildNumber());
    WindowsVersion = Record(5, 1, WinNT, "", 0x00010A28);
    EXPECT_EQ(0x00010A28, BuildNumber());
    WindowsVersion = Record(6, 0, WinNT, "", 6002);
    EXPECT_EQ(6002, BuildNumber());
    EXPECT_EQ(6, MajorVersion());
    EXPECT_EQ(0, MinorVersion());
}

TEST_F(WindowsVersionTest, ServicePackTextIsKeptAsStored)
{
    WindowsVersion = Record(4, 10, Win9x, " A ");
    EXPECT_EQ(" A ", ServicePackText());
    WindowsVersion = Record(5, 1, WinNT, "");
    EXPECT_EQ("", ServicePackText());
    WindowsVersion = Record(5, 1, WinNT, "サービスパック３");
    EXPECT_EQ("サービスパック３", ServicePackText());
    // no NUL in the whole field: the text stops at the field's end
    memset(WindowsVersion.szCSDVersion, 'x', sizeof(WindowsVersion.szCSDVersion));
    EXPECT_EQ(std::string(128, 'x'), ServicePackText());
}

TEST_F(WindowsVersionTest, FailedQueryLeavesZeros)
{
    memset(&WindowsVersion, 0, sizeof(WindowsVersion));
    Sys.GetVersionExA = [](LPOSVERSIONINFOA) WINAPI -> BOOL { return FALSE; };
    QueryWindowsVersion();
    EXPECT_EQ(sizeof(OSVERSIONINFOA), WindowsVersion.dwOSVersionInfoSize);
    EXPECT_EQ(148u, WindowsVersion.dwOSVersionInfoSize);
    EXPECT_EQ(0, MajorVersion());
    EXPECT_EQ(0, MinorVersion());
    EXPECT_EQ(0, BuildNumber());
    EXPECT_EQ("", ServicePackText());
    EXPECT_EQ(UnknownName, WindowsName());
}

TEST_F(WindowsVersionTest, QueryPassesTheRecordSize)
{
    static DWORD seenSize;
    seenSize = 0;
    memset(&WindowsVersion, 0x55, sizeof(WindowsVersion));
    Sys.GetVersionExA = [](LPOSVERSIONINFOA v) WINAPI -> BOOL {
        seenSize = v->dwOSVersionInfoSize;
        v->dwMajorVersion = 4;
        v->dwMinorVersion = 0;
        v->dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
        strcpy(v->szCSDVersion, "C");
        return TRUE;
    };
    QueryWindowsVersion();
    EXPECT_EQ(148u, seenSize);
    EXPECT_EQ("Windows 95 OSR2", WindowsName());
}

TEST_F(WindowsVersionTest, RefusedDirectoriesAreEmpty)
{
    Sys.GetSystemDirectoryA = [](LPSTR, UINT) WINAPI -> UINT { return 0; };
    Sys.GetWindowsDirectoryA = [](LPSTR buffer, UINT size) WINAPI -> UINT {
        memset(buffer, 'x', size - 1); // a directory too long for the buffer
        return 300;
    };
    Sys.SHGetSpecialFolderPathA = [](HWND, LPSTR, int, BOOL) WINAPI -> BOOL { return FALSE; };
    EXPECT_EQ("", SystemDirectory());
    EXPECT_EQ("", WindowsDirectory());
    EXPECT_EQ("", SpecialFolderPath(0));
    // the older shell's way refused, at the list and at the path, which keeps no half of one
    Sys.SHGetSpecialFolderPathA = nullptr;
    Sys.SHGetSpecialFolderLocation = [](HWND, int, LPITEMIDLIST*) WINAPI -> HRESULT { return E_FAIL; };
    EXPECT_EQ("", SpecialFolderPath(0));
    Sys.SHGetSpecialFolderLocation = RealWindowsCalls().SHGetSpecialFolderLocation;
    Sys.SHGetPathFromIDListA = [](LPCITEMIDLIST, LPSTR path) WINAPI -> BOOL { return strcpy(path, "C:\\half"), FALSE; };
    EXPECT_EQ("", SpecialFolderPath(0));
}

TEST_F(WindowsVersionTest, DirectoriesAsDelivered)
{
    static UINT seenSize;
    static int seenFolder;
    static BOOL seenCreate;
    Sys.GetSystemDirectoryA = [](LPSTR buffer, UINT size) WINAPI -> UINT {
        seenSize = size;
        strcpy(buffer, "D:\\表\\");
        return 6;
    };
    Sys.SHGetSpecialFolderPathA = [](HWND, LPSTR buffer, int folder, BOOL create) WINAPI -> BOOL {
        seenFolder = folder;
        seenCreate = create;
        strcpy(buffer, "C:\\Documents and Settings\\user\\デスクトップ");
        return TRUE;
    };
    EXPECT_EQ("D:\\表\\", SystemDirectory());
    EXPECT_EQ(255u, seenSize);
    seenFolder = -1;
    EXPECT_EQ("C:\\Documents and Settings\\user\\デスクトップ", SpecialFolderPath(CSIDL_DESKTOP));
    EXPECT_EQ(CSIDL_DESKTOP, seenFolder);
    EXPECT_TRUE(seenCreate);
}

// Against the real GetVersionExA, with Wine presenting the version named by --windows=.
TEST(RealWindowsVersion, MatchesTheEmulatedWindows)
{
    const EmulatedVersion* expected = ExpectedVersion();
    if (!expected)
        GTEST_SKIP() << "no known --windows= given";
    OSVERSIONINFOA saved = WindowsVersion;
    memset(&WindowsVersion, 0, sizeof(WindowsVersion));
    Sys = RealWindowsCalls();
    QueryWindowsVersion();
    EXPECT_EQ(expected->major, MajorVersion());
    EXPECT_EQ(expected->minor, MinorVersion());
    EXPECT_EQ(expected->build, BuildNumber());
    EXPECT_EQ(expected->servicePack, ServicePackText());
    EXPECT_EQ(expected->name, WindowsName());
    WindowsVersion = saved;
}

// Where the shell lacks SHGetSpecialFolderPathA (the first Windows 95, NT 4.0 without the desktop
// update), a folder's item list gives the same path; where it lacks any of the calls for that as
// well (NT 3.51), the path is empty. A folder that is no directory has no path either way.
TEST(RealWindowsVersion, FolderPathsWithoutTheDesktopUpdate)
{
    for (int folder : {CSIDL_DESKTOP, CSIDL_FONTS, CSIDL_DRIVES}) {
        SCOPED_TRACE("folder " + std::to_string(folder));
        Sys = RealWindowsCalls();
        std::string path = SpecialFolderPath(folder);
        EXPECT_EQ(folder == CSIDL_DRIVES, path.empty()) << path;
        Sys.SHGetSpecialFolderPathA = nullptr;
        EXPECT_EQ(path, SpecialFolderPath(folder)) << "through the item list";
        for (const char* missing : {"SHGetSpecialFolderLocation", "SHGetPathFromIDListA", "SHGetMalloc"}) {
            WindowsCalls older = Sys;
            *EntryNamed(older, missing) = nullptr;
            std::swap(Sys, older);
            EXPECT_EQ("", SpecialFolderPath(folder)) << "without " << missing;
            std::swap(Sys, older);
        }
    }
    Sys = RealWindowsCalls();
}

TEST(RealWindowsVersion, DirectoriesOfTheWinePrefix)
{
    // A 32-bit program on 64-bit Windows (--wow64) is told system32 too, while what it opens
    // there comes from syswow64; the fixture report checks which folder was read.
    typedef BOOL(WINAPI * IsWow64ProcessSig)(HANDLE, PBOOL);
    auto isWow64Process = (IsWow64ProcessSig)(void*)GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process");
    BOOL wow64 = FALSE;
    ASSERT_TRUE(isWow64Process && isWow64Process(GetCurrentProcess(), &wow64));
    EXPECT_EQ(ExpectWow64, wow64 != FALSE) << "a 32-bit program on 64-bit Windows";
    Sys = RealWindowsCalls();
    EXPECT_EQ("C:\\windows\\system32", SystemDirectory());
    EXPECT_EQ("C:\\windows", WindowsDirectory());
    char profile[MAX_PATH] = {};
    GetEnvironmentVariableA("USERPROFILE", profile, sizeof(profile));
    EXPECT_EQ(std::string(profile) + "\\Desktop", SpecialFolderPath(CSIDL_DESKTOP));
}
