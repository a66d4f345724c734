// Free space of a drive, as report text.
#include "probes/DriveSpace.h"

#include "calls/WindowsCalls.h"
#include "probes/WindowsVersion.h"
#include "text/NumberText.h"
#include "text/Text.h"

namespace {

// Fails critical errors (no medium, drive not ready) back to the caller instead of asking the
// user, until the scope ends.
class CriticalErrorsFailed {
public:
    CriticalErrorsFailed() : saved_(Sys.SetErrorMode(SEM_FAILCRITICALERRORS)) {}
    ~CriticalErrorsFailed() { Sys.SetErrorMode(saved_); }

private:
    UINT saved_;
};

// The first Windows 95 has only the old call, whose figures stop at 2 GB.
bool UseOldCall()
{
    return TextEquals(WindowsName(), "Windows 95") || !Sys.GetDiskFreeSpaceExA;
}

bool FreeBytes(const std::string& root, ULONGLONG& bytes)
{
    CriticalErrorsFailed scope;
    if (UseOldCall()) {
        DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
        if (!Sys.GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector,
                                  &freeClusters, &totalClusters))
            return false;
        bytes = (ULONGLONG)sectorsPerCluster * bytesPerSector * freeClusters;
        return true;
    }
    // the caller's figure honours a disk quota; the volume's total free bytes would not
    ULARGE_INTEGER available = {}, total = {}, totalFree = {};
    if (!Sys.GetDiskFreeSpaceExA(root.c_str(), &available, &total, &totalFree))
        return false;
    bytes = available.QuadPart;
    return true;
}

} // namespace

std::string DriveFreeBytesText(const std::string& root)
{
    ULONGLONG bytes = 0;
    if (!FreeBytes(root, bytes))
        return "";
    return FormatNumber((double)bytes);
}
