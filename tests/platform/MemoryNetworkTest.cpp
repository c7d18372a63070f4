#include <gtest/gtest.h>

#include "platform/memory/MemoryNetwork.h"

namespace {

// The backend must behave as the real mailslot calls do where the core
// depends on it; the Win32 test program checks the same points on Wine.
TEST(MemoryNetwork, MailslotCallsBehaveLikeTheirWin32Counterparts) {
    CMemoryNetwork net;
    CMemoryComputer& host = net.AddComputer("Office");
    const PlatformHandle server = host.CreateMailslotServer("\\\\.\\mailslot\\Mivlet", 0, 0);
    ASSERT_NE(server, kInvalidPlatformHandle);
    EXPECT_EQ(host.CreateMailslotServer("\\\\.\\mailslot\\MIVLET", 0, 0), kInvalidPlatformHandle);
    EXPECT_EQ(host.GetLastError(), kErrorAlreadyExists);

    std::uint32_t next = 0, count = 0;
    ASSERT_TRUE(host.GetMailslotInfo(server, &next, &count));
    EXPECT_EQ(next, kMailslotNoMessage);
    EXPECT_EQ(count, 0u);
    char buffer[8];
    std::uint32_t read = 0;
    EXPECT_FALSE(host.ReadFile(server, buffer, sizeof buffer, &read));  // read time-out 0: never waits

    const PlatformHandle writer = host.OpenForWrite("\\\\.\\mailslot\\mivlet");
    ASSERT_NE(writer, kInvalidPlatformHandle);
    std::uint32_t written = 0;
    ASSERT_TRUE(host.WriteFile(writer, "hello", 5, &written));
    EXPECT_EQ(written, 5u);
    ASSERT_TRUE(host.GetMailslotInfo(server, &next, &count));
    EXPECT_EQ(next, 5u);
    EXPECT_EQ(count, 1u);
    EXPECT_FALSE(host.ReadFile(server, buffer, 4, &read));  // too small: the message stays
    EXPECT_EQ(host.GetLastError(), kErrorInsufficientBuffer);
    ASSERT_TRUE(host.ReadFile(server, buffer, sizeof buffer, &read));
    EXPECT_EQ(std::string(buffer, read), "hello");

    EXPECT_TRUE(host.CloseHandle(writer));
    EXPECT_TRUE(host.CloseHandle(server));
    EXPECT_EQ(host.OpenForWrite("\\\\.\\mailslot\\Mivlet"), kInvalidPlatformHandle);  // gone with its server
    EXPECT_EQ(host.OpenHandles(), 0u);
}

TEST(MemoryNetwork, BroadcastReachesEveryReachableComputerAndTheSender) {
    CMemoryNetwork net;
    CMemoryComputer& a = net.AddComputer("A");
    CMemoryComputer& b = net.AddComputer("B");
    CMemoryComputer& c = net.AddComputer("C");
    for (CMemoryComputer* host : {&a, &b, &c}) host->CreateMailslotServer("\\\\.\\mailslot\\Mivlet", 0, 0);
    c.SetUnreachable(true);

    const PlatformHandle all = a.OpenForWrite("\\\\*\\mailslot\\Mivlet");
    std::uint32_t written = 0;
    ASSERT_TRUE(a.WriteFile(all, "x", 1, &written));
    EXPECT_EQ(a.PendingDatagrams("Mivlet"), 1u);
    EXPECT_EQ(b.PendingDatagrams("Mivlet"), 1u);
    EXPECT_EQ(c.PendingDatagrams("Mivlet"), 0u);

    EXPECT_EQ(a.OpenForWrite("\\\\c\\mailslot\\Mivlet"), kInvalidPlatformHandle);
    EXPECT_EQ(a.OpenForWrite("\\\\Nowhere\\mailslot\\Mivlet"), kInvalidPlatformHandle);
    EXPECT_EQ(a.OpenForWrite("not a path"), kInvalidPlatformHandle);
}

TEST(MemoryNetwork, TickCountWrapsAtThirtyTwoBits) {
    CMemoryNetwork net(0xFFFFFFF0u);
    CMemoryComputer& a = net.AddComputer("A");
    a.Sleep(0x20);
    EXPECT_EQ(a.GetTickCount(), 0x10u);
    EXPECT_EQ(a.Sleeps(), std::vector<std::uint32_t>{0x20});
}

}  // namespace
