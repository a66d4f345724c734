// Every call of the calls table failing wherever an operation makes it: each call the operation
// makes, one at a time and, for saving, two at a time; every call of one entry; and odd answers.
// Whatever fails, the report keeps its layout and loses only what the failed call feeds, and a
// save keeps its promise, on every ground a folder may stand on: it saves where the plain
// overwrite saves, and refuses what it refuses; otherwise the file keeps its old bytes; nothing
// else is written or left behind; and an existing file stays the same file.
#include "calls/WindowsCalls.h"
#include "tests/CallTable.h"
#include "probes/WindowsVersion.h"
#include "report/ReportComposer.h"
#include "shell/ReportFile.h"
#include "tests/FakeWindows.h"
#include "tests/FaultInjection.h"
#include "tests/TestFiles.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <tuple>
#include <type_traits>
#include <gtest/gtest.h>

namespace {


// What each call feeds: the report lines that may change when it fails, by label, split by
// commas (a trail byte may be "|"); "row" is the row of the file it asks about (or was asked
// about last), "rows" any file's row, "drive" the line of the drive it asks about, "drives" any
// drive line. "save" marks the calls of saving, "windows" those of the program's windows, which
// neither a report nor a save's file makes; "never fails" a call Windows cannot refuse.
struct Feeds {
    CallIndex call;
    const char* lines;
};
const Feeds Table[] = {
    {Call_GetVersionExA, "Windowsの種類,Version,サービスパック,drives"}, // the edition picks the disk call
    {Call_GetSystemDirectoryA, "システムディレクトリ,rows"},
    {Call_GetWindowsDirectoryA, "rows"},
    {Call_SHGetSpecialFolderPathA, "デスクトップ"},
    {Call_SHGetSpecialFolderLocation, "デスクトップ"},
    {Call_SHGetPathFromIDListA, "デスクトップ"},
    {Call_SHGetMalloc, "デスクトップ"},
    {Call_GetDesktopWindow, "画面サイズ"},
    {Call_GetClientRect, "画面サイズ"},
    {Call_GetLocalTime, "レポート出力日時"},
    {Call_SetErrorMode, "never fails"},
    {Call_GetDiskFreeSpaceA, "drive"},
    {Call_GetDiskFreeSpaceExA, "drive"},
    {Call_FindFirstFileA, "row"},
    {Call_FindClose, "row"},
    {Call_GetFileVersionInfoSizeA, "row"},
    {Call_GetFileVersionInfoA, "row"},
    {Call_VerQueryValueA, "row"},
    {Call_FileTimeToLocalFileTime, "row"},
    {Call_FileTimeToSystemTime, "row"},
    {Call_GetSaveFileNameA, "windows"}, // the save's dialog
    {Call_GetOpenFileNameA, "windows"},
    {Call_GetFileAttributesA, "save"},
    {Call_CreateFileA, "save"},
    {Call_ReadFile, "save"},
    {Call_WriteFile, "save"},
    {Call_SetFilePointer, "save"},
    {Call_SetEndOfFile, "save"},
    {Call_FlushFileBuffers, "save"},
    {Call_CloseHandle, "save"},
    {Call_DeleteFileA, "save"},
    {Call_InitCommonControlsEx, "windows"},
    {Call_InsertMenuItemA, "windows"},
    {Call_RegisterClassExA, "windows"},
    {Call_LoadImageA, "windows"},
};

std::string FeedsOf(int entry)
{
    for (const Feeds& row : Table)
        if (row.call == entry)
            return row.lines;
    return "(no row)";
}

bool NeverFails(int entry) { return FeedsOf(entry) == "never fails"; }

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    for (size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(text.substr(at, end - at));
    return lines;
}

bool IsDriveLine(const std::string& line)
{
    return line.size() > 3 && line[1] == ':' && line.compare(2, 4, " -  ") == 0;
}

// What a line is about, without its value: the label (without its padding) or the file name.
std::string Key(const std::string& line)
{
    for (const char* separator : {"：", " : ", " - "}) {
        size_t at = line.find(separator);
        if (at == std::string::npos)
            continue;
        std::string key = line.substr(0, at);
        while (!key.empty() && key.back() == ' ')
            key.pop_back();
        while (key.size() >= 2 && key.compare(key.size() - 2, 2, "　") == 0)
            key.resize(key.size() - 2);
        return key;
    }
    return line;
}

bool IsRow(const std::string& line) { return line.find(" - 更新日時:") != std::string::npos; }

// Whether a component row only lost its version or its time, or both.
bool OnlyLost(const std::string& before, const std::string& after)
{
    const std::string time = " - 更新日時:";
    size_t version = before.find(" : ");
    std::vector<std::string> rows = {before};
    if (version != std::string::npos)
        rows.push_back(before.substr(0, version + 3) + "-.-.-.-" + before.substr(before.find(time)));
    for (const std::string& row : rows)
        if (after == row || after == row.substr(0, row.find(time) + time.size()))
            return true;
    return false;
}

// The keys of the lines the run's failed calls may change.
std::set<std::string> MayChange(const FaultRun& run, std::string* problems)
{
    std::set<std::string> keys;
    std::string file;
    for (const Call& call : run.made) {
        std::string feeds = FeedsOf(call.entry);
        if (feeds == "row" && !call.arg.empty())
            file = call.arg.substr(call.arg.find_last_of('\\') + 1);
        if (!call.struck)
            continue;
        if (feeds == "save" || feeds == "windows")
            *problems += std::string("the report made ") + CallRows[call.entry].name + ", a call of " + feeds + "; ";
        for (size_t at = 0, end; at <= feeds.size(); at = end + 1) {
            end = std::min(feeds.find(',', at), feeds.size());
            std::string key = feeds.substr(at, end - at);
            keys.insert(key == "row" ? file : key == "drive" ? call.arg.substr(0, 2) : key);
        }
    }
    return keys;
}

// How a report made with the run's faults breaks what a failure may do to it.
std::string ReportProblems(const std::string& before, const std::string& after, const FaultRun& run)
{
    std::string problems;
    std::set<std::string> may = MayChange(run, &problems);
    std::vector<std::string> was, is;
    std::set<std::string> drivesBefore, drivesNow;
    for (const std::string& line : Lines(before))
        IsDriveLine(line) ? (void)drivesBefore.insert(line) : was.push_back(line);
    for (const std::string& line : Lines(after))
        IsDriveLine(line) ? (void)drivesNow.insert(line) : is.push_back(line);
    if (was.size() != is.size())
        return problems + std::to_string(is.size()) + " lines besides the drives, not " + std::to_string(was.size());
    for (size_t i = 0; i < was.size(); ++i) {
        if (was[i] == is[i])
            continue;
        if (Key(was[i]) != Key(is[i]))
            problems += "line " + std::to_string(i) + " is about " + Key(is[i]) + ", not " + Key(was[i]) + "; ";
        else if (!may.count(Key(was[i])) && !(IsRow(was[i]) && may.count("rows")))
            problems += Key(was[i]) + " changed; ";
        else if (IsRow(was[i]) && !OnlyLost(was[i], is[i]))
            problems += "the row of " + Key(was[i]) + " gained \"" + is[i] + "\"; ";
    }
    for (const std::string& line : drivesNow)
        if (!drivesBefore.count(line) && !may.count("drives"))
            problems += "drive line \"" + line + "\" is new; ";
    for (const std::string& line : drivesBefore)
        if (!drivesNow.count(line) && !may.count(line.substr(0, 2)) && !may.count("drives"))
            problems += "the line of drive " + line.substr(0, 2) + " changed; ";
    if (!run.open.empty())
        problems += "searches left open; ";
    if (Fake.itemListsHeld != 0 || Fake.allocatorsHeld != 0)
        problems += std::to_string(Fake.itemListsHeld) + " item lists and " + std::to_string(Fake.allocatorsHeld)
                  + " references to the shell's allocator left; ";
    if (Fake.errorMode != 0)
        problems += "error mode left at " + std::to_string(Fake.errorMode) + "; ";
    return problems;
}

// What the folder and the file stand on, answered as Windows answers there where Wine is kinder;
// a row may stand on several at once.
enum Ground {
    PlainFolder = 0,
    DeepFolder = 1, // 247 characters, where Windows makes no temporary names
    NoDelete = 2,   // NT rights: files can be made and written, not deleted or renamed (a drop box)
    NoWrite = 4,    // NT rights on the chosen file: not to be written, though the folder may replace it
    NoRead = 8,     // NT rights on the chosen file: to be written, not read
    LossyClose = 16, // a network redirector: a failing close loses what was written since a flush
    PowerCut = 32,  // the power fails after the save: what was not flushed never reaches the disk
    FullDisk = 64,  // growing a file takes room at once (Wine grows files sparsely), and is refused
    Sparse = 128,   // with FullDisk, a sparse or compressed file: its growth takes no room, its writes do
};

// The ground, with the bytes still free on a full disk, the chosen file's rights, and what each
// handle's file held when opened, how much of it has room taken, and whether it was written since
// a flush; the files a power cut would find unflushed.
struct Land {
    int ground;
    ULONGLONG free;
    std::string chosen;
    struct Opened {
        std::string path, atOpen;
        ULONGLONG taken;
        bool unflushed;
    };
    std::map<HANDLE, Opened> opened;
    std::set<std::string> lost;
} Land;

void Refuse(DWORD error)
{
    Current.made.back().refused = true;
    SetLastError(error);
}

ULONGLONG SizeAt(LPCSTR path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(search);
    return (ULONGLONG)found.nFileSizeHigh << 32 | found.nFileSizeLow;
}

// The volume and index that tell a file from every other, or "(no file)".
std::string Identity(HANDLE file)
{
    BY_HANDLE_FILE_INFORMATION info = {};
    if (file == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(file, &info))
        return "(no file)";
    return std::to_string(info.dwVolumeSerialNumber) + ":" + std::to_string(info.nFileIndexHigh) + ":"
         + std::to_string(info.nFileIndexLow);
}
std::string Identity(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, 0, NULL);
    std::string identity = Identity(file);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return identity;
}

