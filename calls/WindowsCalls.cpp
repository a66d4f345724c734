// The Windows calls whose answers steer the report and the saving, and those that the oldest
// Windows the program runs on lack, in one table that tests can answer for instead.
#include "calls/WindowsCalls.h"

#include <cstddef>
#include <cstring>

namespace {

const char* const DllNames[] = {
#define DLL_NAME(dll) #dll ".dll",
    WINDOWS_DLLS(DLL_NAME)
#undef DLL_NAME
};

// An entry found by name, and where it goes in the table.
struct NamedEntry {
    const char* name;
    unsigned short offset;
    unsigned char dll;
    unsigned char source;
};

// The entries looked up or used when needed: an imported entry's name never appears as text.
const NamedEntry NamedEntries[] = {
#define NAMED_Imported(dll, name)
#define NAMED_LookedUp(dll, name) {#name, offsetof(WindowsCalls, name), Dll_##dll, LookedUp},
#define NAMED_WhenUsed(dll, name) {#name, offsetof(WindowsCalls, name), Dll_##dll, WhenUsed},
#define NAMED_ENTRY(dll, name, source, missing) NAMED_##source(dll, name)
    WINDOWS_CALLS(NAMED_ENTRY)
#undef NAMED_ENTRY
};

void Fill(WindowsCalls& calls, const NamedEntry& entry, HMODULE module)
{
    FARPROC found = module ? GetProcAddress(module, entry.name) : NULL;
    memcpy((char*)&calls + entry.offset, &found, sizeof(found));
}

} // namespace

WindowsCalls RealWindowsCalls()
{
    WindowsCalls calls = {};
#define REAL_Imported(name) calls.name = &::name;
#define REAL_LookedUp(name)
#define REAL_WhenUsed(name)
#define REAL_CALL(dll, name, source, missing) REAL_##source(name)
    WINDOWS_CALLS(REAL_CALL)
#undef REAL_CALL
    // the DLLs looked up in are imported as well, and so loaded already: this only counts them
    for (const NamedEntry& entry : NamedEntries)
        if (entry.source == LookedUp)
            Fill(calls, entry, LoadLibraryA(DllNames[entry.dll]));
    return calls;
}

WindowsCalls Sys = RealWindowsCalls();

HMODULE LoadWhenUsed(Dll dll)
{
    HMODULE library = LoadLibraryA(DllNames[dll]);
    for (const NamedEntry& entry : NamedEntries)
        if (entry.source == WhenUsed && entry.dll == dll)
            Fill(Sys, entry, library);
    return library;
}
