// Runtime support for the screensaver program, which is built without
// exceptions. The C++ library's own versions of these functions throw, and a
// throw drags in the unwinder, the exception classes with two string
// implementations and the terminate handler with its name demangler: about
// 200 KB for failures that can only end the program. These end it at once,
// as an uncaught exception would.
#include <cstdlib>
#include <new>

// Memory exhaustion: the program cannot go on.
void* operator new(std::size_t size)
{
    if (void* block = std::malloc(size ? size : 1)) return block;
    std::abort();
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

// What the standard containers and strings call when a request cannot be met.
namespace std {
[[noreturn]] void __throw_bad_alloc() { std::abort(); }
[[noreturn]] void __throw_bad_array_new_length() { std::abort(); }
[[noreturn]] void __throw_length_error(const char*) { std::abort(); }
}  // namespace std
