// Times the report's composition and each kind of probe on the Windows it runs on, and prints
// the median of each. usage: report_benchmark [runs] [--print]
#include "probes/ComponentFile.h"
#include "probes/DriveSpace.h"
#include "probes/WindowsVersion.h"
#include "report/ReportComposer.h"
#include "tests/Cp932.h"

#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

static double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return (to.QuadPart - from.QuadPart) * 1000.0 / frequency.QuadPart;
}

static double MedianMs(int runs, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        work();
        QueryPerformanceCounter(&end);
        times.push_back(Milliseconds(start, end));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

int main(int argc, char** argv)
{
    int runs = 50;
    bool print = false;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--print") == 0)
            print = true;
        else
            runs = std::max(1, atoi(argv[i]));
    }
    QueryWindowsVersion();
    std::string report = ComposeReportText(); // warm-up: loads version.dll and the like
    if (print)
        fputs(Utf8FromCp932(report).c_str(), stdout);

    std::string system = SystemDirectory() + "\\";
    std::vector<std::string> files = {system + "PKP3RES.dll", system + "Shell32.dll",
                                      system + "Kernel32.dll", system + "VB6JP.dll",
                                      system + "MSFLXGRD.ocx", WindowsDirectory() + "\\Fonts\\Q_SegA.TTF"};

    double compose = MedianMs(runs, [] { ComposeReportText(); });
    double drives = MedianMs(runs, [] {
        for (char letter = 'A'; letter <= 'Z'; ++letter)
            DriveFreeBytesText(std::string(1, letter) + ":");
    });
    double probes = MedianMs(runs, [&] {
        ComponentFile record = {};
        for (const std::string& file : files)
            ProbeComponent(record, file);
    });
    double times = MedianMs(runs, [&] {
        for (const std::string& file : files)
            FileTimeText(file, FileLastWriteTime);
    });
    double identity = MedianMs(runs, [] {
        WindowsName();
        SystemDirectory();
        WindowsDirectory();
        SpecialFolderPath(0);
    });

    printf("median of %d runs, in milliseconds\n", runs);
    printf("  whole report (26 drive letters, 20 files)  %8.3f\n", compose);
    printf("  DriveFreeBytesText, per drive letter       %8.3f\n", drives / 26);
    printf("  ProbeComponent, per file                   %8.3f\n", probes / files.size());
    printf("  FileTimeText, per file                     %8.3f\n", times / files.size());
    printf("  Windows name and directories, together     %8.3f\n", identity);
    return 0;
}
