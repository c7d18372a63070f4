#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "platform/codepage/CodePage1252.h"
#include "tests/messaging/DatagramBytes.h"
#include "messaging/Datagram.h"
#include "messaging/Mailslot.h"
#include "messaging/MessagingSession.h"
#include "platform/memory/MemoryNetwork.h"
#include "platform/memory/MemorySockets.h"
#include "messaging/UdpCarrier.h"
#include "tests/messaging/TestSessionHost.h"

namespace {

constexpr std::uint16_t kPort = 46464;

// A string of every byte of a literal, its zero bytes included.
template <std::size_t N>
std::string Bytes(const char (&literal)[N]) {
    return std::string(literal, N - 1);
}

CUdpCarrier::COptions Options() {
    CUdpCarrier::COptions options;
    options.port = kPort;
    return options;
}

// One computer: its local mailslots (on the network of mailslots, which
// also has the clock), its UDP stack, the carrier over both and an
// endpoint on top, as the program builds it.
struct CHost {
    // Remote mailslots are off, as on Wine and current Windows, unless
    // `remoteMailslots`.
    CHost(CMemoryNetwork& systems, CMemoryUdpNetwork& udp, const std::string& name, bool localMailslots,
          bool remoteMailslots)
        : system(systems.AddComputer(name)),
          sockets(udp.AddHost(name)),
          carrier(sockets, systems, Options(), localMailslots ? &system : nullptr),
          endpoint(carrier, systems, name) {
        system.FailBroadcasts(!remoteMailslots);
        system.SetUnreachable(!remoteMailslots);
    }

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
    CUdpCarrier carrier;
    CMailslot endpoint;
};

class UdpCarrierTest : public ::testing::Test {
protected:
    CHost& Add(const std::string& name, bool localMailslots = true, bool remoteMailslots = false) {
        hosts.push_back(std::make_unique<CHost>(systems, udp, name, localMailslots, remoteMailslots));
        return *hosts.back();
    }

