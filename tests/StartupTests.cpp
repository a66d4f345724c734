// Start-up when Windows refuses what the program asks for: without its fonts, brush, menus or
// icon it still shows the report; without a window class or its main window it ends at once.
// The refusals come from this test program's own imports, pointed elsewhere for a while.
#include "probes/SystemCalls.h"
#include "report/ReportComposer.h"
#include "resources/resource.h"
#include "shell/Gui.h"
#include "shell/Program.h"
#include "tests/FakeWindows.h"

#include <cstring>
#include <memory>
#include <vector>
#include <gtest/gtest.h>

namespace {

// Points this program's import of dll!name at replacement until the scope ends.
class ImportPatch {
public:
    ImportPatch(const char* dll, const char* name, void* replacement)
    {
        char* base = (char*)GetModuleHandleA(NULL);
        auto* nt = (IMAGE_NT_HEADERS*)(base + ((IMAGE_DOS_HEADER*)base)->e_lfanew);
        IMAGE_DATA_DIRECTORY imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* d = (IMAGE_IMPORT_DESCRIPTOR*)(base + imports.VirtualAddress); d->Name; ++d) {
            if (lstrcmpiA(base + d->Name, dll) != 0)
                continue;
            auto* names = (IMAGE_THUNK_DATA*)(base + d->OriginalFirstThunk);
            auto* slots = (IMAGE_THUNK_DATA*)(base + d->FirstThunk);
            for (; names->u1.AddressOfData; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                    continue;
                auto* byName = (IMAGE_IMPORT_BY_NAME*)(base + names->u1.AddressOfData);
                if (strcmp((const char*)byName->Name, name) == 0)
                    slot_ = (void**)&slots->u1.Function;
            }
        }
        if (!slot_)
            return;
        original_ = *slot_;
        Write(replacement);
    }
    ~ImportPatch()
    {
        if (slot_)
            Write(original_);
    }
    bool Patched() const { return slot_ != nullptr; }

private:
    void Write(void* value)
    {
        DWORD protection;
        VirtualProtect(slot_, sizeof(*slot_), PAGE_READWRITE, &protection);
        *slot_ = value;
        VirtualProtect(slot_, sizeof(*slot_), protection, &protection);
    }
    void** slot_ = nullptr;
    void* original_ = nullptr;
};

HFONT WINAPI NoFont(int, int, int, int, int, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, LPCSTR)
{
    return NULL;
}
HBRUSH WINAPI NoBrush(COLORREF) { return NULL; }
HMENU WINAPI NoMenu() { return NULL; }
HICON WINAPI NoIcon(HINSTANCE, LPCSTR) { return NULL; }
HANDLE WINAPI NoImage(HINSTANCE, LPCSTR, UINT, int, int, UINT) { return NULL; }
ATOM WINAPI NoClass(const WNDCLASSEXA*) { return 0; }
HWND WINAPI NoWindow(DWORD, LPCSTR, LPCSTR, DWORD, int, int, int, int, HWND, HMENU, HINSTANCE, LPVOID)
{
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return NULL;
}

struct Refusal {
    const char* dll;
    const char* name;
    void* replacement;
};

std::string ShownReport;

// Reads the report once the main loop runs, then closes the window as a user would.
void CALLBACK ReadAndClose(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(NULL, timer);
    HWND edit = GetDlgItem(Gui.mainWindow, ID_REPORT_EDIT);
    std::string text(GetWindowTextLengthA(edit) + 1, '\0');
    text.resize(GetWindowTextA(edit, &text[0], (int)text.size()));
    ShownReport = IsWindowVisible(Gui.mainWindow) ? text : "(no visible main window)";
    PostMessageA(Gui.mainWindow, WM_CLOSE, 0, 0);
}

// Ends a message loop that should never have started.
void CALLBACK GiveUp(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(NULL, timer);
    PostQuitMessage(77);
}

// RunProgram with the given calls refused; the program's classes are made afresh each time.
int RunRefused(const std::vector<Refusal>& refusals, TIMERPROC whileRunning)
{
    std::vector<std::unique_ptr<ImportPatch>> patches;
    for (const Refusal& r : refusals) {
        patches.emplace_back(new ImportPatch(r.dll, r.name, r.replacement));
        EXPECT_TRUE(patches.back()->Patched()) << "this program does not import " << r.name;
    }
    UINT_PTR timer = SetTimer(NULL, 0, 50, whileRunning);
    int code = RunProgram();
    KillTimer(NULL, timer);
    patches.clear();
    MSG leftover;
    while (PeekMessageA(&leftover, NULL, 0, 0, PM_REMOVE)) {
    }
    UnregisterClassA("NORMAL0", GetModuleHandleA(NULL));
    UnregisterClassA("NORMALDLG", GetModuleHandleA(NULL));
    return code;
}

