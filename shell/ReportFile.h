// Writing the report's text into the file the user chose, so that a failed save costs nothing.
#pragma once
#include <string>

enum SaveStatus {
    SaveDone,        // the file holds the whole text, on the disk
    SaveOpenFailed,  // the file could not be opened to write the text; it is as it was
    SaveWriteFailed, // writing the text failed; the file holds its old bytes (or, new, is not there)
};

// Writes text to path, keeping one promise on every path:
// - wherever a plain overwrite (CreateFileA with CREATE_ALWAYS, then WriteFile) would leave the
//   whole text in the file, so does this, and the text is on the disk before success is told;
// - a file the plain overwrite would refuse is refused too, and left exactly as it was: a
//   read-only, hidden or system file, a folder, one another program holds open, and one whose
//   rights do not let it be written, even where the folder would let it be replaced;
// - otherwise the file keeps its old bytes and its old length, or a new one is not made. Only
//   where Windows refuses both a write and its undo may its bytes differ, and only where it
//   refuses to set the length as well may its length. A file whose rights let it be written but
//   not read is saved as the plain overwrite saves it, but its old bytes cannot be read to be
//   given back: a failed write leaves its old length, with as much of the text as was written;
// - nothing but the chosen file is written: no copy is made beside it, so none can be left in a
//   folder that lets files be made but not removed. A new file that could not be written whole
//   is removed, or where Windows refuses that, emptied;
// - an existing file is rewritten where it is, so it stays the same file: its other hard links
//   see the text, and its rights, owner, streams and compression stay.
SaveStatus WriteReportFile(const std::string& path, const std::string& text);
