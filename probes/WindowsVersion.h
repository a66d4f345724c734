// Which Windows this is, and where it keeps its directories.
#pragma once
#include <windows.h>
#include <string>

// Filled once at start-up by QueryWindowsVersion, read-only afterwards.
extern OSVERSIONINFOA WindowsVersion;

void QueryWindowsVersion();

long MajorVersion();
long MinorVersion();
// On the 9x platform the high word carries the version, so only the low word is the build.
long BuildNumber();
std::string ServicePackText();
std::string WindowsName();

std::string SystemDirectory();
std::string WindowsDirectory();
std::string SpecialFolderPath(int csidl);
