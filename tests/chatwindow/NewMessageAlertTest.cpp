// How the chat window draws attention to a new message from another
// computer, each way the user may choose, and the requests to show it. The
// desktop double decides who is in front and whether a password box has the
// focus; the windows themselves are real.

#include <functional>

#include "ChatDlgFixture.h"
#include "chatwindow/RegisteredMessages.h"
#include "resources/ResourceIds.h"

namespace {

constexpr UINT_PTR kReceive = CChatDlg::kReceiveTimer;
// Another program's window in front.
constexpr DesktopWindow kEditor = 0xE0E0;

using EReaction = ENewMessageReaction;

class NewMessageAlertTest : public ChatDlgTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(Start());
        Ping(office, "ann");
        Tick(kReceive);
        desktop.foreground = kEditor;
    }

    void MessageFromOffice(const std::string& target = "Lab2") {
        ASSERT_TRUE(office.Send(target.c_str(), "ann", "are you there?", true));
        Tick(kReceive);
    }
    bool Visible() const { return ::IsWindowVisible(dlg->Hwnd()) != FALSE; }
    bool Iconic() const { return ::IsIconic(dlg->Hwnd()) != FALSE; }
    bool MessageBoxFocused() const { return ::GetFocus() == ::GetDlgItem(dlg->Hwnd(), IDC_MESSAGE); }
    // KillTimer tells whether the timer ran; it is started again when it did.
    bool TimerRuns(UINT_PTR timer, UINT periodMs) const {
        if (!::KillTimer(dlg->Hwnd(), timer)) return false;
        ::SetTimer(dlg->Hwnd(), timer, periodMs, nullptr);
        return true;
    }

    // Runs `inside` while a modal message box is open over the chat window.
    void WithModalBox(const std::function<void(HWND box)>& inside) {
        static const std::function<void(HWND)>* s_inside = nullptr;
        s_inside = &inside;
        ::SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
            CChatDlg* chat = GetChatDlg();
            const HWND box = chat ? ::GetLastActivePopup(chat->Hwnd()) : nullptr;
            if (!box || (chat && box == chat->Hwnd())) return;  // not up yet
            ::KillTimer(nullptr, id);
            (*s_inside)(box);
            ::EndDialog(box, IDOK);
        });
        ::MessageBoxA(dlg->Hwnd(), "modal", "Mivlet modal", MB_OK);
    }
};

// Each reaction, with and without the sound, for a message that arrives
// while the window is hidden and another program is in front.
TEST_F(NewMessageAlertTest, EachReactionWithAndWithoutTheSound) {
    struct CCase {
        EReaction reaction;
        bool sound;
        bool visible, iconic, flashing, broughtForward;
    };
    const CCase cases[] = {
        {EReaction::FlashTaskbar, false, true, true, true, false},
        {EReaction::FlashTaskbar, true, true, true, true, false},
        {EReaction::PopUp, false, true, false, false, true},
        {EReaction::PopUp, true, true, false, false, true},
        {EReaction::Nothing, false, false, false, false, false},
        {EReaction::Nothing, true, false, false, false, false},
    };
    for (const CCase& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.reaction)) + (c.sound ? " with sound" : ""));
        dlg->ShowChat(false, false);
        ::KillTimer(dlg->Hwnd(), CChatDlg::kFlashTimer);
        desktop = CMemoryDesktop{};
        desktop.foreground = kEditor;
        settings.onNewMessage = c.reaction;
        settings.playSound = c.sound;

        MessageFromOffice();
        EXPECT_EQ(Visible(), c.visible);
        EXPECT_EQ(Iconic(), c.iconic);
        EXPECT_EQ(desktop.sounds, c.sound ? 1 : 0);
        EXPECT_EQ(TimerRuns(CChatDlg::kFlashTimer, 500), c.flashing);
        EXPECT_EQ(!desktop.foregroundRequests.empty(), c.broughtForward);
        if (c.broughtForward) {
            EXPECT_EQ(desktop.foregroundRequests.back().window, Chat());
            EXPECT_EQ(desktop.foregroundRequests.back().lockTimeout, 0u) << "the lock is lifted for the request";
            EXPECT_EQ(desktop.lockTimeout, 200000u) << "and put back";
            EXPECT_TRUE(MessageBoxFocused());
        }
        EXPECT_EQ(SelectedTo(), "Office  (ann)");
    }
}

