// Reading a file's fixed version and its times, from made-up answers.
#include "probes/ComponentFile.h"
#include "tests/FakeWindows.h"

#include "calls/WindowsCalls.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

const char ShellFile[] = "C:\\WINDOWS\\system32\\Shell32.dll";
const char Font[] = "C:\\WINDOWS\\Fonts\\Q_SegA.TTF";

class ComponentFileTest : public ::testing::Test {
protected:
    void SetUp() override { InstallFakeWindows(); }
    void TearDown() override { RemoveFakeWindows(); }

    void AddFile(const char* path, FakeFile::Kind kind, WORD a = 0, WORD b = 0, WORD c = 0, WORD d = 0)
    {
        FakeFile file = {path, Time(2009, 4, 29, 9, 5, 7), kind, {a, b, c, d}};
        Fake.files.push_back(file);
    }

    // A record that already holds 7.7.7.7 from an earlier file.
    static ComponentFile Holding7777()
    {
        ComponentFile record = {};
        record.fixedInfo.dwFileVersionMS = 0x00070007;
        record.fixedInfo.dwFileVersionLS = 0x00070007;
        return record;
    }
};

} // namespace

TEST_F(ComponentFileTest, ReadsTheFileVersion)
{
    ComponentFile record = {};
    EXPECT_EQ("0.0.0.0", VersionText(record));
    EXPECT_EQ(ProbeVersionRead, ProbeComponent(record, ShellFile));
    EXPECT_EQ("6.0.1000.1", VersionText(record));
    EXPECT_EQ(0xFEEF04BDu, record.fixedInfo.dwSignature);
    EXPECT_EQ(sizeof(VS_FIXEDFILEINFO), record.fixedInfoLength);
    EXPECT_EQ(0, Fake.openSearches);

    AddFile("C:\\x\\edge.dll", FakeFile::Versioned, 65535, 0, 65535, 0);
    EXPECT_EQ(ProbeVersionRead, ProbeComponent(record, "c:\\X\\EDGE.DLL"));
    EXPECT_EQ("65535.0.65535.0", VersionText(record));
}

TEST_F(ComponentFileTest, FailuresLeaveTheVersionAsItWas)
{
    AddFile("C:\\x\\plain.txt", FakeFile::NoVersionResource);
    AddFile("C:\\x\\broken.dll", FakeFile::UnreadableVersion, 1, 1, 1, 1);
    AddFile("C:\\x\\short.dll", FakeFile::ShortRootBlock, 1, 1, 1, 1);
    static const struct { const char* path; WORD result; } rows[] = {
        {"C:\\x\\missing.dll", ProbeNotFound},
        {"C:\\x\\plain.txt", ProbeNoVersion},
        {"C:\\x\\broken.dll", ProbeUnreadable},
        {"C:\\x\\short.dll", ProbeUnreadable},
    };
    for (const auto& row : rows) {
        ComponentFile record = Holding7777();
        EXPECT_EQ(row.result, ProbeComponent(record, row.path)) << row.path;
        EXPECT_EQ("7.7.7.7", VersionText(record)) << row.path;
        EXPECT_EQ(0, Fake.openSearches) << row.path;
    }
}

TEST_F(ComponentFileTest, RootBlockOutsideTheBlockIsUnreadable)
{
    Sys.VerQueryValueA = [](LPCVOID, LPCSTR, LPVOID* value, PUINT length) WINAPI -> BOOL {
        static VS_FIXEDFILEINFO elsewhere = {};
        *value = &elsewhere;
        *length = sizeof(elsewhere);
        return TRUE;
    };
    ComponentFile record = Holding7777();
    EXPECT_EQ(ProbeUnreadable, ProbeComponent(record, ShellFile));
    EXPECT_EQ("7.7.7.7", VersionText(record));
}

