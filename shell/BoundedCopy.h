// Strings handed to the host are copied with a bound: at most `bound`
// characters, then NULs up to and including byte `bound`.
#pragma once

#include <cstddef>
#include <cstring>

namespace ka813 {

inline void copyPadded(char* destination, const char* source, std::size_t bound)
{
    std::size_t length = 0;
    while (length < bound && source[length] != 0)
        ++length;
    std::memcpy(destination, source, length);
    std::memset(destination + length, 0, bound + 1 - length);
}

}  // namespace ka813