TEST_F(NewMessageAlertTest, FlashingShowsTheWindowMinimisedAndAlternatesEveryTickUntilItIsInFront) {
    settings.onNewMessage = EReaction::FlashTaskbar;
    // The window the user works in.
    const HWND other = ::CreateWindowExA(0, "STATIC", "editor", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, 200, 100,
                                         nullptr, nullptr, nullptr, nullptr);
    ::SetActiveWindow(other);
    MessageFromOffice();
    EXPECT_TRUE(Visible());
    EXPECT_TRUE(Iconic());
    EXPECT_EQ(::GetActiveWindow(), other) << "shown without taking the activation";
    ::DestroyWindow(other);
    EXPECT_TRUE(desktop.flashes.empty()) << "the first flash comes with the first tick";

    // The flash timer's ticks, sent as the system would every 500 ms.
    ASSERT_TRUE(TimerRuns(CChatDlg::kFlashTimer, CNewMessageAlert::kFlashPeriodMs));
    for (int i = 0; i < 3; ++i) Tick(CChatDlg::kFlashTimer);
    EXPECT_EQ(desktop.flashes, (std::vector<CMemoryDesktop::CFlash>{{Chat(), true}, {Chat(), false}, {Chat(), true}}));

    // The user brings the window to the front: the caption is restored at
    // the next tick and the flashing stops.
    desktop.foreground = Chat();
    Tick(CChatDlg::kFlashTimer);
    EXPECT_FALSE(dlg->Alert().IsFlashing());
    EXPECT_EQ(desktop.flashes.back(), (CMemoryDesktop::CFlash{Chat(), false}));
    EXPECT_FALSE(TimerRuns(CChatDlg::kFlashTimer, CNewMessageAlert::kFlashPeriodMs));
}

TEST_F(NewMessageAlertTest, FlashingStopsWhenAModalWindowOfTheChatComesToTheFront) {
    settings.onNewMessage = EReaction::FlashTaskbar;
    dlg->ShowChat(true, false);
    MessageFromOffice();
    ASSERT_TRUE(dlg->Alert().IsFlashing());
    WithModalBox([&](HWND box) {
        desktop.foreground = reinterpret_cast<DesktopWindow>(box);
        Tick(CChatDlg::kFlashTimer);
    });
    EXPECT_FALSE(dlg->Alert().IsFlashing());
    EXPECT_EQ(desktop.flashes.back(), (CMemoryDesktop::CFlash{Chat(), false}));
}

TEST_F(NewMessageAlertTest, PopUpWithAModalWindowOpenBringsThatWindowForward) {
    settings.onNewMessage = EReaction::PopUp;
    dlg->ShowChat(true, false);
    HWND modal = nullptr;
    HWND focusInside = nullptr;
    WithModalBox([&](HWND box) {
        modal = box;
        desktop.foreground = kEditor;
        MessageFromOffice();
        focusInside = ::GetFocus();
    });
    ASSERT_FALSE(desktop.foregroundRequests.empty());
    EXPECT_EQ(desktop.foregroundRequests.back().window, reinterpret_cast<DesktopWindow>(modal));
    EXPECT_NE(focusInside, ::GetDlgItem(dlg->Hwnd(), IDC_MESSAGE)) << "the modal window keeps the focus";
}