// The real calls, answering as Windows answers on the ground.
HANDLE WINAPI OpenOnGround(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                           DWORD disposition, DWORD flags, HANDLE model)
{
    int denied = (access & GENERIC_READ ? NoRead : 0) | (access & GENERIC_WRITE ? NoWrite : 0);
    if (Land.chosen == path && (Land.ground & denied))
        return Refuse(ERROR_ACCESS_DENIED), INVALID_HANDLE_VALUE;
    bool emptying = disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
    ULONGLONG freed = Land.ground & FullDisk && emptying ? SizeAt(path) : 0;
    std::string atOpen = Land.ground & LossyClose && disposition == OPEN_EXISTING ? ReadAll(path) : "";
    HANDLE file = CreateFileA(path, access, share, security, disposition, flags, model);
    if (file != INVALID_HANDLE_VALUE) {
        Land.free += freed;
        Land.opened[file] = {path, atOpen, GetFileSize(file, NULL), false}; // the files here are small
    }
    return file;
}
// On a full disk, as much as fits, then a refusal.
BOOL WINAPI WriteOnGround(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED)
{
    Land::Opened& opened = Land.opened[file];
    opened.unflushed = true;
    ULONGLONG at = SetFilePointer(file, 0, NULL, FILE_CURRENT);
    ULONGLONG room = Land.ground & FullDisk ? opened.taken + Land.free - at : size;
    BOOL wrote = WriteFile(file, data, size < room ? size : (DWORD)room, written, NULL);
    if (Land.ground & FullDisk && at + *written > opened.taken) {
        Land.free -= at + *written - opened.taken;
        opened.taken = at + *written;
    }
    if (wrote && *written < size)
        return Refuse(ERROR_DISK_FULL), FALSE;
    return wrote;
}
BOOL WINAPI SetEndOnGround(HANDLE file)
{
    Land::Opened& opened = Land.opened[file];
    ULONGLONG at = SetFilePointer(file, 0, NULL, FILE_CURRENT);
    bool growing = at > opened.taken && !(Land.ground & Sparse);
    if (Land.ground & FullDisk && growing && at - opened.taken > Land.free)
        return Refuse(ERROR_DISK_FULL), FALSE;
    if (!SetEndOfFile(file))
        return FALSE;
    if (Land.ground & FullDisk && (growing || at < opened.taken)) {
        Land.free = Land.free + opened.taken - at;
        opened.taken = at;
    }
    return TRUE;
}
BOOL WINAPI FlushOnGround(HANDLE file)
{
    BOOL flushed = FlushFileBuffers(file);
    if (flushed)
        Land.opened[file].unflushed = false;
    return flushed;
}
BOOL WINAPI CloseOnGround(HANDLE file)
{
    Land::Opened was = Land.opened[file];
    Land.opened.erase(file);
    if (Land.ground & PowerCut && was.unflushed)
        Land.lost.insert(Identity(file));
    CloseHandle(file);
    if (!(Land.ground & LossyClose) || !was.unflushed)
        return TRUE;
    WriteAll(was.path, was.atOpen); // what the redirector held back never arrives
    return Refuse(ERROR_UNEXP_NET_ERR), FALSE;
}
BOOL WINAPI DeleteOnGround(LPCSTR path)
{
    if (Land.ground & NoDelete)
        return Refuse(ERROR_ACCESS_DENIED), FALSE;
    ULONGLONG size = SizeAt(path);
    BOOL deleted = DeleteFileA(path);
    Land.free += deleted && Land.ground & FullDisk ? size : 0;
    return deleted;
}

