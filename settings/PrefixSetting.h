#pragma once
// The prefix code put before each message in the history.

#include <string>
#include <string_view>

#include "chattext/PrefixCode.h"  // kDefaultPrefixCode

class CSettingsStore;

inline constexpr char kPrefixValue[] = "Prefix";

// An empty stored code counts as none and gives the default.
std::string GetPrefixSetting(const CSettingsStore& store);
bool PrefixSettingSetByPolicy(const CSettingsStore& store);
bool SetPrefixSetting(CSettingsStore& store, std::string_view code);
