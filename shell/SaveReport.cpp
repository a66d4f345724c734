// The save command: the file dialog, and the boxes that tell of a failed save.
#include "shell/SaveReport.h"

#include "calls/WindowsCalls.h"
#include "text/Text.h"
#include "resources/resource.h"
#include "shell/Gui.h"
#include "shell/ReportFile.h"

#include <commdlg.h>

namespace {

const char MessageCaption[] = "ぽこぺシステムレポート";

} // namespace

std::string AskFileName(HWND owner, bool save, const std::string& filter,
                        const std::string&, const std::string& title)
{
    // The dialog's library is loaded here rather than at start-up, which most runs never need
    // it for. It stays loaded: the dialog may leave threads of its own running.
    HMODULE library = LoadWhenUsed(Dll_comdlg32);
    auto showDialog = save ? Sys.GetSaveFileNameA : Sys.GetOpenFileNameA;
    if (!showDialog) {
        const char* entry = save ? "GetSaveFileNameA" : "GetOpenFileNameA";
        std::string missing = library ? std::string("comdlg32.dll の ") + entry : "comdlg32.dll";
        MessageBoxA(owner, (missing + " が見つからないため、ファイルを選ぶダイアログを開けません。").c_str(),
                    MessageCaption, MB_ICONERROR);
        return "";
    }
    char file[MAX_PATH] = {};
    OPENFILENAMEA request = {};
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400A; // the size every Windows since 95 reads
    request.hwndOwner = owner;
    request.lpstrFilter = filter.c_str();
    request.lpstrFile = file;
    request.nMaxFile = 256;
    request.nMaxFileTitle = 256;
    request.lpstrTitle = title.c_str();
    request.Flags = OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (save)
        request.Flags |= OFN_OVERWRITEPROMPT;
    if (!showDialog(&request))
        return "";
    return TextUpToNul(file, sizeof(file));
}

void SaveReport()
{
    // one filter pair; the text's own NUL ends the list
    std::string filter = std::string("テキストファイル(*.txt)") + '\0' + "*.txt" + '\0';
    std::string path = AskFileName(Gui.mainWindow, true, filter, "*.txt", "レポートの保存");
    if (TextEquals(path, ""))
        return;

    HWND edit = GetDlgItem(Gui.mainWindow, ID_REPORT_EDIT);
    int length = GetWindowTextLengthA(edit);
    if (length == 0)
        return;
    std::string text((size_t)length + 1, '\0');
    int got = GetWindowTextA(edit, &text[0], length + 1);
    text.resize(got > 0 ? (size_t)got : 0);

    // a text that could not be read is not written over the file as an empty one
    switch (text.empty() ? SaveWriteFailed : WriteReportFile(path, text)) {
    case SaveOpenFailed:
        MessageBoxA(Gui.mainWindow, "オープンに失敗しました", MessageCaption, MB_ICONERROR);
        break;
    case SaveWriteFailed:
        MessageBoxA(Gui.mainWindow, "何らかの原因で書き込みに失敗しました", MessageCaption, MB_ICONERROR);
        break;
    case SaveDone:
        break;
    }
}
