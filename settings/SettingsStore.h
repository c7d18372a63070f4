#pragma once
// The settings store: the program's main key and the three keys below it,
// opened together and closed together. Whoever reads or writes a setting is
// handed the store; nothing about it is process-wide. A key that could not
// be opened gives every reader its default and fails every write.

#include "settings/SettingsKey.h"

inline constexpr char kQuickKeysSubkey[] = "QuickKeys";
inline constexpr char kGeneralFontSubkey[] = "GeneralFont";
inline constexpr char kPrefixFontSubkey[] = "PrefixFont";

class CSettingsStore {
public:
    // Opens the keys in the order main, QuickKeys, GeneralFont, PrefixFont,
    // creating those that are missing.
    explicit CSettingsStore(CRegistryApi& registry);
    CSettingsStore(const CSettingsStore&) = delete;
    CSettingsStore& operator=(const CSettingsStore&) = delete;
    // Closes them in the opposite order.
    ~CSettingsStore();

    CSettingsKey& Main() { return m_main; }
    const CSettingsKey& Main() const { return m_main; }
    CSettingsKey& QuickKeys() { return m_quickKeys; }
    const CSettingsKey& QuickKeys() const { return m_quickKeys; }
    // The message font.
    CSettingsKey& GeneralFont() { return m_generalFont; }
    const CSettingsKey& GeneralFont() const { return m_generalFont; }
    CSettingsKey& PrefixFont() { return m_prefixFont; }
    const CSettingsKey& PrefixFont() const { return m_prefixFont; }

private:
    CSettingsKey m_main;
    CSettingsKey m_quickKeys;
    CSettingsKey m_generalFont;
    CSettingsKey m_prefixFont;
};
