// Writing the report's text into the file the user chose, so that a failed save costs nothing.
#include "shell/ReportFile.h"

#include "calls/WindowsCalls.h"

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

HANDLE Open(const std::string& path, DWORD access, DWORD disposition)
{
    return Sys.CreateFileA(path.c_str(), access, 0, NULL, disposition, FILE_ATTRIBUTE_NORMAL, NULL);
}

// Removes a new file this save made. Where Windows will not remove it (a folder that lets files be
// made and written, but not deleted), it is emptied instead, so that no part of the report stays.
void Discard(const std::string& path)
{
    if (Sys.DeleteFileA(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND)
        return;
    FileHandle emptied(Open(path, GENERIC_WRITE, TRUNCATE_EXISTING));
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

// An existing file, rewritten where it is: opened without emptying it and without sharing it, so
// it stays the same file. It first grows to the longer of its old length and the text's, so that a
// disk without room refuses before an old byte changes; that needs no more room than the plain
// overwrite, which frees the old bytes first. The bytes the text overwrites are kept, to be given
// back with the old length after any later failure. The text is flushed before the old tail is cut
// off: after the cut there is nothing left to undo, and nothing left unwritten for a close to lose.
SaveStatus RewriteInPlace(const std::string& path, const std::string& text)
{
    HANDLE opened = Open(path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
    bool readable = opened != INVALID_HANDLE_VALUE;
    // rights that let the file be written but not read: opened for writing alone, as the plain
    // overwrite opens it, though then the old bytes cannot be kept to be given back
    if (!readable && GetLastError() == ERROR_ACCESS_DENIED)
        opened = Open(path, GENERIC_WRITE, OPEN_EXISTING);
    FileHandle file(opened);
    if (!file.valid())
        return SaveOpenFailed;
    ULONGLONG oldLength = 0, newLength = text.size();
    if (!Seek(file.get(), 0, FILE_END, &oldLength))
        return SaveOpenFailed;
    std::string old(readable ? (size_t)(oldLength < newLength ? oldLength : newLength) : 0, '\0');
    ULONGLONG longer = oldLength > newLength ? oldLength : newLength;
    if (!Seek(file.get(), 0, FILE_BEGIN) || !ReadAll(file.get(), old) || !Seek(file.get(), longer, FILE_BEGIN))
        return SaveOpenFailed;

    if (!Sys.SetEndOfFile(file.get()))
        return SaveWriteFailed;
    if (Seek(file.get(), 0, FILE_BEGIN) && WriteAll(file.get(), text) && Sys.FlushFileBuffers(file.get())
        && SetLength(file.get(), newLength))
        return SaveDone;
    // the old length goes back even where the old bytes cannot: a grown tail is not the user's
    if (readable && Seek(file.get(), 0, FILE_BEGIN))
        WriteAll(file.get(), old);
    SetLength(file.get(), oldLength);
    Sys.FlushFileBuffers(file.get());
    return SaveWriteFailed;
}

// A new file, made as itself and flushed before it counts as written; removed again after any
// failure.
SaveStatus WriteNewFile(const std::string& path, const std::string& text)
{
    FileHandle file(Open(path, GENERIC_WRITE, CREATE_NEW));
    if (!file.valid())
        return SaveOpenFailed;
    bool written = WriteAll(file.get(), text) && Sys.FlushFileBuffers(file.get());
    if (file.Close() && written)
        return SaveDone;
    Discard(path);
    return SaveWriteFailed;
}

// What Windows refuses to create a file over.
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
    return exists ? RewriteInPlace(path, text) : WriteNewFile(path, text);
}
