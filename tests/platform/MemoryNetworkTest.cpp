#include <gtest/gtest.h>

#include "platform/memory/MemoryNetwork.h"

namespace {

// The backend must behave as the system's mailslots do where the core
// depends on it; the Win32 test program checks the same points on Wine.
TEST(MemoryNetwork, TheEndpointBehavesLikeTheSystemsMailslot) {
    CMemoryNetwork net;
    CMemoryComputer& host = net.AddComputer("Office");
    EXPECT_EQ(host.Send(CDatagramTarget::This(), "early"), ESendResult::NotReady) << "no endpoint to write to yet";
    ASSERT_EQ(host.Open(), EOpenResult::Opened);
    EXPECT_EQ(host.Open(), EOpenResult::NameTaken);

    CReceivedDatagram datagram;
    EXPECT_EQ(host.Receive(datagram), EReceiveResult::Empty);  // never waits
    ASSERT_EQ(host.Send(CDatagramTarget::This(), "hello"), ESendResult::Sent);
    EXPECT_TRUE(host.HasDatagrams());
    ASSERT_EQ(host.Receive(datagram), EReceiveResult::Datagram);
    EXPECT_EQ(datagram.bytes, "hello");

    host.Send(CDatagramTarget::This(), "left behind");
    host.Close();
    EXPECT_EQ(host.PendingDatagrams(), 0u) << "gone with its endpoint";
    EXPECT_EQ(host.Send(CDatagramTarget::This(), "late"), ESendResult::NotReady);
}

TEST(MemoryNetwork, BroadcastReachesEveryReachableComputerAndTheSender) {
    CMemoryNetwork net;
    CMemoryComputer& a = net.AddComputer("A");
    CMemoryComputer& b = net.AddComputer("B");
    CMemoryComputer& c = net.AddComputer("C");
    for (CMemoryComputer* host : {&a, &b, &c}) host->Open();
    c.SetUnreachable(true);

    ASSERT_EQ(a.Send(CDatagramTarget::All(), "x"), ESendResult::Sent);
    EXPECT_EQ(a.PendingDatagrams(), 1u);
    EXPECT_EQ(b.PendingDatagrams(), 1u);
    EXPECT_EQ(c.PendingDatagrams(), 0u);

    EXPECT_EQ(a.Send(CDatagramTarget::Computer("c"), "x"), ESendResult::NotReady);
    EXPECT_EQ(a.Send(CDatagramTarget::Computer("Nowhere"), "x"), ESendResult::NotReady);
    a.FailBroadcasts(true);
    EXPECT_EQ(a.Send(CDatagramTarget::All(), "x"), ESendResult::Unreachable);
}

TEST(MemoryNetwork, TickCountWrapsAtThirtyTwoBits) {
    CMemoryNetwork net(0xFFFFFFF0u);
    net.Sleep(0x20);
    EXPECT_EQ(net.Ticks(), 0x10u);
    EXPECT_EQ(net.Sleeps(), std::vector<std::uint32_t>{0x20});
}

}  // namespace
