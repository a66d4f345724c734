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

// Whether no file is left at path; one that was never there counts.
bool Remove(const std::string& path)
{
    return Sys.deleteFile(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

bool WriteAll(HANDLE file, const std::string& text)
{
    DWORD written = 0;
    if (!Sys.writeFile(file, text.data(), (DWORD)text.size(), &written, NULL))
        return false;
    return written == text.size();
}

bool ReadAll(HANDLE file, std::string& bytes)
{
    DWORD read = 0;
    return bytes.empty() || (Sys.readFile(file, &bytes[0], (DWORD)bytes.size(), &read, NULL) && read == bytes.size());
}

// Moves the file pointer to offset from where; at, when given, receives the new position.
bool Seek(HANDLE file, ULONGLONG offset, DWORD from, ULONGLONG* at = NULL)
{
    LONG high = (LONG)(offset >> 32);
    SetLastError(NO_ERROR);
    DWORD low = Sys.setFilePointer(file, (LONG)(DWORD)offset, &high, from);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR)
        return false;
    if (at)
        *at = (ULONGLONG)(DWORD)high << 32 | low;
    return true;
}

bool SetLength(HANDLE file, ULONGLONG length)
{
    return Seek(file, length, FILE_BEGIN) && Sys.setEndOfFile(file);
}

HANDLE OpenToRewrite(const std::string& path)
{
    return Sys.createFile(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, NULL);
}

// Writes text straight into the file at path, for when the finished file cannot be made beside
// it or moved over it. Only a file that exists is written so: a new one that cannot be made
// beside it could not be made in its place either. The file first grows to the text's length,
// so that a full disk refuses before an old byte changes; after any later failure the bytes that
// were overwritten go back and the file gets its old length again.
SaveStatus WriteInPlace(const std::string& path, const std::string& text, bool exists)
{
    if (!exists)
        return SaveOpenFailed;
    FileHandle file(OpenToRewrite(path));
    ULONGLONG oldLength = 0;
    if (!file.valid() || !Seek(file.get(), 0, FILE_END, &oldLength))
        return SaveOpenFailed;
    std::string old((size_t)(oldLength < text.size() ? oldLength : text.size()), '\0');
    if (!Seek(file.get(), 0, FILE_BEGIN) || !ReadAll(file.get(), old))
        return SaveOpenFailed;

    if (SetLength(file.get(), oldLength > text.size() ? oldLength : text.size())
        && Seek(file.get(), 0, FILE_BEGIN) && WriteAll(file.get(), text)
        && SetLength(file.get(), text.size())) {
        // Cut to the text's length, the file holds it all, and its old tail is gone: a close
        // that fails now has nothing left to undo.
        file.Close();
        return SaveDone;
    }
    if (Seek(file.get(), 0, FILE_BEGIN))
        WriteAll(file.get(), old) && SetLength(file.get(), oldLength);
    return SaveWriteFailed;
}

enum Placing {
    Placed,
    NotPlaced, // nothing has changed
    Failed,    // the old file may be under another name now, or a leftover could not be removed
};

// Moves the finished file over path, where exists says whether a file is there now. The 9x
// family has no replacing move: there the old file steps aside under a new name first and comes
// back if the finished one cannot take its place.
Placing PutInPlace(const std::string& finished, const std::string& path, bool exists)
{
    if (Sys.moveFileEx) {
        if (Sys.moveFileEx(finished.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
            return Placed;
        if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED)
            return NotPlaced; // locked or read-only: leave it be
    }
    if (!exists)
        return Sys.moveFile(finished.c_str(), path.c_str()) ? Placed : NotPlaced;
    std::string aside = NewFileIn(FolderOf(path));
    if (aside.empty())
        return NotPlaced;
    if (!Remove(aside)) // the move needs the name free
        return Failed;
    if (!Sys.moveFile(path.c_str(), aside.c_str()))
        return NotPlaced;
    if (!Sys.moveFile(finished.c_str(), path.c_str()))
        return Sys.moveFile(aside.c_str(), path.c_str()) ? NotPlaced : Failed;
    // the new text is in place; a copy of the old one that will not go is not a clean save
    return Remove(aside) ? Placed : Failed;
}

// What Windows refuses to create a file over: a replacing move would not refuse them all.
const DWORD RefusedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN
                              | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;

} // namespace

SaveStatus WriteReportFile(const std::string& path, const std::string& text)
{
    DWORD attributes = Sys.getFileAttributes(path.c_str());
    bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    DWORD error = GetLastError();
    if (!exists && error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
        return SaveOpenFailed; // what is there cannot be told
    if (exists && (attributes & RefusedAttributes))
        return SaveOpenFailed;

    std::string partial = NewFileIn(FolderOf(path));
    if (partial.empty())
        return WriteInPlace(path, text, exists);
    FileHandle file(Sys.createFile(partial.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, NULL));
    if (!file.valid())
        return Remove(partial) ? WriteInPlace(path, text, exists) : SaveOpenFailed;
    bool written = WriteAll(file.get(), text);
    if (!file.Close() || !written) {
        Remove(partial);
        return SaveWriteFailed;
    }
    switch (PutInPlace(partial, path, exists)) {
    case Placed:
        return SaveDone;
    case NotPlaced:
        return Remove(partial) ? WriteInPlace(path, text, exists) : SaveWriteFailed;
    case Failed:
        break;
    }
    Remove(partial);
    return SaveWriteFailed;
}

typedef BOOL(WINAPI* FileDialogSig)(LPOPENFILENAMEA);

std::string AskFileName(HWND owner, bool save, const std::string& filter,
                        const std::string&, const std::string& title)
{
    // The dialog's library is loaded here rather than at start-up, which most runs never need
    // it for. It stays loaded: the dialog may leave threads of its own running.
    const char* entry = save ? "GetSaveFileNameA" : "GetOpenFileNameA";
    HMODULE library = LoadLibraryA("comdlg32.dll");
    FileDialogSig showDialog = library ? (FileDialogSig)(void*)GetProcAddress(library, entry) : NULL;
    if (!showDialog) {
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
