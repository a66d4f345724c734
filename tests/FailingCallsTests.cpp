// Every entry of the calls table made to fail on its first call, on every call, and with an odd
// answer where it has one, through a whole report and through a save over an existing file.
// Each runs where its call is used: the old disk call on Windows 95, moving and deleting files
// in the save of the 9x family, which cannot replace a file in one move; the rest on Windows XP.
#include "probes/SystemCalls.h"
#include "probes/WindowsVersion.h"
#include "report/ReportComposer.h"
#include "shell/SaveReport.h"
#include "tests/FakeWindows.h"
#include "tests/TestFiles.h"

#include <cstdio>
#include <cstring>
#include <set>
#include <type_traits>
#include <gtest/gtest.h>

namespace {

enum CallIndex {
#define CALL_INDEX(name, type) Call_##name,
    SYSTEM_CALLS(CALL_INDEX)
#undef CALL_INDEX
    CallCount
};

const char* const CallNames[] = {
#define CALL_NAME(name, type) #name,
    SYSTEM_CALLS(CALL_NAME)
#undef CALL_NAME
};

template <int Index> struct Member;
#define CALL_MEMBER(name, type)                                                                    \
    template <> struct Member<Call_##name> {                                                       \
        static type& Of(SystemCalls& calls) { return calls.name; }                                 \
    };
SYSTEM_CALLS(CALL_MEMBER)
#undef CALL_MEMBER

enum Fault { FirstCall, EveryCall, OddAnswer };
const char* const FaultNames[] = {"first call", "every call", "odd answer"};

// The run under way: which entry fails how, and what the calls opened.
struct FaultRun {
    int entry;
    Fault fault;
    int calls;
    std::set<HANDLE> open; // from createFile and findFirstFile, not yet closed
    SystemCalls under;     // where the wrapped calls go
};
FaultRun Injected;

// Odd answers, where an entry has one: answers Windows may give that are not a plain failure.
SystemCalls OddAnswers()
{
    SystemCalls odd = {};
    // a directory longer than the buffer: its length, and no text
    odd.getSystemDirectory = [](LPSTR, UINT size) WINAPI -> UINT { return size + 10; };
    odd.getWindowsDirectory = odd.getSystemDirectory;
    odd.shGetSpecialFolderPath = [](HWND, LPSTR path, int, BOOL) WINAPI -> BOOL {
        path[0] = '\0';
        return TRUE;
    };
    odd.getLocalTime = [](LPSYSTEMTIME now) WINAPI { memset(now, 0, sizeof(*now)); };
    odd.getDiskFreeSpace = [](LPCSTR, LPDWORD a, LPDWORD b, LPDWORD c, LPDWORD d) WINAPI -> BOOL {
        *a = *b = *c = *d = 0;
        return TRUE;
    };
    odd.getDiskFreeSpaceEx = [](LPCSTR, PULARGE_INTEGER a, PULARGE_INTEGER b, PULARGE_INTEGER c) WINAPI -> BOOL {
        a->QuadPart = b->QuadPart = c->QuadPart = 0;
        return TRUE;
    };
    // too small for the block the file holds
    odd.getFileVersionInfoSize = [](LPCSTR, LPDWORD handle) WINAPI -> DWORD {
        *handle = 0;
        return 1;
    };
    // a root block shorter than asked
    odd.verQueryValue = [](LPCVOID block, LPCSTR sub, LPVOID* value, PUINT length) WINAPI -> BOOL {
        BOOL found = Injected.under.verQueryValue(block, sub, value, length);
        *length = sizeof(VS_FIXEDFILEINFO) / 2;
        return found;
    };
    odd.getTempFileName = [](LPCSTR, LPCSTR, UINT, LPSTR name) WINAPI -> UINT {
        name[0] = '\0';
        return 1;
    };
    odd.writeFile = [](HANDLE, LPCVOID, DWORD, LPDWORD written, LPOVERLAPPED) WINAPI -> BOOL {
        *written = 0;
        return TRUE;
    };
    // as the 9x family answers
    odd.moveFileEx = [](LPCSTR, LPCSTR, DWORD) WINAPI -> BOOL {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return FALSE;
    };
    return odd;
}
SystemCalls Odd = OddAnswers();