HMODULE WINAPI NoLibrary(LPCSTR) { return NULL; }
FARPROC WINAPI NoEntry(HMODULE, LPCSTR) { return NULL; }

struct Box {
    HWND owner;
    std::string text, caption;
    UINT type;
};
std::vector<Box> Boxes;
int WINAPI RecordBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    Boxes.push_back({owner, text, caption, type});
    return IDOK;
}

int FilesOpened;
HANDLE WINAPI CountOpen(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE)
{
    ++FilesOpened;
    return INVALID_HANDLE_VALUE;
}

HWND SavedFrom;

// Chooses the save command once the main loop runs, then closes the window.
void CALLBACK SaveAndClose(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(NULL, timer);
    SavedFrom = Gui.mainWindow;
    SendMessageA(Gui.mainWindow, WM_COMMAND, IDM_SAVE_REPORT, 0);
    PostMessageA(Gui.mainWindow, WM_CLOSE, 0, 0);
}

} // namespace

// The save dialog's library is loaded only when the user saves. Where it or its dialog is
// missing, the save says so once, over the main window, and writes nothing.
TEST(Startup, SavingWithoutTheSaveDialogShowsOneErrorBoxAndWritesNothing)
{
    static const struct {
        Refusal refusal;
        const char* text;
    } rows[] = {
        {{"kernel32.dll", "LoadLibraryA", (void*)NoLibrary},
         "comdlg32.dll が見つからないため、ファイルを選ぶダイアログを開けません。"},
        {{"kernel32.dll", "GetProcAddress", (void*)NoEntry},
         "comdlg32.dll の GetSaveFileNameA が見つからないため、ファイルを選ぶダイアログを開けません。"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.refusal.name) + " refused");
        InstallFakeWindows();
        Sys.createFile = CountOpen;
        Boxes.clear();
        FilesOpened = 0;
        EXPECT_EQ(0, RunRefused({row.refusal, {"user32.dll", "MessageBoxA", (void*)RecordBox}}, SaveAndClose));
        RemoveFakeWindows();
        ASSERT_EQ(1u, Boxes.size());
        EXPECT_EQ(SavedFrom, Boxes[0].owner);
        EXPECT_EQ(row.text, Boxes[0].text);
        EXPECT_EQ("ぽこぺシステムレポート", Boxes[0].caption);
        EXPECT_EQ((UINT)MB_ICONERROR, Boxes[0].type);
        EXPECT_EQ(0, FilesOpened);
    }
}

TEST(Startup, WithoutFontsBrushMenusOrIconTheReportStillShows)
{
    InstallFakeWindows();
    std::string report = ComposeReportText();
    ShownReport = "(the program never ran its loop)";
    int code = RunRefused({{"gdi32.dll", "CreateFontA", (void*)NoFont},
                           {"gdi32.dll", "CreateSolidBrush", (void*)NoBrush},
                           {"user32.dll", "CreateMenu", (void*)NoMenu},
                           {"user32.dll", "CreatePopupMenu", (void*)NoMenu},
                           {"user32.dll", "LoadIconA", (void*)NoIcon},
                           {"user32.dll", "LoadImageA", (void*)NoImage}},
                          ReadAndClose);
    RemoveFakeWindows();
    EXPECT_EQ(0, code);
    EXPECT_TRUE(ShownReport == report) << ShownReport.substr(0, 200);
}

TEST(Startup, WithoutAWindowClassOrMainWindowItEndsAtOnce)
{
    static const Refusal refusals[] = {
        {"user32.dll", "RegisterClassExA", (void*)NoClass},
        {"user32.dll", "CreateWindowExA", (void*)NoWindow},
    };
    InstallFakeWindows();
    for (const Refusal& refusal : refusals) {
        EXPECT_EQ(1, RunRefused({refusal}, GiveUp)) << refusal.name << " refused; 77 means the loop ran";
        EXPECT_EQ(NULL, FindWindowA("NORMAL0", NULL)) << refusal.name << " refused";
    }
    RemoveFakeWindows();
}
