#pragma once
// Time since the watch was made, in milliseconds, for the benchmarks that
// print figures; the steady clock is QueryPerformanceCounter on Windows.

#include <chrono>

class CStopwatch {
public:
    double Milliseconds() const { return std::chrono::duration<double, std::milli>(Clock::now() - m_start).count(); }

private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point m_start = Clock::now();
};
