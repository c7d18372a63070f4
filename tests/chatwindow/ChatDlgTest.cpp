// The chat dialog: start-up, showing and hiding, the messages and commands
// it answers, receiving, and the exit path.

#include "chatwindow/RegisteredMessages.h"
#include "chatwindow/Texts.h"
#include "messaging/UdpCarrier.h"
#include "platform/memory/MemorySockets.h"
#include "tests/chatwindow/ChatDlgFixture.h"
#include "resources/ResourceIds.h"

namespace {

TEST_F(ChatDlgTest, StartsHiddenAnnouncesTheUserAndTitlesItselfMivlet) {
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_FALSE(::IsWindowVisible(dlg->Hwnd()));
    EXPECT_TRUE(dlg->IsReady());
    EXPECT_EQ(Title(), "Mivlet");  // the template says otherwise
    EXPECT_EQ(CommandBroadcasts(), std::vector<std::string>{"admin:ping guest"});

    char toText[32] = {};
    ::GetDlgItemTextA(dlg->Hwnd(), IDC_TO, toText, sizeof toText);
    EXPECT_STREQ(toText, "(All Users)");
    char name[32] = {};
    ::GetDlgItemTextA(dlg->Hwnd(), IDC_NAME, name, sizeof name);
    EXPECT_STREQ(name, "guest");
    EXPECT_EQ(::SendDlgItemMessageA(dlg->Hwnd(), IDC_MESSAGE, EM_GETLIMITTEXT, 0, 0), 20480);
    // The Rich Edit 2.0 control took the placeholder's place and id.
    wchar_t className[32] = {};
    ::GetClassNameW(History(), className, 32);
    EXPECT_STREQ(className, L"RichEdit20W") << "the Unicode class";
    EXPECT_EQ(::GetDlgItem(dlg->Hwnd(), IDC_HISTORY), History());
    EXPECT_EQ(::GetDlgItem(dlg->Hwnd(), IDC_CAPTIONPLACEHOLDER), nullptr);
    EXPECT_EQ(::GetDlgItem(dlg->Hwnd(), IDC_ICONPLACEHOLDER), nullptr);

    dlg->ApplySettings();
    dlg->ShowChat(true, false);
    EXPECT_EQ(Title(), "Mivlet");
}

// Another user's copy is told that one copy serves the computer; a port that another program
// holds is named, since closing copies of Mivlet would not free it.
TEST_F(ChatDlgTest, AnEndpointThatCannotOpenSaysWhyAndEnds) {
    CMemoryUdpNetwork udp;
    CMemoryUdpHost& sockets = udp.AddHost("Lab2");
    EOpenSocket held = EOpenSocket::Failed;
    CSocket otherProgram(sockets, sockets.OpenUdpSocket(kDefaultUdpPort, &held));
    ASSERT_EQ(held, EOpenSocket::Opened);
    CUdpCarrier carrier(sockets, net, CUdpCarrier::COptions{}, &lab2Host);
    CTestChatDlg portInUse(carrier, net, codePage, "Lab2", settings, zone, desktop);
    portInUse.SetUdpPort(kDefaultUdpPort);
    EXPECT_FALSE(portInUse.CreateModeless(nullptr));
    EXPECT_TRUE(portInUse.MailslotFailed());
    ASSERT_EQ(portInUse.boxes.size(), 1u);
    EXPECT_EQ(portInUse.boxes[0].text,
              "Mivlet could not open UDP port 46464 because another program is using it.  Close that program, or "
              "choose another port for every computer with the UdpPort setting.");
    EXPECT_EQ(portInUse.boxes[0].style, static_cast<UINT>(MB_OK));

    // The mailslot of this computer stays taken by the first carrier: only
    // another user's copy gets past the single-copy check at start.
    CTestChatDlg secondCopy(lab2Host, net, codePage, "Lab2", settings, zone, desktop);
    EXPECT_FALSE(secondCopy.CreateModeless(nullptr));
    ASSERT_EQ(secondCopy.boxes.size(), 1u);
    EXPECT_EQ(secondCopy.boxes[0].text, kAnotherUsersCopyText);
}

TEST_F(ChatDlgTest, ShowsReceivedChatMessagesButNotCommands) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(office.Send("*", "Kel", "Hi", true));
    ASSERT_TRUE(office.Send("*", "mivletcmd", "admin:ping Kel", true));
    ASSERT_TRUE(PumpUntil([&] { return !dlg->History().ShownMessages().Empty(); }));
    Pump(150);
    EXPECT_EQ(HistoryText(), "Kel (to all users) 9:05> Hi\r");
}