// The calls of saving as they answer on the ground, with free bytes on a full disk.
WindowsCalls OnGround(int ground, ULONGLONG free, const std::string& chosen)
{
    Land = {ground, free, chosen, {}, {}};
    WindowsCalls calls = RealWindowsCalls();
    calls.CreateFileA = OpenOnGround;
    calls.WriteFile = WriteOnGround;
    calls.SetEndOfFile = SetEndOnGround;
    calls.FlushFileBuffers = FlushOnGround;
    calls.CloseHandle = CloseOnGround;
    calls.DeleteFileA = DeleteOnGround;
    return calls;
}

const std::string OldBytes = std::string(10000, 'o') + "\r\n"; // longer than the new, to show a tail
const std::string ShortOldBytes = std::string(1000, 'o') + "\r\n";
const std::string NewBytes = "☆もふりん堂HPへ\r\n表示ソフト\r\n" + std::string(3000, '-') + "\r\n\r\n";
const std::string Bystander = "someone else's file\r\n";

struct SaveCase {
    const char* what;
    const char* name;
    const std::string* old; // null for a new file
    int ground;
    ULONGLONG free; // on a full disk
};

const size_t NewSize = NewBytes.size();
const SaveCase SaveCases[] = {
    // 表 ends in 5C: cutting the path at that byte would look for the wrong folder
    {"over a longer file", "A表.txt", &OldBytes, PlainFolder, 0},
    {"new file", "report", nullptr, PlainFolder, 0}, // kept without an extension
    {"new file in a deep folder", "A表.txt", nullptr, DeepFolder, 0},
    {"over a file in a deep folder", "A表.txt", &OldBytes, DeepFolder, 0},
    {"new file in a drop box", "A表.txt", nullptr, NoDelete, 0},
    {"over a file in a drop box", "A表.txt", &OldBytes, NoDelete, 0},
    {"new file, lossy close", "A表.txt", nullptr, LossyClose, 0},
    {"over a file, lossy close", "A表.txt", &OldBytes, LossyClose, 0},
    {"new file, power cut", "A表.txt", nullptr, PowerCut, 0},
    {"over a file, power cut", "A表.txt", &OldBytes, PowerCut, 0},
    {"full disk, growing into the old file's room", "A表.txt", &ShortOldBytes, FullDisk, NewSize - 1000},
    {"full disk, shrinking", "A表.txt", &OldBytes, FullDisk, 100},
    {"full disk, no room", "A表.txt", &ShortOldBytes, FullDisk, 100},
    {"full disk, new file", "A表.txt", nullptr, FullDisk, NewSize - 1},
    {"full disk, sparse file, growing into its room", "A表.txt", &ShortOldBytes, FullDisk | Sparse, NewSize - 1000},
    {"full disk, sparse file, no room", "A表.txt", &ShortOldBytes, FullDisk | Sparse, 100},
    {"a file that may not be written", "A表.txt", &OldBytes, NoWrite, 0},
    {"a file that may not be written, in a drop box", "A表.txt", &OldBytes, NoWrite | NoDelete, 0},
    {"a file that may be neither written nor read", "A表.txt", &OldBytes, NoWrite | NoRead, 0},
    {"a file that may be written, not read", "A表.txt", &OldBytes, NoRead, 0},
    {"a file that may be written, not read, in a drop box", "A表.txt", &OldBytes, NoRead | NoDelete, 0},
    {"a file that may be written, not read, power cut", "A表.txt", &OldBytes, NoRead | PowerCut, 0},
    {"a file that may be written, not read, no room", "A表.txt", &ShortOldBytes, NoRead | FullDisk, 100},
};

