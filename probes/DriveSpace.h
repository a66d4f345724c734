// Free space of a drive, as report text.
#pragma once
#include <string>

// The free bytes of the drive named by root ("C:"), or the empty text when Windows gives no
// answer. Never lets Windows show its critical-error box for an empty drive.
std::string DriveFreeBytesText(const std::string& root);
