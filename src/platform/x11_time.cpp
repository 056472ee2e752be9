// The millisecond tick counter.
#include "platform/windows_api.h"

#include <ctime>

DWORD WINAPI GetTickCount() {
    // Milliseconds of the monotonic clock, cut to 32 bits: like the Windows
    // counter it wraps after about 49.7 days, and differences stay right
    // across the wrap in unsigned arithmetic.
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::uint64_t ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                       static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<DWORD>(ms);
}
