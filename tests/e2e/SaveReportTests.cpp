// Saving the report through the save dialog, and what the disk holds afterwards.
#include "tests/e2e/Driving.h"

#include "resources/resource.h"

static const char ProgramCaption[] = "ぽこぺシステムレポート";
static const char OpenFailed[] = "オープンに失敗しました";
static const char WriteFailed[] = "何らかの原因で書き込みに失敗しました";

class SaveReport : public testing::Test {
protected:
    void SetUp() override
    {
        folder = FreshFolder(Opt.scratch + "\\" + testing::UnitTest::GetInstance()->current_test_info()->name());
        std::string why;
        ASSERT_TRUE(app.Start(&why)) << why;
        ASSERT_TRUE(app.edit);
    }

    HWND OpenDialog()
    {
        app.Command(IDM_SAVE_REPORT);
        HWND dialog = nullptr;
        EXPECT_TRUE(WaitFor([&] { return (dialog = FindOwnedWindow(app.pid, "#32770", app.main)) != nullptr; },
                            Opt.stepTimeout))
            << "no dialog owned by the main window after the save command";
        if (dialog) {
            EXPECT_PRED_FORMAT2(SameText, "レポートの保存", Caption(dialog));
        }
        return dialog;
    }

    // The file-name box of an Explorer-style dialog: combo box cmb13 (under Wine a ComboBoxEx32,
    // which hands WM_SETTEXT on to its edit), or edit edt1 in older layouts.
    static HWND FileNameBox(HWND dialog)
    {
        HWND combo = GetDlgItem(dialog, 0x47C);
        return combo ? combo : GetDlgItem(dialog, 0x480);
    }

    // Chooses the path in the open dialog and presses Save.
    void Choose(HWND dialog, const std::string& path)
    {
        HWND box = FileNameBox(dialog);
        ASSERT_TRUE(box) << "no file-name box in the save dialog";
        ASSERT_TRUE(SetControlText(box, path)) << "cannot type into the file-name box";
        PressButton(dialog, IDOK);
    }

    // Answers the dialog's question whether to replace the existing file.
    void ConfirmReplace(HWND dialog)
    {
        HWND prompt = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (prompt = FindOwnedWindow(app.pid, "#32770", dialog)) != nullptr; },
                            Opt.stepTimeout))
            << "the save dialog did not ask before replacing a file";
        PressButton(prompt, IDYES);
    }

    // Waits for the dialog to close and the save to end; returns the box the program shows, if any.
    HWND Finish(HWND dialog)
    {
        bool closed = WaitFor([&] { return !IsWindow(dialog); }, Opt.stepTimeout);
        EXPECT_TRUE(closed) << "the save dialog is still open";
        if (!closed)
            return nullptr;
        // answered only once the save has returned or a message box's loop runs
        EXPECT_TRUE(Responds(app.main)) << "the main window does not answer after saving";
        HWND box = FindOwnedWindow(app.pid, "#32770", nullptr, false);
        if (box)
            WaitFor([&] { return IsWindowVisible(box) != 0; }, Opt.stepTimeout);
        return box;
    }

    void SaveAs(const std::string& path, bool replacing)
    {
        HWND dialog = OpenDialog();
        ASSERT_TRUE(dialog);
        Choose(dialog, path);
        if (replacing)
            ConfirmReplace(dialog);
        HWND box = Finish(dialog);
        EXPECT_FALSE(box) << "unexpected box \"" << Readable(DialogText(box)) << "\"";
        if (box)
            PressButton(box, IDOK);
    }

    // Checks the error box the program shows and presses its OK button.
    void ExpectErrorBox(HWND box, const char* text)
    {
        ASSERT_TRUE(box) << "no message box; expected \"" << Readable(text) << "\"";
        EXPECT_PRED_FORMAT2(SameText, ProgramCaption, Caption(box));
        EXPECT_PRED_FORMAT2(SameText, text, DialogText(box));
        EXPECT_EQ(app.main, GetWindow(box, GW_OWNER)) << "the box is not owned by the main window";
        EXPECT_EQ(std::vector<int>{IDOK}, VisibleButtonIds(box)) << "buttons of the box (1 is OK)";
        PressButton(box, IDOK);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(box); }, Opt.stepTimeout)) << "the box stays after OK";
        EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(app.main) != 0; }, Opt.stepTimeout))
            << "main window left disabled";
        EXPECT_TRUE(Responds(app.main) && !FindOwnedWindow(app.pid, "#32770", nullptr, false)) << "a second box";
    }

    std::string Path(const char* name) const { return folder + "\\" + name; }

    std::string FileBytes(const char* name) const { return ReadAll(Path(name)); }

    std::string folder;
    Program app;
};

using Names = std::vector<std::string>;

