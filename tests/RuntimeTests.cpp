// The program's own start-up and C functions, in a program started by them as the program is:
// it returns the number of failed checks, which the start-up hands to ExitProcess, and says
// what failed on its standard output.
#include <windows.h>
#include <cstdlib>
#include <cstring>
#include <string>

static int Failures;

static void Check(bool ok, const char* what)
{
    if (ok)
        return;
    ++Failures;
    DWORD written;
    std::string line = std::string("FAIL: ") + what + "\r\n";
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), (DWORD)line.size(), &written, NULL);
}

// The byte functions are called through pointers the compiler cannot see into: called by name
// on constants, it would answer them itself and never reach the program's own.
static void* (*volatile Memmove)(void*, const void*, size_t) = memmove;
static void* (*volatile Memset)(void*, int, size_t) = memset;
static int (*volatile Memcmp)(const void*, const void*, size_t) = memcmp;
static size_t (*volatile Strlen)(const char*) = strlen;
static void* (*volatile Calloc)(size_t, size_t) = calloc; // the compiler knows calloc's memory is zero

static int Calls;
static int Count() { return ++Calls; }
static int First = Count(); // static initialisers run before WinMain, in order
static int Second = Count();

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    Check(First == 1 && Second == 2 && Calls == 2, "the static initialisers ran once each, in order");

    char bytes[] = "0123456789";
    Memmove(bytes + 2, bytes, 5);
    Check(Memcmp(bytes, "0101234789", 10) == 0, "memmove onto an overlap further on");
    Memmove(bytes, bytes + 3, 6);
    Check(Memcmp(bytes, "1234784789", 10) == 0, "memmove onto an overlap before");
    Memset(bytes, 0x81, 3);
    Check(Memcmp(bytes, "\x81\x81\x81" "4784789", 10) == 0, "memset, with a byte above 0x7F");
    Check(Memcmp("a\x81", "a\x7F", 2) > 0 && Memcmp("a\x7F", "a\x81", 2) < 0 && Memcmp("ab", "ab", 2) == 0,
          "memcmp compares bytes as unsigned");
    Check(Strlen("") == 0 && Strlen("\x95\x5C\x83\x5C") == 4, "strlen counts bytes");

    unsigned char* zeroed = (unsigned char*)Calloc(4096, 1);
    bool allZero = zeroed != NULL;
    for (int i = 0; zeroed && i < 4096; ++i)
        allZero = allZero && zeroed[i] == 0;
    Check(allZero, "calloc gives zeroed memory");
    free(zeroed);
    free(NULL);
    volatile size_t half = (size_t)-1 / 2 + 2; // kept from the compiler, which would refuse it
    Check(Calloc(half, 2) == NULL, "calloc refuses a size that overflows");

    std::string text = "ぽこぺ";
    text.insert(2, text); // the standard library's string code moves onto an overlap
    text += std::string(1000, 'x');
    Check(text.compare(0, 12, "ぽぽこぺこぺ") == 0 && text.size() == 1012, "strings grow and move");
    return Failures;
}
