// The entries of the program's table of Windows calls, by number and by name, for tests that
// answer for an entry or take it away.
#pragma once
#include "calls/WindowsCalls.h"

enum CallIndex {
#define CALL_INDEX(dll, name, source, missing) Call_##name,
    WINDOWS_CALLS(CALL_INDEX)
#undef CALL_INDEX
    CallCount
};

struct CallRow {
    const char* dll; // as "kernel32.dll"
    const char* name;
    CallSource source;
    const char* missing; // what the program does where Windows lacks it
};
extern const CallRow CallRows[CallCount];

// The entry of calls that holds the function of that name, or null.
void** EntryNamed(WindowsCalls& calls, const char* name);
