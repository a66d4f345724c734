// The report text: notice, Windows and screen facts, drives and component files.
#pragma once
#include <windows.h>
#include <string>

// The whole report; every line, blank ones included, ends with CR LF.
std::string ComposeReportText();

// Composes the report into the report edit control of mainWindow.
void ComposeReport(HWND mainWindow);

// Stamp parts of one local time reading: "2009/05/03" and "08:07:06".
std::string CurrentDateText(const SYSTEMTIME& now);
std::string CurrentTimeText(const SYSTEMTIME& now);
