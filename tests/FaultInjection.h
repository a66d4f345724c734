// The fault table's machinery: the program's table of Windows calls answered through wrappers
// that record every call and fail the ones a run names, or give their entry's odd answer.
#pragma once
#include "calls/WindowsCalls.h"
#include "tests/CallTable.h"

#include <set>
#include <string>
#include <vector>

struct Call {
    int entry;
    std::string arg; // the first argument, when it is a text
    bool struck;
    bool refused; // by the ground the save stands on, as Windows refuses there
};

// Which calls of a run fail, and what the run's calls did.
struct FaultRun {
    std::set<size_t> failing; // positions in the run's calls, from 0
    int everyEntry = -1;      // or an entry that fails on each of its calls
    bool odd = false;         // a failing call gives its entry's odd answer instead
    std::vector<Call> made;
    std::set<HANDLE> open; // from CreateFileA and FindFirstFileA, not yet closed
    WindowsCalls under;     // where the wrapped calls go

    // Whether a call to the entry failed, struck or refused by the ground.
    bool Refused(int entry) const
    {
        for (const Call& call : made)
            if ((call.struck || call.refused) && call.entry == entry)
                return true;
        return false;
    }
};

extern FaultRun Current; // the run under way
extern WindowsCalls Odd; // each entry's odd answer, where it has one: not a plain failure

// Sys answers through calls, failing as the run says.
void Inject(const WindowsCalls& calls, const FaultRun& run);

// The ways a run can fail, given the calls a run without faults made: each call failing, or
// answering oddly, and each entry failing, or answering oddly, on every call; none of an entry
// that never fails.
std::vector<FaultRun> FaultsOf(const std::vector<Call>& calls, bool (*neverFails)(int entry));

std::string Describe(const FaultRun& run);
