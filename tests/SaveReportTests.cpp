// Writing the report file: exact bytes, replacing safely, and the two kinds of failure.
#include "shell/SaveReport.h"

#include "probes/SystemCalls.h"
#include "tests/TestFiles.h"

#include <windows.h>
#include <cstring>
#include <gtest/gtest.h>

namespace {

const std::string Report = "☆もふりん堂HPへ\r\n表示ソフト\r\n\r\n" + std::string(60, '-') + "\r\n\r\n";

class SaveReportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Sys = RealSystemCalls();
        char temp[MAX_PATH];
        GetTempPathA(sizeof(temp), temp);
        folder_ = std::string(temp) + "save-test-" + std::to_string(GetCurrentProcessId()) + "-"
                + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), NULL)) << folder_;
    }

    void TearDown() override
    {
        Sys = RealSystemCalls();
        for (const std::string& name : Files())
            DeleteFileA((folder_ + "\\" + name).c_str());
        RemoveDirectoryA(folder_.c_str());
    }

    std::vector<std::string> Files() const { return FilesIn(folder_); }

    std::string Path(const std::string& name) const { return folder_ + "\\" + name; }

    std::string folder_;
};

typedef std::vector<std::string> Names;

} // namespace

TEST_F(SaveReportTest, WritesExactlyTheText)
{
    EXPECT_EQ(SaveDone, WriteReportFile(Path("report.txt"), Report));
    EXPECT_EQ(Report, ReadAll(Path("report.txt")));
    EXPECT_EQ(Names{"report.txt"}, Files()) << "nothing else is left behind";
}

TEST_F(SaveReportTest, NameWithoutExtensionIsKept)
{
    EXPECT_EQ(SaveDone, WriteReportFile(Path("report"), Report));
    EXPECT_EQ(Names{"report"}, Files());
}

TEST_F(SaveReportTest, ReplacesTheWholeOldFile)
{
    WriteAll(Path("report.txt"), std::string(10000, 'x'));
    EXPECT_EQ(SaveDone, WriteReportFile(Path("report.txt"), Report));
    EXPECT_EQ(Report, ReadAll(Path("report.txt")));
    EXPECT_EQ(Names{"report.txt"}, Files());
}

TEST_F(SaveReportTest, FolderNamedWithTrailByte5C)
{
    // 表 is 95 5C: cutting the path at that byte would look for a folder that is not there
    std::string inner = Path("表");
    ASSERT_TRUE(CreateDirectoryA(inner.c_str(), NULL));
    std::string path = inner + "\\report.txt";
    EXPECT_EQ(SaveDone, WriteReportFile(path, Report));
    EXPECT_EQ(Report, ReadAll(path));
    DeleteFileA(path.c_str());
    RemoveDirectoryA(inner.c_str());
}

TEST_F(SaveReportTest, MissingFolderCannotBeOpened)
{
    EXPECT_EQ(SaveOpenFailed, WriteReportFile(Path("absent\\report.txt"), Report));
    EXPECT_TRUE(Files().empty());
}

