// End-to-end test driver: runs the real program under Wine and checks it the way a user would.
// usage: E2EDriver --program=EXE --scratch=DIR [--browser-log=FILE] [gtest options]
// Unix paths are taken through drive Z:.
#include "tests/e2e/Driving.h"

#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>

static bool Option(const char* arg, const char* name, std::string* value)
{
    size_t n = strlen(name);
    if (strncmp(arg, name, n) != 0)
        return false;
    *value = WindowsPath(arg + n);
    return true;
}

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        Option(argv[i], "--program=", &Opt.program);
        Option(argv[i], "--scratch=", &Opt.scratch);
        Option(argv[i], "--browser-log=", &Opt.browserLog);
    }
    ::testing::InitGoogleTest(&argc, argv);
    if (Opt.program.empty() || Opt.scratch.empty()) {
        fprintf(stderr, "usage: E2EDriver --program=EXE --scratch=DIR [--browser-log=FILE]\n");
        return 2;
    }
    if (GetACP() != 932) {
        fprintf(stderr, "FATAL: the ANSI code page is %u, not 932: run Wine with LC_ALL=ja_JP.UTF-8\n", GetACP());
        return 2;
    }
    FreshFolder(Opt.scratch); // the program starts in it
    return RUN_ALL_TESTS();
}
