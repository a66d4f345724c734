// Files on disk as the tests look at them.
#include "tests/TestFiles.h"

#include <windows.h>
#include <algorithm>

std::string ReadAll(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return "(no file)";
    std::string bytes;
    char buffer[65536];
    DWORD n = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &n, NULL) && n > 0)
        bytes.append(buffer, n);
    CloseHandle(file);
    return bytes;
}

bool WriteAll(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    DWORD written = 0;
    BOOL wrote = WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL);
    return CloseHandle(file) && wrote && written == bytes.size();
}

// Every name in a folder but "." and "..".
static std::vector<std::string> Entries(const std::string& folder, bool folders)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &data);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &data))
        if ((folders || !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) && strcmp(data.cFileName, ".") && strcmp(data.cFileName, ".."))
            names.push_back(data.cFileName);
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> FilesIn(const std::string& folder)
{
    return Entries(folder, false);
}

std::string FreshFolder(const std::string& path)
{
    char temp[MAX_PATH];
    std::string folder = path.find(':') == std::string::npos ? std::string(temp, GetTempPathA(sizeof(temp), temp)) + path : path;
    for (size_t at = folder.find('\\', 3); at != std::string::npos; at = folder.find('\\', at + 1))
        CreateDirectoryA(folder.substr(0, at).c_str(), NULL);
    CreateDirectoryA(folder.c_str(), NULL);
    for (const std::string& name : Entries(folder, true)) {
        std::string entry = folder + "\\" + name;
        SetFileAttributesA(entry.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(entry.c_str()) || RemoveDirectoryA(entry.c_str());
    }
    return folder;
}