class FailingCalls : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = FreshFolder("failing-calls-保存表");
        deep_ = folder_ + "\\" + std::string(MAX_PATH - 13 - folder_.size() - 1, 'd');
    }

    void TearDown() override
    {
        RemoveFakeWindows();
        for (const std::string& folder : {deep_, folder_}) {
            FreshFolder(folder);
            RemoveDirectoryA(folder.c_str());
        }
    }

    // The report composed with the run's faults on the made-up Windows XP, or the first Windows
    // 95, whose shell finds the desktop through its item list.
    std::string Report(bool windows95, const FaultRun& run)
    {
        InstallFakeWindows();
        if (windows95) {
            Fake.version.dwMajorVersion = 4;
            Fake.version.dwMinorVersion = 0;
            Fake.version.dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
            Fake.version.szCSDVersion[0] = '\0';
            Sys.SHGetSpecialFolderPathA = nullptr;
        }
        Inject(Sys, run);
        RequeryWindowsVersion();
        return ComposeReportText();
    }

    // A save through the real calls on the case's ground, with the run's faults; what it broke of
    // its promise.
    std::string Save(const SaveCase& setup, const FaultRun& fault)
    {
        std::string where = FreshFolder(setup.ground & DeepFolder ? deep_ : folder_);
        std::string target = where + "\\" + setup.name;
        if (setup.old)
            WriteAll(target, *setup.old);
        WriteAll(where + "\\bystander.txt", Bystander);
        std::string identity = Identity(target);
        Inject(OnGround(setup.ground, setup.free, setup.old ? target : ""), fault);
        SaveStatus status = WriteReportFile(target, NewBytes);
        Sys = RealWindowsCalls();

        // The file holds the whole text after success; after a failure its old bytes, or no file
        // where there was none (an emptied one where Windows refused to remove it), and its old
        // length. Only where Windows refused the undo as well, a second failure, or the reading
        // that the undo needs, may its bytes differ; its length only where setting it failed
        std::string problems, old = setup.old ? *setup.old : "(no file)";
        std::string now = ReadAll(target);
        if (Land.lost.count(Identity(target)))
            now.assign(now.size(), '\0'); // written, but never flushed to the disk
        bool kept = now == old || (!setup.old && now.empty() && Current.Refused(Call_DeleteFileA));
        // (a read cut short is no excuse: it comes before any write), or where the first open of an
        // existing file, to read and write it, was refused
        int failed = 0, opens = 0;
        bool readRefused = false;
        for (const Call& call : Current.made) {
            bool refused = call.struck || call.refused;
            failed += refused && call.entry != Call_ReadFile;
            readRefused = readRefused || (setup.old && refused && call.entry == Call_CreateFileA && opens == 0);
            opens += call.entry == Call_CreateFileA;
        }
        bool undoRefused = failed >= 2 || readRefused;
        if (status == SaveDone && now != NewBytes)
            problems += "success, with " + std::to_string(now.size()) + " other bytes in the file; ";
        if (status != SaveDone && !kept && !undoRefused)
            problems += "a failure that did not keep the old file but left " + std::to_string(now.size()) + " bytes; ";
        if (status != SaveDone && setup.old && now.size() != old.size() && !Current.Refused(Call_SetEndOfFile)
            && !Current.Refused(Call_SetFilePointer))
            problems += "a failure that left " + std::to_string(now.size()) + " bytes, not the old length; ";
        if (setup.old && Identity(target) != identity)
            problems += "the file was replaced by another; ";
        if (ReadAll(where + "\\bystander.txt") != Bystander)
            problems += "someone else's file was touched; ";
        // Nothing but the chosen file is written, or left behind.
        for (const Call& call : Current.made)
            if (call.entry == Call_CreateFileA && call.arg != target)
                problems += "opened " + call.arg + "; ";
        for (const std::string& name : FilesIn(where))
            if (name != setup.name && name != "bystander.txt")
                problems += name + " left behind; ";
        // The box says what went wrong.
        bool wrote = false;
        for (const Call& call : Current.made)
            wrote = wrote || call.entry == Call_WriteFile || call.entry == Call_SetEndOfFile;
        if (status == SaveWriteFailed && !wrote)
            problems += "a write failure before anything was written; ";
        bool writeRefused = Current.Refused(Call_WriteFile) || Current.Refused(Call_SetEndOfFile)
                         || Current.Refused(Call_FlushFileBuffers);
        if (status == SaveOpenFailed && (now != old || writeRefused))
            problems += "an open failure, though the file was changed or a write failed; ";
        if (!Current.open.empty())
            problems += "handles left open; ";
        // What the plain overwrite refuses is refused, and left as it was, whatever fails; without
        // faults, the save succeeds wherever the plain overwrite, which empties the file first,
        // would.
        if (setup.old && setup.ground & NoWrite && (status != SaveOpenFailed || now != old))
            problems += "a file the plain overwrite refuses was not refused and left as it was; ";
        bool plainSaves = setup.ground & FullDisk ? setup.free + (setup.old ? setup.old->size() : 0) >= NewSize
                                                  : !(setup.ground & (LossyClose | NoWrite));
        if (fault.failing.empty() && fault.everyEntry < 0 && plainSaves && status != SaveDone)
            problems += "a save without faults failed where the plain overwrite saves; ";
        return problems;
    }

    std::string folder_;
    std::string deep_; // 247 characters
};

} // namespace

