#pragma once
// Reading the settings file of earlier versions (settings/LegacySettings.h)
// from its path: its text, in the system's code page or saved as UTF-16, is
// read as UTF-8.

#include <string>

#include "settings/LegacySettings.h"

class CSettingsStore;

// Stores the current profile's settings and its user name (even an empty
// one, so that the name prompt follows).
void ImportLegacyIni(CSettingsStore& store, const std::string& iniPath);
