#pragma once
// The four process-wide settings keys. They are null until opened: reads
// then give their defaults and writes fail, as with a key that cannot be
// opened at all.

#include "app/SettingsKey.h"

inline constexpr char kQuickKeysSubkey[] = "QuickKeys";
inline constexpr char kGeneralFontSubkey[] = "GeneralFont";
inline constexpr char kPrefixFontSubkey[] = "PrefixFont";

CSettingsKey& GetMainSettingsKey();
CSettingsKey& GetQuickKeysSettingsKey();
CSettingsKey& GetGeneralFontSettingsKey();  // the message font
CSettingsKey& GetPrefixFontSettingsKey();

// Opens the four keys, in the order main, QuickKeys, GeneralFont,
// PrefixFont, and closes them when it goes. The program makes one at start
// over the real registry; a test makes one over an in-memory registry. One
// at a time: the keys are process-wide.
class CProcessSettingsKeys {
public:
    explicit CProcessSettingsKeys(CRegistryApi& registry);
    CProcessSettingsKeys(const CProcessSettingsKeys&) = delete;
    CProcessSettingsKeys& operator=(const CProcessSettingsKeys&) = delete;
    ~CProcessSettingsKeys();
};
