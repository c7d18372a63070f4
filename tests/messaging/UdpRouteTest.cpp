#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "messaging/Mailslot.h"
#include "platform/memory/MemoryNetwork.h"
#include "platform/memory/MemorySockets.h"
#include "messaging/UdpRoute.h"

namespace {

constexpr std::uint16_t kPort = 46464;

// A string of every byte of a literal, its zero bytes included.
template <std::size_t N>
std::string Bytes(const char (&literal)[N]) {
    return std::string(literal, N - 1);
}

// One computer: its system (clock, local mailslots), its UDP stack, the
// route over both and a mailslot endpoint on top, as the program builds it.
struct CHost {
    CHost(CMemoryNetwork& systems, CMemoryUdpNetwork& udp, const std::string& name, bool localMailslots = true)
        : system(systems.AddComputer(name)),
          sockets(udp.AddHost(name)),
          route(system, localMailslots, sockets, kPort),
          endpoint(route, "Mivlet", name) {}

    std::vector<CMessageRecord> Drain() {
        std::vector<CMessageRecord> records;
        EXPECT_TRUE(endpoint.Receive(records));
        return records;
    }
    std::vector<std::string> DrainTexts() {
        std::vector<std::string> texts;
        for (const auto& r : Drain()) texts.push_back(r.text);
        return texts;
    }

    CMemoryComputer& system;
    CMemoryUdpHost& sockets;
    CUdpRoute route;
    CMailslot endpoint;
};

class UdpRouteTest : public ::testing::Test {
protected:
    CHost& Add(const std::string& name, bool localMailslots = true) {
        hosts.push_back(std::make_unique<CHost>(systems, udp, name, localMailslots));
        return *hosts.back();
    }

