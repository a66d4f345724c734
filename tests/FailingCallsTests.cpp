// Every call of the calls table failing wherever an operation makes it: each call the operation
// makes, one at a time and, for saving, two at a time; every call of one entry; and odd answers.
// Whatever fails, the report keeps its layout and loses only what the failed call feeds, and a
// save keeps its promise: the file holds its old bytes or the whole new text, success leaves
// nothing else behind, and the old bytes are never lost.
#include "probes/SystemCalls.h"
#include "probes/WindowsVersion.h"
#include "report/ReportComposer.h"
#include "shell/SaveReport.h"
#include "tests/FakeWindows.h"
#include "tests/TestFiles.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <tuple>
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

// What each call feeds: the report lines that may change when it fails, by label, split by
// commas (a trail byte may be "|"); "row" is the row of the file it asks about (or was asked
// about last), "rows" any file's row, "drive" the line of the drive it asks about, "drives" any
// drive line. "save" marks the calls of saving; "never fails" a call Windows cannot refuse.
struct Feeds {
    const char* call;
    const char* lines;
};
const Feeds Table[] = {
    {"getVersionEx", "Windowsの種類,Version,サービスパック,drives"}, // the edition picks the disk call
    {"getSystemDirectory", "システムディレクトリ,rows"},
    {"getWindowsDirectory", "rows"},
    {"shGetSpecialFolderPath", "デスクトップ"},
    {"getDesktopWindow", "画面サイズ"},
    {"getClientRect", "画面サイズ"},
    {"getLocalTime", "レポート出力日時"},
    {"setErrorMode", "never fails"},
    {"getDiskFreeSpace", "drive"},
    {"getDiskFreeSpaceEx", "drive"},
    {"findFirstFile", "row"},
    {"findClose", "row"},
    {"getFileVersionInfoSize", "row"},
    {"getFileVersionInfo", "row"},
    {"verQueryValue", "row"},
    {"fileTimeToLocalFileTime", "row"},
    {"fileTimeToSystemTime", "row"},
    {"getFileAttributes", "save"},
    {"getTempFileName", "save"},
    {"createFile", "save"},
    {"readFile", "save"},
    {"writeFile", "save"},
    {"setFilePointer", "save"},
    {"setEndOfFile", "save"},
    {"closeHandle", "save"},
    {"deleteFile", "save"},
    {"moveFile", "save"},
    {"moveFileEx", "save"},
};

std::string FeedsOf(int entry)
{
    for (const Feeds& row : Table)
        if (strcmp(row.call, CallNames[entry]) == 0)
            return row.lines;
    return "(no row)";
}

struct Call {
    int entry;
    std::string arg; // the first argument, when it is a text
    bool struck;
};

// Which calls of a run fail, and what the run's calls did.
struct FaultRun {
    std::set<size_t> failing; // positions in the run's calls, from 0
    int everyEntry = -1;      // or an entry that fails on each of its calls
    bool odd = false;         // a failing call gives its entry's odd answer instead
    std::string bystander;    // someone else's file, named by a failing getTempFileName
    std::vector<Call> made;
    std::set<HANDLE> open; // from createFile and findFirstFile, not yet closed
    SystemCalls under;     // where the wrapped calls go

    bool Struck(int entry) const
    {
        for (const Call& call : made)
            if (call.struck && call.entry == entry)
                return true;
        return false;
    }
};
FaultRun Current;

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
        BOOL found = Current.under.verQueryValue(block, sub, value, length);
        *length = sizeof(VS_FIXEDFILEINFO) / 2;
        return found;
    };
    odd.getTempFileName = [](LPCSTR, LPCSTR, UINT, LPSTR name) WINAPI -> UINT {
        name[0] = '\0';
        return 1;
    };
    // half the bytes, as a disk that fills up meanwhile takes them
    odd.writeFile = [](HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED) WINAPI -> BOOL {
        return Current.under.writeFile(file, data, size / 2, written, NULL);
    };
    // as the 9x family answers
    odd.moveFileEx = [](LPCSTR, LPCSTR, DWORD) WINAPI -> BOOL {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return FALSE;
    };
    return odd;
}
SystemCalls Odd = OddAnswers();

template <typename T, typename... Rest> T First(T first, Rest...) { return first; }

template <typename... A> std::string TextArgument(A... a)
{
    if constexpr (sizeof...(a) > 0)
        if constexpr (std::is_same<decltype(First(a...)), LPCSTR>::value)
            return First(a...) ? First(a...) : "";
    return "";
}

