// Drawing the history again with a longer prefix keeps it within its limit.

#include <string>

#include "tests/chatwindow/ChatDlgFixture.h"

namespace {

using HistoryRerenderTest = ChatDlgTest;

TEST_F(HistoryRerenderTest, ALongerPrefixDropsTheOldestMessagesAsAnAppendWould) {
    settings.prefixCode = "u> ";
    ASSERT_NO_FATAL_FAILURE(Start());
    ::SendMessageA(History(), EM_EXLIMITTEXT, 0, 100);
    const std::string ten(10, 'x');
    for (const char* user : {"aaaaa", "bbbbb", "ccccc"}) dlg->History().AppendMessage(Record(user, ten));
    ASSERT_EQ(dlg->History().ShownMessages().TotalLength(), 3 * 19);

    // Each line grows to 40: 120 does not fit, 80 does.
    dlg->History().Rerender(nullptr, nullptr, "u '....................'> ");
    const std::string dots(20, '.');
    EXPECT_EQ(HistoryText(), "bbbbb " + dots + "> " + ten + "\rccccc " + dots + "> " + ten + "\r");
    EXPECT_EQ(dlg->History().ShownMessages().Size(), 2u);
    EXPECT_EQ(dlg->History().ShownMessages().TotalLength(), 80);

    // The spans are right for what is left: the next trim removes exactly
    // the oldest line.
    dlg->History().AppendMessage(Record("ddddd", ten));
    EXPECT_EQ(HistoryText(), "ccccc " + dots + "> " + ten + "\rddddd " + dots + "> " + ten + "\r");
    EXPECT_LE(dlg->History().ShownMessages().TotalLength(), 100);
}

}  // namespace
