// Saving the report as a text file the user names.
#pragma once
#include <windows.h>
#include <string>

// Asks for a file name and writes the report edit control's text there, byte for byte.
void SaveReport();

// The standard save (save = true) or open dialog; the chosen path, or the empty text when
// cancelled. The default extension is not applied: a name is used as typed.
std::string AskFileName(HWND owner, bool save, const std::string& filter,
                        const std::string& defaultExtension, const std::string& title);

enum SaveStatus {
    SaveDone,
    SaveOpenFailed,  // the file could not be created or put in place
    SaveWriteFailed, // writing the bytes failed; the old file is still there
};

// Writes text to path without ever leaving a half-written file in its place: the bytes go
// to a new file beside it, which replaces the old one only once complete. Where that cannot be
// done (no new file can be made in the folder, or the old one cannot be replaced) the text is
// written straight into path, as a plain save would.
SaveStatus WriteReportFile(const std::string& path, const std::string& text);
