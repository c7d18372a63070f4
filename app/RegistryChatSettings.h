#pragma once
// The chat window's settings as the program reads them: from the settings
// store at the moment of use, the log through the message log.

#include "chattext/MessageLog.h"
#include "chatwindow/ChatSettings.h"

class CFileApi;
class CSettingsStore;
class CSystemApi;

class CRegistryChatSettings final : public CChatSettings {
public:
    // `codePage` is the one of a log an older version started.
    CRegistryChatSettings(CSettingsStore& store, CFileApi& files, CSystemApi& system, const CCodePage& codePage);

    std::string PrefixCode() override;
    void ReadPrefixFormat(CHARFORMATW& format, const CHARFORMATW* source) override;
    void ReadMessageFormat(CHARFORMATW& format, const CHARFORMATW* source) override;
    void LogLine(std::string_view line, bool& headerPending) override;
    std::string CurrentUserName(bool* unset) override;
    void SetCurrentUserName(const std::string& name) override;
    COLORREF ChatTextBackground() override;
    bool PromptOnAllUsers() override;
    bool DefaultToLastSender() override;
    std::string QuickKeyText(int number) override;
    ENewMessageReaction OnNewMessage() override;
    bool PlaySound() override;
    CWindowPosition WindowPosition() override;
    void SetWindowPosition(const CWindowPosition& position) override;

private:
    CSettingsStore& m_store;
    CSystemApi& m_system;
    CMessageLog m_log;
};
