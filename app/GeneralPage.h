#pragma once
// The General page of the Options sheet: the user's name, the reaction to a
// new message and its sound, the last-sender rule, the prompt before
// messages to all users, and logging with a button that opens the log.

#include "app/OptionsContext.h"
#include "resources/ResourceIds.h"
#include "util/win32/Controls.h"
#include "util/win32/PropertyPage.h"

inline constexpr char kLogNotOpenedText[] =
    "The log file could not be opened.  It might not exist, or you may not have Notepad installed on your computer.";

class CGeneralPage : public CPropertyPage {
public:
    explicit CGeneralPage(COptionsContext& context) : CPropertyPage(IDD_OPTIONS_GENERAL), m_context(context) {}

protected:
    void BindControls() override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnApply() override;
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void FillReactions();
    void ShowWhatPoliciesSet();
    void UpdateViewButton();
    void OnNameChange();
    void PlaceCaretAfterName();
    void OnView();

    COptionsContext& m_context;
    CDialogItem m_viewButton{IDC_VIEWLOG};
    CCheckBox m_log{IDC_LOGMESSAGES};
    CEditBox m_name{IDC_USERNAME};
    CCheckBox m_lastSender{IDC_LASTSENDER};
    CCheckBox m_promptAllUsers{IDC_PROMPTALLUSERS};
    CCheckBox m_playSound{IDC_PLAYSOUND};
    CComboBox m_onNewMessage{IDC_ONNEWMESSAGE};
    // Posted to the page by its initialisation.
    static constexpr UINT kPlaceCaret = WM_APP + 1;
};
