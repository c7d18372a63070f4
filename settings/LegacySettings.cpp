#include "settings/LegacySettings.h"

#include "settings/IntSettings.h"
#include "settings/UserName.h"
#include "util/AsciiText.h"

namespace {

// The buffer that earlier versions read the names into.
constexpr std::size_t kNameBufferSize = 100;

}  // namespace

std::string ReadLegacyUserName(const CLegacyProfile& profile) {
    const std::string current = profile.GetString("Main", "CurrentUser", "1", kNameBufferSize);
    return std::string(TrimAsciiSpace(profile.GetString("Names", current, "", kNameBufferSize)));
}

void ImportLegacyProfile(CSettingsStore& store, const CLegacyProfile& profile) {
    const std::string userName = ReadLegacyUserName(profile);
    const std::string section = "User-" + userName;
    for (const CIntSetting* setting : {&kPromptOnAllUsers, &kDefaultToLastSender, &kLogMessages, &kPlaySnd, &kDlgX,
                                       &kDlgY, &kDlgWidth, &kDlgHeight, &kDlgMaximized})
        SetIntSetting(store, *setting, profile.GetInt(section, setting->name, setting->defaultValue));
    // A profile without the value never chose "Do Nothing": it gets the
    // default reaction, as every other missing value does.
    const bool chosen = !profile.GetString(section, kOnNewMessage.name, "", kNameBufferSize).empty();
    SetIntSetting(store, kOnNewMessage,
                  chosen ? ConvertLegacyOnNewMessage(profile.GetInt(section, kOnNewMessage.name, 0))
                         : kOnNewMessage.defaultValue);
    SetCurrentUserName(store, userName);
}
