#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/codepage/CodePage1252.h"
#include "chatwindow/QuickKeys.h"
#include "chatwindow/RecipientList.h"
#include "chatwindow/NewMessagePlan.h"
#include "chatwindow/SendPlan.h"
#include "messaging/TypedText.h"
#include "messaging/CommandText.h"
#include "util/AsciiText.h"

namespace {

using Entries = std::vector<std::string>;

CMessageRecord Ping(const std::string& computer, std::uint32_t time) {
    CMessageRecord r;
    r.computer = computer;
    r.user = kCommandMarker;
    r.time = time;
    return r;
}

// A list that knows its entries without searching, as the control's
// adapter does: the refresh then skips the search for unchanged entries,
// and must come to the same list and selection.
class CKnowingRecipientList final : public CMemoryRecipientList {
public:
    bool SurelyContains(std::string_view text) const override { return m_known.count(LowerAscii(text)) > 0; }
    int Add(std::string_view text) override {
        m_known.insert(LowerAscii(text));
        return CMemoryRecipientList::Add(text);
    }
    void Delete(int index) override {
        if (index >= 0 && index < static_cast<int>(Entries().size()))
            m_known.erase(m_known.find(LowerAscii(Entries()[index])));
        CMemoryRecipientList::Delete(index);
    }

private:
    std::multiset<std::string> m_known;
};

// The list starts as the dialog leaves it: "(All Users)", selected. Every
// case runs with a list that searches and with one that knows.
class RecipientListTest : public ::testing::TestWithParam<bool> {
protected:
    RecipientListTest()
        : owned(GetParam() ? std::make_unique<CKnowingRecipientList>() : std::make_unique<CMemoryRecipientList>()),
          list(*owned) {
        list.Select(list.Add(kAllUsersEntry));
    }
    void Heard(const std::string& computer, const std::string& user, std::uint32_t time) {
        peers.ApplyPing(Ping(computer, time), user);
    }
    CPeerTable peers;
    std::unique_ptr<CMemoryRecipientList> owned;
    CMemoryRecipientList& list;
};

INSTANTIATE_TEST_SUITE_P(SearchingOrKnowing, RecipientListTest, ::testing::Bool());

TEST_P(RecipientListTest, AlivePeersAreListedInSortedOrder) {
    Heard("Mill", "Ann", 100);
    Heard("Lab2", "Kel", 100);
    Heard("3d-Pc", "Bob", 100);
    RefreshRecipientList(peers, 100, list);
    EXPECT_EQ(list.Entries(), (Entries{"(All Users)", "3d-Pc  (Bob)", "Lab2  (Kel)", "Mill  (Ann)"}));
    EXPECT_EQ(list.SelectedText(), "(All Users)");
}

TEST_P(RecipientListTest, SilenceAndExitNoticesRemoveEntriesAndTheSelectionFallsBack) {
    Heard("Lab2", "Kel", 100);
    Heard("Mill", "Ann", 100);
    RefreshRecipientList(peers, 100, list);
    list.Select(list.FindExact("Lab2  (Kel)"));

    RefreshRecipientList(peers, 114, list);  // 14 seconds: still there
    EXPECT_EQ(list.SelectedText(), "Lab2  (Kel)");
    Heard("Mill", "Ann", 114);
    RefreshRecipientList(peers, 115, list);  // 15 seconds: gone
    EXPECT_EQ(list.Entries(), (Entries{"(All Users)", "Mill  (Ann)"}));
    EXPECT_EQ(list.SelectedText(), "(All Users)");

    peers.ApplyExit("Mill");
    RefreshRecipientList(peers, 115, list);
    EXPECT_EQ(list.Entries(), Entries{"(All Users)"});

    // Back again: listed, but the selection stays where it is.
    Heard("Mill", "Ann", 120);
    RefreshRecipientList(peers, 120, list);
    EXPECT_EQ(list.Entries(), (Entries{"(All Users)", "Mill  (Ann)"}));
    EXPECT_EQ(list.SelectedText(), "(All Users)");
}

// A selected peer that leaves and comes back within a minute, while the
// user chose nothing else, is selected again. Each case: Lab2 selected at
// 100, then the script, one event a second from 101 on:
//   x  Lab2's exit notice     s  Lab2 falls silent (15 s pass)
//   p  Lab2 pings             m  Mill pings
//   u  the user (or a shown message) selects "Mill  (Ann)"
//   w  57 s more pass, W  58 s: the event after comes 59 s or 60 s after
//      the one before
// A refresh follows every event.
TEST_P(RecipientListTest, ASelectedPeerThatComesBackSoonIsSelectedAgain) {
    const struct {
        const char* script;
        const char* selected;
    } cases[] = {
        {"x", "(All Users)"},
        {"xp", "Lab2  (Kel)"},   // one forged exit notice
        {"sp", "Lab2  (Kel)"},   // a network blip
        {"xwp", "Lab2  (Kel)"},
        {"xWp", "(All Users)"},  // gone too long
        {"xup", "Mill  (Ann)"},  // the user chose another
        {"xmp", "Lab2  (Kel)"},  // another peer's coming back changes nothing
        {"xpxp", "Lab2  (Kel)"},
        {"p", "Lab2  (Kel)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        CPeerTable table;
        CMemoryRecipientList to;
        to.Select(to.Add(kAllUsersEntry));
        CLostSelection lost;
        table.ApplyPing(Ping("Lab2", 100), "Kel");
        table.ApplyPing(Ping("Mill", 100), "Ann");
        std::uint32_t now = 100;
        RefreshRecipientList(table, now, to, lost);
        to.Select(to.FindExact("Lab2  (Kel)"));
        for (const char* event = c.script; *event; ++event) {
            ++now;
            switch (*event) {
            case 'x': table.ApplyExit("Lab2"); break;
            case 's': now += 15; break;
            case 'p': table.ApplyPing(Ping("Lab2", now), "Kel"); break;
            case 'm': table.ApplyPing(Ping("Mill", now), "Ann"); break;
            case 'u': to.Select(to.FindExact("Mill  (Ann)")); lost.Clear(); break;
            case 'w': now += 57; break;
            case 'W': now += 58; break;
            }
            table.ApplyPing(Ping("Mill", now), "Ann");  // Mill stays
            RefreshRecipientList(table, now, to, lost);
        }
        EXPECT_EQ(to.SelectedText(), c.selected);
    }
}

TEST_P(RecipientListTest, ARenameReplacesTheEntryAndKeepsItSelected) {
    Heard("Lab2", "Kel", 100);
    RefreshRecipientList(peers, 100, list);
    list.Select(list.FindExact("lab2  (kel)"));
    Heard("Lab2", "Kel Smith", 101);
    EXPECT_EQ(list.Entries(), (Entries{"(All Users)", "Lab2  (Kel)"}));  // until the refresh
    RefreshRecipientList(peers, 101, list);
    EXPECT_EQ(list.Entries(), (Entries{"(All Users)", "Lab2  (Kel Smith)"}));
    EXPECT_EQ(list.SelectedText(), "Lab2  (Kel Smith)");
    EXPECT_EQ(peers.Peers()[0].user, "Kel Smith");
    EXPECT_EQ(peers.Peers()[0].pendingUser, "");
}

// A refresh with more to change than it may does that much, says so, and
// the refreshes after it end where one unbounded refresh would have.
TEST_P(RecipientListTest, ARefreshBoundedInChangesFinishesOverTheNextOnes) {
    for (int i = 0; i < 10; ++i) Heard("Pc" + std::to_string(i), "User", 100);
    EXPECT_FALSE(RefreshRecipientList(peers, 100, list, 4));
    EXPECT_EQ(list.Entries().size(), 1u + 4u);
    EXPECT_FALSE(RefreshRecipientList(peers, 100, list, 4));
    EXPECT_TRUE(RefreshRecipientList(peers, 100, list, 4));
    EXPECT_EQ(list.Entries().size(), 1u + 10u);
    list.Select(list.FindExact("Pc9  (User)"));

    // All fall silent but two, which are renamed; the selected one goes.
    Heard("Pc3", "Ann", 110);
    Heard("Pc7", "Bob", 110);
    int refreshes = 1;
    while (!RefreshRecipientList(peers, 115, list, 3)) ++refreshes;
    EXPECT_EQ(refreshes, 4);  // 8 removals and 2 renames of 2 changes each
    EXPECT_EQ(list.Entries(), (Entries{"(All Users)", "Pc3  (Ann)", "Pc7  (Bob)"}));
    EXPECT_EQ(list.SelectedText(), "(All Users)");
    EXPECT_TRUE(RefreshRecipientList(peers, 115, list, 3));
}

TEST_P(RecipientListTest, AClockSetBackKeepsPeersListedAndReachable) {
    Heard("Lab2", "Kel", 10000);
    RefreshRecipientList(peers, 10000, list);
    list.Select(list.FindExact("Lab2  (Kel)"));
    // The clock goes back an hour: last seen lies in the future.
    RefreshRecipientList(peers, 6400, list);
    EXPECT_EQ(list.Entries(), (Entries{"(All Users)", "Lab2  (Kel)"}));
    EXPECT_EQ(list.SelectedText(), "Lab2  (Kel)");
    EXPECT_EQ(PlanSend("hi", "Lab2  (Kel)", peers, 6400, "me", false, CCodePage1252()).step, CSendPlan::EStep::Send);
}

TEST(QuickKeys, SecondPressOfTheSameKeyWithinASecondSends) {
    using EPress = CQuickKeyState::EPress;
    const struct {
        const char* name;
        std::vector<std::pair<int, std::uint32_t>> presses;  // key, tick
        std::vector<EPress> results;
    } cases[] = {
        {"F5 F5", {{5, 100}, {5, 600}}, {EPress::TypeText, EPress::SendMessage}},
        {"F5 F6 F5", {{5, 100}, {6, 200}, {5, 300}}, {EPress::TypeText, EPress::TypeText, EPress::TypeText}},
        {"F7 F7 at exactly a second", {{7, 0}, {7, 1000}}, {EPress::TypeText, EPress::SendMessage}},
        {"F7 F7 too slow", {{7, 0}, {7, 1001}}, {EPress::TypeText, EPress::TypeText}},
        {"F5 F5 F5", {{5, 0}, {5, 10}, {5, 20}}, {EPress::TypeText, EPress::SendMessage, EPress::TypeText}},
        {"across the tick wrap", {{9, 0xFFFFFF00u}, {9, 0x100}}, {EPress::TypeText, EPress::SendMessage}},
    };
    for (const auto& c : cases) {
        CQuickKeyState state;
        std::vector<EPress> results;
        for (auto [key, tick] : c.presses) results.push_back(state.Press(key, tick));
        EXPECT_EQ(results, c.results) << c.name;
    }
    CQuickKeyState state;
    state.Press(5, 0);
    state.Clear();  // another key between the two presses
    EXPECT_EQ(state.Press(5, 10), EPress::TypeText);

    EXPECT_EQ(QuickKeyNumber(0x70), 0);   // F1 is Help
    EXPECT_EQ(QuickKeyNumber(0x71), 2);
    EXPECT_EQ(QuickKeyNumber(0x7B), 12);
    EXPECT_EQ(QuickKeyNumber(0x7C), 0);   // F13
    EXPECT_EQ(QuickKeyNumber(0x41), 0);
    EXPECT_FALSE(QuickKeyTypesText(""));
    EXPECT_FALSE(QuickKeyTypesText("(none)"));
    EXPECT_TRUE(QuickKeyTypesText("(None)"));  // compared exactly
}

TEST(TypedText, LeadingEmptyLinesShrinkAndTrailingBreaksGo) {
    const struct { const char* in; const char* out; } cases[] = {
        {"  word\r\n\r\n", "  word"},
        {"\r\n\r\n\r\nword", "\r\nword"},
        {"\r\n\r\n", ""},
        {"a\r\nb", "a\r\nb"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(CleanTypedText(c.in), c.out) << c.in;
}

std::string Repeat(std::string_view text, std::size_t times) {
    std::string repeated;
    for (std::size_t i = 0; i < times; ++i) repeated += text;
    return repeated;
}

TEST(SendPlan, ChecksInTheirOrder) {
    using EStep = CSendPlan::EStep;
    const std::string e = "\xc3\xa9";        // one byte in code page 1252
    const std::string be = "\xd0\xb1";       // Cyrillic, sent as UTF-8 after the 3-byte mark
    CPeerTable peers;
    peers.ApplyPing(Ping("Lab2", 100), "Kel");
    peers.ApplyPing(Ping("Mill", 80), "Ann");  // silent for 20 s at 100
    peers.CommitPendingUsers();

    const struct {
        const char* name;
        std::string text;
        const char* recipient;
        bool prompt;
        EStep step;
        const char* target;
        const char* sender;
        bool askFirst;
        bool appendOwn;
    } cases[] = {
        {"to all", "hi", "(All Users)", true, EStep::Send, "*", "me", true, false},
        {"to all without the prompt", "hi", "(All Users)", false, EStep::Send, "*", "me", false, false},
        {"2,999 bytes to all", std::string(2999, 'x'), "(All Users)", false, EStep::Send, "*", "me", false, false},
        {"3,000 bytes to all", std::string(3000, 'x'), "(All Users)", false, EStep::TooLongForAllUsers, "*", "me",
         false, false},
        {"3,000 bytes to one", std::string(3000, 'x'), "Lab2  (Kel)", true, EStep::Send, "Lab2", "me", false, true},
        // The limits count the bytes on the wire: what fitted in the code
        // page fits still, UTF-8 counts its mark and its longer characters.
        {"2,999 letters of the page to all", Repeat(e, 2999), "(All Users)", false, EStep::Send, "*", "me", false,
         false},
        {"1,498 Cyrillic letters to all", Repeat(be, 1498), "(All Users)", false, EStep::Send, "*", "me", false, false},
        {"1,499 Cyrillic letters to all", Repeat(be, 1499), "(All Users)", false, EStep::TooLongForAllUsers, "*",
         "me", false, false},
        {"20,480 letters of the page to one", Repeat(e, 20480), "Lab2  (Kel)", true, EStep::Send, "Lab2", "me",
         false, true},
        {"10,238 Cyrillic letters to one", Repeat(be, 10238), "Lab2  (Kel)", true, EStep::Send, "Lab2", "me", false,
         true},
        {"10,239 Cyrillic letters to one", Repeat(be, 10239), "Lab2  (Kel)", true, EStep::TooLong, "Lab2", "me",
         false, false},
        {"to a live peer", "hi", "LAB2  (KEL)", true, EStep::Send, "Lab2", "me", false, true},
        {"to a silent peer", "hi", "Mill  (Ann)", true, EStep::PeerGone, "Mill", "me", false, false},
        {"to a name no peer has", "hi", "Faraway", true, EStep::Send, "Faraway", "me", false, true},
        {"QUIT", "QUIT", "Lab2  (Kel)", true, EStep::Quit, "Lab2", "", false, false},
        {"Cls", "Cls", "(All Users)", true, EStep::ClearHistory, "*", "", false, false},
        {"quit now", "quit now", "Lab2  (Kel)", true, EStep::Send, "Lab2", "me", false, true},
        {"a command to one", "ADMIN:version", "Lab2  (Kel)", true, EStep::Send, "Lab2", "mivletcmd", false, false},
        {"a command to all", "admin:quit", "(All Users)", true, EStep::Send, "*", "mivletcmd", true, false},
        // Only the verbs copies act on go as commands, read as receivers read
        // them; any other text after "admin:" would vanish, so it is a message.
        {"version over two lines", "admin:ver\r\nsion", "Lab2  (Kel)", true, EStep::Send, "Lab2", "mivletcmd",
         false, false},
        {"ping with a name", "Admin:PING Kel", "(All Users)", false, EStep::Send, "*", "mivletcmd", false, false},
        {"the exit notice", "admin:ping-appexit", "(All Users)", false, EStep::Send, "*", "mivletcmd", false,
         false},
        {"a sentence", "Admin: the printer is down", "Lab2  (Kel)", true, EStep::Send, "Lab2", "me", false, true},
        {"a mistyped verb", "admin:verison", "Lab2  (Kel)", true, EStep::Send, "Lab2", "me", false, true},
        {"a verb it starts with", "admin:versions", "(All Users)", false, EStep::Send, "*", "me", false, false},
        {"the prefix alone", "admin:", "Lab2  (Kel)", true, EStep::Send, "Lab2", "me", false, true},
        {"a verb without the prefix", "version", "Lab2  (Kel)", true, EStep::Send, "Lab2", "me", false, true},
    };
    for (const auto& c : cases) {
        const CSendPlan plan = PlanSend(c.text, c.recipient, peers, 100, "me", c.prompt, CCodePage1252());
        EXPECT_EQ(plan.step, c.step) << c.name;
        EXPECT_EQ(plan.target, c.target) << c.name;
        EXPECT_EQ(plan.sender, c.sender) << c.name;
        EXPECT_EQ(plan.askFirst, c.askFirst) << c.name;
        EXPECT_EQ(plan.appendOwn, c.appendOwn) << c.name;
    }
}

TEST(NewMessagePlan, TheSelectionFollowsAlwaysTheSoundAndTheReactionOnlyWhenTheChatIsNotInFront) {
    const struct {
        bool lastSender, sound, inFront;
        bool select, plays, activates;
    } cases[] = {
        {true, true, false, true, true, true},    {true, true, true, true, false, false},
        {false, true, false, false, true, true},  {false, false, true, false, false, false},
        {true, false, false, true, false, true},
    };
    for (const auto& c : cases) {
        const CNewMessagePlan plan = PlanNewMessage({c.lastSender, c.sound, c.inFront});
        EXPECT_EQ(plan.selectSender, c.select) << c.lastSender << c.sound << c.inFront;
        EXPECT_EQ(plan.playSound, c.plays) << c.lastSender << c.sound << c.inFront;
        EXPECT_EQ(plan.activate, c.activates) << c.lastSender << c.sound << c.inFront;
    }
}

TEST(NewMessagePlan, ActivationForANewMessageAndForARequestToShow) {
    using R = ENewMessageReaction;
    const R unknown = static_cast<R>(7);
    enum EDo { kNothing, kRetry, kMinimisedFlash, kFlash, kShowFront, kModalFront };
    const struct {
        const char* what;
        CActivationState state;  // newMessage, ready, password, modal, visible, reaction, typing elsewhere
        EDo expected;
    } cases[] = {
        {"start-up not finished: a message waits", {true, false, false, false, false, R::PopUp}, kRetry},
        {"a password typed somewhere: it waits", {true, true, true, false, true, R::FlashTaskbar}, kRetry},
        {"a request to show never waits for a password", {false, true, true, false, false, R::Nothing}, kShowFront},
        {"a request before start-up shows nothing", {false, false, false, false, false, R::PopUp}, kNothing},
        {"...unless a modal window is up", {false, false, false, true, true, R::PopUp}, kModalFront},
        {"flash, hidden: minimised on the taskbar", {true, true, false, false, false, R::FlashTaskbar}, kMinimisedFlash},
        {"flash, shown behind", {true, true, false, false, true, R::FlashTaskbar}, kFlash},
        {"flash under Options: the window stays", {true, true, false, true, true, R::FlashTaskbar}, kFlash},
        {"pop up", {true, true, false, false, false, R::PopUp}, kShowFront},
        {"pop up under Options: Options come forward", {true, true, false, true, true, R::PopUp}, kModalFront},
        {"do nothing", {true, true, false, false, false, R::Nothing}, kNothing},
        {"pop up while the user types into another program: it waits", {true, true, false, false, false, R::PopUp, true}, kRetry},
        {"flash while the user types elsewhere: flashing takes no keys", {true, true, false, false, false, R::FlashTaskbar, true}, kMinimisedFlash},
        {"a request to show while the user types elsewhere", {false, true, false, false, false, R::PopUp, true}, kShowFront},
        {"a value the list does not know", {true, true, false, false, false, unknown}, kNothing},
        {"a request to show, whatever the reaction", {false, true, false, false, false, R::FlashTaskbar}, kShowFront},
    };
    for (const auto& c : cases) {
        const CActivationPlan p = PlanActivation(c.state);
        const bool front = p.bringForward && !p.retryLater;
        EXPECT_EQ(p.retryLater, c.expected == kRetry) << c.what;
        EXPECT_EQ(p.done, c.expected != kRetry) << c.what;
        EXPECT_EQ(p.showMinimised, c.expected == kMinimisedFlash) << c.what;
        EXPECT_EQ(p.startFlashing, c.expected == kMinimisedFlash || c.expected == kFlash) << c.what;
        EXPECT_EQ(p.show && p.focusMessageBox, c.expected == kShowFront) << c.what;
        EXPECT_EQ(p.show || p.focusMessageBox, c.expected == kShowFront) << c.what;
        EXPECT_EQ(front, c.expected == kShowFront || c.expected == kModalFront) << c.what;
    }
}

}  // namespace