TEST_F(NewMessageAlertTest, AMessageWhileTheChatIsInFrontOnlyMovesTheSelection) {
    settings.playSound = true;
    for (EReaction reaction : {EReaction::FlashTaskbar, EReaction::PopUp}) {
        settings.onNewMessage = reaction;
        dlg->ShowChat(true, false);
        desktop.foreground = Chat();
        SelectTo("(All Users)");
        MessageFromOffice();
        EXPECT_EQ(SelectedTo(), "Office  (ann)");
        EXPECT_EQ(desktop.sounds, 0);
        EXPECT_TRUE(desktop.flashes.empty());
        EXPECT_TRUE(desktop.foregroundRequests.empty());
        EXPECT_FALSE(TimerRuns(CChatDlg::kFlashTimer, 500));
        EXPECT_FALSE(Iconic());
    }
}

// The selection is the one step that the setting "DefaultToLastSender"
// turns off; the reaction still runs.
TEST_F(NewMessageAlertTest, WithoutFollowingTheSenderTheReactionStillRuns) {
    settings.defaultToLastSender = false;
    settings.onNewMessage = EReaction::PopUp;
    settings.playSound = true;
    MessageFromOffice();
    EXPECT_EQ(SelectedTo(), "(All Users)");
    EXPECT_TRUE(Visible());
    EXPECT_FALSE(Iconic());
    EXPECT_EQ(desktop.sounds, 1);
}

TEST_F(NewMessageAlertTest, AMessageToAllUsersSelectsAllUsers) {
    SelectTo("Office  (ann)");
    MessageFromOffice("*");
    EXPECT_EQ(SelectedTo(), "(All Users)");
}

// Nobody typing a password anywhere is interrupted: the reaction waits until
// the focus leaves the box, then comes within a retry period.
TEST_F(NewMessageAlertTest, APasswordBoxWithTheFocusDelaysTheReactionUntilTheFocusLeavesIt) {
    for (EReaction reaction : {EReaction::PopUp, EReaction::FlashTaskbar}) {
        SCOPED_TRACE(static_cast<int>(reaction));
        dlg->ShowChat(false, false);
        settings.onNewMessage = reaction;
        desktop = CMemoryDesktop{};
        desktop.foreground = kEditor;
        desktop.passwordFocused = true;
        MessageFromOffice();
        Pump(500);
        EXPECT_FALSE(Visible());
        EXPECT_TRUE(desktop.flashes.empty());
        EXPECT_TRUE(desktop.foregroundRequests.empty());

        desktop.passwordFocused = false;
        const DWORD left = ::GetTickCount();
        ASSERT_TRUE(PumpUntil([&] { return Visible(); }, 1000));
        const DWORD waited = ::GetTickCount() - left;
        EXPECT_LE(waited, CChatDlg::kNotifyRetryPeriodMs + 50) << waited << " ms";
        EXPECT_EQ(Iconic(), reaction == EReaction::FlashTaskbar);
        EXPECT_FALSE(TimerRuns(CChatDlg::kNotifyRetryTimer, CChatDlg::kNotifyRetryPeriodMs)) << "the retry ends";
    }
}

