#pragma once
#include "platform/Clock.h"

// The monotonic clock in milliseconds as the tick count, the system clock
// and nanosleep.
class CPosixClock final : public CClock {
public:
    std::uint32_t Ticks() override;
    std::uint32_t Now() override;
    void Sleep(std::uint32_t milliseconds) override;
};
