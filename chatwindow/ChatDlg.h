#pragma once
// The program's one main window: the modeless chat dialog, created hidden at
// start and shown and hidden rather than opened and closed. It owns the
// messaging session and the history for the whole run, shows what the
// session receives, and its timers drive receiving and the presence ping.

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "chattext/ChatTextCtrl.h"
#include "chatwindow/CaptionBar.h"
#include "chatwindow/ChatSettings.h"
#include "chatwindow/ComboRecipientList.h"
#include "chatwindow/NewMessageAlert.h"
#include "chatwindow/QuickKeys.h"
#include "chatwindow/TrayIcon.h"
#include "messaging/MessagingSession.h"
#include "resources/ResourceIds.h"
#include "util/win32/Controls.h"
#include "util/win32/Dialog.h"

class CHelpCommands;
class CLinkOpener;
class COptionsDialog;
class CTimeZone;

class CChatDlg : public CDialog, private CSessionHost {
public:
    // `carrier` carries the datagrams, `clock` times them and the keys;
    // `codePage` is the one older copies write in; `localComputer` is the
    // sender identity; `desktop` answers who is in front.
    CChatDlg(CDatagramCarrier& carrier, CClock& clock, const CCodePage& codePage, std::string localComputer,
             CChatSettings& settings, const CTimeZone& timeZone, CDesktopApi& desktop);
    ~CChatDlg() override;

    // Hides (position saved first) or shows without taking the activation;
    // non-zero when the window was visible before.
    BOOL ShowChat(bool show, bool minimised);
    // A modal window of the program (Options, About, a message box, the name
    // prompt) is open over the chat window.
    bool HasModalPopup() const;
    // Brings the chat window to the user: shown, the focus in the message
    // box, in front (a modal window over it comes forward instead). For a
    // new message, the reaction "OnNewMessage" asks for. False when it must
    // be tried again.
    bool ActivateChat(bool newMessage);
    void ApplySettings();
    void FinishStartUp();
    // Reads the network as soon as a datagram arrives, where the carrier can
    // tell, instead of on the next receive tick; false when it cannot.
    bool WakeOnArrival();
    void ExitProgram();
    // The window's restored place into the settings, and back at start.
    void SavePosition();
    void RestorePosition();
    // Brings the To: list in line with the peer table.
    void RefreshRecipientList();
    // A batch brought a chat message from another computer; `lastSender` is
    // the computer of the latest, empty when it went to all users.
    void NotifyNewMessage(const std::string& lastSender);

    void DestroyDialog() override;
    bool PreTranslateKey(const MSG& message) override;

    bool IsReady() const { return m_ready; }
    void SetReady(bool ready) { m_ready = ready; }
    // What the tray icon calls in place of Shell_NotifyIconA; before
    // FinishStartUp.
    void SetNotifyIconCall(CNotifyIconCall call) { m_notifyIcon = std::move(call); }
    // Where the Help commands and what the history opens go; until this is
    // called they do nothing.
    void UseHelp(CHelpCommands& help, CLinkOpener& opener);
    // What the Options command opens; without it the command only takes up
    // the settings again.
    void SetOptionsDialog(COptionsDialog* options) { m_options = options; }
    // The UDP port the carrier uses, named when another program holds it;
    // before the dialog is created.
    void SetUdpPort(unsigned port) { m_udpPort = port; }
    // The endpoint could not be opened and the dialog ended at once.
    bool MailslotFailed() const { return m_mailslotFailed; }
    CChatTextCtrl& History() { return m_history; }
    CCaptionBar& CaptionBar() { return m_captionBar; }
    CTrayIcon* TrayIcon() { return m_trayIcon.get(); }
    const CNewMessageAlert& Alert() const { return m_alert; }
    // The smallest outer size the window may be given: its template's.
    SIZE MinimumTrackSize() const { return {m_minTrackWidth, m_minTrackHeight}; }
    CMessagingSession& Session() { return m_session; }
    const CPeerTable& Peers() const { return m_session.PeerTable(); }

    static constexpr UINT_PTR kReceiveTimer = 0;
    static constexpr UINT_PTR kFlashTimer = 1;
    static constexpr UINT_PTR kNamePromptTimer = 2;
    static constexpr UINT_PTR kNotifyRetryTimer = 3;
    static constexpr UINT_PTR kPresenceTimer = 4;
    static constexpr UINT_PTR kListTimer = 5;
    // Entries added to or removed from the To: list in one refresh: some
    // 35 ms at 4096 entries under Wine, where each change searches the list.
    static constexpr std::size_t kMaxListChangesPerRefresh = 64;
    static constexpr UINT kReceivePeriodMs = 50;
    // As soon as the timer allows: the loop takes a timer's message only
    // when no input, painting or other message waits, so catching up never
    // freezes the window.
    static constexpr UINT kCatchUpPeriodMs = USER_TIMER_MINIMUM;
    // The longest one receive timer's steps may keep the window from
    // painting while it catches up.
    static constexpr DWORD kCatchUpBudgetMs = 50;
    // Posted by the carrier when a datagram arrives.
    static constexpr UINT kMessageArrived = WM_APP + 1;
    static constexpr LONG kHistoryTextLimit = 65536;
    static constexpr WPARAM kMessageTextLimit = 20480;
    static constexpr UINT kNotifyRetryPeriodMs = 150;

protected:
    // What the dialog asks of the user and the system through windows and
    // calls that tests replace: message boxes, the name prompt, and the
    // program's own path (which decides whether a remote quit is obeyed).
    virtual int ShowMessage(const std::string& text, UINT style);
    virtual bool PromptForUserName(const std::string& offered, std::string& entered);
    std::string ModulePath() override;

