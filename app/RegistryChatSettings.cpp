#include "app/RegistryChatSettings.h"

#include "app/ChatTextBackground.h"
#include "app/FontSettings.h"
#include "app/IntSettings.h"
#include "app/PrefixSetting.h"
#include "app/QuickKeySettings.h"
#include "app/SettingsKeys.h"
#include "app/UserName.h"
#include "platform/win32/Win32CharFormat.h"

namespace {

void ReadFormat(const CSettingsKey& key, CHARFORMATA& format, const CHARFORMATA* source, bool boldByDefault) {
    CCharFormat read;
    if (source) {
        const CCharFormat copy = FromPlatformCharFormat(*source);
        ReadFontSetting(key, read, &copy, boldByDefault);
    } else {
        ReadFontSetting(key, read, nullptr, boldByDefault);
    }
    format = ToPlatformCharFormat(read);
    format.cbSize = sizeof format;
}

}  // namespace

CRegistryChatSettings::CRegistryChatSettings(CFileApi& files, CSystemApi& system)
    : m_system(system), m_log(files, system, SystemLogDateText()) {}

std::string CRegistryChatSettings::PrefixCode() { return GetPrefixSetting(); }

void CRegistryChatSettings::ReadPrefixFormat(CHARFORMATA& format, const CHARFORMATA* source) {
    ReadFormat(GetPrefixFontSettingsKey(), format, source, true);
}

void CRegistryChatSettings::ReadMessageFormat(CHARFORMATA& format, const CHARFORMATA* source) {
    ReadFormat(GetGeneralFontSettingsKey(), format, source, false);
}

void CRegistryChatSettings::LogLine(std::string_view line, bool& headerPending) {
    m_log.LogLine(line, true, headerPending);
}

std::string CRegistryChatSettings::CurrentUserName(bool* unset) { return GetCurrentUserName(m_system, unset); }

COLORREF CRegistryChatSettings::ChatTextBackground() { return GetChatTextBackground(m_system); }

void CRegistryChatSettings::SetCurrentUserName(const std::string& name) { ::SetCurrentUserName(name); }

bool CRegistryChatSettings::PromptOnAllUsers() { return GetIntSetting(kPromptOnAllUsers) != 0; }

bool CRegistryChatSettings::DefaultToLastSender() { return GetIntSetting(kDefaultToLastSender) != 0; }

std::string CRegistryChatSettings::QuickKeyText(int number) { return GetQuickKeyText(number); }
