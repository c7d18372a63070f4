#include "app/PrefixSetting.h"

#include "app/SettingsKeys.h"

std::string GetPrefixSetting() { return GetMainSettingsKey().ReadString(kPrefixValue, kDefaultPrefixCode); }

bool SetPrefixSetting(std::string_view code) { return GetMainSettingsKey().WriteString(kPrefixValue, code); }