// Typing into another program holds the pop-up back, on the desktop's
// virtual clock: a key held, or input within the last second. Flashing
// takes no focus and goes ahead at once.
TEST_F(NewMessageAlertTest, TypingElsewhereHoldsThePopUpBackButNotTheFlash) {
    const struct {
        const char* what;
        bool keyDown;
        std::uint32_t sinceInput;
    } typing[] = {{"a key held, long after the last input", true, 5000}, {"input 200 ms ago", false, 200}};
    for (const auto& t : typing) {
        SCOPED_TRACE(t.what);
        dlg->ShowChat(false, false);
        settings.onNewMessage = EReaction::PopUp;
        desktop = CMemoryDesktop{};
        desktop.foreground = kEditor;
        desktop.keyDown = t.keyDown;
        desktop.lastInput = desktop.now - t.sinceInput;
        MessageFromOffice();
        Pump(400);
        EXPECT_FALSE(Visible());
        EXPECT_TRUE(desktop.foregroundRequests.empty());
        EXPECT_TRUE(TimerRuns(CChatDlg::kNotifyRetryTimer, CChatDlg::kNotifyRetryPeriodMs)) << "retried";

        // The user stops: the key let go, a second without input.
        desktop.keyDown = false;
        desktop.now = desktop.lastInput + kTypingPauseMs;
        ASSERT_TRUE(PumpUntil([&] { return Visible(); }, 1000));
        EXPECT_EQ(desktop.foregroundRequests.size(), 1u);
        EXPECT_FALSE(TimerRuns(CChatDlg::kNotifyRetryTimer, CChatDlg::kNotifyRetryPeriodMs)) << "the retry ends";
    }

    dlg->ShowChat(false, false);
    settings.onNewMessage = EReaction::FlashTaskbar;
    desktop = CMemoryDesktop{};
    desktop.foreground = kEditor;
    desktop.keyDown = true;
    desktop.lastInput = desktop.now;
    MessageFromOffice();
    ASSERT_TRUE(PumpUntil([&] { return Visible(); }, 1000));
    EXPECT_TRUE(Iconic()) << "shown minimised, without the focus";
    EXPECT_TRUE(desktop.foregroundRequests.empty());
}

TEST_F(NewMessageAlertTest, AMessageBeforeStartUpHasFinishedWaitsForIt) {
    settings.onNewMessage = EReaction::PopUp;
    dlg->SetReady(false);
    MessageFromOffice();
    Pump(400);
    EXPECT_FALSE(Visible());
    dlg->SetReady(true);
    EXPECT_TRUE(PumpUntil([&] { return Visible(); }, 1000));
}

// A second start, "&Chat!" and the tray icon ask for the window: shown,
// restored, the focus in the message box and in front, whatever
// "OnNewMessage" says.
TEST_F(NewMessageAlertTest, EveryRequestToShowTheWindowShowsItWhateverTheReaction) {
    const std::function<void()> requests[] = {
        [&] { ::SendMessageA(dlg->Hwnd(), ShowChatWndMessage(), 0, 0); },
        [&] { ::SendMessageA(dlg->Hwnd(), WM_COMMAND, ID_CHAT, 0); },
    };
    for (EReaction reaction : {EReaction::FlashTaskbar, EReaction::PopUp, EReaction::Nothing}) {
        for (bool minimised : {false, true}) {
            for (const auto& request : requests) {
                SCOPED_TRACE(std::to_string(static_cast<int>(reaction)) + (minimised ? " minimised" : " hidden"));
                settings.onNewMessage = reaction;
                dlg->ShowChat(false, false);
                if (minimised) dlg->ShowChat(true, true);
                desktop = CMemoryDesktop{};
                desktop.foreground = kEditor;
                request();
                EXPECT_TRUE(Visible());
                EXPECT_FALSE(Iconic());
                EXPECT_TRUE(MessageBoxFocused());
                ASSERT_EQ(desktop.foregroundRequests.size(), 1u);
                EXPECT_EQ(desktop.foregroundRequests[0].window, Chat());
            }
        }
    }
}

// The system may refuse the foreground: the request still shows the window,
// answers done once the window is visible, and flashes its caption.
TEST_F(NewMessageAlertTest, ARefusedForegroundStillLeavesTheWindowShownAndFlashing) {
    desktop.grantForeground = false;
    EXPECT_EQ(::SendMessageA(dlg->Hwnd(), ShowChatWndMessage(), 0, 0), 1);
    EXPECT_TRUE(Visible());
    EXPECT_EQ(desktop.foreground, kEditor);
    EXPECT_TRUE(dlg->Alert().IsFlashing());
    Tick(CChatDlg::kFlashTimer);
    EXPECT_EQ(desktop.flashes, (std::vector<CMemoryDesktop::CFlash>{{Chat(), true}}));
}

}  // namespace
