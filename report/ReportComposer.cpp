// The report text: notice, Windows and screen facts, drives and component files.
#include "report/ReportComposer.h"

#include "probes/ComponentFile.h"
#include "probes/DriveSpace.h"
#include "calls/WindowsCalls.h"
#include "probes/WindowsVersion.h"
#include "text/NumberText.h"
#include "text/Text.h"
#include "resources/resource.h"

#include <shlobj.h>

namespace {

const char LineEnd[] = "\r\n";
const char NoVersion[] = "-.-.-.-";
const char UpdatedAt[] = " - 更新日時:";

const char* const AuxiliaryFiles[] = {"PKP3RES.dll", "PKP4RES.dll"};
const char* const SystemModules[] = {
    "Shell32.dll", "Kernel32.dll", "GDI32.dll", "COMCTL32.dll", "MSCOMCTL.ocx",
};
const char* const Runtimes[] = {"MSVBVM60.dll", "VB6JP.dll", "COMDLG32.ocx", "MSFLXGRD.ocx"};
const char SpeechEngine[] = "Vtext.dll";
const char* const Fonts[] = {
    "QuillmoorFont1.ttf", "Q_SegA.TTF", "Q_SegB.TTF", "Q_SegC.TTF",
    "Q_FigC1.TTF", "Q_FigC2.TTF", "Q_Fig5.TTF", "Q_FigP1.TTF",
};

void AddLine(std::string& text, const std::string& line = "")
{
    text += line;
    text += LineEnd;
}

// The directory with a "\" appended unless its last character is one. Steps by characters,
// so a double-byte character ending in 0x5C is not taken for a backslash.
std::string BaseDirectory(const std::string& directory)
{
    if (TextEquals(LastCharText(directory), "\\"))
        return directory;
    return directory + "\\";
}

std::string ScreenSizeText()
{
    RECT screen = {};
    Sys.GetClientRect(Sys.GetDesktopWindow(), &screen);
    return FormatNumber(screen.right) + " x " + FormatNumber(screen.bottom);
}

std::string DriveLines()
{
    std::string lines;
    for (int i = 1; i <= 26; ++i) {
        std::string root = std::string(1, (char)(i + 64)) + ":";
        // asked once: a drive answering differently to a second call must not get a line
        // with an empty or zero figure
        std::string freeBytes = DriveFreeBytesText(root);
        if (TextEquals(freeBytes, "") || TextEquals(freeBytes, "0"))
            continue;
        AddLine(lines, root + " -  " + freeBytes + " bytes");
    }
    return lines;
}

std::string HeaderPart(const SYSTEMTIME& now, const std::string& systemDirectory)
{
    std::string text;
    AddLine(text, "☆もふりん堂HPへ、トラブルを伝えるときには");
    AddLine(text, "  以下の情報もあわせてメールへ貼付して送信してください。");
    AddLine(text);
    AddLine(text, "【注意！】以下の内容はすべてをお送りください。");
    AddLine(text, "　　　　　改変した場合にはサポートをお断りする場合があります。");
    AddLine(text);
    AddLine(text, "レポート出力日時　　：" + CurrentDateText(now) + " " + CurrentTimeText(now));
    AddLine(text);
    AddLine(text, "Windowsの種類       ：" + WindowsName());
    AddLine(text, "Version             ：" + FormatNumber(MajorVersion()) + "."
                  + FormatNumber(MinorVersion()) + "." + FormatNumber(BuildNumber()));
    AddLine(text);
    AddLine(text, "サービスパック      ：" + ServicePackText());
    AddLine(text);
    AddLine(text, "システムディレクトリ：" + systemDirectory);
    AddLine(text);
    AddLine(text, "デスクトップ        ：" + SpecialFolderPath(CSIDL_DESKTOP));
    AddLine(text);
    AddLine(text, "画面サイズ          ：" + ScreenSizeText());
    AddLine(text);
    AddLine(text, "【各ドライブの空き容量情報】");
    AddLine(text);
    text += DriveLines();
    return text;
}

std::string LastWriteText(const std::string& path)
{
    return FileTimeText(path, FileLastWriteTime);
}

std::string Rule()
{
    return RepeatText(60, "-");
}

void BeginSection(std::string& text, const char* title)
{
    AddLine(text, title);
    AddLine(text, Rule());
}

void EndSection(std::string& text)
{
    AddLine(text, Rule());
    AddLine(text);
}

void AddAuxiliaryRow(std::string& text, const std::string& base, const char* name)
{
    AddLine(text, std::string(name) + " : " + NoVersion + UpdatedAt + LastWriteText(base + name));
}

// The version and the time of the file at path. The version is the file's own, or the
// placeholder when it has none that can be read, never one an earlier file left in the record;
// the time comes from the probe's own lookup, unless timePath spells the file another way.
void AddVersionedRow(std::string& text, ComponentFile& probe, const std::string& path, const char* name,
                     const std::string& timePath = "")
{
    WORD probed = ProbeComponent(probe, path);
    std::string version = probed == ProbeVersionRead ? VersionText(probe) : NoVersion;
    std::string time = !timePath.empty()        ? LastWriteText(timePath)
                     : probed == ProbeNotFound ? ""
                                               : FoundTimeText(probe.findData, FileLastWriteTime);
    AddLine(text, std::string(name) + " : " + version + UpdatedAt + time);
}

void AddFontRow(std::string& text, const std::string& folder, const char* name)
{
    AddLine(text, std::string(name) + " - " + "更新日時:" + LastWriteText(folder + name));
}

std::string ComponentsPart(const std::string& systemBase, const std::string& windowsBase)
{
    ComponentFile probe = {};
    std::string text;

    BeginSection(text, "☆補助コンポーネント情報☆");
    for (const char* name : AuxiliaryFiles)
        AddAuxiliaryRow(text, systemBase, name);
    EndSection(text);

    BeginSection(text, "☆システムモジュール情報☆");
    for (const char* name : SystemModules)
        AddVersionedRow(text, probe, systemBase + name, name);
    EndSection(text);

    BeginSection(text, "☆ＶＢ＆必須ランタイム情報☆");
    for (const char* name : Runtimes)
        AddVersionedRow(text, probe, systemBase + name, name);
    // the engine's folder is spelt both ways; Windows matches names without regard to case
    AddVersionedRow(text, probe, windowsBase + "Speech\\" + SpeechEngine, SpeechEngine,
                    windowsBase + "speech\\" + SpeechEngine);
    EndSection(text);

    BeginSection(text, "☆フォント情報☆");
    for (const char* name : Fonts)
        AddFontRow(text, windowsBase + "Fonts\\", name);
    EndSection(text);
    return text;
}

} // namespace

std::string CurrentDateText(const SYSTEMTIME& now)
{
    return FormatNumber(now.wYear) + "/" + TwoDigitText(now.wMonth) + "/" + TwoDigitText(now.wDay);
}

std::string CurrentTimeText(const SYSTEMTIME& now)
{
    return TwoDigitText(now.wHour) + ":" + TwoDigitText(now.wMinute) + ":" + TwoDigitText(now.wSecond);
}

std::string ComposeReportText()
{
    // one reading for both stamps, so a report made at midnight cannot pair two days
    SYSTEMTIME now = {};
    Sys.GetLocalTime(&now);
    std::string systemDirectory = SystemDirectory();
    std::string header = HeaderPart(now, systemDirectory);
    std::string components = ComponentsPart(BaseDirectory(systemDirectory),
                                            BaseDirectory(WindowsDirectory()));
    return header + LineEnd + components;
}

void ComposeReport(HWND mainWindow)
{
    SetDlgItemTextA(mainWindow, ID_REPORT_EDIT, ComposeReportText().c_str());
}
