// Saving the report as a text file the user names.
#include "shell/SaveReport.h"

#include "probes/SystemCalls.h"
#include "text/Text.h"
#include "resources/resource.h"
#include "shell/Gui.h"

#include <commdlg.h>

namespace {

const char MessageCaption[] = "ぽこぺシステムレポート";

// Closes a file handle on every way out.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool Close()
    {
        if (!valid())
            return true;
        BOOL closed = Sys.closeHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return closed != FALSE;
    }

private:
    HANDLE handle_;
};

// The folder part of path, up to its last "\"; stepping by characters, since a double-byte
// character may end in the byte 0x5C.
std::string FolderOf(const std::string& path)
{
    size_t cut = std::string::npos;
    for (size_t i = 0; i < path.size(); i += IsDBCSLeadByte((BYTE)path[i]) ? 2 : 1)
        if (path[i] == '\\')
            cut = i;
    if (cut == std::string::npos)
        return ".";
    if (cut == 0 || path[cut - 1] == ':')
        return path.substr(0, cut + 1); // a drive's root keeps its backslash
    return path.substr(0, cut);
}

// A new, empty file in folder with a name nobody uses yet; empty text when none can be made.
std::string NewFileIn(const std::string& folder)
{
    char name[MAX_PATH + 1] = {};
    if (!Sys.getTempFileName(folder.c_str(), "prt", 0, name))
        return "";
    return TextUpToNul(name, sizeof(name));
}

bool WriteAll(HANDLE file, const std::string& text)
{
    DWORD written = 0;
    if (!Sys.writeFile(file, text.data(), (DWORD)text.size(), &written, NULL))
        return false;
    return written == text.size();
}

// Moves the finished file over path. The 9x family has no replacing move: there the old file
// steps aside first and comes back if the new one cannot take its place.
bool PutInPlace(const std::string& finished, const std::string& path)
{
    if (Sys.moveFileEx) {
        if (Sys.moveFileEx(finished.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
            return true;
        if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED)
            return false; // locked or read-only: leave it be
    }
    if (Sys.moveFile(finished.c_str(), path.c_str()))
        return true; // nothing was there yet
    std::string aside = NewFileIn(FolderOf(path));
    if (aside.empty())
        return false;
    Sys.deleteFile(aside.c_str());
    if (!Sys.moveFile(path.c_str(), aside.c_str()))
        return false;
    if (!Sys.moveFile(finished.c_str(), path.c_str())) {
        Sys.moveFile(aside.c_str(), path.c_str());
        return false;
    }
    Sys.deleteFile(aside.c_str());
    return true;
}

// Whether Windows would refuse to create a file over what is at path now: a read-only, hidden or
// system file, or a folder. A replacing move would not refuse all of them, so look first.
bool Refused(const std::string& path)
{
    const DWORD refused = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM
                        | FILE_ATTRIBUTE_DIRECTORY;
    DWORD attributes = Sys.getFileAttributes(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & refused);
}

// Writes text straight into path, as a plain save does, for when no new file can be made beside
// it or the old one cannot be replaced. Programs that let others write the file may keep it open.
SaveStatus WriteInPlace(const std::string& path, const std::string& text)
{
    FileHandle file(Sys.createFile(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL));
    if (!file.valid())
        return SaveOpenFailed;
    bool written = WriteAll(file.get(), text);
    return file.Close() && written ? SaveDone : SaveWriteFailed;
}

} // namespace

SaveStatus WriteReportFile(const std::string& path, const std::string& text)
{
    if (Refused(path))
        return SaveOpenFailed;
    std::string partial = NewFileIn(FolderOf(path));
    if (partial.empty())
        return WriteInPlace(path, text);
    FileHandle file(Sys.createFile(partial.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, NULL));
    if (!file.valid()) {
        Sys.deleteFile(partial.c_str());
        return WriteInPlace(path, text);
    }
    bool written = WriteAll(file.get(), text);
    if (!file.Close() || !written) {
        Sys.deleteFile(partial.c_str());
        return SaveWriteFailed;
    }
    if (!PutInPlace(partial, path)) {
        Sys.deleteFile(partial.c_str());
        return WriteInPlace(path, text);
    }
    return SaveDone;
}

std::string AskFileName(HWND owner, bool save, const std::string& filter,
                        const std::string&, const std::string& title)
{
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
    BOOL chosen = save ? GetSaveFileNameA(&request) : GetOpenFileNameA(&request);
    if (!chosen)
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

    switch (WriteReportFile(path, text)) {
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