    CMemoryNetwork systems;
    CMemoryUdpNetwork udp;
    std::vector<std::unique_ptr<CHost>> hosts;
};

using Texts = std::vector<std::string>;

TEST_F(UdpRouteTest, BroadcastReachesEveryComputerOnceTheSenderIncluded) {
    CHost& a = Add("Lab1");
    CHost& b = Add("Lab2");
    CHost& c = Add("Lab3");
    ASSERT_TRUE(a.endpoint.Send("*", "Kel", "to all", true));
    for (CHost* host : {&a, &b, &c}) {
        const auto records = host->Drain();
        ASSERT_EQ(records.size(), 1u) << host->system.Name();
        EXPECT_EQ(records[0].computer, "Lab1");
        EXPECT_EQ(records[0].broadcast, 1);
        EXPECT_EQ(records[0].text, "to all");
    }
    // The broadcast travelled by UDP, not through the local mailslot.
    EXPECT_EQ(a.system.PendingDatagrams("Mivlet"), 0u);
    EXPECT_EQ(a.sockets.SentDatagrams(), 1u);
}

TEST_F(UdpRouteTest, DirectMessageReachesOnlyItsTargetWhole) {
    CHost& a = Add("Lab1");
    CHost& b = Add("Lab2");
    CHost& c = Add("Lab3");
    const std::string longText(20480, 'w');
    ASSERT_TRUE(a.endpoint.Send("LAB2", "Kel", longText.c_str(), true));
    EXPECT_EQ(a.sockets.SentDatagrams(), 61u);
    EXPECT_EQ(b.DrainTexts(), Texts{longText});
    EXPECT_TRUE(a.Drain().empty());
    EXPECT_TRUE(c.Drain().empty());
}

TEST_F(UdpRouteTest, ThisComputerKeepsUsingItsLocalMailslot) {
    CHost& a = Add("Lab1");
    ASSERT_TRUE(a.endpoint.Send("Lab1", "Kel", "by name", true));
    ASSERT_TRUE(a.endpoint.Send("", "Kel", "empty target", true));
    EXPECT_EQ(a.sockets.SentDatagrams(), 0u);
    EXPECT_EQ(a.system.PendingDatagrams("Mivlet"), 2u);
    EXPECT_EQ(a.DrainTexts(), (Texts{"by name", "empty target"}));
}

TEST_F(UdpRouteTest, WithoutLocalMailslotsThisComputerIsReachedOverLoopback) {
    CHost& a = Add("Lab1", false);
    ASSERT_TRUE(a.endpoint.IsOpen());
    ASSERT_TRUE(a.endpoint.Send("", "Kel", "to myself", true));
    EXPECT_EQ(a.DrainTexts(), Texts{"to myself"});
}

TEST_F(UdpRouteTest, BroadcastWithoutInterfacesStillReachesThisComputer) {
    CHost& a = Add("Lab1");
    CHost& b = Add("Lab2");
    a.sockets.SetHasInterfaces(false);
    ASSERT_TRUE(a.endpoint.Send("*", "Kel", "alone", true));
    EXPECT_EQ(a.DrainTexts(), Texts{"alone"});
    EXPECT_TRUE(b.Drain().empty());
}

TEST_F(UdpRouteTest, SecondCopyOnOneComputerFailsLikeASecondMailslot) {
    CHost& a = Add("Lab1");
    // Same computer, new mailslot name, but the port is taken.
    CUdpRoute route(a.system, true, a.sockets, kPort);
    CMailslot second(route, "Other", "Lab1");
    EXPECT_FALSE(second.IsOpen());
    EXPECT_EQ(route.LastPortResult(), EOpenSocket::PortInUse);
    EXPECT_EQ(a.system.GetLastError(), 183u);
    // Its mailslot was given back, so nothing of it lingers.
    EXPECT_EQ(a.system.OpenForWrite("\\\\.\\mailslot\\Other"), kInvalidPlatformHandle);

    CMailslot sameName(route, "Mivlet", "Lab1");
    EXPECT_FALSE(sameName.IsOpen());
}

TEST_F(UdpRouteTest, NameThatDoesNotResolveFailsAtOnceAfterOneLookUp) {
    CHost& a = Add("Lab1");
    systems.SetTickCountStep(1);  // resolving takes no virtual time of its own
    const std::uint32_t start = systems.TickCount();
    EXPECT_FALSE(a.endpoint.Send("Nowhere", "Kel", "hi", true));
    EXPECT_LT(systems.TickCount() - start, 10u) << "no retries: looking again finds nothing more";
    EXPECT_EQ(a.sockets.ResolveCalls(), 1u);
    EXPECT_EQ(a.endpoint.SequenceCounter(), 0);
    EXPECT_EQ(a.sockets.OpenSockets(), 1u);  // only the endpoint's own

    // A look-up that found nothing is tried again only after a while.
    EXPECT_FALSE(a.endpoint.Send("Nowhere", "Kel", "again", true));
    EXPECT_EQ(a.sockets.ResolveCalls(), 1u);
    systems.Advance(CUdpRoute::kFailedLookupLifetimeMs);
    EXPECT_FALSE(a.endpoint.Send("Nowhere", "Kel", "later", true));
    EXPECT_EQ(a.sockets.ResolveCalls(), 2u);
}

TEST_F(UdpRouteTest, ALongMessageLooksItsTargetUpOnce) {
    CHost& a = Add("Lab1");
    CHost& b = Add("Lab2");
    ASSERT_TRUE(a.endpoint.Send("Lab2", "Kel", std::string(2000, 'x').c_str(), true));
    EXPECT_EQ(a.sockets.ResolveCalls(), 1u) << "one look-up for all of the message's datagrams";
    const auto records = b.Drain();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].text.size(), 2000u);
}