TEST_F(SaveReportTest, FileHeldOpenByAnotherProgramIsLeftAlone)
{
    WriteAll(Path("report.txt"), "old");
    HANDLE held = CreateFileA(Path("report.txt").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(SaveOpenFailed, WriteReportFile(Path("report.txt"), Report));
    CloseHandle(held);
    EXPECT_EQ("old", ReadAll(Path("report.txt")));
    EXPECT_EQ(Names{"report.txt"}, Files());
}

TEST_F(SaveReportTest, FailedWritesKeepTheOldFile)
{
    static const struct { const char* what; decltype(Sys.writeFile) writeFile; decltype(Sys.closeHandle) closeHandle; } rows[] = {
        {"short write",
         [](HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED) WINAPI -> BOOL {
             return WriteFile(file, data, size / 2, written, NULL);
         },
         CloseHandle},
        {"refused write",
         [](HANDLE, LPCVOID, DWORD, LPDWORD written, LPOVERLAPPED) WINAPI -> BOOL {
             *written = 0;
             SetLastError(ERROR_DISK_FULL);
             return FALSE;
         },
         CloseHandle},
        {"failed close", WriteFile,
         [](HANDLE file) WINAPI -> BOOL {
             CloseHandle(file);
             SetLastError(ERROR_DISK_FULL);
             return FALSE;
         }},
    };
    for (const auto& row : rows) {
        WriteAll(Path("report.txt"), "old");
        Sys.writeFile = row.writeFile;
        Sys.closeHandle = row.closeHandle;
        EXPECT_EQ(SaveWriteFailed, WriteReportFile(Path("report.txt"), Report)) << row.what;
        EXPECT_EQ("old", ReadAll(Path("report.txt"))) << row.what;
        EXPECT_EQ(Names{"report.txt"}, Files()) << row.what;
    }
}

// The 9x family answers MoveFileExA with "not implemented".
static BOOL WINAPI MoveFileExNotImplemented(LPCSTR, LPCSTR, DWORD)
{
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

TEST_F(SaveReportTest, WithoutAReplacingMove)
{
    for (auto moveFileEx : {(MoveFileExSig)MoveFileExNotImplemented, (MoveFileExSig)nullptr}) {
        Sys.moveFileEx = moveFileEx;
        EXPECT_EQ(SaveDone, WriteReportFile(Path("new.txt"), Report));
        EXPECT_EQ(Report, ReadAll(Path("new.txt")));
        WriteAll(Path("old.txt"), std::string(5000, 'o'));
        EXPECT_EQ(SaveDone, WriteReportFile(Path("old.txt"), Report));
        EXPECT_EQ(Report, ReadAll(Path("old.txt")));
        EXPECT_EQ((Names{"new.txt", "old.txt"}), Files());
        DeleteFileA(Path("new.txt").c_str());
        DeleteFileA(Path("old.txt").c_str());
    }
}

TEST_F(SaveReportTest, WithoutAReplacingMoveTheOldFileComesBack)
{
    static int moves;
    moves = 0;
    Sys.moveFileEx = MoveFileExNotImplemented;
    // the new file cannot take the old one's place: the third move of the dance fails, and
    // the file cannot be written straight either
    Sys.moveFile = [](LPCSTR from, LPCSTR to) WINAPI -> BOOL {
        if (++moves == 3) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        return MoveFileA(from, to);
    };
    Sys.createFile = [](LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD how,
                        DWORD flags, HANDLE model) WINAPI -> HANDLE {
        if (strstr(path, "report.txt")) {
            SetLastError(ERROR_ACCESS_DENIED);
            return INVALID_HANDLE_VALUE;
        }
        return CreateFileA(path, access, share, security, how, flags, model);
    };
    WriteAll(Path("report.txt"), "old");
    EXPECT_EQ(SaveOpenFailed, WriteReportFile(Path("report.txt"), Report));
    EXPECT_EQ("old", ReadAll(Path("report.txt")));
    EXPECT_EQ(Names{"report.txt"}, Files());
}

TEST_F(SaveReportTest, ReadOnlyHiddenOrSystemFileIsNotReplaced)
{
    // Windows refuses to create a file over them; a replacing move would not
    for (DWORD attribute : {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM}) {
        WriteAll(Path("report.txt"), "old");
        ASSERT_TRUE(SetFileAttributesA(Path("report.txt").c_str(), attribute));
        EXPECT_EQ(SaveOpenFailed, WriteReportFile(Path("report.txt"), Report)) << attribute;
        EXPECT_EQ(attribute, GetFileAttributesA(Path("report.txt").c_str()) & attribute) << attribute;
        SetFileAttributesA(Path("report.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ("old", ReadAll(Path("report.txt"))) << attribute;
        EXPECT_EQ(Names{"report.txt"}, Files()) << attribute;
    }
}

TEST_F(SaveReportTest, FileOthersMayWriteButNotReplaceIsWrittenStraight)
{
    WriteAll(Path("report.txt"), std::string(5000, 'o'));
    HANDLE other = CreateFileA(Path("report.txt").c_str(), GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, other);
    EXPECT_EQ(SaveDone, WriteReportFile(Path("report.txt"), Report));
    // the other program reads what was written into its own file
    std::string seen(Report.size() + 1, '\0');
    DWORD n = 0;
    ReadFile(other, &seen[0], (DWORD)seen.size(), &n, NULL);
    CloseHandle(other);
    EXPECT_EQ(Report, seen.substr(0, n));
    EXPECT_EQ(Names{"report.txt"}, Files());
}

// Run under tests/sealed-folder, which makes C:\sealed a folder where no new file can be made
// while its report.txt may be written.
TEST(SealedFolder, SaveIsWrittenStraightIntoTheFile)
{
    Sys = RealSystemCalls();
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("C:\\sealed\\report.txt")) << "run this under tests/sealed-folder";
    HANDLE probe = CreateFileA("C:\\sealed\\probe.txt", GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL);
    ASSERT_EQ(INVALID_HANDLE_VALUE, probe) << "a new file could be made in C:\\sealed";
    std::string text = Report + std::to_string(GetTickCount()) + "\r\n";
    EXPECT_EQ(SaveDone, WriteReportFile("C:\\sealed\\report.txt", text));
    EXPECT_EQ(text, ReadAll("C:\\sealed\\report.txt"));
}

TEST_F(SaveReportTest, FolderInTheFilesPlaceIsLeftAlone)
{
    std::string inner = Path("report.txt");
    ASSERT_TRUE(CreateDirectoryA(inner.c_str(), NULL));
    EXPECT_EQ(SaveOpenFailed, WriteReportFile(inner, Report));
    EXPECT_TRUE(Files().empty());
    EXPECT_TRUE(RemoveDirectoryA(inner.c_str())) << "still a folder";
}
