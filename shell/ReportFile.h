// Writing the report's text into the file the user chose, so that a failed save costs nothing.
#pragma once
#include <string>

enum SaveStatus {
    SaveDone,        // the file holds the whole text, and nothing else is left behind
    SaveOpenFailed,  // nothing could be opened to write the text; the file is as it was
    SaveWriteFailed, // writing the text failed; the file holds its old bytes (or, new, is not there)
};

// Writes text to path, keeping one promise on every path:
// - wherever a plain overwrite (CreateFileA with CREATE_ALWAYS, then WriteFile) would leave the
//   whole text in the file, so does this;
// - otherwise the file keeps its old bytes unchanged, or a new one is not made; only when
//   Windows refuses both a write and its undo may it hold anything else;
// - nothing else is left in the folder; where Windows refuses to remove a file the save made,
//   it is emptied, so no copy of the report stays;
// - an existing file is rewritten where it is, so it stays the same file: its other hard links
//   see the text, and its security, streams and compression stay. Only one that cannot be
//   opened to be read and written is replaced by a finished copy, on the NT family.
// Read-only, hidden and system files, folders and files another program holds open are
// refused, as the plain overwrite refuses them.
SaveStatus WriteReportFile(const std::string& path, const std::string& text);
