#pragma once
#include <cstdint>

// A colour as the platform's COLORREF: 0x00BBGGRR.
using ColorRef = std::uint32_t;
