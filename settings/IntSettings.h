#pragma once
// The integer settings of the main key, each a REG_DWORD with its default in
// code. Boxes on the Options pages store 0 (clear) or 1 (ticked).

#include <cstdint>
#include <string_view>

class CSettingsStore;

struct CIntSetting {
    std::string_view name;
    std::int32_t defaultValue;
};

inline constexpr CIntSetting kPromptOnAllUsers{"PromptOnAllUsers", 1};
inline constexpr CIntSetting kDefaultToLastSender{"DefaultToLastSender", 1};
inline constexpr CIntSetting kLogMessages{"LogMessages", 0};
inline constexpr CIntSetting kPlaySnd{"PlaySnd", 0};
// 0 flash the taskbar button, 1 pop up the chat window, 2 do nothing.
inline constexpr CIntSetting kOnNewMessage{"OnNewMessage", 0};
// The chat window's restored position; -1 keeps where the window already is.
inline constexpr CIntSetting kDlgX{"dlg-x", -1};
inline constexpr CIntSetting kDlgY{"dlg-y", -1};
inline constexpr CIntSetting kDlgWidth{"dlg-width", 468};
inline constexpr CIntSetting kDlgHeight{"dlg-height", 413};
inline constexpr CIntSetting kDlgMaximized{"dlg-maximized", 0};

std::int32_t GetIntSetting(const CSettingsStore& store, const CIntSetting& setting);
bool IntSettingSetByPolicy(const CSettingsStore& store, const CIntSetting& setting);
bool SetIntSetting(CSettingsStore& store, const CIntSetting& setting, std::int32_t value);