bool Strikes(int index)
{
    if (Injected.entry != index)
        return false;
    return Injected.fault != FirstCall || Injected.calls++ == 0;
}

template <typename T, typename... Rest> T First(T first, Rest...) { return first; }

template <int Index, typename Signature> struct Entry;
template <int Index, typename R, typename... A> struct Entry<Index, R(WINAPI*)(A...)> {
    static constexpr bool closes = Index == Call_closeHandle || Index == Call_findClose;

    static R WINAPI Call(A... a)
    {
        auto real = Member<Index>::Of(Injected.under);
        if (Strikes(Index)) {
            if (Injected.fault == OddAnswer)
                return Member<Index>::Of(Odd)(a...);
            if constexpr (closes) {
                // a close that reports an error has closed the handle all the same
                if (real(a...))
                    Injected.open.erase(First(a...));
            }
            SetLastError(ERROR_ACCESS_DENIED);
            if constexpr (std::is_void<R>::value)
                return;
            else if constexpr (std::is_same<R, HANDLE>::value && !closes)
                return INVALID_HANDLE_VALUE;
            else if (Index == Call_getFileAttributes)
                return (R)INVALID_FILE_ATTRIBUTES;
            else
                return R();
        }
        if constexpr (std::is_void<R>::value) {
            real(a...);
        } else {
            R result = real(a...);
            if constexpr (std::is_same<R, HANDLE>::value)
                if (result != INVALID_HANDLE_VALUE)
                    Injected.open.insert(result);
            if constexpr (closes)
                if (result)
                    Injected.open.erase(First(a...));
            return result;
        }
    }
};

// Sys answers through calls, with entry failing as fault says.
void InjectFault(const SystemCalls& calls, int entry, Fault fault)
{
    Injected = FaultRun();
    Injected.under = calls;
    Injected.entry = entry;
    Injected.fault = fault;
#define WRAP(name, type) Sys.name = calls.name ? &Entry<Call_##name, type>::Call : nullptr;
    SYSTEM_CALLS(WRAP)
#undef WRAP
}

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

// What a line is about, without its value: the label or file name.
std::string Key(const std::string& line)
{
    for (const char* separator : {"：", " : ", " - "}) {
        size_t at = line.find(separator);
        if (at != std::string::npos)
            return line.substr(0, at);
    }
    return line;
}

std::string Value(const std::string& line)
{
    return line.substr(Key(line).size());
}

// text without the blanks that pad a label, ASCII and full-width
std::string Trimmed(std::string text)
{
    const std::string wide = "　";
    for (;;) {
        if (!text.empty() && text.back() == ' ')
            text.pop_back();
        else if (text.size() >= wide.size() && text.compare(text.size() - wide.size(), wide.size(), wide) == 0)
            text.resize(text.size() - wide.size());
        else
            return text;
    }
}

