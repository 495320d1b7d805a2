// Counts every allocation of the process that includes it: the global
// operators new are replaced. Include it from one file of an executable.
#pragma once

#include <atomic>
#include <cstdlib>
#include <new>

namespace ka813::test {
inline std::atomic<long> allocations{0};
}  // namespace ka813::test

// The replacements themselves must be global.
void* operator new(std::size_t size)
{
    ++ka813::test::allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    ++ka813::test::allocations;
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
