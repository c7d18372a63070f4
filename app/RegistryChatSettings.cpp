#include "app/RegistryChatSettings.h"

#include "platform/win32/Win32CharFormat.h"

#include "settings/ChatTextBackground.h"
#include "settings/FontSettings.h"
#include "settings/IntSettings.h"
#include "settings/PrefixSetting.h"
#include "settings/QuickKeySettings.h"
#include "settings/SettingsStore.h"
#include "settings/UserName.h"

namespace {

void ReadFormat(const CSettingsKey& key, CHARFORMATW& format, const CHARFORMATW* source, bool boldByDefault) {
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

CRegistryChatSettings::CRegistryChatSettings(CSettingsStore& store, CFileApi& files, CSystemApi& system,
                                             const CCodePage& codePage)
    : m_store(store),
      m_system(system),
      m_log(files, system, codePage, SystemLogDateText(),
            [&store] { return GetIntSetting(store, kLogMessages) != 0; }) {}

std::string CRegistryChatSettings::PrefixCode() { return GetPrefixSetting(m_store); }

void CRegistryChatSettings::ReadPrefixFormat(CHARFORMATW& format, const CHARFORMATW* source) {
    ReadFormat(m_store.PrefixFont(), format, source, true);
}

void CRegistryChatSettings::ReadMessageFormat(CHARFORMATW& format, const CHARFORMATW* source) {
    ReadFormat(m_store.GeneralFont(), format, source, false);
}

void CRegistryChatSettings::LogLine(std::string_view line, bool& headerPending) {
    m_log.LogLine(line, true, headerPending);
}

std::string CRegistryChatSettings::CurrentUserName(bool* unset) { return GetCurrentUserName(m_store, m_system, unset); }

COLORREF CRegistryChatSettings::ChatTextBackground() { return GetChatTextBackground(m_store, m_system); }

void CRegistryChatSettings::SetCurrentUserName(const std::string& name) { ::SetCurrentUserName(m_store, name); }

bool CRegistryChatSettings::PromptOnAllUsers() { return GetIntSetting(m_store, kPromptOnAllUsers) != 0; }

bool CRegistryChatSettings::DefaultToLastSender() { return GetIntSetting(m_store, kDefaultToLastSender) != 0; }

std::string CRegistryChatSettings::QuickKeyText(int number) { return GetQuickKeyText(m_store, number); }

ENewMessageReaction CRegistryChatSettings::OnNewMessage() {
    switch (GetIntSetting(m_store, kOnNewMessage)) {
    case 0: return ENewMessageReaction::FlashTaskbar;
    case 1: return ENewMessageReaction::PopUp;
    default: return ENewMessageReaction::Nothing;
    }
}

bool CRegistryChatSettings::PlaySound() { return GetIntSetting(m_store, kPlaySnd) != 0; }

CWindowPosition CRegistryChatSettings::WindowPosition() {
    return {GetIntSetting(m_store, kDlgX), GetIntSetting(m_store, kDlgY), GetIntSetting(m_store, kDlgWidth),
            GetIntSetting(m_store, kDlgHeight), GetIntSetting(m_store, kDlgMaximized) != 0};
}

void CRegistryChatSettings::SetWindowPosition(const CWindowPosition& position) {
    SetIntSetting(m_store, kDlgX, position.x);
    SetIntSetting(m_store, kDlgY, position.y);
    SetIntSetting(m_store, kDlgWidth, position.width);
    SetIntSetting(m_store, kDlgHeight, position.height);
    SetIntSetting(m_store, kDlgMaximized, position.maximised ? 1 : 0);
}
