// The conversation as the chat window runs it: receive and ping ticks, the
// To: list, Send! with its checks, the commands of other copies, the
// QuickKeys and the name prompt. Ticks are sent to the window directly and
// the clock is the network's virtual one, so nothing waits for real time.

#include <algorithm>

#include "ChatDlgFixture.h"
#include "MenuWatch.h"
#include "messaging/CommandText.h"
#include "messaging/ProtocolLimits.h"
#include "resources/ResourceIds.h"

namespace {

using Texts = std::vector<std::string>;

constexpr UINT_PTR kReceive = CChatDlg::kReceiveTimer;
constexpr UINT_PTR kPresence = CChatDlg::kPresenceTimer;

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

class ConversationTest : public ChatDlgTest {
protected:
    void SetUp() override { Start(); }

    // Lab2 and `hall`, a second window, each send a presence ping, or each
    // take in what has arrived.
    void BothPing(CChatDlg& hall) {
        Tick(kPresence);
        Tick(hall, kPresence);
    }
    void BothReceive(CChatDlg& hall) {
        Tick(kReceive);
        Tick(hall, kReceive);
    }

    // Office announces `user`, and Lab2's next tick takes it in.
    void OfficePings(const std::string& user = "ann") {
        Ping(office, user);
        Tick(kReceive);
    }
    std::string HistoryLine(std::size_t index) const {
        const std::string text = HistoryText();
        std::size_t start = 0;
        for (std::size_t i = 0; i < index && start != std::string::npos; ++i) {
            start = text.find('\r', start);
            if (start != std::string::npos) ++start;
        }
        return start == std::string::npos ? std::string() : text.substr(start, text.find('\r', start) - start);
    }

    CMemoryComputer& hallHost = net.AddComputer("Hall");
};

TEST_F(ConversationTest, TwoCopiesListEachOtherAfterOnePingAndNeverThemselves) {
    CTestSettings hallSettings;
    hallSettings.userName = "ann";
    auto hall = StartCopy(hallHost, "Hall", hallSettings);
    BothPing(*hall);
    BothReceive(*hall);

    EXPECT_EQ(ToEntries(*dlg), (Texts{"(All Users)", "Hall  (ann)"}));
    EXPECT_EQ(ToEntries(*hall), (Texts{"(All Users)", "Lab2  (guest)"}));
    EXPECT_EQ(SelectedTo(), "(All Users)");
}

// Text of every script, typed in one window, shows in the other's history
// exactly, under a user name of its own script, and a copy of the history
// to the clipboard is the same text.
TEST_F(ConversationTest, TextOfEveryScriptArrivesExactlyAndCopiesExactly) {
    const std::string text = "Gr\xC3\xBC\xC3\x9F" "e, \xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, \xF0\x9F\x98\x80";
    const std::string nika = "\xD0\x9D\xD0\xB8\xD0\xBA\xD0\xB0";
    CTestSettings hallSettings;
    hallSettings.userName = nika;
    auto hall = StartCopy(hallHost, "Hall", hallSettings);
    BothPing(*hall);
    Tick(kReceive);
    EXPECT_TRUE(Contains(ToEntries(), "Hall  (" + nika + ")")) << "the name in the To: list";

    SendTyped(text);
    EXPECT_EQ(MessageBoxText(), "") << "sent";
    Tick(*hall, kReceive);
    const std::string shown = hall->History().GetTextRange(CHARRANGE{0, -1});
    EXPECT_NE(shown.find("> " + text + "\r"), std::string::npos) << shown;

    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    ::CloseClipboard();
    hall->History().SelectAll();
    ::SendMessageW(hall->History().Hwnd(), WM_COPY, 0, 0);
    ASSERT_TRUE(::OpenClipboard(nullptr));
    const HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    const auto* copied = data ? static_cast<const wchar_t*>(::GlobalLock(data)) : nullptr;
    const std::string clipboard = copied ? Narrow(copied) : std::string();
    if (copied) ::GlobalUnlock(data);
    ::CloseClipboard();
    EXPECT_NE(clipboard.find("> " + text), std::string::npos) << clipboard;
}

TEST_F(ConversationTest, ExitNoticeRemovesAPeerAtTheNextRefresh) {
    OfficePings();
    ASSERT_TRUE(Contains(ToEntries(), "Office  (ann)"));
    SelectTo("Office  (ann)");

    office.Send("*", "mivletcmd", "ping-appexit", true);
    Tick(kReceive);
    EXPECT_EQ(ToEntries(), (Texts{"(All Users)"}));
    EXPECT_EQ(SelectedTo(), "(All Users)") << "the selection falls back to all users";

    // One exit notice (it may be forged) does not move the next message:
    // a peer that pings again soon is selected again.
    OfficePings();
    EXPECT_TRUE(Contains(ToEntries(), "Office  (ann)")) << "a peer that pings again comes back";
    EXPECT_EQ(SelectedTo(), "Office  (ann)") << "selected again";

    // Unless the user chose another entry meanwhile, as the control tells.
    office.Send("*", "mivletcmd", "ping-appexit", true);
    Tick(kReceive);
    SelectTo("(All Users)");
    ::SendMessageA(dlg->Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_TO, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dlg->Hwnd(), IDC_TO)));
    OfficePings();
    EXPECT_TRUE(Contains(ToEntries(), "Office  (ann)"));
    EXPECT_EQ(SelectedTo(), "(All Users)") << "the user's choice stays";
}

