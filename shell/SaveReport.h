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