// How report differs from before, in a few words: a header value as it now reads, the drive
// lines left, and how many component rows lost their version or time.
std::string ReportChange(const std::string& before, const std::string& report, std::string* broken)
{
    std::vector<std::string> was, is;
    int drivesBefore = 0, drivesNow = 0;
    for (const std::string& line : Lines(before))
        IsDriveLine(line) ? (void)++drivesBefore : was.push_back(line);
    for (const std::string& line : Lines(report))
        IsDriveLine(line) ? (void)++drivesNow : is.push_back(line);
    if (was.size() != is.size()) {
        *broken = "the report has " + std::to_string(is.size()) + " lines besides the drives, not "
                + std::to_string(was.size());
        return "";
    }
    std::string change;
    int versionsLost = 0, timesLost = 0;
    for (size_t i = 0; i < was.size(); ++i) {
        if (Key(was[i]) != Key(is[i]))
            *broken += "line " + std::to_string(i) + " is \"" + is[i] + "\", not about \"" + Key(was[i]) + "\"; ";
        if (was[i] == is[i])
            continue;
        bool row = Value(is[i]).compare(0, 3, " : ") == 0 || Value(is[i]).compare(0, 3, " - ") == 0;
        if (!row) {
            change += Trimmed(Key(is[i])) + " \"" + Value(is[i]).substr(strlen("：")) + "\"; ";
            continue;
        }
        if (is[i].find(" : -.-.-.- ") != std::string::npos && was[i].find(" : -.-.-.- ") == std::string::npos)
            ++versionsLost;
        if (is[i].compare(is[i].size() - 1, 1, ":") == 0 && was[i].compare(was[i].size() - 1, 1, ":") != 0)
            ++timesLost;
    }
    if (drivesNow != drivesBefore)
        change += "drive lines " + std::to_string(drivesNow) + "; ";
    if (versionsLost)
        change += "-.-.-.- in " + std::to_string(versionsLost) + " rows; ";
    if (timesLost)
        change += "no time in " + std::to_string(timesLost) + " rows; ";
    return change.empty() ? "as before" : change.substr(0, change.size() - 2);
}

const std::string OldBytes = "the report saved before\r\n";
const std::string NewBytes = "☆もふりん堂HPへ\r\n表示ソフト\r\n" + std::string(3000, '-') + "\r\n\r\n";

std::string Utf8(const std::string& cp932)
{
    std::wstring wide(cp932.size(), L'\0');
    wide.resize(MultiByteToWideChar(932, 0, cp932.data(), (int)cp932.size(), &wide[0], (int)wide.size()));
    std::string utf8(wide.size() * 3, '\0');
    utf8.resize(WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), &utf8[0], (int)utf8.size(), NULL, NULL));
    return utf8;
}

class FailingCalls : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof(temp), temp);
        folder_ = std::string(temp) + "failing-calls-" + std::to_string(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), NULL)) << folder_;
    }

    void TearDown() override
    {
        RemoveFakeWindows();
        Clear();
        RemoveDirectoryA(folder_.c_str());
    }

    void Clear()
    {
        for (const std::string& name : FilesIn(folder_))
            DeleteFileA((folder_ + "\\" + name).c_str());
    }

    // The report composed on the made-up machine with the fault; how it differs from before.
    std::string Report(int entry, Fault fault, std::string* problems)
    {
        InstallFakeWindows();
        if (entry == Call_getDiskFreeSpace) {
            Fake.version.dwMajorVersion = 4;
            Fake.version.dwMinorVersion = 0;
            Fake.version.dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
            RequeryWindowsVersion();
        }
        std::string before = ComposeReportText();
        InjectFault(Sys, entry, fault);
        RequeryWindowsVersion();
        std::string change = ReportChange(before, ComposeReportText(), problems);
        if (!Injected.open.empty())
            *problems += "searches left open; ";
        if (Fake.errorMode != 0)
            *problems += "error mode left at " + std::to_string(Fake.errorMode) + "; ";
        RemoveFakeWindows();
        return change;
    }

    // A save over an existing file through the real calls with the fault; what it gave.
    std::string Save(int entry, Fault fault, std::string* problems)
    {
        std::string target = folder_ + "\\report.txt";
        WriteAll(target, OldBytes);

        SystemCalls calls = RealSystemCalls();
        if (entry == Call_moveFile || entry == Call_deleteFile)
            calls.moveFileEx = Odd.moveFileEx;
        InjectFault(calls, entry, fault);
        SaveStatus status = WriteReportFile(target, NewBytes);
        Sys = RealSystemCalls();

        std::string bytes = ReadAll(target);
        bool kept = bytes == OldBytes, replaced = bytes == NewBytes;
        if (!kept && !replaced)
            *problems += "the file holds neither the old bytes nor the new but " + std::to_string(bytes.size()) + " others; ";
        if ((status == SaveDone) != replaced)
            *problems += "the status does not say what happened; ";
        std::vector<std::string> files = FilesIn(folder_);
        if (files != std::vector<std::string>{"report.txt"} && entry != Call_deleteFile)
            *problems += "files left: " + std::to_string(files.size()) + "; ";
        if (!Injected.open.empty())
            *problems += "handles left open; ";
        Clear();

        static const char* const statuses[] = {"done", "open failed", "write failed"};
        std::string said = statuses[status];
        if (files.size() > 1)
            said += ", " + std::to_string(files.size() - 1) + " left behind";
        return replaced ? said : said + ", old kept";
    }

    std::string folder_;
};

