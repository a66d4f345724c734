// Menu probe DLL: describes the menu bar of a window of the process it is loaded into.
#include "tests/e2e/MenuProbe.h"

#include "tests/MenuText.h"

#include <algorithm>
#include <cstring>

static void Probe()
{
    HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, MENU_PROBE_MAPPING);
    if (!mapping)
        return;
    auto* shared = static_cast<MenuProbeShared*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
    if (shared) {
        HMENU bar = GetMenu(reinterpret_cast<HWND>(static_cast<ULONG_PTR>(shared->window)));
        std::string out = bar ? MenuText(bar) : "(no menu bar)\n";
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
