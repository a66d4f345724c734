// A made-up Windows for the report's tests: answers chosen by the test, calls recorded.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

struct FakeFile {
    enum Kind { Versioned, NoVersionResource, UnreadableVersion, ShortRootBlock };
    std::string path; // matched without regard to case, as Windows does
    SYSTEMTIME lastWrite;
    Kind kind;
    WORD version[4];
};

struct FakeDrive {
    std::string root;
    ULONGLONG availableBytes; // to the caller, as GetDiskFreeSpaceExA answers
    ULONGLONG totalFreeBytes;
    DWORD sectorsPerCluster, bytesPerSector, freeClusters; // as GetDiskFreeSpaceA answers
};

struct FakeWindows {
    OSVERSIONINFOA version;
    std::string systemDirectory;
    std::string windowsDirectory;
    std::string desktop;
    RECT screen;
    bool screenAnswers;
    SYSTEMTIME now;
    std::vector<FakeDrive> drives;
    std::vector<FakeFile> files;

    // what the code under test did
    UINT errorMode;
    std::vector<std::string> oldDiskCalls;
    std::vector<std::string> newDiskCalls;
    std::vector<UINT> errorModeAtDiskCall;
    int openSearches;
    int localTimeReadings;
    int itemListsHeld;    // from the shell's allocator, not yet freed
    int allocatorsHeld;   // references to the shell's allocator, not yet released
};

extern FakeWindows Fake;

SYSTEMTIME Time(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second);

// Resets Fake to the Windows XP machine of the report's worked example, points Sys at the
// fakes and fills WindowsVersion from them.
void InstallFakeWindows();

// Re-reads WindowsVersion after a test changed Fake.version.
void RequeryWindowsVersion();

// Restores the real calls and the real WindowsVersion.
void RemoveFakeWindows();

// Text with every "\n" turned into CR LF.
std::string Crlf(const std::string& text);
