// The program's window classes, by which tests and tools find its windows from outside.
#pragma once

const char MainWindowClass[] = "NORMAL0";
const char AboutWindowClass[] = "NORMALDLG";
