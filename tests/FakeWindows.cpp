// A made-up Windows for the report's tests: answers chosen by the test, calls recorded.
#include "tests/FakeWindows.h"

#include "calls/WindowsCalls.h"
#include "probes/WindowsVersion.h"

#include <cstdlib>
#include <cstring>

FakeWindows Fake;

namespace {

HANDLE const SearchHandle = (HANDLE)(INT_PTR)0x5EA4C4;
const size_t BlockSize = 400;
const size_t RootOffset = 40;

const FakeFile* FindFake(const char* path)
{
    for (const FakeFile& file : Fake.files)
        if (lstrcmpiA(file.path.c_str(), path) == 0)
            return &file;
    return nullptr;
}

const FakeDrive* FindDrive(const char* root)
{
    for (const FakeDrive& drive : Fake.drives)
        if (drive.root == root)
            return &drive;
    return nullptr;
}

UINT CopyDirectory(const std::string& directory, LPSTR buffer, UINT size)
{
    if (directory.empty())
        return 0;
    if (directory.size() >= size)
        return (UINT)directory.size() + 1;
    strcpy(buffer, directory.c_str());
    return (UINT)directory.size();
}

BOOL WINAPI FakeGetVersionEx(LPOSVERSIONINFOA v)
{
    DWORD size = v->dwOSVersionInfoSize;
    *v = Fake.version;
    v->dwOSVersionInfoSize = size;
    return TRUE;
}

UINT WINAPI FakeGetSystemDirectory(LPSTR buffer, UINT size)
{
    return CopyDirectory(Fake.systemDirectory, buffer, size);
}

UINT WINAPI FakeGetWindowsDirectory(LPSTR buffer, UINT size)
{
    return CopyDirectory(Fake.windowsDirectory, buffer, size);
}

BOOL WINAPI FakeGetSpecialFolderPath(HWND, LPSTR buffer, int, BOOL)
{
    strcpy(buffer, Fake.desktop.c_str());
    return TRUE;
}

// The older shell's way to a folder's path: an item list from the shell's allocator, which the
// caller frees. The lists hold the folder's number after a marker.
const USHORT ListMarker = 0x1D5;

struct FakeAllocator : IMalloc {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override { return *out = NULL, E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++Fake.allocatorsHeld; }
    ULONG STDMETHODCALLTYPE Release() override { return --Fake.allocatorsHeld; }
    void* STDMETHODCALLTYPE Alloc(SIZE_T size) override { return ++Fake.itemListsHeld, calloc(1, size); }
    void* STDMETHODCALLTYPE Realloc(void*, SIZE_T) override { return NULL; }
    void STDMETHODCALLTYPE Free(void* block) override { Fake.itemListsHeld -= block != NULL, free(block); }
    SIZE_T STDMETHODCALLTYPE GetSize(void*) override { return (SIZE_T)-1; }
    int STDMETHODCALLTYPE DidAlloc(void*) override { return -1; }
    void STDMETHODCALLTYPE HeapMinimize() override {}
} ShellAllocator;

HRESULT WINAPI FakeSHGetMalloc(IMalloc** allocator)
{
    ShellAllocator.AddRef();
    *allocator = &ShellAllocator;
    return S_OK;
}

HRESULT WINAPI FakeSHGetSpecialFolderLocation(HWND, int folder, LPITEMIDLIST* list)
{
    auto* ids = (USHORT*)ShellAllocator.Alloc(4 * sizeof(USHORT));
    ids[0] = 3 * sizeof(USHORT); // one item: its size, the marker and the folder; then the end
    ids[1] = ListMarker;
    ids[2] = (USHORT)folder;
    *list = (LPITEMIDLIST)ids;
    return S_OK;
}

BOOL WINAPI FakeSHGetPathFromIDList(LPCITEMIDLIST list, LPSTR path)
{
    const USHORT* ids = (const USHORT*)list;
    if (!ids || ids[1] != ListMarker || ids[2] != CSIDL_DESKTOP)
        return FALSE;
    strcpy(path, Fake.desktop.c_str());
    return TRUE;
}

HWND WINAPI FakeGetDesktopWindow()
{
    return (HWND)(INT_PTR)0xDE5C;
}

BOOL WINAPI FakeGetClientRect(HWND window, LPRECT rect)
{
    if (!Fake.screenAnswers || window != FakeGetDesktopWindow())
        return FALSE;
    *rect = Fake.screen;
    return TRUE;
}

void WINAPI FakeGetLocalTime(LPSYSTEMTIME now)
{
    ++Fake.localTimeReadings;
    *now = Fake.now;
}

UINT WINAPI FakeSetErrorMode(UINT mode)
{
    UINT previous = Fake.errorMode;
    Fake.errorMode = mode;
    return previous;
}

BOOL WINAPI FakeGetDiskFreeSpace(LPCSTR root, LPDWORD sectorsPerCluster, LPDWORD bytesPerSector,
                                 LPDWORD freeClusters, LPDWORD totalClusters)
{
    Fake.oldDiskCalls.push_back(root);
    Fake.errorModeAtDiskCall.push_back(Fake.errorMode);
    const FakeDrive* drive = FindDrive(root);
    if (!drive)
        return FALSE;
    *sectorsPerCluster = drive->sectorsPerCluster;
    *bytesPerSector = drive->bytesPerSector;
    *freeClusters = drive->freeClusters;
    *totalClusters = drive->freeClusters * 2;
    return TRUE;
}

BOOL WINAPI FakeGetDiskFreeSpaceEx(LPCSTR root, PULARGE_INTEGER available, PULARGE_INTEGER total,
                                   PULARGE_INTEGER totalFree)
{
    Fake.newDiskCalls.push_back(root);
    Fake.errorModeAtDiskCall.push_back(Fake.errorMode);
    const FakeDrive* drive = FindDrive(root);
    if (!drive)
        return FALSE;
    available->QuadPart = drive->availableBytes;
    total->QuadPart = drive->totalFreeBytes * 2;
    totalFree->QuadPart = drive->totalFreeBytes;
    return TRUE;
}

HANDLE WINAPI FakeFindFirstFile(LPCSTR path, LPWIN32_FIND_DATAA data)
{
    const FakeFile* file = FindFake(path);
    if (!file)
        return INVALID_HANDLE_VALUE;
    memset(data, 0, sizeof(*data));
    SystemTimeToFileTime(&file->lastWrite, &data->ftLastWriteTime);
    // creation and access times apart from the write time, to tell the kinds apart
    SYSTEMTIME created = file->lastWrite;
    created.wYear = 2001;
    SystemTimeToFileTime(&created, &data->ftCreationTime);
    SYSTEMTIME accessed = file->lastWrite;
    accessed.wYear = 2002;
    SystemTimeToFileTime(&accessed, &data->ftLastAccessTime);
    ++Fake.openSearches;
    return SearchHandle;
}

BOOL WINAPI FakeFindClose(HANDLE search)
{
    if (search != SearchHandle)
        return FALSE;
    --Fake.openSearches;
    return TRUE;
}

DWORD WINAPI FakeGetFileVersionInfoSize(LPCSTR path, LPDWORD handle)
{
    *handle = 0;
    const FakeFile* file = FindFake(path);
    if (!file || file->kind == FakeFile::NoVersionResource)
        return 0;
    return BlockSize;
}

BOOL WINAPI FakeGetFileVersionInfo(LPCSTR path, DWORD, DWORD size, LPVOID block)
{
    const FakeFile* file = FindFake(path);
    if (!file || file->kind == FakeFile::UnreadableVersion || size < BlockSize)
        return FALSE;
    VS_FIXEDFILEINFO info = {};
    info.dwSignature = 0xFEEF04BD;
    info.dwFileVersionMS = MAKELONG(file->version[1], file->version[0]);
    info.dwFileVersionLS = MAKELONG(file->version[3], file->version[2]);
    // product version apart from the file version, to catch the wrong field
    info.dwProductVersionMS = 0x00630063;
    info.dwProductVersionLS = 0x00630063;
    memcpy((char*)block + RootOffset, &info, sizeof(info));
    *((char*)block + 1) = (char)file->kind;
    return TRUE;
}

BOOL WINAPI FakeVerQueryValue(LPCVOID block, LPCSTR subBlock, LPVOID* value, PUINT length)
{
    if (strcmp(subBlock, "\\") != 0)
        return FALSE;
    *value = (char*)block + RootOffset;
    bool shortBlock = *((const char*)block + 1) == (char)FakeFile::ShortRootBlock;
    *length = shortBlock ? sizeof(VS_FIXEDFILEINFO) / 2 : sizeof(VS_FIXEDFILEINFO);
    return TRUE;
}

BOOL WINAPI FakeFileTimeToLocalFileTime(const FILETIME* utc, LPFILETIME local)
{
    *local = *utc; // the made-up machine lives in UTC
    return TRUE;
}

FakeFile File(const char* path, SYSTEMTIME written, WORD a, WORD b, WORD c, WORD d)
{
    FakeFile file = {path, written, FakeFile::Versioned, {a, b, c, d}};
    return file;
}

FakeFile Font(const char* path)
{
    FakeFile file = {path, Time(2009, 1, 20, 12, 0, 0), FakeFile::NoVersionResource, {}};
    return file;
}

} // namespace

