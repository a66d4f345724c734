// The Windows versions Wine presents, each with what GetVersionExA then answers (major, minor,
// build, service pack) and the edition the report names; win10 is each test prefix's own. The
// build reads the names from here too (tests/CMakeLists.txt), for the tests run under each.
#pragma once

#define WINE_WINDOWS(X)                                                                            \
    X(win95, 4, 0, 950, "", "Windows 95")                                                          \
    X(win98, 4, 10, 2222, " A ", "Windows 98")                                                     \
    X(winme, 4, 90, 3000, " ", "Windows Me")                                                       \
    X(nt351, 3, 51, 1057, "Service Pack 5", "Windows NT 3.51")                                     \
    X(nt40, 4, 0, 1381, "Service Pack 6a", "Windows NT 4.0")                                       \
    X(win2k, 5, 0, 2195, "Service Pack 4", "Windows 2000")                                         \
    X(winxp, 5, 1, 2600, "Service Pack 3", "Windows XP")                                           \
    X(win2003, 5, 2, 3790, "Service Pack 2", "Windows Server 2003")                                \
    X(vista, 6, 0, 6002, "Service Pack 2", "Windows Vista")                                        \
    X(win7, 6, 1, 7601, "Service Pack 1", "Windows Vista")                                         \
    X(win8, 6, 2, 9200, "", "Windows Vista")                                                       \
    X(win10, 6, 2, 9200, "", "Windows Vista")
