// Memory on the process heap, for the program and the standard library's string code. The
// program is built without C++ exceptions: running out of memory, or a string asked to outgrow
// what it can hold, ends it.
#include <windows.h>

#include <cstddef>
#include <cstdlib>
#include <new>

[[noreturn]] static void OutOfMemory()
{
    ExitProcess(3);
}

extern "C" void* calloc(std::size_t count, std::size_t size)
{
    if (size && count > (std::size_t)-1 / size)
        return NULL;
    std::size_t bytes = count * size;
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes ? bytes : 1);
}

extern "C" void free(void* p)
{
    if (p)
        HeapFree(GetProcessHeap(), 0, p);
}

void* operator new(std::size_t size)
{
    void* p = HeapAlloc(GetProcessHeap(), 0, size ? size : 1);
    if (!p)
        OutOfMemory();
    return p;
}

void* operator new[](std::size_t size)
{
    return operator new(size);
}

void operator delete(void* p) noexcept
{
    free(p);
}

void operator delete[](void* p) noexcept
{
    free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    free(p);
}

void operator delete[](void* p, std::size_t) noexcept
{
    free(p);
}

namespace std {
[[noreturn]] void __throw_bad_alloc() { OutOfMemory(); }
[[noreturn]] void __throw_bad_array_new_length() { OutOfMemory(); }
[[noreturn]] void __throw_length_error(const char*) { OutOfMemory(); }
[[noreturn]] void __throw_logic_error(const char*) { OutOfMemory(); }
[[noreturn]] void __throw_out_of_range(const char*) { OutOfMemory(); }
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) { OutOfMemory(); }
[[noreturn]] void __throw_invalid_argument(const char*) { OutOfMemory(); }
} // namespace std
