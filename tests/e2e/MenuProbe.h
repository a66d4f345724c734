// What the driver and the menu probe DLL share: the menus of another process cannot be read
// under Wine, so the probe reads them from inside the program, called there by a message hook.
#pragma once
#include <windows.h>

#define MENU_PROBE_MAPPING "PokopeE2EMenuProbe"
#define MENU_PROBE_HOOK "MenuProbeHook"

struct MenuProbeShared {
    ULONGLONG window; // the window whose menu bar to read, set by the driver
    LONG done;        // set by the probe once text is complete
    char text[4000];  // one line per item, pop-up items indented below their menu
};
