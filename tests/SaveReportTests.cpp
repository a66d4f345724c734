// Saving over what may not be replaced, and on a disk with no room left, through the real calls.
#include "shell/ReportFile.h"

#include "calls/WindowsCalls.h"
#include "tests/TestFiles.h"

#include <windows.h>
#include <gtest/gtest.h>

namespace {

const std::string Report = "☆もふりん堂HPへ\r\n表示ソフト\r\n\r\n" + std::string(60, '-') + "\r\n\r\n";

typedef std::vector<std::string> Names;

} // namespace

// Windows refuses to create a file over a read-only, hidden or system file and over a folder,
// and another program may hold the file open; each stays as it was, with the open-failure box,
// also when what is there cannot be asked about.
TEST(SaveReport, WhatMayNotBeReplacedStaysAsItWas)
{
    const DWORD notHeld = ~0u;
    static const struct {
        const char* what;
        DWORD attribute;
        DWORD heldSharing; // how another program has it open
    } targets[] = {
        {"read-only file", FILE_ATTRIBUTE_READONLY, notHeld},
        {"hidden file", FILE_ATTRIBUTE_HIDDEN, notHeld},
        {"system file", FILE_ATTRIBUTE_SYSTEM, notHeld},
        {"folder", FILE_ATTRIBUTE_DIRECTORY, notHeld},
        {"file held open", FILE_ATTRIBUTE_NORMAL, 0},
        {"file held open, others may read", FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ},
        {"file held open, others may write", FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ | FILE_SHARE_WRITE},
        {"file in a folder that is not there", 0, notHeld},
    };
    auto unknown = [](LPCSTR) WINAPI -> DWORD {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_FILE_ATTRIBUTES;
    };
    for (decltype(Sys.GetFileAttributesA) getFileAttributes : {RealWindowsCalls().GetFileAttributesA, (decltype(Sys.GetFileAttributesA))unknown}) {
        for (const auto& target : targets) {
            SCOPED_TRACE(std::string(target.what) + (getFileAttributes == unknown ? ", attributes unknown" : ""));
            std::string folder = FreshFolder("save-refused");
            std::string path = folder + (target.attribute ? "\\report.txt" : "\\absent\\report.txt");
            if (target.attribute == FILE_ATTRIBUTE_DIRECTORY) {
                ASSERT_TRUE(CreateDirectoryA(path.c_str(), NULL));
            } else if (target.attribute) {
                WriteAll(path, "old");
                ASSERT_TRUE(SetFileAttributesA(path.c_str(), target.attribute));
            }
            HANDLE held = target.heldSharing == notHeld ? INVALID_HANDLE_VALUE
                        : CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, target.heldSharing, NULL, OPEN_EXISTING, 0, NULL);
            ASSERT_EQ(target.heldSharing == notHeld, held == INVALID_HANDLE_VALUE);
            Sys = RealWindowsCalls();
            Sys.GetFileAttributesA = getFileAttributes;
            EXPECT_EQ(SaveOpenFailed, WriteReportFile(path, Report));
            Sys = RealWindowsCalls();
            if (held != INVALID_HANDLE_VALUE)
                CloseHandle(held);

            DWORD special = target.attribute & ~FILE_ATTRIBUTE_NORMAL;
            EXPECT_EQ(special, GetFileAttributesA(path.c_str()) & special) << "no longer so";
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            EXPECT_EQ(target.attribute && target.attribute != FILE_ATTRIBUTE_DIRECTORY ? Names{"report.txt"} : Names{}, FilesIn(folder));
            if (target.attribute != FILE_ATTRIBUTE_DIRECTORY)
                EXPECT_EQ(target.attribute ? "old" : "(no file)", ReadAll(path));
        }
    }
}

// An existing file is written where it is: another name of the same file (a hard link) reads the
// new text too, and no third name appears.
TEST(SaveReport, AFileWithAnotherNameStaysOneFile)
{
    typedef BOOL(WINAPI * CreateHardLinkSig)(LPCSTR, LPCSTR, LPSECURITY_ATTRIBUTES);
    auto createHardLink = (CreateHardLinkSig)(void*)GetProcAddress(GetModuleHandleA("kernel32.dll"), "CreateHardLinkA");
    ASSERT_TRUE(createHardLink) << "no CreateHardLinkA";
    std::string folder = FreshFolder("save-linked");
    ASSERT_TRUE(WriteAll(folder + "\\report.txt", std::string(5000, 'o')));
    ASSERT_TRUE(createHardLink((folder + "\\other name.txt").c_str(), (folder + "\\report.txt").c_str(), NULL));
    Sys = RealWindowsCalls();
    EXPECT_EQ(SaveDone, WriteReportFile(folder + "\\report.txt", Report));
    EXPECT_EQ(Report, ReadAll(folder + "\\other name.txt"));
    EXPECT_EQ(Report, ReadAll(folder + "\\report.txt"));
    EXPECT_EQ((Names{"other name.txt", "report.txt"}), FilesIn(folder));
}

// Run under tests/small-drive, which makes drive R: a small disk holding R:\report.txt, with
// no room for a further file: the save goes straight into the file, and keeps the old file
// whole when the new text does not fit.
TEST(NoRoom, SaveIsWrittenStraightIntoTheFileAndKeepsItWhenTheTextDoesNotFit)
{
    Sys = RealWindowsCalls();
    const std::string path = "R:\\report.txt";
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str())) << "run this under tests/small-drive";
    HANDLE probe = CreateFileA("R:\\probe.txt", GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL);
    ASSERT_EQ(INVALID_HANDLE_VALUE, probe) << "a new file could be made on R:";

    std::string old(100000, 'o'), big;
    while (big.size() < 400000)
        big += Report;
    WriteAll(path, old);
    ASSERT_EQ(old, ReadAll(path));
    EXPECT_EQ(SaveWriteFailed, WriteReportFile(path, big));
    EXPECT_TRUE(ReadAll(path) == old) << "the old file is not whole: " << ReadAll(path).size() << " bytes";

    std::string fits = Report + std::to_string(GetTickCount()) + "\r\n";
    EXPECT_EQ(SaveDone, WriteReportFile(path, fits));
    EXPECT_EQ(fits, ReadAll(path));
    EXPECT_EQ(Names{"report.txt"}, FilesIn("R:"));
}

// Run by tests/other-user, as a user whose file rights Wine enforces: the save does what the plain
// overwrite does beside it. It refuses a file that may be read but not written, though the folder
// would let it be replaced. (Wine opens nothing that may not be read, as every open asks to read
// the attributes, so there the plain overwrite refuses the drop box's file too; Windows grants
// that to whoever may list the folder, and the fault table's ground answers so.)
TEST(OtherUser, SavesWhereThePlainOverwriteSavesAndRefusesWhatItRefuses)
{
    Sys = RealWindowsCalls();
    for (std::string folder : {"C:\\rights\\replaceable", "C:\\rights\\dropbox"}) {
        HANDLE plain = CreateFileA((folder + "\\twin.txt").c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        DWORD written = 0;
        bool saved = plain != INVALID_HANDLE_VALUE && WriteFile(plain, Report.data(), Report.size(), &written, NULL)
                  && written == Report.size();
        CloseHandle(plain);
        ASSERT_TRUE(!saved || folder.find("dropbox") != std::string::npos) << "run this under tests/other-user";
        EXPECT_EQ(saved ? SaveDone : SaveOpenFailed, WriteReportFile(folder + "\\report.txt", Report)) << folder;
    }
}