TEST_F(FailingCalls, EveryEntryHasOneRowAndEveryRowAnEntry)
{
    for (int entry = 0; entry < CallCount; ++entry)
        EXPECT_NE("(no row)", FeedsOf(entry)) << CallRows[entry].name << " has no row in the table";
    EXPECT_EQ((size_t)CallCount, sizeof(Table) / sizeof(Table[0])) << "rows, one for each entry";
}

// The real table holds, for each entry it comes by name, that function of that DLL (Wine has them
// all), and each such entry says what the program does where Windows lacks it.
TEST(RealWindowsCalls, EachEntryIsTheFunctionItNames)
{
    WindowsCalls real = RealWindowsCalls();
    LoadWhenUsed(Dll_comdlg32);
    for (const CallRow& row : CallRows) {
        SCOPED_TRACE(std::string(row.dll) + " " + row.name);
        void* held = *EntryNamed(row.source == WhenUsed ? Sys : real, row.name);
        EXPECT_NE(nullptr, held);
        EXPECT_EQ(row.source == Imported, std::string(row.missing).empty()) << row.missing;
        if (row.source != Imported)
            EXPECT_EQ((void*)GetProcAddress(LoadLibraryA(row.dll), row.name), held);
    }
    Sys = RealWindowsCalls();
}

