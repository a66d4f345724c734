// The entries of the program's table of Windows calls, by number and by name.
#include "tests/CallTable.h"

#include <cstring>

const CallRow CallRows[CallCount] = {
#define CALL_ROW(dll, name, source, missing) {#dll ".dll", #name, source, missing},
    WINDOWS_CALLS(CALL_ROW)
#undef CALL_ROW
};

void** EntryNamed(WindowsCalls& calls, const char* name)
{
#define ENTRY_NAMED(dll, function, source, missing)                                                \
    if (strcmp(name, #function) == 0)                                                              \
        return (void**)&calls.function;
    WINDOWS_CALLS(ENTRY_NAMED)
#undef ENTRY_NAMED
    return nullptr;
}
