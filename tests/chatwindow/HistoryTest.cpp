// The chat history inside the real chat dialog: formats, line layout,
// trimming, following the newest line, redrawing.

#include <cstring>
#include <string>
#include <vector>

#include "tests/chatwindow/ChatDlgFixture.h"
#include "resources/ResourceIds.h"

namespace {

using HistoryTest = ChatDlgTest;

TEST_F(HistoryTest, PrefixIsBoldAndTheTextTakesTheMessageFont) {
    CHARFORMATW courier{};
    courier.cbSize = sizeof courier;
    courier.dwMask = CFM_FACE;
    std::wcscpy(courier.szFaceName, L"Courier New");
    settings.messageFont = courier;
    ASSERT_NO_FATAL_FAILURE(Start());

    dlg->History().AppendMessage(Record("guest", "Hi", true));
    dlg->History().AppendMessage(Record("guest", "Ho", false));
    const std::string allUsers = "guest (to all users) 9:05> ";
    const std::string direct = "guest 9:05> ";
    ASSERT_EQ(HistoryText(), allUsers + "Hi\r" + direct + "Ho\r");

    const LONG textStart = static_cast<LONG>(allUsers.size());
    const CHARFORMATW prefix = FormatOf(0, textStart);
    const CHARFORMATW text = FormatOf(textStart, textStart + 2);
    EXPECT_TRUE((prefix.dwMask & CFM_BOLD) && (prefix.dwEffects & CFE_BOLD));
    EXPECT_TRUE((text.dwMask & CFM_BOLD) && !(text.dwEffects & CFE_BOLD));
    EXPECT_STREQ(text.szFaceName, L"Courier New");
    // The prefix takes the face of the message font when it names none.
    EXPECT_STREQ(prefix.szFaceName, L"Courier New");
    EXPECT_EQ(dlg->History().ShownMessages()[0].record.displayLength, static_cast<int>(allUsers.size() + 4));
}

TEST_F(HistoryTest, MultiLineMessageHasOnePrefix) {
    ASSERT_NO_FATAL_FAILURE(Start());
    dlg->History().AppendMessage(Record("guest", "one\r\ntwo\r\nthree"));
    EXPECT_EQ(HistoryText(), "guest 9:05> one\rtwo\rthree\r");
    EXPECT_EQ(::SendMessageA(History(), EM_GETLINECOUNT, 0, 0), 4);  // and the empty line after the end
    const CHARFORMATW second = FormatOf(16, 19);  // "two"
    EXPECT_FALSE(second.dwEffects & CFE_BOLD);
}

// A text of the longest a computer can send goes in as pieces (see
// chattext/TextSlices.h): nothing of it is lost or doubled at the cuts, each
// piece has the message format, and an address across a cut is one link
// while the text after it is none.
TEST_F(HistoryTest, ALongTextGoesInWholeWithItsFormatAndLinksAcrossThePieces) {
    ASSERT_NO_FATAL_FAILURE(Start());
    const std::string address = "http://intranet/helpdesk/ticket";
    std::string text = std::string(500, 'a') + " " + address + " done ";
    while (text.size() < 20480) text += "lorem ipsum dolor ";
    text.resize(20480);
    dlg->History().AppendMessage(Record("guest", "short"));
    dlg->History().AppendMessage(Record("guest", text));

    const std::string prefix = "guest 9:05> ";
    const std::string first = prefix + "short\r";
    ASSERT_EQ(HistoryText(), first + prefix + text + "\r");
    const auto textStart = static_cast<LONG>(first.size() + prefix.size());
    const auto at = textStart + static_cast<LONG>(text.find(address));
    const auto end = at + static_cast<LONG>(address.size());
    ASSERT_LT(at - textStart, 512);
    ASSERT_GT(end - textStart, 512) << "the address crosses the first cut";
    const CHARFORMATW link = FormatOf(at, end);
    EXPECT_TRUE((link.dwMask & CFM_LINK) && (link.dwEffects & CFE_LINK));
    EXPECT_FALSE(FormatOf(end + 1, end + 5).dwEffects & CFE_LINK);
    const CHARFORMATW body = FormatOf(textStart + 1000, textStart + 20000);
    EXPECT_TRUE((body.dwMask & CFM_BOLD) && !(body.dwEffects & CFE_BOLD)) << "one format over all the pieces";
    EXPECT_TRUE(FormatOf(textStart - 3, textStart - 1).dwEffects & CFE_BOLD) << "the prefix stays bold";
    EXPECT_GT(::SendMessageA(History(), EM_GETLINECOUNT, 0, 0), 20) << "wrapped to the window again";
}

// Every line here is "guest> " + text + CR LF: 9 + text characters.
TEST_F(HistoryTest, TrimsWholeMessagesPastTheTextLimitAndAllowsEquality) {
    settings.prefixCode = "u> ";
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_EQ(::SendMessageA(History(), EM_GETLIMITTEXT, 0, 0), 65536);

    constexpr int kMessages = 16;  // 16 lines of 4,096 characters: exactly the limit
    for (int i = 0; i < kMessages; ++i)
        dlg->History().AppendMessage(Record("guest", std::string(1, static_cast<char>('a' + i)) + std::string(4086, '.')));
    EXPECT_EQ(dlg->History().ShownMessages().Size(), 16u);
    EXPECT_EQ(dlg->History().ShownMessages().TotalLength(), 65536);
    EXPECT_EQ(HistoryText().substr(0, 8), "guest> a");

    dlg->History().AppendMessage(Record("guest", "z"));  // one past: the oldest goes, whole
    EXPECT_EQ(dlg->History().ShownMessages().Size(), 16u);
    EXPECT_EQ(dlg->History().ShownMessages().TotalLength(), 65536 - 4096 + 10);
    const std::string text = HistoryText();
    EXPECT_EQ(text.substr(0, 8), "guest> b");
    EXPECT_EQ(text.substr(text.size() - 9), "guest> z\r");
    EXPECT_EQ(static_cast<LRESULT>(text.size()), ::SendMessageA(History(), WM_GETTEXTLENGTH, 0, 0) - 16);

    dlg->History().AppendMessage(Record("guest", std::string(8200, 'x')));  // needs two to go
    EXPECT_EQ(dlg->History().ShownMessages().Size(), 15u);
    EXPECT_EQ(HistoryText().substr(0, 8), "guest> d");
    EXPECT_LE(dlg->History().ShownMessages().TotalLength(), 65536);
}

TEST_F(HistoryTest, FollowsTheNewestLineUnlessTheUserIsInTheHistory) {
    ASSERT_NO_FATAL_FAILURE(Start());
    dlg->ShowChat(true, false);
    ::SetForegroundWindow(dlg->Hwnd());
    for (int i = 0; i < 60; ++i) dlg->History().AppendMessage(Record("guest", "line " + std::to_string(i)));

    // Focus elsewhere: the caret goes to the end and the last line is in view.
    ::SetFocus(::GetDlgItem(dlg->Hwnd(), IDC_MESSAGE));
    dlg->History().AppendMessage(Record("guest", "newest"));
    const LONG end = static_cast<LONG>(::SendMessageA(History(), WM_GETTEXTLENGTH, 0, 0)) - 61;
    EXPECT_EQ(Selection().cpMin, end);
    EXPECT_EQ(Selection().cpMax, end);
    const LONG first = static_cast<LONG>(::SendMessageA(History(), EM_GETFIRSTVISIBLELINE, 0, 0));
    EXPECT_GT(first, 0);
    RECT client{};
    ::GetClientRect(History(), &client);
    POINTL lastLine{};
    const LRESULT lastIndex = ::SendMessageA(History(), EM_LINEINDEX, 61 - 1, 0);
    ::SendMessageA(History(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&lastLine), lastIndex);
    EXPECT_GE(lastLine.y, 0);
    EXPECT_LT(lastLine.y, client.bottom);
    // The view is full: the last line sits at the bottom, not alone at the top.
    EXPECT_GT(lastLine.y, client.bottom / 2);

    // The user reads and selects in the history: nothing moves.
    ::SetFocus(History());
    CHARRANGE selected{20, 30};
    ::SendMessageA(History(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selected));
    ::SendMessageA(History(), EM_LINESCROLL, 0, 20);
    const LONG reading = static_cast<LONG>(::SendMessageA(History(), EM_GETFIRSTVISIBLELINE, 0, 0));
    ASSERT_GT(reading, 0);
    dlg->History().AppendMessage(Record("guest", "while reading"));
    EXPECT_EQ(Selection().cpMin, 20);
    EXPECT_EQ(Selection().cpMax, 30);
    EXPECT_EQ(::SendMessageA(History(), EM_GETFIRSTVISIBLELINE, 0, 0), reading);
}

TEST_F(HistoryTest, SelectionStaysOnItsTextWhenOldMessagesAreTrimmed) {
    settings.prefixCode = "u> ";
    ASSERT_NO_FATAL_FAILURE(Start());
    dlg->ShowChat(true, false);
    ::SetForegroundWindow(dlg->Hwnd());
    ::SetFocus(History());
    ::SendMessageA(History(), EM_EXLIMITTEXT, 0, 40);
    dlg->History().AppendMessage(Record("guest", "first"));   // 14 with CR LF
    dlg->History().AppendMessage(Record("guest", "second"));  // 15
    CHARRANGE second{20, 26};
    ::SendMessageA(History(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&second));
    ASSERT_EQ(dlg->History().GetTextRange(Selection()), "second");

    dlg->History().AppendMessage(Record("guest", "third"));  // 43 > 40: "first" goes
    EXPECT_EQ(HistoryText(), "guest> second\rguest> third\r");
    EXPECT_EQ(dlg->History().GetTextRange(Selection()), "second");
}

// One receive step appends its messages together; what is trimmed, from the
// history and from the batch itself, must leave the list and the text alike,
// or a later trim cuts a line in two.
TEST_F(HistoryTest, ABatchTrimsOldLinesAndItsOwnThatDoNotFit) {
    settings.prefixCode = "u> ";
    ASSERT_NO_FATAL_FAILURE(Start());
    ::SendMessageA(History(), EM_EXLIMITTEXT, 0, 40);
    const auto batch = [this](std::initializer_list<const char*> texts) {
        std::vector<CMessageRecord> records;
        for (const char* text : texts) records.push_back(Record("guest", text));
        return records;
    };
    const auto shownTexts = [this] {
        std::string texts;
        for (std::size_t i = 0; i < dlg->History().ShownMessages().Size(); ++i)
            texts += dlg->History().ShownMessages()[i].record.text + " ";
        return texts;
    };

    dlg->History().AppendMessages(batch({"first", "second"}));  // 14 + 15
    EXPECT_EQ(HistoryText(), "guest> first\rguest> second\r");

    dlg->History().AppendMessages(batch({"third", "fourth", "fifth"}));  // 14 + 15 + 14: three go
    EXPECT_EQ(HistoryText(), "guest> fourth\rguest> fifth\r");
    EXPECT_EQ(shownTexts(), "fourth fifth ");

    dlg->History().AppendMessage(Record("guest", "sixth"));
    EXPECT_EQ(HistoryText(), "guest> fifth\rguest> sixth\r");

    // Longer than the limit together: only the newest is ever drawn.
    dlg->History().AppendMessages(batch({"seventh message", "eighth message", "ninth message"}));
    EXPECT_EQ(HistoryText(), "guest> ninth message\r");
    EXPECT_EQ(shownTexts(), "ninth message ");
    dlg->History().AppendMessage(Record("guest", "tenth"));
    EXPECT_EQ(HistoryText(), "guest> ninth message\rguest> tenth\r");
}

TEST_F(HistoryTest, RerenderAfterAPrefixChangeKeepsTimesSendersAndWholeMessageTrimming) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ::SendMessageA(History(), EM_EXLIMITTEXT, 0, 100);
    dlg->History().AppendMessage(Record("kel", "Hi", true, kNineOhFive, "Lab2"));
    dlg->History().AppendMessage(Record("guest", "Ho", false, kNineOhFive + 3660, "Office"));
    ASSERT_EQ(HistoryText(), "kel (to all users) 9:05> Hi\rguest 10:06> Ho\r");