TEST_F(ConversationTest, SilenceRemovesAPeerAtTheFirstRefreshFifteenSecondsAfterItsLastPing) {
    OfficePings();
    net.Advance(14'000);
    Tick(kPresence);
    EXPECT_TRUE(Contains(ToEntries(), "Office  (ann)")) << "14 s of silence";
    net.Advance(1'000);
    Tick(kPresence);
    EXPECT_EQ(ToEntries(), (Texts{"(All Users)"})) << "15 s of silence";
}

TEST_F(ConversationTest, RenameTravelsThroughThePendingUserAndKeepsTheSelection) {
    OfficePings("ann");
    SelectTo("Office  (ann)");
    Ping(office, "ann smith");
    ASSERT_TRUE(office.Send("Lab2", "ann smith", "still me", true));
    Tick(kReceive);
    EXPECT_EQ(ToEntries(), (Texts{"(All Users)", "Office  (ann smith)"}));
    EXPECT_EQ(SelectedTo(), "Office  (ann smith)");
    EXPECT_EQ(dlg->Peers().Peers().at(0).pendingUser, "");
}

TEST_F(ConversationTest, ChatFromAComputerThatNeverPingedIsShownAndAddsNoPeer) {
    ASSERT_TRUE(office.Send("Lab2", "ann", "hello", true));
    Tick(kReceive);
    EXPECT_EQ(HistoryLine(0), "ann 9:05> hello");
    EXPECT_TRUE((dlg->Peers().Peers()).empty());
    EXPECT_EQ(ToEntries(), (Texts{"(All Users)"}));
}

// Which entry a tick's messages leave selected, with Office and Hall known
// and Hall selected beforehand.
TEST_F(ConversationTest, OnlyTheLatestChatMessageFromAnotherComputerDecidesTheSelection) {
    CMailslot hall(hallHost, net, "Hall");
    CMailslot* const self = nullptr;  // Lab2's own endpoint, as its broadcasts come back
    struct CCase {
        const char* what;
        std::vector<std::pair<CMailslot*, const char*>> batch;  // sender, target
        const char* selected;
        bool defaultToLastSender;
    };
    const std::vector<CCase> cases = {
        {"direct from Office, then Hall", {{&office, "Lab2"}, {&hall, "Lab2"}}, "Hall  (bob)", true},
        {"direct from Hall, then Office", {{&hall, "Lab2"}, {&office, "Lab2"}}, "Office  (ann)", true},
        {"Office direct, then Hall to all", {{&office, "Lab2"}, {&hall, "*"}}, "(All Users)", true},
        {"Office direct, then Lab2's own broadcast", {{&office, "Lab2"}, {self, "*"}}, "Office  (ann)", true},
        {"only Lab2's own broadcast", {{self, "*"}}, "Hall  (bob)", true},
        {"only a command", {}, "Hall  (bob)", true},
        {"the setting off", {{&office, "Lab2"}}, "Hall  (bob)", false},
    };
    Ping(office, "ann");
    Ping(hall, "bob");
    Tick(kReceive);
    for (const CCase& c : cases) {
        SelectTo("Hall  (bob)");
        settings.defaultToLastSender = c.defaultToLastSender;
        for (const auto& [from, target] : c.batch) {
            const char* user = from == &office ? "ann" : from == &hall ? "bob" : "guest";
            CMailslot& endpoint = from ? *from : dlg->Session().Endpoint();
            ASSERT_TRUE(endpoint.Send(target, user, "hi", true)) << c.what;
        }
        if (c.batch.empty()) office.Send("Lab2", "mivletcmd", "admin:unknown", true);
        Tick(kReceive);
        EXPECT_EQ(SelectedTo(), c.selected) << c.what;
    }
}

TEST_F(ConversationTest, ToAllUsersTheLimitIsUnder3000Bytes) {
    SendTyped(std::string(2999, 'x'));
    EXPECT_TRUE((dlg->boxes).empty());
    EXPECT_EQ(MessageBoxText(), "");
    Tick(kReceive);
    EXPECT_EQ(HistoryLine(0), "guest (to all users) 9:05> " + std::string(2999, 'x'))
        << "shown once, when it comes back from the network";

    const std::size_t written = net.Writes().size();
    SendTyped(std::string(3000, 'x'));
    ASSERT_EQ(dlg->boxes.size(), 1u);
    EXPECT_EQ(dlg->boxes[0].text, "Messages sent to all users need to be under 3,000 characters.");
    EXPECT_EQ(dlg->boxes[0].style, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(net.Writes().size(), written);
    EXPECT_EQ(MessageBoxText(), std::string(3000, 'x'));
}

TEST_F(ConversationTest, ThePromptBeforeAllUsersSendsOnlyOnYes) {
    settings.promptOnAllUsers = true;
    for (int answer : {IDNO, IDCANCEL, IDYES}) {
        dlg->boxes.clear();
        dlg->answer = answer;
        SendTyped("to everybody");
        ASSERT_EQ(dlg->boxes.size(), 1u);
        EXPECT_EQ(dlg->boxes[0].style, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION));
        EXPECT_EQ(MessageBoxText(), answer == IDYES ? "" : "to everybody") << answer;
    }
    EXPECT_EQ(MessagesFrom("Lab2"), (Texts{"* guest>\tto everybody"}));
    EXPECT_EQ(HistoryText(), "") << "the own broadcast is shown when it comes back";
}

TEST_F(ConversationTest, DirectMessagesAreSentAndShownOnce) {
    OfficePings();
    SelectTo("Office  (ann)");
    SendTyped("  hi\r\n\r\n");
    EXPECT_EQ(MessagesFrom("Lab2"), (Texts{"Office guest>\t  hi"}));
    EXPECT_EQ(HistoryLine(0), "guest 9:05>   hi");
    EXPECT_EQ(MessageBoxText(), "");
}

TEST_F(ConversationTest, LocalCommandsAreNotTransmitted) {
    ASSERT_TRUE(office.Send("Lab2", "ann", "earlier", true));
    Tick(kReceive);
    SendTyped("Cls");
    EXPECT_EQ(HistoryText(), "");
    EXPECT_EQ(MessageBoxText(), "");

    SendTyped("quit now");
    EXPECT_EQ(MessagesFrom("Lab2"), (Texts{"* guest>\tquit now"}));

    SendTyped("QUIT");
    EXPECT_FALSE(dlg->Exists());
    EXPECT_EQ(MessagesFrom("Lab2"), (Texts{"* guest>\tquit now", "* mivletcmd>\tping-appexit"}));
}

// Receivers act on four verbs and drop any other command: a text after
// "admin:" that is none of them goes, and shows, as a message.
TEST_F(ConversationTest, OnlyTheKnownVerbsTravelAsCommands) {
    OfficePings();
    SelectTo("Office  (ann)");
    SendTyped("ADMIN:version");
    SendTyped("Admin: the printer is down");
    SelectTo("(All Users)");
    SendTyped("admin:frobnicate");
    EXPECT_EQ(MessagesFrom("Lab2"), (Texts{"Office mivletcmd>\tADMIN:version",
                                           "Office guest>\tAdmin: the printer is down",
                                           "* guest>\tadmin:frobnicate"}));
    const std::string history = HistoryText();
    EXPECT_NE(history.find("Admin: the printer is down"), std::string::npos) << history;
    EXPECT_EQ(history.find("ADMIN:version"), std::string::npos) << history;
}

TEST_F(ConversationTest, AGonePeerIsRefusedAndTheBoxKeepsTheText) {
    OfficePings();
    SelectTo("Office  (ann)");
    net.Advance(15'000);  // silent, and no refresh has run since
    SendTyped("are you there?");
    ASSERT_EQ(dlg->boxes.size(), 1u);
    EXPECT_EQ(dlg->boxes[0].text,
              "The target computer has been removed from your list.  This was because the computer stopped "
              "responding or because it is no longer running Mivlet.");
    EXPECT_TRUE((MessagesFrom("Lab2")).empty());
    EXPECT_EQ(ToEntries(), (Texts{"(All Users)"}));
    EXPECT_EQ(MessageBoxText(), "are you there?");
}

TEST_F(ConversationTest, ASendThatFailsSaysSoAndKeepsTheText) {
    OfficePings();
    SelectTo("Office  (ann)");
    officeHost.SetUnreachable(true);
    SendTyped("lost?");
    ASSERT_EQ(dlg->boxes.size(), 1u);
    EXPECT_EQ(dlg->boxes[0].text.rfind("Mivlet was unable to send your message.  Try sending", 0), 0u);
    EXPECT_EQ(MessageBoxText(), "lost?");
    EXPECT_EQ(HistoryText(), "");
}

TEST_F(ConversationTest, EveryCopyRepliesToAVersionRequestToAllUsersItselfIncluded) {
    CTestSettings hallSettings;
    auto hall = StartCopy(hallHost, "Hall", hallSettings);
    // Copies answer only computers they have heard from: Hall hears Lab2's
    // ping first.
    Tick(kPresence);
    Tick(*hall, kReceive);
    SendTyped("admin:version");
    Tick(*hall, kReceive);
    Tick(kReceive);  // Lab2's own request, and then the replies
    Tick(kReceive);
    const std::string reply = MakeVersionReply(ThisBuild());
    EXPECT_EQ(HistoryLine(0), "Hall 9:05> " + reply);
    EXPECT_EQ(HistoryLine(1), "Lab2 9:05> " + reply);
}

// A request whose sender name was never heard from gets no reply, so it
// can neither hold the window for the retry window nor point the reply at
// an address of the sender's choosing; a known peer's reply still gets the
// retries.
TEST_F(ConversationTest, AVersionRequestFromAComputerNeverHeardFromGetsNoReply) {
    CMemoryComputer& spoofer = net.AddComputer("Spoofer");
    CMailslot ghost(spoofer, net, "Ghost");
    ASSERT_TRUE(ghost.Send("Lab2", "mivletcmd", "admin:version", true));
    const std::uint32_t before = net.TickCount();
    const std::size_t writes = net.Writes().size();
    Tick(kReceive);
    EXPECT_LT(net.TickCount() - before, CMailslot::kOpenRetryWindowMs);
    EXPECT_EQ(net.Writes().size(), writes);

    OfficePings();
    ASSERT_TRUE(office.Send("Lab2", "mivletcmd", "admin:version", true));
    officeHost.SetUnreachable(true);
    const std::uint32_t retried = net.TickCount();
    Tick(kReceive);
    EXPECT_GE(net.TickCount() - retried, CMailslot::kOpenRetryWindowMs);
}

TEST_F(ConversationTest, QuitIsObeyedOnlyFromTheShareHostTheProgramRunsFrom) {
    CMailslot* const lab2Self = nullptr;  // the dialog's own endpoint
    struct CCase {
        const char* modulePath;
        CMailslot* from;
        bool exits;
    };
    const CCase cases[] = {
        {"\\\\office\\apps\\mivlet.exe", &office, true},
        {"\\\\OFFICE\\Apps\\Mivlet.exe", &office, true},
        {"\\\\officepc\\apps\\mivlet.exe", &office, false},
        {"c:\\program files\\mivlet\\mivlet.exe", &office, false},
        {"\\\\lab2\\apps\\mivlet.exe", lab2Self, false},  // from this computer itself
    };
    for (const CCase& c : cases) {
        dlg.reset();  // one mailslot per computer
        Start();
        dlg->modulePath = c.modulePath;
        (c.from ? *c.from : dlg->Session().Endpoint()).Send("*", "mivletcmd", "admin:\r\nquit", true);
        Tick(kReceive);
        EXPECT_EQ(!dlg->Exists(), c.exits) << c.modulePath;
        if (c.exits) {
            EXPECT_EQ(CommandBroadcasts().back(), "ping-appexit") << c.modulePath;
        }
    }
}

class QuickKeysTest : public ConversationTest {
protected:
    void SetUp() override {
        ConversationTest::SetUp();
        settings.quickKeys = {{3, "three"}, {5, "five"}, {6, "six"}};
        dlg->ShowChat(true, false);
        ::SetForegroundWindow(dlg->Hwnd());
        ::SetFocus(::GetDlgItem(dlg->Hwnd(), IDC_MESSAGE));
    }
    // The key as the message loop hands it to the dialog; true when consumed.
    // F10 comes as a system key, as the system sends it; `repeat` is an
    // auto-repeat of a held key.
    bool Press(UINT vk, bool alt = false, bool repeat = false) {
        const HWND focus = ::GetFocus();
        const UINT kind = alt || vk == VK_F10 ? WM_SYSKEYDOWN : WM_KEYDOWN;
        const LPARAM bits = (alt ? 1 << 29 : 0) | (repeat ? 1 << 30 : 0) | 1;
        MSG message{focus, kind, vk, bits, 0, {}};
        return PreTranslateForDialog(*dlg, message);
    }
    static void HoldShift(bool held) {
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[VK_SHIFT] = held ? 0x80 : 0;
        ::SetKeyboardState(keys);
    }
    std::string SelectedPart() const {
        DWORD first = 0, last = 0;
        ::SendDlgItemMessageA(dlg->Hwnd(), IDC_MESSAGE, EM_GETSEL, reinterpret_cast<WPARAM>(&first),
                              reinterpret_cast<LPARAM>(&last));
        return MessageBoxText().substr(first, last - first);
    }
};

TEST_F(QuickKeysTest, APressTypesTheKeysTextAndASecondOneWithinASecondSends) {
    ASSERT_EQ(::GetFocus(), ::GetDlgItem(dlg->Hwnd(), IDC_MESSAGE)) << "the message box needs the focus";
    ::SetDlgItemTextA(dlg->Hwnd(), IDC_MESSAGE, "say ");
    ::SendDlgItemMessageA(dlg->Hwnd(), IDC_MESSAGE, EM_SETSEL, 4, 4);
    EXPECT_TRUE(Press(VK_F5));
    EXPECT_EQ(MessageBoxText(), "say five");
    EXPECT_EQ(SelectedPart(), "five");
    net.Advance(1000);
    EXPECT_TRUE(Press(VK_F5));
    EXPECT_EQ(MessagesFrom("Lab2"), (Texts{"* guest>\tsay five"}));
    EXPECT_EQ(MessageBoxText(), "");
}

TEST_F(QuickKeysTest, AnotherKeyBetweenOrTooLongAPauseDisarmsTheSecondPress) {
    EXPECT_TRUE(Press(VK_F5));
    EXPECT_TRUE(Press(VK_F6));
    EXPECT_TRUE(Press(VK_F5));
    EXPECT_EQ(MessageBoxText(), "five") << "each text replaced the one before, which was selected";
    net.Advance(1001);
    EXPECT_TRUE(Press(VK_F5));
    Press('A');
    EXPECT_TRUE(Press(VK_F5));
    EXPECT_TRUE((MessagesFrom("Lab2")).empty());
}

// A key held for most of a second: one press, then the keyboard's repeats.
TEST_F(QuickKeysTest, AHeldKeyTypesOnceAndOnlyANewPressSends) {
    EXPECT_TRUE(Press(VK_F5));
    for (int i = 0; i < 20; ++i) {
        net.Advance(40);
        EXPECT_TRUE(Press(VK_F5, false, true)) << "a repeat is the QuickKey's, and does nothing";
    }
    EXPECT_EQ(MessageBoxText(), "five");
    EXPECT_TRUE(MessagesFrom("Lab2").empty());
    EXPECT_TRUE(Press(VK_F5)) << "released and pressed again within a second of the first";
    EXPECT_EQ(MessagesFrom("Lab2"), (Texts{"* guest>\tfive"}));
}

TEST_F(QuickKeysTest, ShiftF10OpensTheMessageBoxMenuInsteadOfTypingF10sText) {
    settings.quickKeys[10] = "ten";
    CMenuWatch watch([](HWND) { ::EndMenu(); });
    HoldShift(true);
    Press(VK_F10);
    HoldShift(false);
    EXPECT_TRUE(watch.Seen()) << "the edit control's own menu opened";
    EXPECT_TRUE(Press(VK_F10));
    EXPECT_EQ(MessageBoxText(), "ten");
}

TEST_F(QuickKeysTest, AKeyWithoutTextStillSendsOnItsSecondPress) {
    ::SetDlgItemTextA(dlg->Hwnd(), IDC_MESSAGE, "typed");
    EXPECT_TRUE(Press(VK_F7));
    EXPECT_EQ(MessageBoxText(), "typed");
    EXPECT_TRUE(Press(VK_F7));
    EXPECT_EQ(MessagesFrom("Lab2"), (Texts{"* guest>\ttyped"}));
}

TEST_F(QuickKeysTest, AltOrTheFocusElsewhereLeavesFunctionKeysAlone) {
    Press(VK_F3, true);
    Press(VK_F3, true);
    EXPECT_EQ(MessageBoxText(), "");
    ::SetFocus(::GetDlgItem(dlg->Hwnd(), IDC_TO));
    Press(VK_F3);
    Press(VK_F3);
    EXPECT_EQ(MessageBoxText(), "");
    EXPECT_TRUE((MessagesFrom("Lab2")).empty());
}

TEST_F(QuickKeysTest, ShiftEnterBreaksTheLineAndEnterSends) {
    ::SetDlgItemTextA(dlg->Hwnd(), IDC_MESSAGE, "one");
    ::SendDlgItemMessageA(dlg->Hwnd(), IDC_MESSAGE, EM_SETSEL, 3, 3);
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    ::SetKeyboardState(keys);
    EXPECT_TRUE(Press(VK_RETURN));
    keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
    EXPECT_EQ(MessageBoxText(), "one\r\n");
    EXPECT_TRUE((MessagesFrom("Lab2")).empty());

    // The edit control hands Enter on to the default button as posted keys.
    Press(VK_RETURN);
    EXPECT_TRUE(PumpUntil([&] { return !MessagesFrom("Lab2").empty(); }));
    EXPECT_EQ(MessagesFrom("Lab2"), (Texts{"* guest>\tone"})) << "Enter presses Send!, and the line break goes";
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(dlg->Hwnd(), IDC_MESSAGE)) << "the focus is back in the message box";
}

constexpr DesktopWindow kEditor = 0xE0E0;  // another program's window

class NamePromptTest : public ChatDlgTest {
protected:
    void SetUp() override {
        settings.userNameUnset = true;
        settings.userName = "kel";  // the cleaned login name
        Start();
    }
};

TEST_F(NamePromptTest, WaitsUntilTheUserHasTheWindowInFrontThenStoresTheNameAndAnnouncesIt) {
    Tick(CChatDlg::kNamePromptTimer);
    EXPECT_TRUE((dlg->promptsOffered).empty()) << "hidden window";
    // A message brought it up minimised while the user types elsewhere.
    desktop.foreground = kEditor;
    dlg->ShowChat(true, true);
    Tick(CChatDlg::kNamePromptTimer);
    EXPECT_TRUE((dlg->promptsOffered).empty()) << "minimised";
    ::ShowWindow(dlg->Hwnd(), SW_SHOWNOACTIVATE);
    Tick(CChatDlg::kNamePromptTimer);
    EXPECT_TRUE((dlg->promptsOffered).empty()) << "shown, but another program in front";

    dlg->promptAnswer = "Kel Smith";
    desktop.foreground = Chat();
    Tick(CChatDlg::kNamePromptTimer);
    EXPECT_EQ(dlg->promptsOffered, (Texts{"kel"}));
    EXPECT_EQ(settings.storedNames, (Texts{"Kel Smith"}));
    EXPECT_EQ(CommandBroadcasts().back(), "admin:ping Kel Smith");
    char name[64] = {};
    ::GetDlgItemTextA(dlg->Hwnd(), IDC_NAME, name, sizeof name);
    EXPECT_STREQ(name, "Kel Smith");
}

TEST_F(NamePromptTest, CancelKeepsTheLoginNameAndSaysSo) {
    dlg->ShowChat(true, false);
    desktop.foreground = Chat();
    Tick(CChatDlg::kNamePromptTimer);
    ASSERT_EQ(dlg->boxes.size(), 1u);
    EXPECT_EQ(dlg->boxes[0].text,
              "Since Mivlet requires a user name to function, it will be using your Windows login.");
    EXPECT_EQ(settings.storedNames, (Texts{"kel"}));
    EXPECT_EQ(CommandBroadcasts().back(), "admin:ping kel");
}

// Exit from the tray menu while the prompt is open ends the prompt as if
// cancelled, but nobody answered it: nothing is stored, nothing said.
TEST_F(NamePromptTest, AnExitWhileThePromptIsOpenStoresNothing) {
    dlg->ShowChat(true, false);
    desktop.foreground = Chat();
    dlg->whilePrompting = [&] { dlg->ExitProgram(); };
    Tick(CChatDlg::kNamePromptTimer);
    EXPECT_FALSE(dlg->Exists());
    EXPECT_TRUE(dlg->boxes.empty());
    EXPECT_TRUE(settings.storedNames.empty());
    EXPECT_EQ(CommandBroadcasts().back(), "ping-appexit");
}

}  // namespace

namespace {

// Lab2 (this window) talks to Hall, another window: once Hall has confirmed
// a message, one it leaves unconfirmed is reported in Lab2's history and log.
TEST_F(ConversationTest, AMessageHallDidNotConfirmIsReportedInTheHistoryAndTheLog) {
    CTestSettings hallSettings;
    hallSettings.userName = "ann";
    auto hall = StartCopy(hallHost, "Hall", hallSettings);
    BothPing(*hall);
    BothReceive(*hall);
    SelectTo("Hall  (ann)");

    SendTyped("first");
    Tick(*hall, kReceive);  // shows it and sends the receipt
    net.Advance(kReceiptWaitPacedMs);
    Tick(kReceive);
    EXPECT_EQ(HistoryLine(0), "guest 9:05> first");
    EXPECT_EQ(HistoryLine(1), "") << "a receipt is never shown";

    SendTyped("second");  // Hall has stopped reading
    net.Advance(kReceiptWaitPacedMs - 1);
    Tick(kReceive);
    EXPECT_EQ(HistoryLine(1), "guest 9:05> second");
    EXPECT_EQ(HistoryLine(2), "");
    net.Advance(1);
    Tick(kReceive);
    EXPECT_EQ(HistoryLine(2), "Hall did not confirm that your message arrived.");
    EXPECT_EQ(settings.logged.back(), "Hall did not confirm that your message arrived.\r\n");
    EXPECT_EQ(HistoryText().find("received"), std::string::npos);
}

}  // namespace
