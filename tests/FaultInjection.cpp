// The fault table's machinery: the program's table of Windows calls answered through wrappers
// that record every call and fail the ones a run names, or give their entry's odd answer.
#include "tests/FaultInjection.h"

#include <cstring>
#include <tuple>
#include <type_traits>

FaultRun Current;

namespace {

template <int Index> struct Member;
#define CALL_MEMBER(dll, name, source, missing)                                                    \
    template <> struct Member<Call_##name> {                                                       \
        static decltype(&::name)& Of(WindowsCalls& calls) { return calls.name; }                   \
    };
WINDOWS_CALLS(CALL_MEMBER)
#undef CALL_MEMBER


// Odd answers, where an entry has one: answers Windows may give that are not a plain failure.
WindowsCalls OddAnswers()
{
    WindowsCalls odd = {};
    // a directory longer than the buffer: its length, and no text
    odd.GetSystemDirectoryA = [](LPSTR, UINT size) WINAPI -> UINT { return size + 10; };
    odd.GetWindowsDirectoryA = odd.GetSystemDirectoryA;
    odd.SHGetSpecialFolderPathA = [](HWND, LPSTR path, int, BOOL) WINAPI -> BOOL {
        path[0] = '\0';
        return TRUE;
    };
    // success, and no list or no allocator
    odd.SHGetSpecialFolderLocation = [](HWND, int, LPITEMIDLIST* list) WINAPI -> HRESULT {
        *list = NULL;
        return S_OK;
    };
    odd.SHGetMalloc = [](IMalloc** allocator) WINAPI -> HRESULT {
        *allocator = NULL;
        return S_OK;
    };
    odd.GetLocalTime = [](LPSYSTEMTIME now) WINAPI { memset(now, 0, sizeof(*now)); };
    odd.GetDiskFreeSpaceA = [](LPCSTR, LPDWORD a, LPDWORD b, LPDWORD c, LPDWORD d) WINAPI -> BOOL {
        *a = *b = *c = *d = 0;
        return TRUE;
    };
    odd.GetDiskFreeSpaceExA = [](LPCSTR, PULARGE_INTEGER a, PULARGE_INTEGER b, PULARGE_INTEGER c) WINAPI -> BOOL {
        a->QuadPart = b->QuadPart = c->QuadPart = 0;
        return TRUE;
    };
    // too small for the block the file holds
    odd.GetFileVersionInfoSizeA = [](LPCSTR, LPDWORD handle) WINAPI -> DWORD {
        *handle = 0;
        return 1;
    };
    // a root block shorter than asked
    odd.VerQueryValueA = [](LPCVOID block, LPCSTR sub, LPVOID* value, PUINT length) WINAPI -> BOOL {
        BOOL found = Current.under.VerQueryValueA(block, sub, value, length);
        *length = sizeof(VS_FIXEDFILEINFO) / 2;
        return found;
    };
    // half the bytes, as a disk that fills up meanwhile takes them
    odd.WriteFile = [](HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED) WINAPI -> BOOL {
        return Current.under.WriteFile(file, data, size / 2, written, NULL);
    };
    // a read cut short
    odd.ReadFile = [](HANDLE file, LPVOID data, DWORD size, LPDWORD read, LPOVERLAPPED) WINAPI -> BOOL {
        return Current.under.ReadFile(file, data, size / 2, read, NULL);
    };
    return odd;
}
} // namespace

WindowsCalls Odd = OddAnswers();

namespace {

template <typename T, typename... Rest> T First(T first, Rest...) { return first; }

template <typename... A> std::string TextArgument(A... a)
{
    if constexpr (sizeof...(a) > 0)
        if constexpr (std::is_same<decltype(First(a...)), LPCSTR>::value)
            return First(a...) ? First(a...) : "";
    return "";
}

template <int Index, typename Signature> struct Entry;
template <int Index, typename R, typename... A> struct Entry<Index, R(WINAPI*)(A...)> {
    static constexpr bool opens = Index == Call_CreateFileA || Index == Call_FindFirstFileA;
    static constexpr bool closes = Index == Call_CloseHandle || Index == Call_FindClose;

    static R WINAPI Call(A... a)
    {
        auto real = Member<Index>::Of(Current.under);
        bool strikes = Current.failing.count(Current.made.size()) || Current.everyEntry == Index;
        Current.made.push_back({Index, TextArgument(a...), strikes, false});
        if (strikes) {
            if (Current.odd)
                return Member<Index>::Of(Odd)(a...);
            if constexpr (closes) {
                // a close that reports an error has closed the handle all the same
                real(a...);
                Current.open.erase(First(a...));
            }
            SetLastError(ERROR_ACCESS_DENIED);
            if constexpr (std::is_void<R>::value)
                return;
            else if constexpr (opens)
                return INVALID_HANDLE_VALUE;
            else if (Index == Call_GetFileAttributesA || Index == Call_SetFilePointer)
                return (R)0xFFFFFFFF;
            else if constexpr (std::is_same<R, HRESULT>::value)
                return E_FAIL;
            else
                return R();
        }
        if constexpr (std::is_void<R>::value) {
            real(a...);
        } else {
            R result = real(a...);
            if constexpr (opens)
                if (result != INVALID_HANDLE_VALUE)
                    Current.open.insert(result);
            if constexpr (closes)
                Current.open.erase(First(a...));
            return result;
        }
    }
};

} // namespace

// Sys answers through calls, failing as the run says.
void Inject(const WindowsCalls& calls, const FaultRun& run)
{
    Current = run;
    Current.under = calls;
#define WRAP(dll, name, source, missing)                                                           \
    Sys.name = calls.name ? &Entry<Call_##name, decltype(&::name)>::Call : nullptr;
    WINDOWS_CALLS(WRAP)
#undef WRAP
}

static const bool HasOdd[] = {
#define HAS_ODD(dll, name, source, missing) Odd.name != nullptr,
    WINDOWS_CALLS(HAS_ODD)
#undef HAS_ODD
};

// The ways a run can fail, given the calls a run without faults made: each call failing, or
// answering oddly, and each entry failing, or answering oddly, on every call.
std::vector<FaultRun> FaultsOf(const std::vector<Call>& calls, bool (*neverFails)(int entry))
{
    std::vector<FaultRun> runs;
    std::set<int> entries;
    for (size_t i = 0; i < calls.size(); ++i)
        entries.insert(calls[i].entry);
    for (bool odd : {false, true}) {
        for (size_t i = 0; i < calls.size(); ++i)
            if (odd ? HasOdd[calls[i].entry] : !neverFails(calls[i].entry))
                runs.push_back(FaultRun{{i}, -1, odd});
        for (int entry : entries)
            if (odd ? HasOdd[entry] : !neverFails(entry))
                runs.push_back(FaultRun{{}, entry, odd});
    }
    return runs;
}

std::string Describe(const FaultRun& run)
{
    std::string what = run.odd ? "odd answer" : "failure";
    if (run.everyEntry >= 0)
        return what + " of every call to " + CallRows[run.everyEntry].name;
    for (size_t at : run.failing)
        what += " at call " + std::to_string(at) + " (" + CallRows[Current.made[at].entry].name + ")";
    return what;
}
