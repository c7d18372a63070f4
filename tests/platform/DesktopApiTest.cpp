// Bringing a window forward with the foreground lock lifted for one request.

#include <gtest/gtest.h>

#include "platform/memory/MemoryDesktop.h"

namespace {

constexpr DesktopWindow kChat = 0x1010;
constexpr DesktopWindow kEditor = 0x2020;

TEST(BringToForeground, LiftsTheLockForOneRequestAndPutsItBack) {
    struct CCase {
        const char* what;
        DesktopWindow inFront;
        bool granted;
        bool result;
        std::size_t requests;
    };
    const CCase cases[] = {
        {"another program in front, granted", kEditor, true, true, 1},
        {"another program in front, refused", kEditor, false, false, 1},
        {"already in front: no request at all", kChat, false, true, 0},
        {"nothing in front", kNoDesktopWindow, true, true, 1},
    };
    for (const CCase& c : cases) {
        CMemoryDesktop desktop;
        desktop.foreground = c.inFront;
        desktop.grantForeground = c.granted;
        desktop.lockTimeout = 200000;
        EXPECT_EQ(BringToForeground(desktop, kChat), c.result) << c.what;
        ASSERT_EQ(desktop.foregroundRequests.size(), c.requests) << c.what;
        if (c.requests) {
            EXPECT_EQ(desktop.foregroundRequests[0].window, kChat) << c.what;
            EXPECT_EQ(desktop.foregroundRequests[0].lockTimeout, 0u) << c.what;
        }
        EXPECT_EQ(desktop.lockTimeout, 200000u) << c.what;
    }
}

TEST(BringToForeground, NoWindowIsNeverBroughtForward) {
    CMemoryDesktop desktop;
    EXPECT_FALSE(BringToForeground(desktop, kNoDesktopWindow));
    EXPECT_TRUE(desktop.foregroundRequests.empty());
}

}  // namespace