TEST_F(SaveReport, WritesTheControlTextByteForByteIncludingWhatWasTyped)
{
    // a 0x5C trail byte (表, ソ) next to a real backslash
    const std::string typed = "追記：表示ソフト\\メモ\r\n";
    DWORD_PTR result = 0;
    SendMessageTimeoutA(app.edit, EM_SETSEL, 0, 0, SMTO_ABORTIFHUNG, Opt.stepTimeout, &result);
    SendMessageTimeoutA(app.edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(typed.c_str()), SMTO_ABORTIFHUNG,
                        Opt.stepTimeout, &result);
    std::string text = ControlText(app.edit);
    ASSERT_PRED_FORMAT2(SameText, typed + app.firstText, text);

    HWND dialog = OpenDialog();
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(IsWindowEnabled(app.main)) << "main window enabled while the save dialog is open";
    HWND types = GetDlgItem(dialog, 0x470);
    EXPECT_PRED_FORMAT2(SameText, "テキストファイル(*.txt)", types ? ControlText(types) : "(no file-type box)");
    Choose(dialog, Path("report.txt"));
    HWND box = Finish(dialog);
    EXPECT_FALSE(box) << "unexpected box \"" << Readable(DialogText(box)) << "\"";

    EXPECT_EQ(Names{"report.txt"}, FilesIn(folder));
    EXPECT_PRED_FORMAT2(SameText, text, FileBytes("report.txt"));
}

TEST_F(SaveReport, KeepsANameWithoutExtension)
{
    SaveAs(Path("report"), false);
    EXPECT_EQ(Names{"report"}, FilesIn(folder));
    EXPECT_PRED_FORMAT2(SameText, app.firstText, FileBytes("report"));
}

TEST_F(SaveReport, ReplacesTheWholeOfAnExistingFile)
{
    // longer than the report, so a file that is not truncated shows its old tail
    ASSERT_TRUE(WriteAll(Path("old.txt"), std::string(20000, 'X') + "\r\n"));
    SaveAs(Path("old.txt"), true);
    EXPECT_EQ(Names{"old.txt"}, FilesIn(folder));
    EXPECT_PRED_FORMAT2(SameText, app.firstText, FileBytes("old.txt"));
}

TEST_F(SaveReport, CancelWritesNothing)
{
    HWND dialog = OpenDialog();
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(SetControlText(FileNameBox(dialog), Path("cancelled.txt")));
    PressButton(dialog, IDCANCEL);
    HWND box = Finish(dialog);
    EXPECT_FALSE(box) << "unexpected box \"" << Readable(DialogText(box)) << "\"";
    EXPECT_EQ(Names{}, FilesIn(folder));
    EXPECT_PRED_FORMAT2(SameText, app.firstText, ControlText(app.edit));
}

TEST_F(SaveReport, EmptyControlWritesNoFile)
{
    ASSERT_TRUE(SetControlText(app.edit, ""));
    SaveAs(Path("empty.txt"), false);
    EXPECT_EQ(Names{}, FilesIn(folder));
}

