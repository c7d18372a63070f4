#pragma once
// The seam for time: the clocks that stamp records and time retries and key
// presses, and sleeping. The tests' in-memory network has a virtual one.

#include <cstdint>

class CClock {
public:
    virtual ~CClock() = default;
    // Milliseconds since the system started; wraps after 49.7 days.
    virtual std::uint32_t Ticks() = 0;
    // Seconds since 1970 (UTC) on this computer's clock.
    virtual std::uint32_t Now() = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
};
