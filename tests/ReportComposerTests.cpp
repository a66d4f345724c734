// The report's layout, byte for byte, from made-up answers.
#include "report/ReportComposer.h"
#include "tests/FakeWindows.h"

#include "calls/WindowsCalls.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

const char WorkedExample[] = R"(☆もふりん堂HPへ、トラブルを伝えるときには
  以下の情報もあわせてメールへ貼付して送信してください。

【注意！】以下の内容はすべてをお送りください。
　　　　　改変した場合にはサポートをお断りする場合があります。

レポート出力日時　　：2009/05/03 08:07:06

Windowsの種類       ：Windows XP
Version             ：5.1.2600

サービスパック      ：Service Pack 3

システムディレクトリ：C:\WINDOWS\system32

デスクトップ        ：C:\Documents and Settings\user\デスクトップ

画面サイズ          ：1024 x 768

【各ドライブの空き容量情報】

C: -  41234567168 bytes
D: -  1073741824 bytes

☆補助コンポーネント情報☆
------------------------------------------------------------
PKP3RES.dll : -.-.-.- - 更新日時:2009/01/20 12:00:00
PKP4RES.dll : -.-.-.- - 更新日時:2009/01/20 12:00:00
------------------------------------------------------------

☆システムモジュール情報☆
------------------------------------------------------------
Shell32.dll : 6.0.1000.1 - 更新日時:2008/04/14 21:00:00
Kernel32.dll : 5.1.1000.2 - 更新日時:2008/04/14 21:00:00
GDI32.dll : 5.1.1000.3 - 更新日時:2008/04/14 21:00:00
COMCTL32.dll : 5.82.1000.4 - 更新日時:2008/04/14 21:00:00
MSCOMCTL.ocx : 6.1.10.20 - 更新日時:2004/07/12 14:21:10
------------------------------------------------------------

☆ＶＢ＆必須ランタイム情報☆
------------------------------------------------------------
MSVBVM60.dll : 6.0.10.30 - 更新日時:2004/08/04 12:00:00
VB6JP.dll : 5.0.10.40 - 更新日時:1998/06/18 12:00:00
COMDLG32.ocx : 6.1.10.50 - 更新日時:2004/07/12 14:21:10
MSFLXGRD.ocx : 6.1.10.60 - 更新日時:2004/07/12 14:21:10
Vtext.dll : 4.0.10.70 - 更新日時:2001/08/23 12:00:00
------------------------------------------------------------

☆フォント情報☆
------------------------------------------------------------
QuillmoorFont1.ttf - 更新日時:2009/01/20 12:00:00
Q_SegA.TTF - 更新日時:2009/01/20 12:00:00
Q_SegB.TTF - 更新日時:2009/01/20 12:00:00
Q_SegC.TTF - 更新日時:2009/01/20 12:00:00
Q_FigC1.TTF - 更新日時:2009/01/20 12:00:00
Q_FigC2.TTF - 更新日時:2009/01/20 12:00:00
Q_Fig5.TTF - 更新日時:2009/01/20 12:00:00
Q_FigP1.TTF - 更新日時:
------------------------------------------------------------

)";

// The worked example with one whole line (without its CR LF) replaced; fails the test when the
// line is not there.
std::string ExampleWith(std::string text, const std::string& line, const std::string& replacement)
{
    std::string from = "\n" + line + "\n";
    size_t at = text.find(from);
    EXPECT_NE(std::string::npos, at) << "no line " << line;
    if (at != std::string::npos)
        text.replace(at + 1, line.size(), replacement);
    return text;
}

FakeFile* FakeFileNamed(const char* path)
{
    for (FakeFile& file : Fake.files)
        if (file.path == path)
            return &file;
    ADD_FAILURE() << "no fake file " << path;
    static FakeFile none;
    return &none;
}

class ReportComposerTest : public ::testing::Test {
protected:
    void SetUp() override { InstallFakeWindows(); }
    void TearDown() override { RemoveFakeWindows(); }
};

} // namespace

TEST_F(ReportComposerTest, WorkedExample)
{
    EXPECT_EQ(Crlf(WorkedExample), ComposeReportText());
    EXPECT_EQ(0, Fake.openSearches);
    EXPECT_EQ(1, Fake.localTimeReadings);
}

TEST_F(ReportComposerTest, EveryLineEndsWithCrLf)
{
    std::string report = ComposeReportText();
    for (size_t i = 0; i < report.size(); ++i) {
        if (report[i] == '\r') {
            ASSERT_TRUE(i + 1 < report.size() && report[i + 1] == '\n') << "bare CR at " << i;
        }
        if (report[i] == '\n') {
            ASSERT_TRUE(i > 0 && report[i - 1] == '\r') << "bare LF at " << i;
        }
    }
    std::string ending = std::string(60, '-') + "\r\n\r\n";
    ASSERT_GE(report.size(), ending.size());
    EXPECT_EQ(ending, report.substr(report.size() - ending.size()));
}