TEST_F(ComponentFileTest, BlockTooLargeToAllocateIsUnreadable)
{
    if (sizeof(void*) != 4)
        GTEST_SKIP() << "only a 32-bit process is sure to fail a 4 GB allocation";
    Sys.GetFileVersionInfoSizeA = [](LPCSTR, LPDWORD) WINAPI -> DWORD { return 0xFFFFFFF0u; };
    Sys.GetFileVersionInfoA = [](LPCSTR, DWORD, DWORD, LPVOID) WINAPI -> BOOL {
        ADD_FAILURE() << "read into a block that was never allocated";
        return FALSE;
    };
    ComponentFile record = Holding7777();
    EXPECT_EQ(ProbeUnreadable, ProbeComponent(record, ShellFile));
    EXPECT_EQ("7.7.7.7", VersionText(record));
}

TEST_F(ComponentFileTest, OneRecordServesManyProbes)
{
    ComponentFile record = {};
    EXPECT_EQ(ProbeVersionRead, ProbeComponent(record, ShellFile));
    const char* firstBlock = record.versionBlock.bytes.get();
    EXPECT_EQ(ProbeNoVersion, ProbeComponent(record, Font));
    EXPECT_EQ("6.0.1000.1", VersionText(record));
    EXPECT_EQ(0u, record.versionInfoSize);
    EXPECT_EQ(ProbeVersionRead, ProbeComponent(record, "C:\\WINDOWS\\system32\\Kernel32.dll"));
    EXPECT_EQ("5.1.1000.2", VersionText(record));
    EXPECT_NE(firstBlock, nullptr);
    EXPECT_EQ(record.fixedInfoPointer,
              (const VS_FIXEDFILEINFO*)(record.versionBlock.bytes.get() + 40));
}

TEST_F(ComponentFileTest, FileTimeTextPicksTheKind)
{
    static const struct { int kind; const char* text; } rows[] = {
        {FileCreationTime, "2001/04/29 9:05:07"},
        {FileLastAccessTime, "2002/04/29 9:05:07"},
        {FileLastWriteTime, "2009/04/29 9:05:07"},
        {0, ""},
        {4, ""},
        {-1, ""},
    };
    FakeFile file = {"C:\\x\\timed.dll", Time(2009, 4, 29, 9, 5, 7), FakeFile::Versioned, {}};
    Fake.files.push_back(file);
    for (const auto& row : rows)
        EXPECT_EQ(row.text, FileTimeText("C:\\x\\timed.dll", row.kind)) << "kind " << row.kind;
    EXPECT_EQ(0, Fake.openSearches);
    EXPECT_EQ("", FileTimeText("C:\\x\\missing.dll", FileLastWriteTime));
}

TEST_F(ComponentFileTest, FileTimeTextPadsAllButYearAndHour)
{
    static const struct { SYSTEMTIME time; const char* text; } rows[] = {
        {Time(2008, 12, 31, 23, 59, 0), "2008/12/31 23:59:00"},
        {Time(2009, 1, 1, 0, 0, 0), "2009/01/01 0:00:00"},
        {Time(1601, 1, 1, 0, 0, 0), "1601/01/01 0:00:00"},
        {Time(2009, 9, 9, 9, 9, 9), "2009/09/09 9:09:09"},
        {Time(2009, 10, 10, 10, 10, 10), "2009/10/10 10:10:10"},
    };
    for (const auto& row : rows) {
        Fake.files = {{Font, row.time, FakeFile::NoVersionResource, {}}};
        EXPECT_EQ(row.text, FileTimeText(Font, FileLastWriteTime));
    }
}

TEST_F(ComponentFileTest, FailedConversionGivesEmptyText)
{
    Sys.FileTimeToLocalFileTime = [](const FILETIME*, LPFILETIME) WINAPI -> BOOL { return FALSE; };
    EXPECT_EQ("", FileTimeText(Font, FileLastWriteTime));
    InstallFakeWindows();
    Sys.FileTimeToSystemTime = [](const FILETIME*, LPSYSTEMTIME) WINAPI -> BOOL { return FALSE; };
    EXPECT_EQ("", FileTimeText(Font, FileLastWriteTime));
    EXPECT_EQ(0, Fake.openSearches);
}
