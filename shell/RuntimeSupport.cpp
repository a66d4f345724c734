// Allocation and library failures without C++ exceptions: the program is built without them,
// and running out of memory ends it.
#include <cstdlib>
#include <new>

void* operator new(std::size_t size)
{
    void* p = malloc(size ? size : 1);
    if (!p)
        abort();
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
[[noreturn]] void __throw_bad_alloc() { abort(); }
[[noreturn]] void __throw_bad_array_new_length() { abort(); }
[[noreturn]] void __throw_length_error(const char*) { abort(); }
[[noreturn]] void __throw_logic_error(const char*) { abort(); }
[[noreturn]] void __throw_out_of_range(const char*) { abort(); }
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) { abort(); }
[[noreturn]] void __throw_invalid_argument(const char*) { abort(); }
} // namespace std