TEST_F(ReportComposerTest, NoDriveLines)
{
    Fake.drives.clear();
    std::string expected = ExampleWith(WorkedExample, "C: -  41234567168 bytes\nD: -  1073741824 bytes\n", "");
    std::string report = ComposeReportText();
    EXPECT_EQ(Crlf(expected), report);
    EXPECT_NE(std::string::npos, report.find("【各ドライブの空き容量情報】\r\n\r\n\r\n☆補助コンポーネント情報☆\r\n"));
}

TEST_F(ReportComposerTest, DrivesAnsweringZeroOrNothingGetNoLine)
{
    Fake.drives = {
        {"A:", 0, 0, 0, 0, 0},
        {"E:", 9, 9, 1, 9, 1},
        {"Q:", 4294967296ull, 0, 0, 0, 0},
        {"Z:", 10, 10, 1, 10, 1},
    };
    std::string expected = ExampleWith(WorkedExample, "C: -  41234567168 bytes\nD: -  1073741824 bytes",
                                       "E: -  9 bytes\nQ: -  4294967296 bytes\nZ: -  10 bytes");
    EXPECT_EQ(Crlf(expected), ComposeReportText());
    // every letter asked exactly once, in order
    ASSERT_EQ(26u, Fake.newDiskCalls.size());
    for (int i = 0; i < 26; ++i)
        EXPECT_EQ(std::string(1, (char)('A' + i)) + ":", Fake.newDiskCalls[i]);
}

TEST_F(ReportComposerTest, Windows95UsesTheOldDiskCall)
{
    Fake.version = {};
    Fake.version.dwMajorVersion = 4;
    Fake.version.dwMinorVersion = 0;
    Fake.version.dwBuildNumber = 0x040003B6;
    Fake.version.dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
    RequeryWindowsVersion();
    std::string expected = ExampleWith(WorkedExample, "Windowsの種類       ：Windows XP", "Windowsの種類       ：Windows 95");
    expected = ExampleWith(expected, "Version             ：5.1.2600", "Version             ：4.0.950");
    expected = ExampleWith(expected, "サービスパック      ：Service Pack 3", "サービスパック      ：");
    expected = ExampleWith(expected, "C: -  41234567168 bytes", "C: -  4096000 bytes");
    expected = ExampleWith(expected, "D: -  1073741824 bytes", "D: -  8192000 bytes");
    EXPECT_EQ(Crlf(expected), ComposeReportText());
    EXPECT_TRUE(Fake.newDiskCalls.empty());
}

TEST_F(ReportComposerTest, DirectoryEndingInBackslashGetsNoSecond)
{
    Fake.systemDirectory = "C:\\";
    Fake.windowsDirectory = "C:\\";
    for (FakeFile& file : Fake.files) {
        size_t name = file.path.rfind('\\');
        bool font = file.path.find("\\Fonts\\") != std::string::npos;
        bool speech = file.path.find("\\Speech\\") != std::string::npos;
        file.path = std::string("C:\\") + (font ? "Fonts\\" : speech ? "Speech\\" : "") + file.path.substr(name + 1);
    }
    std::string expected = ExampleWith(WorkedExample, "システムディレクトリ：C:\\WINDOWS\\system32", "システムディレクトリ：C:\\");
    EXPECT_EQ(Crlf(expected), ComposeReportText());
}

TEST_F(ReportComposerTest, DirectoryEndingInTrailByte5CIsNotABackslash)
{
    // 表 is 95 5C: its second byte must not pass for the separator
    Fake.systemDirectory = "C:\\表";
    for (FakeFile& file : Fake.files)
        if (file.path.find("system32") != std::string::npos)
            file.path.replace(0, strlen("C:\\WINDOWS\\system32"), "C:\\表");
    std::string expected = ExampleWith(WorkedExample, "システムディレクトリ：C:\\WINDOWS\\system32", "システムディレクトリ：C:\\表");
    EXPECT_EQ(Crlf(expected), ComposeReportText());
}

TEST_F(ReportComposerTest, EmptyDirectoriesGiveRootedNames)
{
    Fake.systemDirectory = "";
    Fake.windowsDirectory = "";
    // only files at "\" + name are found
    for (FakeFile& file : Fake.files)
        file.path = file.path.substr(file.path.find("system32") != std::string::npos
                                         ? strlen("C:\\WINDOWS\\system32")
                                         : strlen("C:\\WINDOWS"));
    std::string expected = ExampleWith(WorkedExample, "システムディレクトリ：C:\\WINDOWS\\system32", "システムディレクトリ：");
    EXPECT_EQ(Crlf(expected), ComposeReportText());
}

TEST_F(ReportComposerTest, EmptyServicePackAndUnnamedWindows)
{
    Fake.version.dwMajorVersion = 4;
    Fake.version.dwMinorVersion = 3;
    Fake.version.szCSDVersion[0] = '\0';
    RequeryWindowsVersion();
    std::string expected = ExampleWith(WorkedExample, "サービスパック      ：Service Pack 3", "サービスパック      ：");
    expected = ExampleWith(expected, "Windowsの種類       ：Windows XP", "Windowsの種類       ：");
    expected = ExampleWith(expected, "Version             ：5.1.2600", "Version             ：4.3.2600");
    EXPECT_EQ(Crlf(expected), ComposeReportText());
}