template <int Index, typename Signature> struct Entry;
template <int Index, typename R, typename... A> struct Entry<Index, R(WINAPI*)(A...)> {
    static constexpr bool closes = Index == Call_closeHandle || Index == Call_findClose;

    static R WINAPI Call(A... a)
    {
        auto real = Member<Index>::Of(Current.under);
        bool strikes = Current.failing.count(Current.made.size()) || Current.everyEntry == Index;
        Current.made.push_back({Index, TextArgument(a...), strikes});
        if (strikes) {
            if (Current.odd)
                return Member<Index>::Of(Odd)(a...);
            if constexpr (closes) {
                // a close that reports an error has closed the handle all the same
                if (real(a...))
                    Current.open.erase(First(a...));
            }
            if constexpr (Index == Call_getTempFileName)
                strcpy(std::get<3>(std::tie(a...)), Current.bystander.c_str()); // a name, but no file made
            SetLastError(ERROR_ACCESS_DENIED);
            if constexpr (std::is_void<R>::value)
                return;
            else if constexpr (std::is_same<R, HANDLE>::value && !closes)
                return INVALID_HANDLE_VALUE;
            else if (Index == Call_getFileAttributes || Index == Call_setFilePointer)
                return (R)0xFFFFFFFF;
            else
                return R();
        }
        if constexpr (std::is_void<R>::value) {
            real(a...);
        } else {
            R result = real(a...);
            if constexpr (std::is_same<R, HANDLE>::value)
                if (result != INVALID_HANDLE_VALUE)
                    Current.open.insert(result);
            if constexpr (closes)
                if (result)
                    Current.open.erase(First(a...));
            return result;
        }
    }
};

// Sys answers through calls, failing as the run says.
void Inject(const SystemCalls& calls, const FaultRun& run)
{
    Current = run;
    Current.under = calls;
#define WRAP(name, type) Sys.name = calls.name ? &Entry<Call_##name, type>::Call : nullptr;
    SYSTEM_CALLS(WRAP)
#undef WRAP
}

const bool HasOdd[] = {
#define HAS_ODD(name, type) Odd.name != nullptr,
    SYSTEM_CALLS(HAS_ODD)
#undef HAS_ODD
};

// The ways a run can fail, given the calls a run without faults made: each call failing, or
// answering oddly, and each entry failing, or answering oddly, on every call.
std::vector<FaultRun> FaultsOf(const std::vector<Call>& calls)
{
    std::vector<FaultRun> runs;
    std::set<int> entries;
    for (size_t i = 0; i < calls.size(); ++i)
        entries.insert(calls[i].entry);
    for (bool odd : {false, true}) {
        for (size_t i = 0; i < calls.size(); ++i)
            if (odd ? HasOdd[calls[i].entry] : FeedsOf(calls[i].entry) != "never fails")
                runs.push_back(FaultRun{{i}, -1, odd});
        for (int entry : entries)
            if (odd ? HasOdd[entry] : FeedsOf(entry) != "never fails")
                runs.push_back(FaultRun{{}, entry, odd});
    }
    return runs;
}

std::string Describe(const FaultRun& run)
{
    std::string what = run.odd ? "odd answer" : "failure";
    if (run.everyEntry >= 0)
        return what + " of every call to " + CallNames[run.everyEntry];
    for (size_t at : run.failing)
        what += " at call " + std::to_string(at) + " (" + CallNames[Current.made[at].entry] + ")";
    return what;
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
        if (feeds == "save")
            *problems += std::string("the report made ") + CallNames[call.entry] + ", a call of saving; ";
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
    if (Fake.errorMode != 0)
        problems += "error mode left at " + std::to_string(Fake.errorMode) + "; ";
    return problems;
}

// Windows as the save sees it: the 9x family answers MoveFileExA with "not implemented", the
// earliest Windows 95 has none.
enum Replacing { ReplacingMove, NotImplemented, NoMoveFileEx };

struct SaveCase {
    const char* name;
    bool existing;
    Replacing replacing;
};

const SaveCase SaveCases[] = {
    // 表 ends in 5C: cutting the path at that byte would look for the wrong folder
    {"A表.txt", true, ReplacingMove},
    {"A表.txt", true, NotImplemented},
    {"A表.txt", true, NoMoveFileEx},
    {"report", false, ReplacingMove}, // a name without extension is kept as it is
    {"report", false, NotImplemented},
};

const std::string OldBytes = std::string(10000, 'o') + "\r\n"; // longer than the new, to show a tail
const std::string NewBytes = "☆もふりん堂HPへ\r\n表示ソフト\r\n" + std::string(3000, '-') + "\r\n\r\n";
const std::string Bystander = "someone else's file\r\n";

class FailingCalls : public ::testing::Test {
protected:
    void SetUp() override { folder_ = FreshFolder("failing-calls-保存表"); }

    void TearDown() override
    {
        RemoveFakeWindows();
        FreshFolder("failing-calls-保存表");
        RemoveDirectoryA(folder_.c_str());
    }