struct Expected {
    const char* call;
    Fault fault;
    const char* report;
    const char* save;
};

// What each failure should give; reviewed row by row against the code paths it takes.
const Expected Table[] = {
    {"getVersionEx", FirstCall, "Windowsの種類 \"謎のWindows(^^;\"; Version \"0.0.0\"; サービスパック \"\"", "done"},
    {"getVersionEx", EveryCall, "Windowsの種類 \"謎のWindows(^^;\"; Version \"0.0.0\"; サービスパック \"\"", "done"},
    {"getSystemDirectory", FirstCall, "システムディレクトリ \"\"; -.-.-.- in 9 rows; no time in 11 rows", "done"},
    {"getSystemDirectory", EveryCall, "システムディレクトリ \"\"; -.-.-.- in 9 rows; no time in 11 rows", "done"},
    {"getSystemDirectory", OddAnswer, "システムディレクトリ \"\"; -.-.-.- in 9 rows; no time in 11 rows", "done"},
    {"getWindowsDirectory", FirstCall, "-.-.-.- in 1 rows; no time in 8 rows", "done"},
    {"getWindowsDirectory", EveryCall, "-.-.-.- in 1 rows; no time in 8 rows", "done"},
    {"getWindowsDirectory", OddAnswer, "-.-.-.- in 1 rows; no time in 8 rows", "done"},
    {"shGetSpecialFolderPath", FirstCall, "デスクトップ \"\"", "done"},
    {"shGetSpecialFolderPath", EveryCall, "デスクトップ \"\"", "done"},
    {"shGetSpecialFolderPath", OddAnswer, "デスクトップ \"\"", "done"},
    {"getDesktopWindow", FirstCall, "画面サイズ \"0 x 0\"", "done"},
    {"getDesktopWindow", EveryCall, "画面サイズ \"0 x 0\"", "done"},
    {"getClientRect", FirstCall, "画面サイズ \"0 x 0\"", "done"},
    {"getClientRect", EveryCall, "画面サイズ \"0 x 0\"", "done"},
    {"getLocalTime", FirstCall, "レポート出力日時 \"0/00/00 00:00:00\"", "done"},
    {"getLocalTime", EveryCall, "レポート出力日時 \"0/00/00 00:00:00\"", "done"},
    {"getLocalTime", OddAnswer, "レポート出力日時 \"0/00/00 00:00:00\"", "done"},
    {"setErrorMode", FirstCall, "as before", "done"},
    {"setErrorMode", EveryCall, "as before", "done"},
    {"getDiskFreeSpace", FirstCall, "as before", "done"},
    {"getDiskFreeSpace", EveryCall, "drive lines 0", "done"},
    {"getDiskFreeSpace", OddAnswer, "drive lines 0", "done"},
    {"getDiskFreeSpaceEx", FirstCall, "as before", "done"},
    {"getDiskFreeSpaceEx", EveryCall, "drive lines 0", "done"},
    {"getDiskFreeSpaceEx", OddAnswer, "drive lines 0", "done"},
    {"findFirstFile", FirstCall, "no time in 1 rows", "done"},
    {"findFirstFile", EveryCall, "-.-.-.- in 10 rows; no time in 19 rows", "done"},
    {"findClose", FirstCall, "as before", "done"},
    {"findClose", EveryCall, "as before", "done"},
    {"getFileVersionInfoSize", FirstCall, "-.-.-.- in 1 rows", "done"},
    {"getFileVersionInfoSize", EveryCall, "-.-.-.- in 10 rows", "done"},
    {"getFileVersionInfoSize", OddAnswer, "-.-.-.- in 10 rows", "done"},
    {"getFileVersionInfo", FirstCall, "-.-.-.- in 1 rows", "done"},
    {"getFileVersionInfo", EveryCall, "-.-.-.- in 10 rows", "done"},
    {"verQueryValue", FirstCall, "-.-.-.- in 1 rows", "done"},
    {"verQueryValue", EveryCall, "-.-.-.- in 10 rows", "done"},
    {"verQueryValue", OddAnswer, "-.-.-.- in 10 rows", "done"},
    {"fileTimeToLocalFileTime", FirstCall, "no time in 1 rows", "done"},
    {"fileTimeToLocalFileTime", EveryCall, "no time in 19 rows", "done"},
    {"fileTimeToSystemTime", FirstCall, "no time in 1 rows", "done"},
    {"fileTimeToSystemTime", EveryCall, "no time in 19 rows", "done"},
    {"getFileAttributes", FirstCall, "as before", "done"},
    {"getFileAttributes", EveryCall, "as before", "done"},
    {"getTempFileName", FirstCall, "as before", "done"},
    {"getTempFileName", EveryCall, "as before", "done"},
    {"getTempFileName", OddAnswer, "as before", "done"},
    {"createFile", FirstCall, "as before", "done"},
    {"createFile", EveryCall, "as before", "open failed, old kept"},
    {"writeFile", FirstCall, "as before", "write failed, old kept"},
    {"writeFile", EveryCall, "as before", "write failed, old kept"},
    {"writeFile", OddAnswer, "as before", "write failed, old kept"},
    {"closeHandle", FirstCall, "as before", "write failed, old kept"},
    {"closeHandle", EveryCall, "as before", "write failed, old kept"},
    {"deleteFile", FirstCall, "as before", "done, 1 left behind"},
    {"deleteFile", EveryCall, "as before", "done, 2 left behind"},
    {"moveFile", FirstCall, "as before", "done"},
    {"moveFile", EveryCall, "as before", "done"},
    {"moveFileEx", FirstCall, "as before", "done"},
    {"moveFileEx", EveryCall, "as before", "done"},
    {"moveFileEx", OddAnswer, "as before", "done"},
};

