// The whole report on the made-up installation that tools/make-fixture lays out in the Wine
// prefix, through the real Windows calls.
#include "report/ReportComposer.h"
#include "tests/FakeWindows.h"
#include "tests/TestMain.h"

#include "calls/WindowsCalls.h"
#include "probes/WindowsVersion.h"
#include "probes/ComponentFile.h"
#include "text/NumberText.h"

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <gtest/gtest.h>

namespace {

const char FixtureReport[] = R"(☆もふりん堂HPへ、トラブルを伝えるときには
  以下の情報もあわせてメールへ貼付して送信してください。

【注意！】以下の内容はすべてをお送りください。
　　　　　改変した場合にはサポートをお断りする場合があります。

レポート出力日時　　：2009/05/03 08:07:06

Windowsの種類       ：{NAME}
Version             ：{VERSION}

サービスパック      ：{SERVICE PACK}

システムディレクトリ：C:\windows\system32

デスクトップ        ：{PROFILE}\Desktop

画面サイズ          ：{SCREEN}

【各ドライブの空き容量情報】

{DRIVES}
☆補助コンポーネント情報☆
------------------------------------------------------------
PKP3RES.dll : -.-.-.- - 更新日時:2009/04/29 9:05:07
PKP4RES.dll : -.-.-.- - 更新日時:
------------------------------------------------------------

☆システムモジュール情報☆
------------------------------------------------------------
Shell32.dll : {shell32.dll} - 更新日時:2008/04/14 21:00:00
Kernel32.dll : {kernel32.dll} - 更新日時:2008/04/14 21:00:00
GDI32.dll : {gdi32.dll} - 更新日時:2008/04/14 21:00:00
COMCTL32.dll : {comctl32.dll} - 更新日時:2008/04/14 21:00:00
MSCOMCTL.ocx : 6.1.98.16 - 更新日時:2004/07/12 14:21:10
------------------------------------------------------------

☆ＶＢ＆必須ランタイム情報☆
------------------------------------------------------------
MSVBVM60.dll : 6.0.65535.0 - 更新日時:2004/08/04 1:02:03
VB6JP.dll : -.-.-.- - 更新日時:1998/06/18 12:00:00
COMDLG32.ocx : -.-.-.- - 更新日時:2004/07/12 14:21:10
MSFLXGRD.ocx : -.-.-.- - 更新日時:
Vtext.dll : 5.1.4111.0 - 更新日時:2001/08/23 12:00:00
------------------------------------------------------------

☆フォント情報☆
------------------------------------------------------------
QuillmoorFont1.ttf - 更新日時:2009/01/20 12:00:00
Q_SegA.TTF - 更新日時:2009/01/01 0:00:00
Q_SegB.TTF - 更新日時:2009/12/31 23:59:59
Q_SegC.TTF - 更新日時:2010/02/03 4:05:06
Q_FigC1.TTF - 更新日時:1999/09/09 9:09:09
Q_FigC2.TTF - 更新日時:2020/10/10 10:10:10
Q_Fig5.TTF - 更新日時:2000/02/29 0:00:01
Q_FigP1.TTF - 更新日時:
------------------------------------------------------------

)";

void Fill(std::string& text, const std::string& field, const std::string& value)
{
    size_t at = text.find("{" + field + "}");
    ASSERT_NE(std::string::npos, at) << field;
    text.replace(at, field.size() + 2, value);
}

// The file version read straight from the version resource, not through version.dll.
std::string ResourceVersion(const std::string& path)
{
    HMODULE module = LoadLibraryExA(path.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return "(cannot load " + path + ")";
    std::string text = "(no version in " + path + ")";
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));
    HGLOBAL loaded = found ? LoadResource(module, found) : NULL;
    const char* data = loaded ? (const char*)LockResource(loaded) : nullptr;
    DWORD size = found ? SizeofResource(module, found) : 0;
    for (DWORD at = 0; data && at + sizeof(VS_FIXEDFILEINFO) <= size; at += 4) {
        VS_FIXEDFILEINFO info;
        memcpy(&info, data + at, sizeof(info));
        if (info.dwSignature != 0xFEEF04BD)
            continue;
        text = std::to_string(HIWORD(info.dwFileVersionMS)) + "." + std::to_string(LOWORD(info.dwFileVersionMS)) + "."
             + std::to_string(HIWORD(info.dwFileVersionLS)) + "." + std::to_string(LOWORD(info.dwFileVersionLS));
        break;
    }
    FreeLibrary(module);
    return text;
}

// Drive lines from the disk calls themselves; Windows 95 has only the old one.
std::string DriveLines(bool windows95, std::string& letters)
{
    std::string lines;
    letters.clear();
    UINT mode = SetErrorMode(SEM_FAILCRITICALERRORS);
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        std::string root = std::string(1, letter) + ":";
        ULONGLONG bytes = 0;
        if (windows95) {
            DWORD spc, bps, freeClusters, total;
            if (!GetDiskFreeSpaceA(root.c_str(), &spc, &bps, &freeClusters, &total))
                continue;
            bytes = (ULONGLONG)spc * bps * freeClusters;
        } else {
            ULARGE_INTEGER available, total, totalFree;
            if (!GetDiskFreeSpaceExA(root.c_str(), &available, &total, &totalFree))
                continue;
            bytes = available.QuadPart;
        }
        if (bytes == 0)
            continue;
        letters += letter;
        lines += root + " -  " + FormatNumber((double)bytes) + " bytes\n";
    }
    SetErrorMode(mode);
    return lines;
}