TEST_F(SaveReport, FileHeldOpenOrHiddenShowsOpenFailureAndIsKept)
{
    const std::string old = "previous report\r\n";
    for (bool hidden : {false, true}) {
        const char* name = hidden ? "hidden.txt" : "locked.txt";
        SCOPED_TRACE(name);
        ASSERT_TRUE(WriteAll(Path(name), old));
        // held open without sharing, as another program might
        HANDLE held = hidden ? INVALID_HANDLE_VALUE
                             : CreateFileA(Path(name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_TRUE(hidden ? SetFileAttributesA(Path(name).c_str(), FILE_ATTRIBUTE_HIDDEN) : held != INVALID_HANDLE_VALUE);
        HWND dialog = OpenDialog();
        ASSERT_TRUE(dialog);
        Choose(dialog, Path(name));
        ConfirmReplace(dialog);
        ExpectErrorBox(Finish(dialog), OpenFailed);
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        EXPECT_PRED_FORMAT2(SameText, old, FileBytes(name));
        EXPECT_EQ(hidden, (GetFileAttributesA(Path(name).c_str()) & FILE_ATTRIBUTE_HIDDEN) != 0) << "hidden as before";
    }
    EXPECT_EQ((Names{"hidden.txt", "locked.txt"}), FilesIn(folder));
    EXPECT_PRED_FORMAT2(SameText, app.firstText, ControlText(app.edit));

    // the user may try again
    SaveAs(Path("retry.txt"), false);
    EXPECT_PRED_FORMAT2(SameText, app.firstText, FileBytes("retry.txt"));
}

TEST_F(SaveReport, SavesAMegabyteByteForByte)
{
    std::string big;
    while (big.size() < 1024 * 1024)
        big += app.firstText;
    ASSERT_TRUE(SetControlText(app.edit, big));
    // its length only: reading a megabyte back from outside ends the program under Wine 10
    ASSERT_EQ((long long)big.size(), ControlTextLength(app.edit)) << "the report control did not take the whole text";
    SaveAs(Path("big.txt"), false);
    EXPECT_PRED_FORMAT2(SameText, big, FileBytes("big.txt"));
}

// Run under a file-size limit of 2 KB (ulimit -f 2), so that writing a longer report fails.
class SaveReportUnderWriteLimit : public SaveReport {
protected:
    void SetUp() override
    {
        SaveReport::SetUp();
        if (HasFatalFailure())
            return;
        std::string probe = Path("probe");
        bool limited = !WriteAll(probe, std::string(4096, 'x'));
        DeleteFileA(probe.c_str());
        ASSERT_TRUE(limited) << "a 4 KB file could be written: run this under a 2 KB file-size limit";
        std::string big;
        while (big.size() < 8192)
            big += app.firstText;
        ASSERT_TRUE(SetControlText(app.edit, big));
    }
};

TEST_F(SaveReportUnderWriteLimit, WriteFailureShowsItsBoxAndKeepsTheOldFileOrNone)
{
    const std::string old = "previous report\r\n";
    ASSERT_TRUE(WriteAll(Path("kept.txt"), old));
    for (const char* name : {"kept.txt", "new.txt"}) {
        SCOPED_TRACE(name);
        HWND dialog = OpenDialog();
        ASSERT_TRUE(dialog);
        Choose(dialog, Path(name));
        if (name[0] == 'k')
            ConfirmReplace(dialog);
        ExpectErrorBox(Finish(dialog), WriteFailed);
        EXPECT_EQ(Names{"kept.txt"}, FilesIn(folder));
        EXPECT_PRED_FORMAT2(SameText, old, FileBytes("kept.txt"));
    }
}

// Run with drive S: a 256 KB disk of its own (tests/small-drive), so that the disk is full
// where the user saves: the save succeeds wherever the plain overwrite, which frees the old
// file's room first, would, and keeps the old file where it would not.
class SaveReportOnFullDisk : public SaveReport {
protected:
    void SetUp() override
    {
        SaveReport::SetUp();
        ULARGE_INTEGER available = {}, total = {};
        ASSERT_TRUE(GetDiskFreeSpaceExA("S:\\", &available, &total, nullptr) && total.QuadPart <= 256 * 1024)
            << "drive S: is not a small disk: run this under tests/small-drive";
        folder = FreshFolder("S:");
    }

    static ULONGLONG FreeBytes()
    {
        ULARGE_INTEGER available = {};
        GetDiskFreeSpaceExA("S:\\", &available, nullptr, nullptr);
        return available.QuadPart;
    }
};

TEST_F(SaveReportOnFullDisk, SavesWhereTheOldFilesRoomSufficesAndElseKeepsIt)
{
    static const struct {
        const char* what;
        size_t oldSize, newSize;
    } cases[] = {
        {"growing into the old file's room", 100000, 200000},
        {"shrinking, larger than the free space", 200000, 150000},
        {"no room, even with the old file's", 100000, 400000},
    };
    const ULONGLONG page = 4096; // what the disk allocates
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FreshFolder(folder);
        const std::string old(c.oldSize, 'o');
        ASSERT_TRUE(WriteAll(Path("old.txt"), old));
        std::string text;
        while (text.size() < c.newSize)
            text += app.firstText;
        text.resize(c.newSize - 2);
        text += "\r\n";
        ASSERT_TRUE(SetControlText(app.edit, text));
        ASSERT_EQ(text.size(), ControlText(app.edit).size()) << "the report control did not take the whole text";
        ULONGLONG free = FreeBytes(), oldRoom = (old.size() + page - 1) / page * page;
        ASSERT_LT(free, text.size()) << "a disk with room for the text beside the old file";
        bool plainSaves = free + oldRoom >= text.size();

        HWND dialog = OpenDialog();
        ASSERT_TRUE(dialog);
        Choose(dialog, Path("old.txt"));
        ConfirmReplace(dialog);
        HWND box = Finish(dialog);
        if (plainSaves) {
            EXPECT_FALSE(box) << "unexpected box \"" << Readable(DialogText(box)) << "\"";
            if (box)
                PressButton(box, IDOK);
            EXPECT_PRED_FORMAT2(SameText, text, FileBytes("old.txt"));
        } else {
            ExpectErrorBox(box, WriteFailed);
            EXPECT_TRUE(FileBytes("old.txt") == old) << "the old file is not whole: " << FileBytes("old.txt").size() << " bytes";
        }
        EXPECT_EQ(Names{"old.txt"}, FilesIn(folder));
    }
}
