// When a pop-up for a new message must wait for the user.

#include <gtest/gtest.h>

#include "chatwindow/PopUpGuard.h"

namespace {

TEST(PopUpGuard, WaitsForAPasswordAKeyAndASecondWithoutInput) {
    const struct {
        const char* what;
        CUserInput input;
        bool wait;
    } cases[] = {
        {"idle for a minute", {false, false, 60000}, false},
        {"idle for exactly the pause", {false, false, kTypingPauseMs}, false},
        {"input just under the pause ago", {false, false, kTypingPauseMs - 1}, true},
        {"typing now", {false, false, 0}, true},
        {"a key held after a long pause (auto-repeat off, or a held modifier)", {false, true, 60000}, true},
        {"a password box with the focus, long idle", {true, false, 60000}, true},
    };
    for (const auto& c : cases) EXPECT_EQ(MustPopUpWait(c.input), c.wait) << c.what;
}

}  // namespace