const Expected* ExpectedFor(int entry, Fault fault)
{
    for (const Expected& row : Table)
        if (strcmp(row.call, CallNames[entry]) == 0 && row.fault == fault)
            return &row;
    return nullptr;
}

} // namespace

TEST_F(FailingCalls, EveryEntryFailingLeavesAWholeReportAndASoundSave)
{
    const bool hasOdd[] = {
#define HAS_ODD(name, type) Odd.name != nullptr,
        SYSTEM_CALLS(HAS_ODD)
#undef HAS_ODD
    };
    printf("%-24s %-11s %-70s %s\n", "call", "fails", "report", "save over an old file");
    for (int entry = 0; entry < CallCount; ++entry) {
        for (Fault fault : {FirstCall, EveryCall, OddAnswer}) {
            if (fault == OddAnswer && !hasOdd[entry])
                continue;
            SCOPED_TRACE(std::string(CallNames[entry]) + " failing on its " + FaultNames[fault]);
            std::string problems;
            std::string report = Report(entry, fault, &problems);
            std::string save = Save(entry, fault, &problems);
            printf("%-24s %-11s %-70s %s\n", CallNames[entry], FaultNames[fault], Utf8(report).c_str(), save.c_str());
            EXPECT_EQ("", problems);
            const Expected* expected = ExpectedFor(entry, fault);
            if (!expected)
                continue; // a new entry: the rules above still hold
            EXPECT_EQ(expected->report, report);
            EXPECT_EQ(expected->save, save);
        }
    }
}
