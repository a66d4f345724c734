// Menus as text, to compare what the program built.
#include "tests/MenuText.h"

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

std::string MenuText(HMENU menu)
{
    std::string out;
    DescribeMenu(menu, 0, out);
    return out;
}
