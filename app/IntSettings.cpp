#include "app/IntSettings.h"

#include "app/SettingsKeys.h"

std::int32_t GetIntSetting(const CIntSetting& setting) {
    return GetMainSettingsKey().ReadDword(setting.name, setting.defaultValue);
}

bool SetIntSetting(const CIntSetting& setting, std::int32_t value) {
    return GetMainSettingsKey().WriteDword(setting.name, static_cast<std::uint32_t>(value));
}
