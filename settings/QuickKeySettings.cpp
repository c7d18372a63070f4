#include "settings/QuickKeySettings.h"

#include "settings/SettingsStore.h"

std::string QuickKeyValueName(int functionKey) {
    if (functionKey < kFirstQuickKey || functionKey > kLastQuickKey) return {};
    return "F" + std::to_string(functionKey);
}

std::string GetQuickKeyText(const CSettingsStore& store, int functionKey) {
    const std::string name = QuickKeyValueName(functionKey);
    return name.empty() ? std::string() : store.QuickKeys().ReadString(name, "");
}

bool QuickKeySetByPolicy(const CSettingsStore& store, int functionKey) {
    const std::string name = QuickKeyValueName(functionKey);
    return !name.empty() && store.QuickKeys().TextSetByPolicy(name);
}

bool SetQuickKeyText(CSettingsStore& store, int functionKey, std::string_view text) {
    const std::string name = QuickKeyValueName(functionKey);
    return !name.empty() && store.QuickKeys().WriteString(name, text);
}

bool FlushQuickKeys(CSettingsStore& store) { return store.QuickKeys().Flush(); }
