// Start-up when Windows refuses what the program asks for: it ends at once only without its main
// window's class or main window, and otherwise shows its report and its About window. The refusals
// come from the program's table of Windows calls or, for the calls it does not hold, from this test
// program's own imports, pointed elsewhere for a while.
#include "calls/WindowsCalls.h"
#include "report/ReportComposer.h"
#include "resources/resource.h"
#include "shell/Gui.h"
#include "shell/Program.h"
#include "tests/CallTable.h"
#include "tests/FakeWindows.h"
#include "tests/MenuText.h"
#include "tests/TestFiles.h"
#include "tests/WindowClasses.h"

#include <cstdio>
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
HWND WINAPI NoWindow(DWORD, LPCSTR, LPCSTR, DWORD, int, int, int, int, HWND, HMENU, HINSTANCE, LPVOID)
{
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return NULL;
}


// A replacement for dll!name; a null one takes a looked-up call away, as an older Windows lacks it.
struct Refusal {
    const char* dll;
    const char* name;
    void* replacement;
};

// What the program showed once its loop ran.
struct Sighting {
    int step;
    std::string report;
    std::string story;
    HWND about;
    std::string menus;   // the main window's menu bar
    std::string classes; // both window classes as registered
    std::string icon;    // the About window's
    HICON aboutIcon;
    std::vector<HICON> destroyed; // icons the program destroyed
};
Sighting Seen;

std::string IconText(HICON icon)
{
    ICONINFO info;
    if (!icon || !GetIconInfo(icon, &info))
        return "no icon";
    BITMAP bitmap = {};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    int height = info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2; // a mask holds both halves
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    return std::to_string(bitmap.bmWidth) + "x" + std::to_string(height) + " icon";
}

std::string ClassText(const char* name)
{
    WNDCLASSA c;
    if (!GetClassInfoA(GetModuleHandleA(NULL), name, &c))
        return std::string(name) + ": not registered\n";
    char text[300];
    snprintf(text, sizeof text, "%s: style %#x, procedure %p, extra bytes %d and %d, instance %p, %s, cursor %p, %s, menu %p\n",
             name, c.style, (void*)c.lpfnWndProc, c.cbClsExtra, c.cbWndExtra, (void*)c.hInstance,
             IconText(c.hIcon).c_str(), (void*)c.hCursor,
             c.hbrBackground == Gui.backgroundBrush ? "the program's brush" : "another background",
             (void*)c.lpszMenuName);
    return text;
}

// A shortage that passes: the class is refused while the program starts, not once its loop runs.
// Class is WNDCLASSEXA or WNDCLASSA, for RegisterClassExA or RegisterClassA.
template <typename Class, const char* className>
ATOM WINAPI RefuseAtStart(const Class* windowClass)
{
    static auto* real = (ATOM(WINAPI*)(const Class*))(void*)GetProcAddress(
        GetModuleHandleA("user32.dll"), sizeof(Class) == sizeof(WNDCLASSEXA) ? "RegisterClassExA" : "RegisterClassA");
    return Seen.step == 0 && lstrcmpA(windowClass->lpszClassName, className) == 0 ? 0 : real(windowClass);
}

// RegisterClassExA as Windows NT 3.51 exports it: there, it always fails.
ATOM WINAPI RefuseEveryClass(const WNDCLASSEXA*)
{
    return 0;
}
BOOL WINAPI RefuseEveryItem(HMENU, UINT, BOOL, LPCMENUITEMINFOA)
{
    return FALSE;
}

// Works the program as a user would, a step a tick, and tells what it saw: reads the report,
// opens the About window, presses its OK and closes the main window.
void CALLBACK UseAndClose(HWND, UINT, UINT_PTR, DWORD)
{
    HWND main = Gui.mainWindow;
    HWND edit = GetDlgItem(main, ID_REPORT_EDIT);
    switch (Seen.step++) {
    case 0:
        if (!IsWindow(main))
            return PostQuitMessage(77); // a loop that should never have started
        Seen.report.assign(GetWindowTextLengthA(edit) + 1, '\0');
        Seen.report.resize(GetWindowTextA(edit, &Seen.report[0], (int)Seen.report.size()));
        Seen.story = IsWindowVisible(main) ? "report shown" : "main window hidden";
        Seen.menus = MenuText(GetMenu(main));
        Seen.classes = ClassText(MainWindowClass) + ClassText(AboutWindowClass);
        PostMessageA(main, WM_COMMAND, IDM_ABOUT, 0);
        return;
    case 1:
        Seen.about = FindWindowA(AboutWindowClass, NULL);
        if (GetWindow(Seen.about, GW_OWNER) == main && IsWindowVisible(Seen.about) && !IsWindowEnabled(main))
            Seen.story += ", About over the disabled main window";
        Seen.aboutIcon = (HICON)SendDlgItemMessageA(Seen.about, ID_ABOUT_ICON, STM_GETICON, 0, 0);
        Seen.icon = IconText(Seen.aboutIcon);
        PostMessageA(Seen.about, WM_COMMAND, MAKEWPARAM(ID_ABOUT_OK, BN_CLICKED), 0);
        return;
    case 2:
        if (Seen.about && !IsWindow(Seen.about) && IsWindowEnabled(main))
            Seen.story += ", closed with OK";
        PostMessageA(main, WM_CLOSE, 0, 0);
    }
}

