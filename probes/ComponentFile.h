// Version and file times of a component file.
#pragma once
#include <windows.h>
#include <cstdlib>
#include <memory>
#include <string>

// A zero-filled buffer that may fail to allocate without ending the program.
struct VersionBlock {
    struct Free {
        void operator()(char* p) const { free(p); }
    };
    std::unique_ptr<char[], Free> bytes;
    size_t size;
};

// One record serves a whole series of probes; start it value-initialised ({}).
struct ComponentFile {
    VS_FIXEDFILEINFO fixedInfo;     // from the last probe that returned ProbeVersionRead
    DWORD versionInfoSize;          // from the last probe that found its file
    WIN32_FIND_DATAA findData;      // from the last lookup
    DWORD sizeHandle;
    VersionBlock versionBlock;      // the whole version resource of the last file read
    const VS_FIXEDFILEINFO* fixedInfoPointer; // into versionBlock
    UINT fixedInfoLength;
};

enum ProbeResult : WORD {
    ProbeNotFound = 0,
    ProbeVersionRead = 1,
    ProbeNoVersion = 2,
    ProbeUnreadable = 4,
};

// Reads the fixed version information of the file at path into record. The record's
// fixedInfo changes only when the result is ProbeVersionRead.
WORD ProbeComponent(ComponentFile& record, const std::string& path);

// The file version held in record, as four numbers joined by ".".
std::string VersionText(const ComponentFile& record);

enum FileTimeKind {
    FileCreationTime = 1,
    FileLastAccessTime = 2,
    FileLastWriteTime = 3,
};

// One of the file's times as local "2009/04/29 9:05:07", or the empty text when the file
// cannot be found, the kind is unknown or the time cannot be converted.
std::string FileTimeText(const std::string& path, int kind);
// The same for a file a lookup has found already.
std::string FoundTimeText(const WIN32_FIND_DATAA& found, int kind);
