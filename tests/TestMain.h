// What the test harness tells the tests about the Windows they run on.
#pragma once
#include <string>

// The Windows version Wine was told to present (--windows=NAME), or empty when not given.
extern std::string EmulatedWindows;

// Directory of the Wine fixture files made by the harness (--fixture=DIR), or empty.
extern std::string FixtureDirectory;
