#pragma once
// The wall-clock time as precisely as the system tells it, for latencies
// measured against clocks of other processes.

#include <string>

// Seconds since 1970 with six decimals, e.g. "1765343130.123456".
std::string WallClockText();
