#include "settings/PrefixSetting.h"

#include "settings/SettingsStore.h"

std::string GetPrefixSetting(const CSettingsStore& store) { return store.Main().ReadString(kPrefixValue, kDefaultPrefixCode); }

bool PrefixSettingSetByPolicy(const CSettingsStore& store) { return store.Main().TextSetByPolicy(kPrefixValue); }

bool SetPrefixSetting(CSettingsStore& store, std::string_view code) {
    return store.Main().WriteString(kPrefixValue, code); }
