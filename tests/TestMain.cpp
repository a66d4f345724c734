// Test runner: checks the code page first, then hands over to GoogleTest.
#include "tests/TestMain.h"

#include "tests/WindowsVersions.h"

#include <windows.h>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>

std::string EmulatedWindows;
bool ExpectWow64;

static const EmulatedVersion Versions[] = {
#define VERSION_ROW(wine, major, minor, build, servicePack, name) {#wine, major, minor, build, servicePack, name},
    WINE_WINDOWS(VERSION_ROW)
#undef VERSION_ROW
};

const EmulatedVersion* ExpectedVersion()
{
    for (const EmulatedVersion& v : Versions)
        if (EmulatedWindows == v.wine)
            return &v;
    return nullptr;
}

static std::string OptionValue(const char* arg, const char* name)
{
    size_t n = strlen(name);
    return strncmp(arg, name, n) == 0 ? std::string(arg + n) : std::string();
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        std::string value = OptionValue(argv[i], "--windows=");
        if (!value.empty())
            EmulatedWindows = value;
        if (strcmp(argv[i], "--wow64") == 0)
            ExpectWow64 = true;
    }
    UINT acp = GetACP();
    if (acp != 932) {
        fprintf(stderr, "FATAL: the ANSI code page is %u, not 932: run Wine with LC_ALL=ja_JP.UTF-8\n", acp);
        return 2;
    }
    return RUN_ALL_TESTS();
}
