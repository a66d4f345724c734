// The program's entry point: the static initialisers, WinMain, and its code to ExitProcess.
#include <windows.h>

typedef void (*Initialiser)();
// The linker's list of static initialisers: a count or -1, the entries, then a null.
extern "C" Initialiser __CTOR_LIST__[];

// Only the linker's entry field names it, which the link-time optimiser does not read: kept, or
// the optimiser drops the whole program reached from it.
extern "C" __attribute__((used, externally_visible)) void WinMainCRTStartup()
{
    size_t count = 0;
    while (__CTOR_LIST__[count + 1])
        ++count;
    // last to first, as the toolchain's own start-up runs them
    for (size_t i = count; i > 0; --i)
        __CTOR_LIST__[i]();
    // The program reads no command line, and its main window is shown by its own style.
    ExitProcess((UINT)WinMain(GetModuleHandleA(NULL), NULL, const_cast<char*>(""), SW_SHOWDEFAULT));
}
