// The clock that the Linux programs' frames keep to: monotonic, so that
// setting the time of day neither stalls the board nor races it.
#pragma once
#include <cstdint>
#include <ctime>

// Now, in nanoseconds since some fixed moment.
inline int64_t NowNs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}