BOOL WINAPI DestroyIconSeen(HICON icon)
{
    static auto* real = (BOOL(WINAPI*)(HICON))(void*)GetProcAddress(GetModuleHandleA("user32.dll"), "DestroyIcon");
    Seen.destroyed.push_back(icon);
    return real(icon);
}

// RunProgram with the given calls refused and work done in its loop; the program's classes are
// made afresh each time. A call of the program's table is refused there, any other in this
// program's imports.
int RunRefused(const std::vector<Refusal>& refusals, TIMERPROC work = UseAndClose)
{
    std::vector<std::unique_ptr<ImportPatch>> patches;
    const WindowsCalls real = Sys;
    patches.emplace_back(new ImportPatch("user32.dll", "DestroyIcon", (void*)DestroyIconSeen));
    for (const Refusal& r : refusals) {
        if (void** entry = EntryNamed(Sys, r.name)) {
            *entry = r.replacement;
            continue;
        }
        patches.emplace_back(new ImportPatch(r.dll, r.name, r.replacement));
        EXPECT_TRUE(patches.back()->Patched()) << "this program does not import " << r.name;
    }
    Seen = Sighting();
    UINT_PTR timer = SetTimer(NULL, 0, 50, work);
    int code = RunProgram();
    KillTimer(NULL, timer);
    patches.clear();
    // The About icon is the program's own to destroy, where LoadImageA made it; LoadIconA's is
    // shared, and destroying it would take it from every other user.
    bool shared = Seen.aboutIcon == LoadIconA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDI_APP));
    if (code == 0 && Seen.aboutIcon)
        EXPECT_EQ(shared ? std::vector<HICON>{} : std::vector<HICON>{Seen.aboutIcon}, Seen.destroyed)
            << (shared ? "destroyed the shared About icon" : "the About icon, once");
    Sys = real;
    MSG leftover;
    while (PeekMessageA(&leftover, NULL, 0, 0, PM_REMOVE)) {
    }
    UnregisterClassA(MainWindowClass, GetModuleHandleA(NULL));
    UnregisterClassA(AboutWindowClass, GetModuleHandleA(NULL));
    return code;
}

HMODULE WINAPI NoLibrary(LPCSTR) { return NULL; }
FARPROC WINAPI NoEntry(HMODULE, LPCSTR) { return NULL; }
// A save dialog that chooses Chosen, and a report that cannot be read.
std::string Chosen;
BOOL WINAPI ChooseFile(LPOPENFILENAMEA request)
{
    lstrcpynA(request->lpstrFile, Chosen.c_str(), request->nMaxFile);
    return TRUE;
}
const auto RealEntry = (FARPROC(WINAPI*)(HMODULE, LPCSTR))(void*)GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetProcAddress");
FARPROC WINAPI DialogEntry(HMODULE module, LPCSTR name)
{
    return HIWORD(name) && lstrcmpA(name, "GetSaveFileNameA") == 0 ? (FARPROC)ChooseFile : RealEntry(module, name);
}
int WINAPI NoText(HWND, LPSTR, int) { return 0; }

std::vector<std::string> Boxes; // text and caption of each message box shown
int WINAPI RecordBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    bool right = owner == Gui.mainWindow && type == MB_ICONERROR;
    Boxes.push_back(std::string(text) + " / " + caption + (right ? "" : " (not an error box over the main window)"));
    return IDOK;
}

// Chooses the save command once the main loop runs, then closes the window.
void CALLBACK SaveAndClose(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(NULL, timer);
    SendMessageA(Gui.mainWindow, WM_COMMAND, IDM_SAVE_REPORT, 0);
    PostMessageA(Gui.mainWindow, WM_CLOSE, 0, 0);
}

} // namespace

