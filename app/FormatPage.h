#pragma once
// The Format page of the Options sheet: the prefix code from seven choices,
// the history's background colour, the prefix font and the message font,
// with an example history that shows two sample messages drawn with the
// choices still pending. OK stores them and draws the chat window's history
// again.

#include <optional>
#include <string>

#include "app/FontChoice.h"
#include "app/OptionsContext.h"
#include "chattext/ChatTextCtrl.h"
#include "chattext/HistorySettings.h"
#include "platform/CharFormat.h"
#include "resources/ResourceIds.h"
#include "util/win32/Controls.h"
#include "util/win32/PropertyPage.h"

class CFormatPage : public CPropertyPage {
public:
    explicit CFormatPage(COptionsContext& context);

    CChatTextCtrl& Example() { return m_example; }
    const CCharFormat& PendingPrefixFormat() const { return m_pendingPrefix; }
    const CCharFormat& PendingMessageFormat() const { return m_pendingMessage; }

protected:
    void BindControls() override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    std::optional<LRESULT> OnNotify(const NMHDR& header) override;
    bool OnApply() override;

private:
    // The example's own view of the settings: the stored prefix code and
    // fonts where the page gives none, and no log.
    class CExampleSettings : public CHistorySettings {
    public:
        explicit CExampleSettings(CSettingsStore& store) : m_store(store) {}
        std::string PrefixCode() override;
        void ReadPrefixFormat(CHARFORMATW& format, const CHARFORMATW* source) override;
        void ReadMessageFormat(CHARFORMATW& format, const CHARFORMATW* source) override;
        void LogLine(std::string_view, bool&) override {}

    private:
        CSettingsStore& m_store;
    };

    std::string GetSelectedPrefixCode() const;
    void UpdateExample();
    void ShowWhatPoliciesSet();
    bool IsControlEnabled(int control) const;
    void SetExampleBackground(COLORREF color);
    void OnBackground();
    void PickFont(std::optional<CFontChoice>& dialog, CCharFormat& pending);

    COptionsContext& m_context;
    CExampleSettings m_exampleSettings;
    CComboBox m_prefixList{IDC_PREFIXLIST};
    CChatTextCtrl m_example;
    std::optional<CColorChoice> m_colorDialog;
    std::optional<CFontChoice> m_prefixFontDialog;
    std::optional<CFontChoice> m_messageFontDialog;
    CCharFormat m_pendingPrefix;
    CCharFormat m_pendingMessage;
};
