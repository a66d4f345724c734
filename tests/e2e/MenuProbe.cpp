// Menu probe DLL: describes the menu bar of a window of the process it is loaded into.
#include "tests/e2e/MenuProbe.h"

#include <algorithm>
#include <cstring>
#include <string>

static void DescribeMenu(HMENU menu, int depth, std::string& out)
{
    int count = GetMenuItemCount(menu);
    if (count < 0) {
        out += "(unreadable menu)\n";
        return;
    }
    for (int i = 0; i < count; ++i) {
        char text[256] = "";
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_TYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STATE;
        item.dwTypeData = text;
        item.cch = sizeof text - 1;
        out.append(depth * 2, ' ');
        if (!GetMenuItemInfoA(menu, i, TRUE, &item)) {
            out += "(unreadable item)\n";
            continue;
        }
        if (item.fType & MFT_SEPARATOR) {
            out += "----";
        } else {
            out += text;
            if (!item.hSubMenu)
                out += " -> " + std::to_string(item.wID);
        }
        if (item.fType & ~(MFT_SEPARATOR | MFT_STRING))
            out += " (type " + std::to_string(item.fType) + ")";
        if (item.fState & (MFS_DISABLED | MFS_GRAYED))
            out += " (disabled)";
        if (item.fState & MFS_CHECKED)
            out += " (checked)";
        out += "\n";
        if (item.hSubMenu)
            DescribeMenu(item.hSubMenu, depth + 1, out);
    }
}

static void Probe()
{
    HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, MENU_PROBE_MAPPING);
    if (!mapping)
        return;
    auto* shared = static_cast<MenuProbeShared*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
    if (shared) {
        std::string out;
        HMENU bar = GetMenu(reinterpret_cast<HWND>(static_cast<ULONG_PTR>(shared->window)));
        if (bar)
            DescribeMenu(bar, 0, out);
        else
            out = "(no menu bar)\n";
        out.resize(std::min(out.size(), sizeof shared->text - 1));
        memcpy(shared->text, out.c_str(), out.size() + 1);
        InterlockedExchange(&shared->done, 1);
        UnmapViewOfFile(shared);
    }
    CloseHandle(mapping);
}

extern "C" __declspec(dllexport) LRESULT CALLBACK MenuProbeHook(int code, WPARAM wParam, LPARAM lParam)
{
    static LONG probed;
    if (code == HC_ACTION && InterlockedExchange(&probed, 1) == 0)
        Probe();
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
