// What the test harness tells the tests about the Windows they run on.
#pragma once
#include <string>

// The Windows version Wine was told to present (--windows=NAME), or empty when not given.
extern std::string EmulatedWindows;

// Whether the tests run as a 32-bit program on 64-bit Windows (--wow64).
extern bool ExpectWow64;

// What GetVersionExA answers under one of Wine's Windows versions, and the edition's name.
struct EmulatedVersion {
    const char* wine;
    long major, minor, build;
    const char* servicePack;
    const char* name;
};

// The row for EmulatedWindows, or null when none was given or it is unknown.
const EmulatedVersion* ExpectedVersion();
