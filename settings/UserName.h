#pragma once
// The current user name: stored raw, as last entered, in "Username" of the
// main key and cleaned at every use, so a change counts from its next use.
// Nothing is cached.

#include <cstddef>
#include <string>
#include <string_view>

#include "messaging/CommandText.h"  // the command marker, which no user name may become

class CSettingsStore;
class CSystemApi;

inline constexpr char kUsernameValue[] = "Username";
inline constexpr std::size_t kMaxUserNameLength = 25;  // characters

// Breaks up every "mivletcmd", keeps the first 25 characters (never a
// character cut in two; what is not UTF-8 reads as U+FFFD), turns tabs
// into spaces and trims white space at both ends.
std::string CleanUserName(std::string_view name);

// The stored name cleaned, or, when that is empty or the command marker in
// any letter case, the cleaned Windows login name; `unset` (optional) tells
// which.
std::string GetCurrentUserName(const CSettingsStore& store, CSystemApi& system, bool* unset = nullptr);

bool UserNameSetByPolicy(const CSettingsStore& store);

// Stores the name as given.
bool SetCurrentUserName(CSettingsStore& store, std::string_view name);