// Where Windows lacks a newer call (NT 3.51 has none of InsertMenuItemA, RegisterClassExA and
// LoadImageA, and its RegisterClassExA fails), the older one builds the same menus, window classes
// and About icon.
TEST(Startup, EndsAtOnceOnlyWithoutTheMainWindowsClassOrTheMainWindow)
{
    struct Case {
        const char* refused;
        std::vector<Refusal> refusals;
        int code; // 0: the program ran its loop and could be used as always
        bool same; // menus, classes and About icon as with every call there
    };
    const Case cases[] = {
        {"fonts, brush, menus and icons",
         {{"gdi32.dll", "CreateFontA", (void*)NoFont},
          {"gdi32.dll", "CreateSolidBrush", (void*)NoBrush},
          {"user32.dll", "CreateMenu", (void*)NoMenu},
          {"user32.dll", "CreatePopupMenu", (void*)NoMenu},
          {"user32.dll", "LoadIconA", (void*)NoIcon},
          {"user32.dll", "LoadImageA", (void*)NoImage}},
         0, false},
        {"the main window's class",
         {{"user32.dll", "RegisterClassExA", (void*)RefuseAtStart<WNDCLASSEXA, MainWindowClass>},
          {"user32.dll", "RegisterClassA", (void*)RefuseAtStart<WNDCLASSA, MainWindowClass>}},
         1, false},
        {"the main window", {{"user32.dll", "CreateWindowExA", (void*)NoWindow}}, 1, false},
        {"the About window's class",
         {{"user32.dll", "RegisterClassExA", (void*)RefuseAtStart<WNDCLASSEXA, AboutWindowClass>},
          {"user32.dll", "RegisterClassA", (void*)RefuseAtStart<WNDCLASSA, AboutWindowClass>}},
         0, false},
        {"InsertMenuItemA (missing)", {{"user32.dll", "InsertMenuItemA", nullptr}}, 0, true},
        {"RegisterClassExA (missing)", {{"user32.dll", "RegisterClassExA", nullptr}}, 0, true},
        {"RegisterClassExA (failing)", {{"user32.dll", "RegisterClassExA", (void*)RefuseEveryClass}}, 0, true},
        {"LoadImageA (missing)", {{"user32.dll", "LoadImageA", nullptr}}, 0, true},
        {"InsertMenuItemA (failing)", {{"user32.dll", "InsertMenuItemA", (void*)RefuseEveryItem}}, 0, true},
        {"LoadImageA (failing)", {{"user32.dll", "LoadImageA", (void*)NoImage}}, 0, true},
        {"all three, as on NT 3.51",
         {{"user32.dll", "InsertMenuItemA", nullptr},
          {"user32.dll", "RegisterClassExA", (void*)RefuseEveryClass},
          {"user32.dll", "LoadImageA", nullptr}},
         0, true},
    };
    InstallFakeWindows();
    std::string report = ComposeReportText();
    ASSERT_EQ(0, RunRefused({}));
    const Sighting with = Seen;
    ASSERT_NE("", with.menus);
    ASSERT_EQ(std::string::npos, with.classes.find("not registered")) << with.classes;
    ASSERT_NE("no icon", with.icon);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.refused) + " refused at start-up");
        EXPECT_EQ(c.code, RunRefused(c.refusals)) << "(77: the loop ran without a main window)";
        EXPECT_EQ(c.code ? "" : "report shown, About over the disabled main window, closed with OK", Seen.story);
        EXPECT_TRUE(c.code || Seen.report == report) << Seen.report.substr(0, 200);
        EXPECT_EQ(NULL, FindWindowA(MainWindowClass, NULL));
        if (c.same) {
            EXPECT_EQ(with.menus, Seen.menus);
            EXPECT_EQ(with.classes, Seen.classes);
            EXPECT_EQ(with.icon, Seen.icon);
        }
    }
    RemoveFakeWindows();
}

// The save dialog's library is loaded only when the user saves. Where it or its dialog is
// missing, or the report cannot be read, the save says so once, over the main window, and the
// file is left as it was.
TEST(Startup, SavingWithoutTheSaveDialogOrTheTextShowsOneErrorBox)
{
    static const struct {
        std::vector<Refusal> refusals;
        const char* text;
    } rows[] = {
        {{{"kernel32.dll", "LoadLibraryA", (void*)NoLibrary}},
         "comdlg32.dll が見つからないため、ファイルを選ぶダイアログを開けません。"},
        {{{"kernel32.dll", "GetProcAddress", (void*)NoEntry}},
         "comdlg32.dll の GetSaveFileNameA が見つからないため、ファイルを選ぶダイアログを開けません。"},
        {{{"kernel32.dll", "GetProcAddress", (void*)DialogEntry}, {"user32.dll", "GetWindowTextA", (void*)NoText}},
         "何らかの原因で書き込みに失敗しました"},
    };
    InstallFakeWindows();
    Chosen = FreshFolder("save-unread") + "\\report.txt";
    WriteAll(Chosen, "old");
    for (const auto& row : rows) {
        Boxes.clear();
        std::vector<Refusal> refusals = row.refusals;
        refusals.push_back({"user32.dll", "MessageBoxA", (void*)RecordBox});
        EXPECT_EQ(0, RunRefused(refusals, SaveAndClose));
        EXPECT_EQ(std::vector<std::string>{std::string(row.text) + " / ぽこぺシステムレポート"}, Boxes) << row.text;
        EXPECT_EQ("old", ReadAll(Chosen));
    }
    RemoveFakeWindows();
}
