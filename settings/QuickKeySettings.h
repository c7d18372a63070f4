#pragma once
// The texts assigned to the function keys F2 to F12 (F1 is Help), one REG_SZ
// value "F<n>" each in the QuickKeys key. No value, or an empty one, means
// no text.

#include <string>
#include <string_view>

class CSettingsStore;

inline constexpr int kFirstQuickKey = 2;   // F2; F1 is Help
inline constexpr int kLastQuickKey = 12;   // F12

// "F2" to "F12"; empty for a key without a QuickKey.
std::string QuickKeyValueName(int functionKey);

std::string GetQuickKeyText(const CSettingsStore& store, int functionKey);
bool QuickKeySetByPolicy(const CSettingsStore& store, int functionKey);
bool SetQuickKeyText(CSettingsStore& store, int functionKey, std::string_view text);
// The QuickKeys page writes all eleven at once and then flushes them.
bool FlushQuickKeys(CSettingsStore& store);