TEST_F(UdpRouteTest, DirectMessagesGoWhereTheComputersOwnDatagramsCameFrom) {
    CHost& a = Add("Lab1");
    CHost& b = Add("Lab2");
    // Lab2's datagrams come from Lab2's address, but the name resolves
    // nowhere, as on networks without name resolution for workstations.
    CHost& c = Add("Lab3");
    ASSERT_TRUE(b.endpoint.Send("*", "mivletcmd", "admin:ping Ann", true));
    a.Drain();
    b.Drain();
    c.Drain();
    udp.Hosts()[1]->SetName("Lab2-unlisted");
    ASSERT_TRUE(a.endpoint.Send("Lab2", "Kel", "learnt", true));
    EXPECT_EQ(b.DrainTexts(), Texts{"learnt"});
    EXPECT_EQ(a.sockets.ResolveCalls(), 0u);
    EXPECT_TRUE(c.DrainTexts().empty());
    // Never heard from: looked up by name.
    EXPECT_FALSE(a.endpoint.Send("Lab9", "Kel", "nobody", true));
    EXPECT_EQ(a.sockets.ResolveCalls(), 1u);
}

TEST_F(UdpRouteTest, SenderFieldsThatCannotNameAComputerTeachNothing) {
    CHost& a = Add("Lab1");
    Add("Lab2");
    for (const char* sender : {"*", "**", "\\evil", "a/b"}) {
        a.sockets.Inject(kPort, std::string(sender) + Bytes("\0" "00001\0" "x>\ty"), 0x0A0100FEu);
        a.Drain();
    }
    // "*" would otherwise be learnt as an address for every broadcast.
    EXPECT_EQ(a.route.LearnedComputers(), 0u);
}

TEST_F(UdpRouteTest, ExtraTargetsGetEveryDatagramToAllComputers) {
    CHost& a = Add("Lab1");
    CHost& b = Add("Lab2");
    // A host that the subnet's broadcast does not reach, as behind a router.
    CHost& far = Add("Far");
    far.sockets.SetHasInterfaces(false);
    a.route.SetExtraTargets({"Far", "no-such-host"});
    ASSERT_TRUE(a.endpoint.Send("*", "Kel", "to all", true));
    EXPECT_EQ(b.DrainTexts(), Texts{"to all"});
    EXPECT_EQ(far.DrainTexts(), Texts{"to all"});
    EXPECT_EQ(a.DrainTexts(), Texts{"to all"});
    // Direct messages do not go to them.
    ASSERT_TRUE(a.endpoint.Send("Lab2", "Kel", "just you", true));
    EXPECT_TRUE(far.DrainTexts().empty());
}

TEST_F(UdpRouteTest, ABroadcastThatReachesSomeInterfacesIsSentOnce) {
    CHost& a = Add("Lab1");
    CHost& b = Add("Lab2");
    constexpr InetAddress kDownInterface = 0x0A0200FFu;
    a.sockets.AddBroadcastAddress(kDownInterface);
    // As Winsock does, the failed send leaves its error as the last error.
    a.sockets.FailSendsTo(kDownInterface, [&] { a.system.SetLastError(10051); });
    const std::size_t sentBefore = a.sockets.SentDatagrams();
    const std::uint32_t start = systems.TickCount();
    ASSERT_TRUE(a.endpoint.Send("*", "mivletcmd", "admin:ping Kel", true));
    EXPECT_EQ(a.sockets.SentDatagrams() - sentBefore, 2u) << "one send per address, no second round";
    EXPECT_LT(systems.TickCount() - start, CMailslot::kRewriteDelayMs) << "no pause before a rewrite";
    EXPECT_EQ(b.Drain().size(), 1u);
}

