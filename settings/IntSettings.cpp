#include "settings/IntSettings.h"

#include "settings/SettingsStore.h"

std::int32_t GetIntSetting(const CSettingsStore& store, const CIntSetting& setting) {
    return store.Main().ReadDword(setting.name, setting.defaultValue);
}

bool IntSettingSetByPolicy(const CSettingsStore& store, const CIntSetting& setting) {
    return store.Main().NumberSetByPolicy(setting.name);
}

bool SetIntSetting(CSettingsStore& store, const CIntSetting& setting, std::int32_t value) {
    return store.Main().WriteDword(setting.name, static_cast<std::uint32_t>(value));
}
