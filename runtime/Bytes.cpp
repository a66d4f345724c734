// The byte functions the compiler and the standard library's string code call.
// Built so that the compiler does not turn these loops back into calls of themselves.
#include <cstddef>

extern "C" {

void* memcpy(void* to, const void* from, std::size_t n)
{
    unsigned char* d = (unsigned char*)to;
    const unsigned char* s = (const unsigned char*)from;
    while (n--)
        *d++ = *s++;
    return to;
}

void* memmove(void* to, const void* from, std::size_t n)
{
    unsigned char* d = (unsigned char*)to;
    const unsigned char* s = (const unsigned char*)from;
    if (d <= s)
        return memcpy(to, from, n);
    while (n--)
        d[n] = s[n];
    return to;
}

void* memset(void* to, int value, std::size_t n)
{
    unsigned char* d = (unsigned char*)to;
    while (n--)
        *d++ = (unsigned char)value;
    return to;
}

int memcmp(const void* a, const void* b, std::size_t n)
{
    const unsigned char* x = (const unsigned char*)a;
    const unsigned char* y = (const unsigned char*)b;
    for (; n; --n, ++x, ++y) {
        if (*x != *y)
            return *x < *y ? -1 : 1;
    }
    return 0;
}

std::size_t strlen(const char* text)
{
    std::size_t n = 0;
    while (text[n])
        ++n;
    return n;
}

} // extern "C"