TEST_F(UdpRouteTest, ALocalDatagramArrivingBetweenSizeAndReadIsNotLost) {
    CMemoryComputer& system = systems.AddComputer("Lab1");
    CMemoryUdpHost& sockets = udp.AddHost("Lab1");
    CUdpRoute route(system, true, sockets, kPort);
    const PlatformHandle server = route.CreateMailslotServer("\\\\.\\mailslot\\Mivlet", 0, 0);
    ASSERT_NE(server, kInvalidPlatformHandle);
    sockets.Inject(kPort, "short");

    std::uint32_t next = 0, count = 0;
    ASSERT_TRUE(route.GetMailslotInfo(server, &next, &count));
    ASSERT_EQ(next, 5u);
    // A longer datagram lands in the local mailslot before the read.
    const PlatformHandle writer = system.OpenForWrite("\\\\.\\mailslot\\Mivlet");
    std::uint32_t written = 0;
    ASSERT_TRUE(system.WriteFile(writer, "a longer local one", 18, &written));
    system.CloseHandle(writer);
    // The read that follows asks again, as the endpoint does, and takes the
    // datagram that was announced first.
    ASSERT_TRUE(route.GetMailslotInfo(server, &next, &count));
    EXPECT_EQ(next, 5u);
    char buffer[64];
    std::uint32_t got = 0;
    ASSERT_TRUE(route.ReadFile(server, buffer, next, &got));
    EXPECT_EQ(std::string(buffer, got), "short");
    ASSERT_TRUE(route.GetMailslotInfo(server, &next, &count));
    ASSERT_TRUE(route.ReadFile(server, buffer, next, &got));
    EXPECT_EQ(std::string(buffer, got), "a longer local one");
    route.CloseHandle(server);
}

TEST_F(UdpRouteTest, OversizedDatagramsAreDroppedUnread) {
    CHost& a = Add("Lab1");
    a.sockets.Inject(kPort, std::string(425, 'x'));
    a.sockets.Inject(kPort, Bytes("Far\0" "00001\0" "Kel>\tok"));
    a.sockets.Inject(kPort, std::string(65000, '\0'));
    a.sockets.Inject(kPort, Bytes("Far\0" "00002\0" "Kel>\t") + std::string(409, 'y'));  // 424: kept
    a.sockets.Inject(kPort, Bytes("Far\0" "00003\0" "Kel>\t") + std::string(410, 'z'));  // 425: dropped
    EXPECT_EQ(a.DrainTexts(), (Texts{"ok", std::string(409, 'y')}));
}

TEST_F(UdpRouteTest, AFloodWaitsInTheSocketNotInTheRoute) {
    CMemoryComputer& system = systems.AddComputer("Lab1");
    CMemoryUdpHost& sockets = udp.AddHost("Lab1");
    CUdpRoute route(system, true, sockets, kPort);
    const PlatformHandle server = route.CreateMailslotServer("\\\\.\\mailslot\\Mivlet", 0, 0);
    ASSERT_NE(server, kInvalidPlatformHandle);
    for (int i = 0; i < 3000; ++i) sockets.Inject(kPort, "datagram " + std::to_string(i));

    std::uint32_t next = 0, count = 0;
    ASSERT_TRUE(route.GetMailslotInfo(server, &next, &count));
    EXPECT_EQ(count, CUdpRoute::kMaxQueued);
    std::size_t read = 0;
    char buffer[64];
    for (;;) {
        ASSERT_TRUE(route.GetMailslotInfo(server, &next, &count));
        if (count == 0) break;
        EXPECT_LE(count, CUdpRoute::kMaxQueued);
        std::uint32_t got = 0;
        ASSERT_TRUE(route.ReadFile(server, buffer, next, &got));
        EXPECT_EQ(std::string(buffer, got), "datagram " + std::to_string(read));
        ++read;
    }
    EXPECT_EQ(read, 3000u);
    EXPECT_TRUE(route.CloseHandle(server));
    EXPECT_EQ(sockets.OpenSockets(), 0u);
}

TEST_F(UdpRouteTest, LocalAndNetworkDatagramsAreBothRead) {
    CHost& a = Add("Lab1");
    CHost& b = Add("Lab2");
    ASSERT_TRUE(b.endpoint.Send("Lab1", "Ann", "over the network", true));
    ASSERT_TRUE(a.endpoint.Send("", "Kel", "local", true));
    // The local mailslot is read first.
    EXPECT_EQ(a.DrainTexts(), (Texts{"local", "over the network"}));
}

}  // namespace
