#pragma once
// Settings of earlier versions, kept in "mivlet.ini" in the Windows folder:
// imported into the settings store once, then the file is retired as
// "mivlet-old.ini".

#include <cstdint>

inline constexpr char kLegacyIniName[] = "mivlet.ini";
inline constexpr char kRetiredIniName[] = "mivlet-old.ini";

// The legacy file numbers the new-message reactions the other way round.
constexpr std::int32_t ConvertLegacyOnNewMessage(std::int32_t legacy) {
    return legacy == 0 ? 2 : legacy == 2 ? 0 : legacy;
}
