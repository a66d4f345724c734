// Menus as text, to compare what the program built.
#pragma once
#include <windows.h>
#include <string>

// One line per item: its text and command id, or "----" for a separator, with any other type
// or state; a pop-up's items follow it, indented.
std::string MenuText(HMENU menu);
