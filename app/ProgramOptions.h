#pragma once
// The Options sheet as the program gives it to the chat window: built anew
// from the settings store each time the command runs.

#include "app/OptionsContext.h"
#include "chatwindow/OptionsDialog.h"

class CProgramOptions final : public COptionsDialog {
public:
    CProgramOptions(CSettingsStore& store, CSystemApi& system, const CTimeZone& timeZone)
        : m_store(store), m_system(system), m_timeZone(timeZone) {}

    void ShowOptions(HWND chat, CChatTextCtrl& history) override;

private:
    CSettingsStore& m_store;
    CSystemApi& m_system;
    const CTimeZone& m_timeZone;
    COptionsUi m_ui;
};
