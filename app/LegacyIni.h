#pragma once
// Reading the settings file of earlier versions (settings/LegacySettings.h)
// through the system's profile functions.

#include <string>

#include "settings/LegacySettings.h"

class CSettingsStore;

// The current profile's user name, trimmed; empty when the profile has none.
std::string ReadLegacyUserName(const std::string& iniPath);
// Stores the current profile's settings and its user name (even an empty
// one, so that the name prompt follows).
void ImportLegacyIni(CSettingsStore& store, const std::string& iniPath);
