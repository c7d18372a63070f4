#pragma once
// The prefix code put before each message in the history.

#include <string>
#include <string_view>

inline constexpr char kPrefixValue[] = "Prefix";
inline constexpr char kDefaultPrefixCode[] = "u[ (to all users)] H:nn> ";

// An empty stored code counts as none and gives the default.
std::string GetPrefixSetting();
bool SetPrefixSetting(std::string_view code);