TEST_F(FailingCalls, TheReportLosesOnlyWhatAFailedCallFeeds)
{
    int cells = 0;
    for (bool windows95 : {false, true}) {
        std::string before = Report(windows95, FaultRun());
        EXPECT_NE(std::string::npos, before.find("デスクトップ        ：" + Fake.desktop + "\r\n")) << "the desktop's path";
        std::vector<Call> calls = Current.made;
        for (const FaultRun& fault : FaultsOf(calls, NeverFails)) {
            std::string after = Report(windows95, fault);
            SCOPED_TRACE(std::string(windows95 ? "Windows 95, " : "Windows XP, ") + Describe(fault));
            EXPECT_EQ("", ReportProblems(before, after, Current));
            RemoveFakeWindows();
            ++cells;
        }
    }
    printf("%d faults through a report\n", cells);
}

TEST_F(FailingCalls, ASaveKeepsTheOldFileOrWritesTheWholeText)
{
    int cells = 0;
    for (const SaveCase& setup : SaveCases) {
        SCOPED_TRACE(setup.what);
        EXPECT_EQ("", Save(setup, FaultRun())) << "without faults";
        std::vector<Call> calls = Current.made;
        for (const FaultRun& fault : FaultsOf(calls, NeverFails)) {
            std::string problems = Save(setup, fault);
            EXPECT_EQ("", problems) << Describe(fault);
            ++cells;
            if (fault.odd || fault.everyEntry >= 0)
                continue;
            // and a second failure at each call the first one leads to
            std::vector<Call> after = Current.made;
            for (size_t second = *fault.failing.begin() + 1; second < after.size(); ++second) {
                if (FeedsOf(after[second].entry) == "never fails")
                    continue;
                FaultRun pair = fault;
                pair.failing.insert(second);
                problems = Save(setup, pair);
                EXPECT_EQ("", problems) << Describe(pair);
                ++cells;
            }
        }
    }
    printf("%d faults through a save\n", cells);
}