TEST_F(ChatDlgTest, EscapeAndTheCloseBoxHideTheWindowAndKeepItRunning) {
    ASSERT_NO_FATAL_FAILURE(Start());
    for (const char* how : {"escape", "close box", "cancel"}) {
        dlg->ShowChat(true, false);
        ASSERT_TRUE(::IsWindowVisible(dlg->Hwnd()));
        const std::string what = how;
        if (what == "escape")
            ::PostMessageA(::GetDlgItem(dlg->Hwnd(), IDC_MESSAGE), WM_KEYDOWN, VK_ESCAPE, 0);
        else if (what == "close box")
            ::PostMessageA(dlg->Hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
        else
            ::PostMessageA(dlg->Hwnd(), WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(PumpUntil([&] { return !::IsWindowVisible(dlg->Hwnd()); })) << how;
        EXPECT_TRUE(dlg->Exists()) << how;
    }
    EXPECT_EQ(CommandBroadcasts().back().rfind("admin:ping", 0), 0u) << "no exit notice";

    // Still receiving while hidden.
    ASSERT_TRUE(office.Send("Lab2", "Kel", "still there?", true));
    EXPECT_TRUE(PumpUntil([&] { return !dlg->History().ShownMessages().Empty(); }));
}

TEST_F(ChatDlgTest, EscapeWithTheToListDroppedDownClosesTheListFirst) {
    ASSERT_NO_FATAL_FAILURE(Start());
    dlg->ShowChat(true, false);
    ::SetForegroundWindow(dlg->Hwnd());
    const HWND to = ::GetDlgItem(dlg->Hwnd(), IDC_TO);
    ::SetFocus(to);
    ::SendMessageA(to, CB_SHOWDROPDOWN, TRUE, 0);
    ASSERT_TRUE(::SendMessageA(to, CB_GETDROPPEDSTATE, 0, 0));
    ::PostMessageA(to, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(PumpUntil([&] { return !::SendMessageA(to, CB_GETDROPPEDSTATE, 0, 0); }, 1000));
    Pump(100);
    EXPECT_TRUE(::IsWindowVisible(dlg->Hwnd())) << "the first Escape only closes the list";
    ::PostMessageA(to, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindowVisible(dlg->Hwnd()); }));
}

// Tab from the message box walks every control once, the caption bar's
// Help button and Options among them; the history is named by the label
// before it, as screen readers look.
TEST_F(ChatDlgTest, TabWalksTheControlsInOrderAndTheHistoryHasALabel) {
    ASSERT_NO_FATAL_FAILURE(Start());
    dlg->ShowChat(true, false);
    const HWND message = ::GetDlgItem(dlg->Hwnd(), IDC_MESSAGE);
    std::vector<int> order;
    HWND at = message;
    for (int i = 0; i < 10; ++i) {
        at = ::GetNextDlgTabItem(dlg->Hwnd(), at, FALSE);
        if (!at) break;
        order.push_back(::GetDlgCtrlID(at));
        if (at == message) break;
    }
    EXPECT_EQ(order, (std::vector<int>{IDC_SEND, CCaptionBar::kButtonId, IDC_OPTIONS, IDC_HISTORY, IDC_TO, IDC_MESSAGE}));
    EXPECT_EQ(::GetParent(::GetNextDlgTabItem(dlg->Hwnd(), ::GetDlgItem(dlg->Hwnd(), IDC_SEND), FALSE)),
              dlg->CaptionBar().Hwnd())
        << "the caption bar's Help button";

    const HWND label = ::GetWindow(History(), GW_HWNDPREV);
    ASSERT_TRUE(label);
    char text[32] = {}, className[32] = {};
    ::GetWindowTextA(label, text, sizeof text);
    ::GetClassNameA(label, className, sizeof className);
    EXPECT_STREQ(text, "History");
    EXPECT_EQ(::lstrcmpiA(className, "Static"), 0);
}

TEST_F(ChatDlgTest, CloseFromOutsideEndsTheWindowWithTheExitNotice) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ::PostMessageA(dlg->Hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return !dlg->Exists(); }));
    EXPECT_EQ(CommandBroadcasts().back(), "ping-appexit");
}

