#include "app/LegacyIni.h"

void ImportLegacyIni(CSettingsStore& store, const std::string& iniPath) {
    ImportLegacyProfile(store, CLegacyProfile::ReadFile(iniPath));
}