    settings.prefixCode = "c/u H:nn[ all]: ";
    dlg->History().Rerender(nullptr, nullptr, "");
    EXPECT_EQ(HistoryText(), "Lab2/kel 9:05 all: Hi\rOffice/guest 10:06: Ho\r");
    EXPECT_EQ(dlg->History().ShownMessages().TotalLength(), 23 + 24);
    EXPECT_TRUE(FormatOf(0, 5).dwEffects & CFE_BOLD);
    EXPECT_FALSE(FormatOf(19, 21).dwEffects & CFE_BOLD);

    // 15 + 40 + 2 more makes 104: the first message goes, whole.
    dlg->History().AppendMessage(Record("ann", std::string(40, 'x'), false, kNineOhFive, "Lab3"));
    EXPECT_EQ(HistoryText(), "Office/guest 10:06: Ho\rLab3/ann 9:05: " + std::string(40, 'x') + "\r");

    // An override from the Format page wins over the setting.
    dlg->History().Rerender(nullptr, nullptr, "u> ");
    EXPECT_EQ(HistoryText(), "guest> Ho\rann> " + std::string(40, 'x') + "\r");

    dlg->History().ClearAll();
    EXPECT_EQ(HistoryText(), "");
    EXPECT_TRUE(dlg->History().ShownMessages().Empty());
}

TEST_F(HistoryTest, EveryShownLineIsLoggedWithItsLineEnd) {
    ASSERT_NO_FATAL_FAILURE(Start());
    dlg->History().AppendMessage(Record("guest", "Hi"));
    ASSERT_EQ(settings.logged.size(), 1u);
    EXPECT_EQ(settings.logged[0], "guest 9:05> Hi\r\n");
    EXPECT_FALSE(dlg->History().IsLogHeaderPending());
    dlg->History().EnableLogging(false);
    dlg->History().AppendMessage(Record("guest", "Ho"));
    EXPECT_EQ(settings.logged.size(), 1u);
}

}  // namespace