SYSTEMTIME Time(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME t = {};
    t.wYear = year;
    t.wMonth = month;
    t.wDay = day;
    t.wHour = hour;
    t.wMinute = minute;
    t.wSecond = second;
    return t;
}

void InstallFakeWindows()
{
    Fake = FakeWindows();
    Fake.version.dwOSVersionInfoSize = sizeof(Fake.version);
    Fake.version.dwMajorVersion = 5;
    Fake.version.dwMinorVersion = 1;
    Fake.version.dwBuildNumber = 2600;
    Fake.version.dwPlatformId = VER_PLATFORM_WIN32_NT;
    strcpy(Fake.version.szCSDVersion, "Service Pack 3");
    Fake.systemDirectory = "C:\\WINDOWS\\system32";
    Fake.windowsDirectory = "C:\\WINDOWS";
    Fake.desktop = "C:\\Documents and Settings\\user\\デスクトップ";
    Fake.screen = RECT{0, 0, 1024, 768};
    Fake.screenAnswers = true;
    Fake.now = Time(2009, 5, 3, 8, 7, 6);
    Fake.drives = {
        {"C:", 41234567168ull, 51234567168ull, 8, 512, 1000},
        {"D:", 1073741824ull, 1073741824ull, 8, 512, 2000},
    };
    SYSTEMTIME aux = Time(2009, 1, 20, 12, 0, 0);
    SYSTEMTIME system = Time(2008, 4, 14, 21, 0, 0);
    SYSTEMTIME controls = Time(2004, 7, 12, 14, 21, 10);
    Fake.files = {
        File("C:\\WINDOWS\\system32\\PKP3RES.dll", aux, 1, 2, 3, 4),
        File("C:\\WINDOWS\\system32\\PKP4RES.dll", aux, 1, 2, 3, 5),
        File("C:\\WINDOWS\\system32\\Shell32.dll", system, 6, 0, 1000, 1),
        File("C:\\WINDOWS\\system32\\Kernel32.dll", system, 5, 1, 1000, 2),
        File("C:\\WINDOWS\\system32\\GDI32.dll", system, 5, 1, 1000, 3),
        File("C:\\WINDOWS\\system32\\COMCTL32.dll", system, 5, 82, 1000, 4),
        File("C:\\WINDOWS\\system32\\MSCOMCTL.ocx", controls, 6, 1, 10, 20),
        File("C:\\WINDOWS\\system32\\MSVBVM60.dll", Time(2004, 8, 4, 12, 0, 0), 6, 0, 10, 30),
        File("C:\\WINDOWS\\system32\\VB6JP.dll", Time(1998, 6, 18, 12, 0, 0), 5, 0, 10, 40),
        File("C:\\WINDOWS\\system32\\COMDLG32.ocx", controls, 6, 1, 10, 50),
        File("C:\\WINDOWS\\system32\\MSFLXGRD.ocx", controls, 6, 1, 10, 60),
        File("C:\\WINDOWS\\Speech\\Vtext.dll", Time(2001, 8, 23, 12, 0, 0), 4, 0, 10, 70),
        Font("C:\\WINDOWS\\Fonts\\QuillmoorFont1.ttf"),
        Font("C:\\WINDOWS\\Fonts\\Q_SegA.TTF"),
        Font("C:\\WINDOWS\\Fonts\\Q_SegB.TTF"),
        Font("C:\\WINDOWS\\Fonts\\Q_SegC.TTF"),
        Font("C:\\WINDOWS\\Fonts\\Q_FigC1.TTF"),
        Font("C:\\WINDOWS\\Fonts\\Q_FigC2.TTF"),
        Font("C:\\WINDOWS\\Fonts\\Q_Fig5.TTF"),
    };

    Sys.GetVersionExA = FakeGetVersionEx;
    Sys.GetSystemDirectoryA = FakeGetSystemDirectory;
    Sys.GetWindowsDirectoryA = FakeGetWindowsDirectory;
    Sys.SHGetSpecialFolderPathA = FakeGetSpecialFolderPath;
    Sys.SHGetSpecialFolderLocation = FakeSHGetSpecialFolderLocation;
    Sys.SHGetPathFromIDListA = FakeSHGetPathFromIDList;
    Sys.SHGetMalloc = FakeSHGetMalloc;
    Sys.GetDesktopWindow = FakeGetDesktopWindow;
    Sys.GetClientRect = FakeGetClientRect;
    Sys.GetLocalTime = FakeGetLocalTime;
    Sys.SetErrorMode = FakeSetErrorMode;
    Sys.GetDiskFreeSpaceA = FakeGetDiskFreeSpace;
    Sys.GetDiskFreeSpaceExA = FakeGetDiskFreeSpaceEx;
    Sys.FindFirstFileA = FakeFindFirstFile;
    Sys.FindClose = FakeFindClose;
    Sys.GetFileVersionInfoSizeA = FakeGetFileVersionInfoSize;
    Sys.GetFileVersionInfoA = FakeGetFileVersionInfo;
    Sys.VerQueryValueA = FakeVerQueryValue;
    Sys.FileTimeToLocalFileTime = FakeFileTimeToLocalFileTime;
    Sys.FileTimeToSystemTime = FileTimeToSystemTime;
    RequeryWindowsVersion();
}

void RequeryWindowsVersion()
{
    memset(&WindowsVersion, 0, sizeof(WindowsVersion));
    QueryWindowsVersion();
}

void RemoveFakeWindows()
{
    Sys = RealWindowsCalls();
    RequeryWindowsVersion();
}

std::string Crlf(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}
