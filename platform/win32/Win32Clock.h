#pragma once
#include "platform/Clock.h"

// The system's tick count, clock and Sleep.
class CWin32Clock final : public CClock {
public:
    std::uint32_t Ticks() override;
    std::uint32_t Now() override;
    void Sleep(std::uint32_t milliseconds) override;
};
