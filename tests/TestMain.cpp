// Test runner: checks the code page first, then hands over to GoogleTest.
#include "tests/TestMain.h"

#include <windows.h>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>

std::string EmulatedWindows;
bool ExpectWow64;

static const EmulatedVersion Versions[] = {
    {"win95", 4, 0, 950, "", "Windows 95"},
    {"win98", 4, 10, 2222, " A ", "Windows 98"},
    {"winme", 4, 90, 3000, " ", "Windows Me"},
    {"nt351", 3, 51, 1057, "Service Pack 5", "Windows NT 3.51"},
    {"nt40", 4, 0, 1381, "Service Pack 6a", "Windows NT 4.0"},
    {"win2k", 5, 0, 2195, "Service Pack 4", "Windows 2000"},
    {"winxp", 5, 1, 2600, "Service Pack 3", "Windows XP"},
    {"win2003", 5, 2, 3790, "Service Pack 2", "Windows Server 2003"},
    {"vista", 6, 0, 6002, "Service Pack 2", "Windows Vista"},
    {"win7", 6, 1, 7601, "Service Pack 1", "Windows Vista"},
    {"win8", 6, 2, 9200, "", "Windows Vista"},
    {"win10", 6, 2, 9200, "", "Windows Vista"},
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
