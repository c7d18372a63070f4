#pragma once
// A number that an administrator stored as text ("reg add ... /d 0" makes a
// REG_SZ): decimal, or hexadecimal after 0x, with an optional sign and
// blanks around it. Anything else is not a number, so that the setting
// falls back to what lies beneath it rather than to the character codes.

#include <cstdint>
#include <optional>
#include <string_view>

// Values from -2147483648 to 4294967295 (0xFFFFFFFF), the latter half read
// as the same 32 bits a REG_DWORD holds.
std::optional<std::int32_t> ParseStoredNumber(std::string_view text);
