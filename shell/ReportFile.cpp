// Writing the report's text into the file the user chose, so that a failed save costs nothing.
#include "shell/ReportFile.h"

#include "calls/WindowsCalls.h"
#include "text/Text.h"

#include <windows.h>

namespace {

// Closes a file handle on every way out.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    // Whether Windows took every byte written: a network redirector may report here the bytes
    // it held back and could not write. The handle is closed either way.
    bool Close()
    {
        if (!valid())
            return true;
        BOOL closed = Sys.CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return closed != FALSE;
    }

private:
    HANDLE handle_;
};

// How one way of writing the file ended.
enum Outcome {
    Written,    // the file holds the whole text
    NotOpened,  // this way could not start; nothing has changed
    NotWritten, // the text could not be written; what this way changed is undone where Windows let it
    HeldOpen,   // another program has the file open, which no way can get past
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
    if (!Sys.GetTempFileNameA(folder.c_str(), "prt", 0, name))
        return "";
    return TextUpToNul(name, sizeof(name));
}

// Removes a file this save made. Where Windows will not remove it (a folder that lets files be
// made and written, but not deleted), it is emptied instead, so that no copy of the report stays.
void Discard(const std::string& path)
{
    if (Sys.DeleteFileA(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND)
        return;
    FileHandle emptied(Sys.CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, TRUNCATE_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, NULL));
}

bool WriteAll(HANDLE file, const std::string& text)
{
    DWORD written = 0;
    if (!Sys.WriteFile(file, text.data(), (DWORD)text.size(), &written, NULL))
        return false;
    return written == text.size();
}

bool ReadAll(HANDLE file, std::string& bytes)
{
    DWORD read = 0;
    return bytes.empty() || (Sys.ReadFile(file, &bytes[0], (DWORD)bytes.size(), &read, NULL) && read == bytes.size());
}

// Moves the file pointer to offset from where; at, when given, receives the new position.
bool Seek(HANDLE file, ULONGLONG offset, DWORD from, ULONGLONG* at = NULL)
{
    LONG high = (LONG)(offset >> 32);
    SetLastError(NO_ERROR);
    DWORD low = Sys.SetFilePointer(file, (LONG)(DWORD)offset, &high, from);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR)
        return false;
    if (at)
        *at = (ULONGLONG)(DWORD)high << 32 | low;
    return true;
}

bool SetLength(HANDLE file, ULONGLONG length)
{
    return Seek(file, length, FILE_BEGIN) && Sys.SetEndOfFile(file);
}

// The first way for an existing file: rewritten where it is, opened without emptying it and
// without sharing it, so it stays the same file. It first grows to the longer of its old length
// and the text's, so that a disk without room refuses before an old byte changes; that needs no
// more room than the plain overwrite, which frees the old bytes first. The bytes the text
// overwrites are kept, to be given back with the old length after any later failure. The text is
// flushed before the old tail is cut off: after the cut there is nothing left to undo, and nothing
// left unwritten for a failing close to lose.
Outcome RewriteInPlace(const std::string& path, const std::string& text)
{
    FileHandle file(Sys.CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, NULL));
    if (!file.valid())
        return GetLastError() == ERROR_SHARING_VIOLATION ? HeldOpen : NotOpened;
    ULONGLONG oldLength = 0, newLength = text.size();
    if (!Seek(file.get(), 0, FILE_END, &oldLength))
        return NotOpened;
    std::string old((size_t)(oldLength < newLength ? oldLength : newLength), '\0');
    ULONGLONG longer = oldLength > newLength ? oldLength : newLength;
    if (!Seek(file.get(), 0, FILE_BEGIN) || !ReadAll(file.get(), old) || !Seek(file.get(), longer, FILE_BEGIN))
        return NotOpened;

    if (!Sys.SetEndOfFile(file.get()))
        return NotWritten;
    if (Seek(file.get(), 0, FILE_BEGIN) && WriteAll(file.get(), text) && Sys.FlushFileBuffers(file.get())
        && SetLength(file.get(), newLength))
        return Written;
    if (Seek(file.get(), 0, FILE_BEGIN) && WriteAll(file.get(), old) && SetLength(file.get(), oldLength))
        Sys.FlushFileBuffers(file.get());
    return NotWritten;
}

// The first way for a new file: made as itself, so that a folder that lets files be made and
// written, but not renamed or deleted, takes it too. Removed again after any failure.
Outcome WriteNewFile(const std::string& path, const std::string& text)
{
    FileHandle file(Sys.CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL));
    if (!file.valid())
        return NotOpened;
    bool written = WriteAll(file.get(), text);
    if (file.Close() && written)
        return Written;
    Discard(path);
    return NotWritten;
}

// The second way, when the first failed: the text goes to a new file beside path, which moves
// into its place once complete. An existing file is replaced by another file this way, so it
// comes second; and only on the NT family, since Windows 95, 98 and Me have no replacing move.
Outcome WriteBesideAndMove(const std::string& path, const std::string& text, bool exists)
{
    if (exists && !Sys.MoveFileExA)
        return NotOpened;
    std::string copy = NewFileIn(FolderOf(path));
    if (copy.empty())
        return NotOpened;
    FileHandle file(Sys.CreateFileA(copy.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL));
    if (!file.valid()) {
        Discard(copy);
        return NotOpened;
    }
    bool written = WriteAll(file.get(), text);
    if (!file.Close() || !written) {
        Discard(copy);
        return NotWritten;
    }
    if (exists ? Sys.MoveFileExA(copy.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)
               : Sys.MoveFileA(copy.c_str(), path.c_str()))
        return Written;
    Outcome outcome = GetLastError() == ERROR_CALL_NOT_IMPLEMENTED ? NotOpened : NotWritten;
    Discard(copy);
    return outcome;
}

// What Windows refuses to create a file over: a replacing move would not refuse them all.
const DWORD RefusedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN
                              | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;

} // namespace

SaveStatus WriteReportFile(const std::string& path, const std::string& text)
{
    DWORD attributes = Sys.GetFileAttributesA(path.c_str());
    bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    DWORD error = GetLastError();
    if (!exists && error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
        return SaveOpenFailed; // what is there cannot be told
    if (exists && (attributes & RefusedAttributes))
        return SaveOpenFailed;

    Outcome first = exists ? RewriteInPlace(path, text) : WriteNewFile(path, text);
    if (first == Written)
        return SaveDone;
    if (first == HeldOpen)
        return SaveOpenFailed;
    Outcome second = WriteBesideAndMove(path, text, exists);
    if (second == Written)
        return SaveDone;
    return first == NotOpened && second == NotOpened ? SaveOpenFailed : SaveWriteFailed;
}
