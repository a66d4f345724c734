// Version and file times of a component file.
#include "probes/ComponentFile.h"

#include "calls/WindowsCalls.h"
#include "text/NumberText.h"

#include <cstdint>
#include <utility>

namespace {

// Looks the path up, closing the search at once; the lookup only tells whether it exists.
bool FindFile(const std::string& path, WIN32_FIND_DATAA& data)
{
    HANDLE search = Sys.FindFirstFileA(path.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    Sys.FindClose(search);
    return true;
}

// Whether the root block VerQueryValueA found is a whole VS_FIXEDFILEINFO inside block.
bool HoldsFixedInfo(const VersionBlock& block, const void* root, UINT length)
{
    if (length < sizeof(VS_FIXEDFILEINFO) || block.size < sizeof(VS_FIXEDFILEINFO))
        return false;
    uintptr_t start = (uintptr_t)block.bytes.get();
    uintptr_t at = (uintptr_t)root;
    return at >= start && at - start <= block.size - sizeof(VS_FIXEDFILEINFO);
}

} // namespace

WORD ProbeComponent(ComponentFile& record, const std::string& path)
{
    if (!FindFile(path, record.findData))
        return ProbeNotFound;

    record.versionInfoSize = Sys.GetFileVersionInfoSizeA(path.c_str(), &record.sizeHandle);
    if (record.versionInfoSize == 0)
        return ProbeNoVersion;

    VersionBlock block;
    block.bytes.reset(static_cast<char*>(calloc(record.versionInfoSize, 1)));
    block.size = record.versionInfoSize;
    if (!block.bytes)
        return ProbeUnreadable;
    if (!Sys.GetFileVersionInfoA(path.c_str(), 0, record.versionInfoSize, block.bytes.get()))
        return ProbeUnreadable;

    void* root = nullptr;
    UINT length = 0;
    if (!Sys.VerQueryValueA(block.bytes.get(), "\\", &root, &length) || !HoldsFixedInfo(block, root, length))
        return ProbeUnreadable;

    record.versionBlock = std::move(block);
    record.fixedInfoPointer = static_cast<const VS_FIXEDFILEINFO*>(root);
    record.fixedInfoLength = length;
    record.fixedInfo = *record.fixedInfoPointer;
    return ProbeVersionRead;
}

std::string VersionText(const ComponentFile& record)
{
    DWORD ms = record.fixedInfo.dwFileVersionMS;
    DWORD ls = record.fixedInfo.dwFileVersionLS;
    return FormatNumber(HIWORD(ms)) + "." + FormatNumber(LOWORD(ms)) + "."
         + FormatNumber(HIWORD(ls)) + "." + FormatNumber(LOWORD(ls));
}

std::string FileTimeText(const std::string& path, int kind)
{
    WIN32_FIND_DATAA data;
    if (!FindFile(path, data))
        return "";
    return FoundTimeText(data, kind);
}

std::string FoundTimeText(const WIN32_FIND_DATAA& data, int kind)
{
    const FILETIME* time;
    switch (kind) {
    case FileCreationTime: time = &data.ftCreationTime; break;
    case FileLastAccessTime: time = &data.ftLastAccessTime; break;
    case FileLastWriteTime: time = &data.ftLastWriteTime; break;
    default: return "";
    }

    FILETIME local;
    SYSTEMTIME t;
    if (!Sys.FileTimeToLocalFileTime(time, &local) || !Sys.FileTimeToSystemTime(&local, &t))
        return "";
    return FormatNumber(t.wYear) + "/" + TwoDigitText(t.wMonth) + "/" + TwoDigitText(t.wDay) + " "
         + FormatNumber(t.wHour) + ":" + TwoDigitText(t.wMinute) + ":" + TwoDigitText(t.wSecond);
}