// SC_CLOSE over a modal window is a request to end: the modal loop is ended
// first, then the window goes.
TEST_F(ChatDlgTest, CloseBoxWithAModalWindowOpenEndsTheProgram) {
    ASSERT_NO_FATAL_FAILURE(Start());
    dlg->ShowChat(true, false);
    ::SetForegroundWindow(dlg->Hwnd());
    // Once the box is up, the close request reaches the chat window; should
    // it not end the box, the second timer does, so the test cannot hang.
    ::SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR id, DWORD) {
        ::KillTimer(nullptr, id);
        if (CChatDlg* chat = GetChatDlg()) ::PostMessageA(chat->Hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    const UINT_PTR rescue = ::SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR id, DWORD) {
        ::KillTimer(nullptr, id);
        if (HWND box = ::FindWindowA("#32770", "Mivlet modal")) ::EndDialog(box, IDABORT);
    });
    const int result = ::MessageBoxA(dlg->Hwnd(), "modal", "Mivlet modal", MB_OK);
    ::KillTimer(nullptr, rescue);
    EXPECT_EQ(result, 0);  // ended by the exit, not by a button
    EXPECT_FALSE(dlg->Exists());
    EXPECT_EQ(CommandBroadcasts().back(), "ping-appexit");
}

TEST_F(ChatDlgTest, AnswersASecondStartAndShowsItself) {
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_EQ(::SendMessageA(dlg->Hwnd(), IsMivletApplicationMessage(), kIsMivletQuery, 0), kIsMivletReply);
    EXPECT_EQ(::SendMessageA(dlg->Hwnd(), IsMivletApplicationMessage(), kIsMivletQuery + 1, 0), 0);
    EXPECT_FALSE(::IsWindowVisible(dlg->Hwnd()));
    EXPECT_EQ(::SendMessageA(dlg->Hwnd(), ShowChatWndMessage(), 0, 0), 1);
    EXPECT_TRUE(::IsWindowVisible(dlg->Hwnd()));
    EXPECT_EQ(Title(), "Mivlet");
}

TEST_F(ChatDlgTest, HidingRequestsANewLogBlock) {
    ASSERT_NO_FATAL_FAILURE(Start());
    dlg->ShowChat(true, false);
    dlg->History().AppendMessage(Record("guest", "Hi"));
    ASSERT_FALSE(dlg->History().IsLogHeaderPending());
    dlg->ShowChat(false, false);
    EXPECT_TRUE(dlg->History().IsLogHeaderPending());
}

TEST_F(ChatDlgTest, AnUnsetUserNameStartsTheNamePromptTimerUntilTheWindowIsInFront) {
    settings.userNameUnset = true;
    ASSERT_NO_FATAL_FAILURE(Start());
    // The timer's tick kills it once the window is in front; SetTimer on an
    // id that is gone creates it anew, so KillTimer's result tells.
    Pump(30);
    EXPECT_TRUE(::KillTimer(dlg->Hwnd(), CChatDlg::kNamePromptTimer));
    ::SetTimer(dlg->Hwnd(), CChatDlg::kNamePromptTimer, 1, nullptr);
    dlg->ShowChat(true, false);
    desktop.foreground = Chat();
    Pump(50);
    EXPECT_FALSE(::KillTimer(dlg->Hwnd(), CChatDlg::kNamePromptTimer));
}

TEST_F(ChatDlgTest, TheProcessWidePointerFollowsTheDialog) {
    EXPECT_EQ(GetChatDlg(), nullptr);
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_EQ(GetChatDlg(), dlg.get());
    dlg.reset();
    EXPECT_EQ(GetChatDlg(), nullptr);
}

}  // namespace