    // The report composed with the run's faults on the made-up Windows XP, or Windows 95.
    std::string Report(bool windows95, const FaultRun& run)
    {
        InstallFakeWindows();
        if (windows95) {
            Fake.version.dwMajorVersion = 4;
            Fake.version.dwMinorVersion = 0;
            Fake.version.dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
            Fake.version.szCSDVersion[0] = '\0';
        }
        Inject(Sys, run);
        RequeryWindowsVersion();
        return ComposeReportText();
    }

    // A save through the real calls with the run's faults; what it broke of its promise.
    std::string Save(const SaveCase& setup, const FaultRun& fault)
    {
        FreshFolder("failing-calls-保存表");
        std::string target = folder_ + "\\" + setup.name;
        if (setup.existing)
            WriteAll(target, OldBytes);
        WriteAll(folder_ + "\\bystander.txt", Bystander);
        SystemCalls calls = RealSystemCalls();
        calls.moveFileEx = setup.replacing == ReplacingMove ? calls.moveFileEx
                         : setup.replacing == NotImplemented ? Odd.moveFileEx : nullptr;
        FaultRun run = fault;
        run.bystander = folder_ + "\\bystander.txt";
        Inject(calls, run);
        SaveStatus status = WriteReportFile(target, NewBytes);
        Sys = RealSystemCalls();

        std::string problems, old = setup.existing ? OldBytes : "(no file)";
        std::string now = ReadAll(target);
        bool oldKept = now == old, undoRefused = Current.Struck(Call_moveFile) || Current.Struck(Call_deleteFile);
        if (!oldKept && now != NewBytes && now != "(no file)")
            problems += "the file holds neither its old bytes nor the new but " + std::to_string(now.size()) + " others; ";
        if (ReadAll(folder_ + "\\bystander.txt") != Bystander)
            problems += "someone else's file was touched; ";
        std::vector<std::string> leftovers;
        bool oldSurvives = oldKept || !setup.existing;
        for (const std::string& name : FilesIn(folder_)) {
            if (name == setup.name || name == "bystander.txt")
                continue;
            leftovers.push_back(name);
            oldSurvives = oldSurvives || ReadAll(folder_ + "\\" + name) == old;
        }
        if (status != SaveDone && !oldSurvives)
            problems += "the old bytes are lost; ";
        if (status == SaveDone && (now != NewBytes || !leftovers.empty()))
            problems += "success, with " + std::to_string(leftovers.size()) + " files left and the file " + (now == NewBytes ? "new" : "not new") + "; ";
        if (status != SaveDone && !oldKept && !undoRefused)
            problems += "a failure that did not keep the old file; ";
        if (status != SaveDone && !leftovers.empty() && !undoRefused)
            problems += std::to_string(leftovers.size()) + " files left behind; ";
        bool wrote = false;
        for (const Call& call : Current.made)
            wrote = wrote || call.entry == Call_writeFile || call.entry == Call_setEndOfFile;
        if (status == SaveWriteFailed && !wrote)
            problems += "a write failure before anything was written; ";
        if (status == SaveOpenFailed && (!oldKept || Current.Struck(Call_writeFile) || Current.Struck(Call_setEndOfFile)))
            problems += "an open failure, though the file was changed or a write failed; ";
        if (!Current.open.empty())
            problems += "handles left open; ";
        if (fault.failing.empty() && fault.everyEntry < 0) {
            if (status != SaveDone)
                problems += "a save without faults failed; ";
            for (const Call& call : Current.made)
                if (call.entry == Call_createFile && call.arg == target)
                    problems += "a save without faults wrote straight into the file; ";
        }
        return problems;
    }

    std::string folder_;
};

} // namespace

TEST_F(FailingCalls, EveryEntryHasOneRowAndEveryRowAnEntry)
{
    for (int entry = 0; entry < CallCount; ++entry)
        EXPECT_NE("(no row)", FeedsOf(entry)) << CallNames[entry] << " has no row in the table";
    EXPECT_EQ((size_t)CallCount, sizeof(Table) / sizeof(Table[0])) << "rows, one for each entry";
}

TEST_F(FailingCalls, TheReportLosesOnlyWhatAFailedCallFeeds)
{
    int cells = 0;
    for (bool windows95 : {false, true}) {
        std::string before = Report(windows95, FaultRun());
        std::vector<Call> calls = Current.made;
        for (const FaultRun& fault : FaultsOf(calls)) {
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
        SCOPED_TRACE(std::string(setup.existing ? "over " : "new ") + setup.name
                     + (setup.replacing == ReplacingMove ? "" : setup.replacing == NotImplemented ? ", 9x" : ", no MoveFileExA"));
        EXPECT_EQ("", Save(setup, FaultRun())) << "without faults";
        std::vector<Call> calls = Current.made;
        for (const FaultRun& fault : FaultsOf(calls)) {
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