// The drive lines of a report, each ending in "\n".
std::string ShownDriveLines(const std::string& report)
{
    std::string lines;
    for (size_t at = 0, end; (end = report.find("\r\n", at)) != std::string::npos; at = end + 2) {
        std::string line = report.substr(at, end - at);
        if (line.size() > 6 && line[1] == ':' && line.compare(2, 4, " -  ") == 0)
            lines += line + "\n";
    }
    return lines;
}

// Whether two sets of drive lines name the same drives with figures at most 256 MB apart.
bool CloseFigures(const std::string& a, const std::string& b)
{
    std::istringstream as(a), bs(b);
    std::string la, lb;
    while (std::getline(as, la)) {
        if (!std::getline(bs, lb) || la.substr(0, 6) != lb.substr(0, 6))
            return false;
        if (lb.size() < 12 || lb.compare(lb.size() - 6, 6, " bytes") != 0)
            return false;
        double fa = strtod(la.c_str() + 6, nullptr), fb = strtod(lb.c_str() + 6, nullptr);
        if (fa - fb > 256e6 || fb - fa > 256e6)
            return false;
    }
    return !std::getline(bs, lb);
}

void WINAPI StampTime(LPSYSTEMTIME now)
{
    memset(now, 0, sizeof(*now));
    now->wYear = 2009;
    now->wMonth = 5;
    now->wDay = 3;
    now->wHour = 8;
    now->wMinute = 7;
    now->wSecond = 6;
}

} // namespace

TEST(RealReport, FixtureInstallation)
{
    const EmulatedVersion* version = ExpectedVersion();
    if (!version)
        GTEST_SKIP() << "no known --windows= given";
    OSVERSIONINFOA saved = WindowsVersion;
    memset(&WindowsVersion, 0, sizeof(WindowsVersion));
    Sys = RealWindowsCalls();
    Sys.GetLocalTime = StampTime; // the stamp is the one thing not read from the fixture
    QueryWindowsVersion();

    std::string expected = FixtureReport;
    Fill(expected, "NAME", version->name);
    Fill(expected, "VERSION", std::to_string(version->major) + "." + std::to_string(version->minor) + "."
                                  + std::to_string(version->build));
    Fill(expected, "SERVICE PACK", version->servicePack);
    char profile[MAX_PATH] = {};
    GetEnvironmentVariableA("USERPROFILE", profile, sizeof(profile));
    Fill(expected, "PROFILE", profile);
    Fill(expected, "SCREEN", std::to_string(GetSystemMetrics(SM_CXSCREEN)) + " x "
                                 + std::to_string(GetSystemMetrics(SM_CYSCREEN)));
    for (const char* dll : {"shell32.dll", "kernel32.dll", "gdi32.dll", "comctl32.dll"})
        Fill(expected, dll, ResourceVersion(std::string("C:\\windows\\system32\\") + dll));

    // Free space moves while other programs write: each figure is checked against the one the
    // disk call gives right after, within a margin, and the rest of its line exactly.
    bool windows95 = strcmp(version->wine, "win95") == 0;
    std::string report = ComposeReportText();
    std::string letters;
    std::string live = DriveLines(windows95, letters);
    EXPECT_EQ("CMZ", letters) << "drives that answer";
    std::string shown = ShownDriveLines(report);
    EXPECT_TRUE(CloseFigures(live, shown)) << "drive lines shown:\n" << shown << "given right after:\n" << live;
    Fill(expected, "DRIVES", shown);
    EXPECT_EQ(Crlf(expected), report);

    WindowsVersion = saved;
    Sys = RealWindowsCalls();
}

TEST(RealComponentFile, ProbesTheFixtureFiles)
{
    Sys = RealWindowsCalls();
    static const struct { const char* path; WORD result; const char* version; } rows[] = {
        {"C:\\windows\\system32\\PKP3RES.dll", ProbeVersionRead, "3.1.4.1"},
        {"C:\\windows\\system32\\pkp3res.DLL", ProbeVersionRead, "3.1.4.1"},
        {"C:\\windows\\speech\\Vtext.dll", ProbeVersionRead, "5.1.4111.0"},
        {"C:\\windows\\system32\\VB6JP.dll", ProbeNoVersion, "5.1.4111.0"},
        {"C:\\windows\\system32\\COMDLG32.ocx", ProbeNoVersion, "5.1.4111.0"},
        {"C:\\windows\\Fonts\\Q_SegA.TTF", ProbeNoVersion, "5.1.4111.0"},
        {"C:\\windows\\system32\\MSFLXGRD.ocx", ProbeNotFound, "5.1.4111.0"},
        {"N:\\anything.dll", ProbeNotFound, "5.1.4111.0"},
    };
    ComponentFile record = {};
    for (const auto& row : rows) {
        EXPECT_EQ(row.result, ProbeComponent(record, row.path)) << row.path;
        EXPECT_EQ(row.version, VersionText(record)) << row.path;
    }
}

TEST(RealComponentFile, FileTimesOfTheFixture)
{
    Sys = RealWindowsCalls();
    EXPECT_EQ("2004/07/12 14:21:10", FileTimeText("C:\\windows\\system32\\COMDLG32.ocx", FileLastWriteTime));
    EXPECT_EQ("2010/02/03 4:05:06", FileTimeText("C:\\windows\\Fonts\\Q_SegC.TTF", FileLastWriteTime));
    EXPECT_EQ("", FileTimeText("C:\\windows\\Fonts\\Q_FigP1.TTF", FileLastWriteTime));
    EXPECT_EQ("", FileTimeText("C:\\windows\\Fonts\\Q_SegC.TTF", 0));
    EXPECT_NE("", FileTimeText("C:\\windows\\Fonts\\Q_SegC.TTF", FileCreationTime));
}
