#include "app/LegacyIni.h"

#include <windows.h>

#include "settings/IntSettings.h"
#include "settings/UserName.h"
#include "util/AsciiText.h"

namespace {

constexpr DWORD kNameBufferSize = 100;

}  // namespace

std::string ReadLegacyUserName(const std::string& iniPath) {
    char buffer[kNameBufferSize] = {};
    ::GetPrivateProfileStringA("Main", "CurrentUser", "1", buffer, kNameBufferSize, iniPath.c_str());
    const std::string profile = buffer;
    ::GetPrivateProfileStringA("Names", profile.c_str(), "", buffer, kNameBufferSize, iniPath.c_str());
    return std::string(TrimAsciiSpace(buffer));
}

void ImportLegacyIni(CSettingsStore& store, const std::string& iniPath) {
    const std::string userName = ReadLegacyUserName(iniPath);
    const std::string section = "User-" + userName;
    const auto read = [&](const CIntSetting& setting, std::int32_t defaultValue) {
        const std::string name(setting.name);
        return static_cast<std::int32_t>(
            ::GetPrivateProfileIntA(section.c_str(), name.c_str(), defaultValue, iniPath.c_str()));
    };
    for (const CIntSetting* setting : {&kPromptOnAllUsers, &kDefaultToLastSender, &kLogMessages, &kPlaySnd, &kDlgX,
                                       &kDlgY, &kDlgWidth, &kDlgHeight, &kDlgMaximized})
        SetIntSetting(store, *setting, read(*setting, setting->defaultValue));
    SetIntSetting(store, kOnNewMessage, ConvertLegacyOnNewMessage(read(kOnNewMessage, 0)));
    SetCurrentUserName(store, userName);
}