    CMemoryNetwork systems;
    CMemoryUdpNetwork udp;
    std::vector<std::unique_ptr<CHost>> hosts;
};

using Texts = std::vector<std::string>;

TEST_F(UdpCarrierTest, BroadcastReachesEveryComputerOnceTheSenderIncluded) {
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
    EXPECT_EQ(a.system.PendingDatagrams(), 0u);
    EXPECT_EQ(a.sockets.SentDatagrams(), 1u);
}

TEST_F(UdpCarrierTest, DirectMessageReachesOnlyItsTargetWhole) {
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

TEST_F(UdpCarrierTest, ThisComputerKeepsUsingItsLocalMailslot) {
    CHost& a = Add("Lab1");
    ASSERT_TRUE(a.endpoint.Send("Lab1", "Kel", "by name", true));
    ASSERT_TRUE(a.endpoint.Send("", "Kel", "empty target", true));
    EXPECT_EQ(a.sockets.SentDatagrams(), 0u);
    EXPECT_EQ(a.system.PendingDatagrams(), 2u);
    EXPECT_EQ(a.DrainTexts(), (Texts{"by name", "empty target"}));
}

TEST_F(UdpCarrierTest, WithoutLocalMailslotsThisComputerIsReachedOverLoopback) {
    CHost& a = Add("Lab1", false);
    ASSERT_TRUE(a.endpoint.IsOpen());
    ASSERT_TRUE(a.endpoint.Send("", "Kel", "to myself", true));
    EXPECT_EQ(a.DrainTexts(), Texts{"to myself"});
}

TEST_F(UdpCarrierTest, BroadcastWithoutInterfacesStillReachesThisComputer) {
    CHost& a = Add("Lab1");
    CHost& b = Add("Lab2");
    a.sockets.SetHasInterfaces(false);
    ASSERT_TRUE(a.endpoint.Send("*", "Kel", "alone", true));
    EXPECT_EQ(a.DrainTexts(), Texts{"alone"});
    EXPECT_TRUE(b.Drain().empty());
}

TEST_F(UdpCarrierTest, OpeningTellsANameTakenFromAPortInUse) {
    CHost& a = Add("Lab1");
    // A second copy on the same computer meets its own mailslot's name first.
    CUdpCarrier second(a.sockets, systems, Options(), &a.system);
    EXPECT_EQ(second.Open(), EOpenResult::NameTaken);

    // Another program holds the port of a computer without the program.
    CMemoryComputer& system = systems.AddComputer("Lab5");
    CMemoryUdpHost& sockets = udp.AddHost("Lab5");
    EOpenSocket held = EOpenSocket::Failed;
    CSocket other(sockets, sockets.OpenUdpSocket(kPort, &held));
    ASSERT_EQ(held, EOpenSocket::Opened);
    CUdpCarrier carrier(sockets, systems, Options(), &system);
    CMailslot endpoint(carrier, systems, "Lab5");
    EXPECT_FALSE(endpoint.IsOpen());
    EXPECT_EQ(endpoint.OpenResult(), EOpenResult::PortInUse);
}

TEST_F(UdpCarrierTest, OneSocketSendsAndReceivesForTheLifeOfTheCarrier) {
    CHost& a = Add("Lab1");
    CHost& b = Add("Lab2");
    ASSERT_TRUE(a.endpoint.Send("*", "mivletcmd", "admin:ping Kel", true));
    b.Drain();
    ASSERT_TRUE(a.endpoint.Send("Lab2", "Kel", std::string(5000, 'x').c_str(), true));
    ASSERT_TRUE(a.endpoint.Send("Lab2", "Kel", "again", true));
    EXPECT_EQ(a.sockets.OpenSockets(), 1u);
    EXPECT_EQ(b.DrainTexts().size(), 2u);

    // A program that only sends opens one unbound socket, once.
    CMemoryUdpHost& sender = udp.AddHost("Sender");
    CUdpCarrier sendOnly(sender, systems, Options());
    sendOnly.DisableReceiving();
    CMailslot endpoint(sendOnly, systems, "Sender");
    EXPECT_FALSE(endpoint.IsOpen());
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(endpoint.Send("*", "Kel", "hi", true));
    EXPECT_EQ(sender.OpenSockets(), 1u);
}

TEST_F(UdpCarrierTest, ALongMessageGoesWithoutPausesOverUdp) {
    CHost& a = Add("Lab1");
    CHost& b = Add("Lab2");
    const std::string longText(20480, 'w');
    ASSERT_TRUE(a.endpoint.Send("Lab2", "Kel", longText.c_str(), true));
    // The receiver reads its socket as datagrams arrive: the mailslot's
    // pacing (61 datagrams, 4.5 s) would only freeze the sender's window.
    EXPECT_TRUE(systems.Sleeps().empty());
    EXPECT_EQ(b.DrainTexts(), Texts{longText});
}

TEST_F(UdpCarrierTest, NameThatDoesNotResolveFailsAtOnceAfterOneLookUp) {
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
    systems.Advance(CNameLookups::kFailedLifetimeMs);
    EXPECT_FALSE(a.endpoint.Send("Nowhere", "Kel", "later", true));
    EXPECT_EQ(a.sockets.ResolveCalls(), 2u);
}

TEST_F(UdpCarrierTest, ALongMessageLooksItsTargetUpOnce) {
    CHost& a = Add("Lab1");
    CHost& b = Add("Lab2");
    ASSERT_TRUE(a.endpoint.Send("Lab2", "Kel", std::string(2000, 'x').c_str(), true));
    EXPECT_EQ(a.sockets.ResolveCalls(), 1u) << "one look-up for all of the message's datagrams";
    const auto records = b.Drain();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].text.size(), 2000u);
}

