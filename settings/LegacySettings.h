#pragma once
// Settings of earlier versions, kept in "mivlet.ini" in the Windows folder:
// imported into the settings store once, then the file is retired as
// "mivlet-old.ini".

#include <cstdint>
#include <string>

#include "settings/LegacyProfile.h"

class CSettingsStore;

inline constexpr char kLegacyIniName[] = "mivlet.ini";
inline constexpr char kRetiredIniName[] = "mivlet-old.ini";

// The legacy file numbers the new-message reactions the other way round.
constexpr std::int32_t ConvertLegacyOnNewMessage(std::int32_t legacy) {
    return legacy == 0 ? 2 : legacy == 2 ? 0 : legacy;
}

// The current profile's user name, trimmed; empty when the profile has none.
std::string ReadLegacyUserName(const CLegacyProfile& profile);
// Stores the current profile's settings and its user name (even an empty
// one, so that the name prompt follows).
void ImportLegacyProfile(CSettingsStore& store, const CLegacyProfile& profile);
