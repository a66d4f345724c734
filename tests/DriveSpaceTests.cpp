// Free space of a drive: which call, which figure, and the error mode around it.
#include "probes/DriveSpace.h"
#include "tests/FakeWindows.h"

#include "calls/WindowsCalls.h"
#include "probes/WindowsVersion.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

class DriveSpaceTest : public ::testing::Test {
protected:
    void SetUp() override { InstallFakeWindows(); }
    void TearDown() override { RemoveFakeWindows(); }

    void PresentAs(DWORD major, DWORD minor, DWORD platform, const char* servicePack)
    {
        Fake.version.dwMajorVersion = major;
        Fake.version.dwMinorVersion = minor;
        Fake.version.dwPlatformId = platform;
        strcpy(Fake.version.szCSDVersion, servicePack);
        RequeryWindowsVersion();
    }
};

const UINT CallerMode = SEM_NOOPENFILEERRORBOX | SEM_NOGPFAULTERRORBOX;

} // namespace

TEST_F(DriveSpaceTest, OnlyTheFirstWindows95UsesTheOldCallTheRestTheCallersFigureFromTheNew)
{
    static const struct { DWORD major, minor, platform; const char* servicePack; bool old; } rows[] = {
        {4, 0, VER_PLATFORM_WIN32_WINDOWS, "", true},                // Windows 95
        {4, 0, VER_PLATFORM_WIN32_WINDOWS, "B", false},              // Windows 95 OSR2
        {4, 10, VER_PLATFORM_WIN32_WINDOWS, "", false},              // Windows 98
        {4, 3, VER_PLATFORM_WIN32_WINDOWS, "", false},               // no name
        {4, 0, VER_PLATFORM_WIN32_NT, "", false},                    // Windows NT 4.0
        {5, 1, VER_PLATFORM_WIN32_NT, "", false},
    };
    for (const auto& row : rows) {
        InstallFakeWindows();
        PresentAs(row.major, row.minor, row.platform, row.servicePack);
        Fake.drives = {{"C:", 12345, 99999, 8, 512, 1000}}; // 12345 of 99999 free bytes to this caller
        EXPECT_EQ(row.old ? "4096000" : "12345", DriveFreeBytesText("C:")) << WindowsName();
        EXPECT_EQ(std::vector<std::string>{"C:"}, row.old ? Fake.oldDiskCalls : Fake.newDiskCalls) << WindowsName();
        EXPECT_TRUE((row.old ? Fake.newDiskCalls : Fake.oldDiskCalls).empty()) << WindowsName();
    }
}

TEST_F(DriveSpaceTest, OldCallWhereTheNewOneIsMissing)
{
    Sys.GetDiskFreeSpaceExA = nullptr;
    Fake.drives = {{"C:", 12345, 12345, 64, 4096, 0xFFFFFFFF}};
    // 64 x 4096 x 4294967295 needs 64 bits
    EXPECT_EQ("1125899906580480", std::to_string(64ull * 4096 * 0xFFFFFFFFull));
    EXPECT_EQ("1.12589990658048e+015", DriveFreeBytesText("C:"));
    EXPECT_EQ(1u, Fake.oldDiskCalls.size());
}

TEST_F(DriveSpaceTest, FullAndAbsentDrives)
{
    Fake.drives = {{"F:", 0, 0, 8, 512, 0}};
    EXPECT_EQ("0", DriveFreeBytesText("F:"));
    EXPECT_EQ("", DriveFreeBytesText("G:"));
    PresentAs(4, 0, VER_PLATFORM_WIN32_WINDOWS, "");
    EXPECT_EQ("0", DriveFreeBytesText("F:"));
    EXPECT_EQ("", DriveFreeBytesText("G:"));
}

TEST_F(DriveSpaceTest, CriticalErrorsFailOnlyAroundTheCall)
{
    for (bool windows95 : {false, true}) {
        InstallFakeWindows();
        if (windows95)
            PresentAs(4, 0, VER_PLATFORM_WIN32_WINDOWS, "");
        Fake.drives = {{"C:", 1, 1, 1, 1, 1}};
        Fake.errorMode = CallerMode;
        DriveFreeBytesText("C:"); // answers
        EXPECT_EQ(CallerMode, Fake.errorMode);
        DriveFreeBytesText("A:"); // does not
        EXPECT_EQ(CallerMode, Fake.errorMode);
        ASSERT_EQ(2u, Fake.errorModeAtDiskCall.size());
        EXPECT_EQ((UINT)SEM_FAILCRITICALERRORS, Fake.errorModeAtDiskCall[0]);
        EXPECT_EQ((UINT)SEM_FAILCRITICALERRORS, Fake.errorModeAtDiskCall[1]);
    }
}

// The real calls, in the Wine prefix: C: answers, N: points nowhere, R: is not mapped.
TEST(RealDriveSpace, RestoresTheErrorModeAndAnswersForRealDrives)
{
    Sys = RealWindowsCalls();
    UINT before = SetErrorMode(CallerMode);
    std::string c = DriveFreeBytesText("C:");
    UINT afterAnswer = SetErrorMode(CallerMode);
    std::string n = DriveFreeBytesText("N:");
    UINT afterNoAnswer = SetErrorMode(CallerMode);
    std::string r = DriveFreeBytesText("R:");
    UINT afterUnmapped = SetErrorMode(before);
    EXPECT_EQ(CallerMode, afterAnswer);
    EXPECT_EQ(CallerMode, afterNoAnswer);
    EXPECT_EQ(CallerMode, afterUnmapped);
    EXPECT_NE("", c);
    EXPECT_NE("0", c);
    EXPECT_EQ("", n);
    EXPECT_EQ("", r);
}