TEST_F(UdpCarrierTest, DirectMessagesGoWhereTheComputersOwnDatagramsCameFrom) {
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

TEST_F(UdpCarrierTest, SenderFieldsThatCannotNameAComputerTeachNothing) {
    CHost& a = Add("Lab1");
    Add("Lab2");
    for (const char* sender : {"*", "**", "\\evil", "a/b"}) {
        a.sockets.Inject(kPort, std::string(sender) + Bytes("\0" "00001\0" "x>\ty"), 0x0A0100FEu);
        a.Drain();
    }
    // "*" would otherwise be learnt as an address for every broadcast.
    EXPECT_EQ(a.carrier.LearnedComputers(), 0u);
}

TEST_F(UdpCarrierTest, ExtraTargetsGetEveryDatagramToAllComputers) {
    CHost& a = Add("Lab1");
    CHost& b = Add("Lab2");
    // A host that the subnet's broadcast does not reach, as behind a router.
    CHost& far = Add("Far");
    far.sockets.SetHasInterfaces(false);
    a.carrier.SetExtraTargets({"Far", "no-such-host"});
    ASSERT_TRUE(a.endpoint.Send("*", "Kel", "to all", true));
    EXPECT_EQ(b.DrainTexts(), Texts{"to all"});
    EXPECT_EQ(far.DrainTexts(), Texts{"to all"});
    EXPECT_EQ(a.DrainTexts(), Texts{"to all"});
    // Direct messages do not go to them.
    ASSERT_TRUE(a.endpoint.Send("Lab2", "Kel", "just you", true));
    EXPECT_TRUE(far.DrainTexts().empty());
}

TEST_F(UdpCarrierTest, ABroadcastThatReachesSomeInterfacesIsSentOnce) {
    CHost& a = Add("Lab1");
    CHost& b = Add("Lab2");
    constexpr InetAddress kDownInterface = 0x0A0200FFu;
    a.sockets.AddInterface(CInterfaceAddress{0x0A020001u, 0xFFFFFF00u, true});
    a.sockets.FailSendsTo(kDownInterface);
    const std::size_t sentBefore = a.sockets.SentDatagrams();
    const std::uint32_t start = systems.TickCount();
    ASSERT_TRUE(a.endpoint.Send("*", "mivletcmd", "admin:ping Kel", true));
    EXPECT_EQ(a.sockets.SentDatagrams() - sentBefore, 2u) << "one send per address, no second round";
    EXPECT_LT(systems.TickCount() - start, CMailslot::kRewriteDelayMs) << "no pause before a rewrite";
    EXPECT_EQ(b.Drain().size(), 1u);
}

TEST_F(UdpCarrierTest, OversizedDatagramsAreDroppedUnread) {
    CHost& a = Add("Lab1");
    a.sockets.Inject(kPort, std::string(425, 'x'));
    a.sockets.Inject(kPort, Bytes("Far\0" "00001\0" "Kel>\tok"));
    a.sockets.Inject(kPort, std::string(65000, '\0'));
    a.sockets.Inject(kPort, Bytes("Far\0" "00002\0" "Kel>\t") + std::string(409, 'y'));  // 424: kept
    a.sockets.Inject(kPort, Bytes("Far\0" "00003\0" "Kel>\t") + std::string(410, 'z'));  // 425: dropped
    EXPECT_EQ(a.DrainTexts(), (Texts{"ok", std::string(409, 'y')}));
}

TEST_F(UdpCarrierTest, AFloodFromOneAddressLeavesRoomForAnother) {
    CHost& a = Add("Lab1");
    constexpr InetAddress kFlooder = 0x0A010063u, kColleague = 0x0A010064u;
    for (int i = 0; i < 1000; ++i)
        a.sockets.Inject(kPort, "Flood" + Bytes("\0") + std::to_string(10000 + i) + Bytes("\0") + "x>\tf", kFlooder);
    a.sockets.Inject(kPort, Bytes("Lab7\0" "00001\0" "Ann>\thello"), kColleague);

    // Reading takes each source in turn: the colleague's message is among
    // the first few, not behind the whole flood.
    std::vector<CMessageRecord> records;
    a.endpoint.Receive(records, 4);
    const bool found = std::any_of(records.begin(), records.end(), [](const CMessageRecord& r) { return r.text == "hello"; });
    EXPECT_TRUE(found);
    while (a.endpoint.HasMessages()) a.endpoint.Receive(records, 64);
    // What the flood lost is told once, when it has been quiet a while.
    EXPECT_TRUE(a.carrier.TakeDropped().empty());
    systems.Advance(CUdpCarrier::kDropQuietMs);
    const auto dropped = a.carrier.TakeDropped();
    ASSERT_EQ(dropped.size(), 1u);
    EXPECT_EQ(dropped[0].from, kFlooder);
    EXPECT_GT(dropped[0].messages, 0u);
    EXPECT_TRUE(a.carrier.TakeDropped().empty());
}

TEST_F(UdpCarrierTest, LocalAndNetworkDatagramsAreBothRead) {
    CHost& a = Add("Lab1");
    CHost& b = Add("Lab2");
    ASSERT_TRUE(b.endpoint.Send("Lab1", "Ann", "over the network", true));
    ASSERT_TRUE(a.endpoint.Send("", "Kel", "local", true));
    // The local mailslot is read first.
    EXPECT_EQ(a.DrainTexts(), (Texts{"local", "over the network"}));
}

TEST_F(UdpCarrierTest, ForgedSourceAddressesAreNeverLearnt) {
    CHost& a = Add("Lab1");
    CHost& b = Add("Lab2");
    // Lab1 is 10.1.0.1 on 10.1.0.0/24.
    const InetAddress sources[] = {0x0A0100FFu, 0x0A010000u, 0xFFFFFFFFu, 0xE0000001u,
                                   0x7F000001u, 0x00000000u, 0x0A010001u};
    for (InetAddress source : sources) {
        a.sockets.Inject(kPort, Bytes("Lab2*\0" "00001\0" "mivletcmd>\tadmin:ping Ann"), source);
        a.Drain();
        EXPECT_EQ(a.carrier.LearnedComputers(), 0u) << std::hex << source;
    }
    // So a direct message to the forged name goes by its name alone: to
    // Lab2 only, never to the whole subnet.
    const std::size_t sentBefore = a.sockets.SentDatagrams();
    ASSERT_TRUE(a.endpoint.Send("Lab2", "Kel", "only you", true));
    EXPECT_EQ(a.sockets.SentDatagrams() - sentBefore, 1u);
    EXPECT_EQ(b.DrainTexts(), Texts{"only you"});
    for (const auto& host : hosts)
        if (host.get() != &b) EXPECT_TRUE(host->Drain().empty());
}

TEST_F(UdpCarrierTest, ExtraTargetsAreLookedUpWhenSetAndFailuresRemembered) {
    CHost& a = Add("Lab1");
    Add("Lab2");
    a.carrier.SetExtraTargets({"Lab2", "no-such-host"});
    EXPECT_EQ(a.sockets.ResolveCalls(), 2u);
    for (int second = 0; second < 60; ++second) {
        ASSERT_TRUE(a.endpoint.Send("*", "mivletcmd", "admin:ping Kel", true));
        systems.Advance(1000);
    }
    // The name that resolves is looked up again twice a minute; the one that
    // does not, not within minutes.
    EXPECT_EQ(a.sockets.ResolveCalls(), 3u);
    systems.Advance(CNameLookups::kFailedLifetimeMs);
    ASSERT_TRUE(a.endpoint.Send("*", "mivletcmd", "admin:ping Kel", true));
    EXPECT_EQ(a.sockets.ResolveCalls(), 5u);
}

// An upgrade in progress on a Windows that still delivers remote mailslot
// datagrams: Old runs an older copy on mailslots alone.
class MixedNetworkTest : public UdpCarrierTest {
protected:
    CMemoryComputer& oldSystem = systems.AddComputer("Old");
    CMailslot old{oldSystem, systems, "Old"};

    CHost& AddNew(const std::string& name) { return Add(name, true, true); }

    std::vector<std::string> OldTexts() {
        std::vector<CMessageRecord> records;
        old.Receive(records);
        std::vector<std::string> texts;
        for (const auto& r : records) texts.push_back(r.text);
        return texts;
    }
};

TEST_F(MixedNetworkTest, OlderCopiesAndNewerOnesHearEachOther) {
    CHost& a = AddNew("Lab1");
    CHost& b = AddNew("Lab2");
    ASSERT_TRUE(old.Send("*", "mivletcmd", "admin:ping Ole", true));
    EXPECT_EQ(a.DrainTexts(), Texts{"admin:ping Ole"});
    OldTexts();

    // Heard through the mailslot: answered through it, with its pacing.
    ASSERT_TRUE(a.endpoint.Send("Old", "Kel", "hello old friend", true));
    EXPECT_EQ(OldTexts(), Texts{"hello old friend"});
    ASSERT_TRUE(a.endpoint.Send("Old", "Kel", std::string(700, 'p').c_str(), true));
    const std::uint32_t pause = CMemoryComputer::kMailslotChunkPauseMs;
    EXPECT_EQ(systems.Sleeps(), (std::vector<std::uint32_t>{pause, pause}));
    EXPECT_EQ(OldTexts().size(), 1u);

    // A message to all users reaches the older copy through the mailslot,
    // and the newer ones once, though it reaches them both ways.
    b.Drain();
    ASSERT_TRUE(a.endpoint.Send("*", "Kel", "everyone", true));
    EXPECT_EQ(OldTexts(), Texts{"everyone"});
    EXPECT_EQ(b.DrainTexts(), Texts{"everyone"});
    EXPECT_EQ(a.DrainTexts(), Texts{"everyone"});

    // A newer copy heard over UDP is answered over UDP.
    ASSERT_TRUE(b.endpoint.Send("*", "mivletcmd", "admin:ping Bea", true));
    a.Drain();
    b.Drain();
    const std::size_t sentBefore = a.sockets.SentDatagrams();
    ASSERT_TRUE(a.endpoint.Send("Lab2", "Kel", "new to new", true));
    EXPECT_EQ(a.sockets.SentDatagrams() - sentBefore, 1u);
    EXPECT_EQ(b.DrainTexts(), Texts{"new to new"});
}

TEST_F(MixedNetworkTest, ALongBroadcastThatArrivesBothWaysIsShownOnce) {
    CHost& a = AddNew("Lab1");
    CHost& b = AddNew("Lab2");
    const std::string text(1000, 'b');
    ASSERT_TRUE(a.endpoint.Send("*", "Kel", text.c_str(), true));
    // All of the mailslot's copies are read before the socket's: the chunks
    // are not back to back, and each is still read once.
    EXPECT_EQ(b.DrainTexts(), Texts{text});
    EXPECT_EQ(OldTexts(), Texts{text});
}

TEST_F(MixedNetworkTest, MailslotBroadcastsRefusedOnceAreNotTriedAgain) {
    CHost& a = AddNew("Lab1");
    a.system.FailBroadcasts(true);  // as Wine, or a Windows that refuses them (3025)
    auto mailslotBroadcasts = [&] {
        return std::count_if(systems.Writes().begin(), systems.Writes().end(), [](const auto& write) {
            return write.target.kind == CDatagramTarget::EKind::AllComputers;
        });
    };
    ASSERT_TRUE(a.endpoint.Send("*", "mivletcmd", "admin:ping Kel", true));
    EXPECT_FALSE(a.carrier.BroadcastsThroughMailslots());
    const std::uint32_t start = systems.TickCount();
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(a.endpoint.Send("*", "mivletcmd", "admin:ping Kel", true));
    EXPECT_EQ(systems.TickCount(), start) << "no retries";
    EXPECT_EQ(mailslotBroadcasts(), 0);
    EXPECT_TRUE(OldTexts().empty());
}

// The flood of the LAN benchmark from one address, through the session as
// the chat window takes it: a ping from a name never used before, a chat
// line, and a chunk of a message that never ends, in turn. A colleague's
// message sent during it, and one from the flooder itself once it stops,
// are both shown.
TEST_F(UdpCarrierTest, AColleaguesMessageIsShownDuringAFloodAndTheFloodersOwnAfterIt) {
    CTestSessionHost sessionHost;
    CMemoryComputer& system = systems.AddComputer("Lab1");
    CMemoryUdpHost& sockets = udp.AddHost("Lab1");
    CUdpCarrier carrier(sockets, systems, Options(), &system);
    const CCodePage1252 sessionCodePage;
    CMessagingSession session(carrier, systems, sessionCodePage, "Lab1", CBuildInfo{}, sessionHost);
    ASSERT_TRUE(session.IsOpen());
    constexpr InetAddress kFlooder = 0x0A010063u, kColleague = 0x0A010064u;
    std::vector<std::string> shown;
    const auto step = [&] { session.Receive([&](const CMessageRecord& r) { shown.push_back(r.text); }); };
    const std::string filler(400, 'f');
    int sequence = 0;
    for (int i = 0; i < 6000; ++i) {
        std::string datagram;
        switch (i % 3) {
        case 0: datagram = Datagram("Forged" + std::to_string(i), true, ++sequence, "mivletcmd>\tadmin:ping x"); break;
        case 1: datagram = Datagram("Chat" + std::to_string(i % 16), false, ++sequence, "flood>\tline"); break;
        default:
            datagram = Datagram("Endless" + std::to_string(i % 1000), false, ++sequence,
                                std::string_view(filler).substr(0, ChunkBudget(10, false) - 1), true);
        }
        sockets.Inject(kPort, datagram, kFlooder);
        if (i == 3000) sockets.Inject(kPort, Datagram("Lab7", false, 1, "Ann>\tduring"), kColleague);
        if (i % 40 == 0) step();  // the window reads at its own pace, slower than the flood
    }
    sockets.Inject(kPort, Datagram("Flooder", false, 1, "Bob>\tafter"), kFlooder);
    for (int i = 0; i < 200 && session.HasMore(); ++i) step();
    EXPECT_NE(std::find(shown.begin(), shown.end(), "during"), shown.end());
    EXPECT_NE(std::find(shown.begin(), shown.end(), "after"), shown.end());
    EXPECT_FALSE(session.HasMore());

    // Once the flood has been quiet a while, the history tells what it lost,
    // once.
    systems.Advance(CUdpCarrier::kDropQuietMs);
    shown.clear();
    step();
    step();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find(" messages from 10.1.0.99 were not shown."), std::string::npos) << shown[0];
}

}  // namespace
