#include "app/QuickKeySettings.h"

#include "app/SettingsKeys.h"

std::string QuickKeyValueName(int functionKey) {
    if (functionKey < kFirstQuickKey || functionKey > kLastQuickKey) return {};
    return "F" + std::to_string(functionKey);
}

std::string GetQuickKeyText(int functionKey) {
    const std::string name = QuickKeyValueName(functionKey);
    return name.empty() ? std::string() : GetQuickKeysSettingsKey().ReadString(name, "");
}

bool SetQuickKeyText(int functionKey, std::string_view text) {
    const std::string name = QuickKeyValueName(functionKey);
    return !name.empty() && GetQuickKeysSettingsKey().WriteString(name, text);
}

bool FlushQuickKeys() { return GetQuickKeysSettingsKey().Flush(); }
