#pragma once
// The prefix code put before each message in the history.

#include <string>
#include <string_view>

#include "chattext/PrefixCode.h"  // kDefaultPrefixCode

inline constexpr char kPrefixValue[] = "Prefix";

// An empty stored code counts as none and gives the default.
std::string GetPrefixSetting();
bool SetPrefixSetting(std::string_view code);