    void BindControls() override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnCancel() override;
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnOptions();
    void OnAbout();
    void OnHelpCommand(int id);
    std::optional<LRESULT> OnContextMenu(HWND source, LPARAM point);
    // Send!: false when the text stays in the message box.
    void OnSend();
    bool SendTypedText(const std::string& text);
    CMessageRecord OwnMessage(const std::string& text);
    bool OnQuickKey(const MSG& message);
    void TypeQuickKeyText(const std::string& text);
    bool OnShiftEnter(const MSG& message);
    bool IsMessageBoxFocused() const;
    LRESULT OnTimer(UINT_PTR id);
    void OnReceiveTick();
    // One receive step and the window's reactions; false when a quit
    // command ended the window.
    bool ReceiveStep();
    void OnDatagramArrived();
    // The next receive tick comes at once while datagrams are left over.
    void PaceReceiving();
    void OnPresenceTick();
    void OnNamePromptTick();
    void OnNotifyRetryTick();
    void SelectLastSender(const std::string& lastSender);
    void FocusMessageBox();
    std::optional<LRESULT> OnSize(WPARAM type);
    LRESULT OnGetMinMaxInfo(MINMAXINFO& info) const;
    LRESULT OnNcHitTest(LPARAM point) const;
    LRESULT OnPaint();
    void FitLabelsToText();
    void LayOutControls();
    void CreateCaptionBar();
    RECT CaptionBarRect() const;
    LRESULT OnDpiChanged(int dpi, const RECT& suggested);
    std::optional<LRESULT> OnSysCommand(WPARAM command);
    std::optional<LRESULT> OnActivate(WPARAM state);
    std::optional<LRESULT> OnShowWindow(WPARAM shown);
    std::optional<LRESULT> OnNotify(const NMHDR& header) override;
    LRESULT OnWinIniChange();
    LRESULT OnIsMivletApplication(WPARAM query) const;
    LRESULT OnEndSession(WPARAM ending);
    LRESULT OnShowChatWnd() { return ActivateChat(false) ? 1 : 0; }
    void ApplyBackground();
    void SendPresencePing();

    // What commands from other copies may do to this program.
    bool IsAvailable() override { return Exists(); }
    void Exit() override;

    std::unique_ptr<CTrayIcon> m_trayIcon;
    CHelpCommands* m_help = nullptr;
    CDialogItem m_captionPlaceholder{IDC_CAPTIONPLACEHOLDER};
    CDialogItem m_iconPlaceholder{IDC_ICONPLACEHOLDER};
    CDialogItem m_sendButton{IDC_SEND};
    CDialogItem m_optionsButton{IDC_OPTIONS};
    CDialogItem m_nameLabel{IDC_NAMELABEL};
    CDialogItem m_toLabel{IDC_TOLABEL};
    CDialogItem m_messageLabel{IDC_MESSAGELABEL};
    CDialogItem m_nameBox{IDC_NAME};
    CComboBox m_toList{IDC_TO};
    CEditBox m_messageBox{IDC_MESSAGE};
    // The To: list's entries change only through this, from initialisation on.
    std::optional<CComboRecipientList> m_recipients;
    // The selected peer that left the list, to select again if it comes back.
    CLostSelection m_lostSelection;
    HICON m_bigIcon = nullptr;    // shared icons: never destroyed
    HICON m_smallIcon = nullptr;
    const std::string m_allUsersText = "(All Users)";
    bool m_ready = false;
    CClock& m_clock;
    CMessagingSession m_session;
    CQuickKeyState m_quickKeys;
    CChatSettings& m_settings;
    CChatTextCtrl m_history;
    CDesktopApi& m_desktop;
    CNewMessageAlert m_alert;
    CCaptionBar m_captionBar;
    bool m_maximised = false;
    int m_minTrackWidth = 0;
    int m_minTrackHeight = 0;
    int m_dpi = 96;  // the window's, for which its smallest size holds
    bool m_mailslotFailed = false;
    unsigned m_udpPort = 0;
    CNotifyIconCall m_notifyIcon = &CallShellNotifyIcon;
    bool m_receiveBehind = false;
    COptionsDialog* m_options = nullptr;
};

// The one process-wide chat dialog: set by its constructor, cleared when it
// goes; null before and after.
CChatDlg* GetChatDlg();