TEST_F(ReportComposerTest, Stamps)
{
    static const struct { SYSTEMTIME now; const char* line; } rows[] = {
        {Time(2009, 5, 3, 9, 5, 7), "レポート出力日時　　：2009/05/03 09:05:07"},
        {Time(2008, 12, 31, 23, 59, 59), "レポート出力日時　　：2008/12/31 23:59:59"},
        {Time(2010, 1, 1, 0, 0, 0), "レポート出力日時　　：2010/01/01 00:00:00"},
        {Time(999, 10, 10, 10, 10, 10), "レポート出力日時　　：999/10/10 10:10:10"},
    };
    for (const auto& row : rows) {
        InstallFakeWindows();
        Fake.now = row.now;
        std::string expected = ExampleWith(WorkedExample, "レポート出力日時　　：2009/05/03 08:07:06", row.line);
        EXPECT_EQ(Crlf(expected), ComposeReportText()) << row.line;
    }
}

TEST_F(ReportComposerTest, ScreenThatDoesNotAnswerIsZeroByZero)
{
    Fake.screenAnswers = false;
    std::string expected = ExampleWith(WorkedExample, "画面サイズ          ：1024 x 768", "画面サイズ          ：0 x 0");
    EXPECT_EQ(Crlf(expected), ComposeReportText());
}

TEST_F(ReportComposerTest, RowsWithoutTheirOwnVersionShowThePlaceholder)
{
    // each follows a file whose version was read, which must not show through
    FakeFileNamed("C:\\WINDOWS\\system32\\Kernel32.dll")->kind = FakeFile::NoVersionResource;
    FakeFileNamed("C:\\WINDOWS\\system32\\GDI32.dll")->kind = FakeFile::UnreadableVersion;
    FakeFileNamed("C:\\WINDOWS\\system32\\MSCOMCTL.ocx")->kind = FakeFile::ShortRootBlock;
    FakeFileNamed("C:\\WINDOWS\\system32\\VB6JP.dll")->path = "C:\\elsewhere\\VB6JP.dll";
    FakeFileNamed("C:\\WINDOWS\\Speech\\Vtext.dll")->kind = FakeFile::NoVersionResource;
    std::string expected = ExampleWith(WorkedExample, "Kernel32.dll : 5.1.1000.2 - 更新日時:2008/04/14 21:00:00",
                                       "Kernel32.dll : -.-.-.- - 更新日時:2008/04/14 21:00:00");
    expected = ExampleWith(expected, "GDI32.dll : 5.1.1000.3 - 更新日時:2008/04/14 21:00:00",
                           "GDI32.dll : -.-.-.- - 更新日時:2008/04/14 21:00:00");
    expected = ExampleWith(expected, "MSCOMCTL.ocx : 6.1.10.20 - 更新日時:2004/07/12 14:21:10",
                           "MSCOMCTL.ocx : -.-.-.- - 更新日時:2004/07/12 14:21:10");
    expected = ExampleWith(expected, "VB6JP.dll : 5.0.10.40 - 更新日時:1998/06/18 12:00:00", "VB6JP.dll : -.-.-.- - 更新日時:");
    expected = ExampleWith(expected, "Vtext.dll : 4.0.10.70 - 更新日時:2001/08/23 12:00:00",
                           "Vtext.dll : -.-.-.- - 更新日時:2001/08/23 12:00:00");
    EXPECT_EQ(Crlf(expected), ComposeReportText());
}

TEST_F(ReportComposerTest, AuxiliaryRowsNeverShowAVersion)
{
    FakeFileNamed("C:\\WINDOWS\\system32\\PKP4RES.dll")->path = "C:\\elsewhere\\PKP4RES.dll";
    std::string expected = ExampleWith(WorkedExample, "PKP4RES.dll : -.-.-.- - 更新日時:2009/01/20 12:00:00", "PKP4RES.dll : -.-.-.- - 更新日時:");
    EXPECT_EQ(Crlf(expected), ComposeReportText());
}

TEST_F(ReportComposerTest, FileTimesPadAllButYearAndHour)
{
    FakeFileNamed("C:\\WINDOWS\\Fonts\\Q_SegA.TTF")->lastWrite = Time(2009, 4, 29, 9, 5, 7);
    FakeFileNamed("C:\\WINDOWS\\Fonts\\Q_SegB.TTF")->lastWrite = Time(2009, 1, 1, 0, 0, 0);
    std::string expected = ExampleWith(WorkedExample, "Q_SegA.TTF - 更新日時:2009/01/20 12:00:00", "Q_SegA.TTF - 更新日時:2009/04/29 9:05:07");
    expected = ExampleWith(expected, "Q_SegB.TTF - 更新日時:2009/01/20 12:00:00", "Q_SegB.TTF - 更新日時:2009/01/01 0:00:00");
    EXPECT_EQ(Crlf(expected), ComposeReportText());
}
