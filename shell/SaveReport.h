// Saving the report as a text file the user names.
#pragma once
#include <windows.h>
#include <string>

// Asks for a file name and writes the report edit control's text there, byte for byte.
void SaveReport();

// The standard save (save = true) or open dialog; the chosen path, or the empty text when
// cancelled. The default extension is not applied: a name is used as typed. Where Windows has
// no such dialog, says so in an error box over owner and gives the empty text.
std::string AskFileName(HWND owner, bool save, const std::string& filter,
                        const std::string& defaultExtension, const std::string& title);

enum SaveStatus {
    SaveDone,        // the file holds the whole text, and nothing else is left behind
    SaveOpenFailed,  // the file could not be opened or made; it holds its old bytes
    SaveWriteFailed, // writing or putting the text in place failed
};

// Writes text to path. Whatever fails, the file at path holds either its old bytes, unchanged, or
// the whole text, never anything else, and the old bytes are not lost: only when Windows refuses
// both to finish and to undo (an old file that cannot come back from under its temporary name, a
// temporary copy that cannot be removed) may they lie beside it under another name. The text goes
// to a new file beside path, which replaces the old one once complete; where that cannot be done
// an existing file is rewritten in place, keeping its old bytes until the whole text fits.
// Read-only, hidden and system files and folders are refused, as Windows refuses to create a file
// over them.
SaveStatus WriteReportFile(const std::string& path, const std::string& text);
