// mivlet-peer send's receipt: which sends wait, which datagram is the
// receipt, and the wait itself beside the copy that holds the port.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "messaging/CommandText.h"
#include "messaging/MessagingSession.h"
#include "messaging/UdpCarrier.h"
#include "platform/codepage/CodePage1252.h"
#include "platform/memory/MemoryNetwork.h"
#include "platform/memory/MemorySockets.h"
#include "tests/messaging/DatagramBytes.h"
#include "tools/peer/SendReceipt.h"
#include "tests/messaging/TestSessionHost.h"

namespace {

TEST(SendReceiptTest, OnlyDirectChatMessagesToAnotherComputerWait) {
    const struct {
        const char* name;
        CDatagramTarget target;
        const char* sender;
        std::uint32_t waitMs;
        bool waits;
    } cases[] = {
        {"a message to another computer", CDatagramTarget::Computer("Lab2"), "kel", 2000, true},
        {"--wait 0", CDatagramTarget::Computer("Lab2"), "kel", 0, false},
        {"a message to all users", CDatagramTarget::All(), "kel", 2000, false},
        {"a message to this computer", CDatagramTarget::This(), "kel", 2000, false},
        {"a command", CDatagramTarget::Computer("Lab2"), kCommandMarker, 2000, false},
    };
    for (const auto& c : cases) EXPECT_EQ(AwaitsReceipt(c.target, c.sender, c.waitMs), c.waits) << c.name;
}

constexpr InetAddress kLab2 = 0x0A4D0003u;  // 10.77.0.3

TEST(SendReceiptTest, TheReceiptNamesTheMessageAndComesFromItsTarget) {
    const auto record = [](const char* computer, const char* user, const char* text, InetAddress from = kLab2) {
        CMessageRecord r;
        r.computer = computer;
        r.user = user;
        r.text = text;
        r.source = CDatagramSource{from, kDefaultUdpPort};
        return r;
    };
    CMessageRecord toAll = record("Lab2", kCommandMarker, "admin:received 04711");
    toAll.broadcast = 1;
    const struct {
        const char* name;
        CMessageRecord record;
        const char* target;
        bool counts;
    } cases[] = {
        {"the receipt", record("Lab2", kCommandMarker, "admin:received 04711"), "LAB2", true},
        {"in another letter case", record("Lab2", kCommandMarker, "ADMIN:RECEIVED 04711"), "lab2", true},
        {"for another message", record("Lab2", kCommandMarker, "admin:received 04712"), "LAB2", false},
        {"from another computer", record("Lab3", kCommandMarker, "admin:received 04711", 0x0A4D0004u), "LAB2",
         false},
        {"the text of a chat message", record("Lab2", "ann", "admin:received 04711"), "LAB2", false},
        {"another command", record("Lab2", kCommandMarker, "admin:ping 04711"), "LAB2", false},
        {"sent to all users", toAll, "LAB2", false},
        {"the target given as its address", record("Lab2", kCommandMarker, "admin:received 04711"), "10.77.0.3",
         true},
        {"from another address than the target's",
         record("Lab2", kCommandMarker, "admin:received 04711", 0x0A4D0004u), "10.77.0.3", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsReceiptFor(c.record, c.target, {kLab2}, "04711"), c.counts) << c.name;
}

TEST(SendReceiptTest, PlainOutputSaysInWordsAndJsonInAField) {
    EXPECT_EQ(FormatReceiptOutcome(EReceiptOutcome::Confirmed, "LAB2", 2000, 3, false),
              "receipt from LAB2: the message arrived (3 ms)");
    EXPECT_EQ(FormatReceiptOutcome(EReceiptOutcome::NotConfirmed, "LAB2", 2500, -1, false),
              "sent, but no receipt from LAB2 within 2.5 s");
    EXPECT_EQ(FormatReceiptOutcome(EReceiptOutcome::NotAwaited, "*", 2000, 0, false), "");
    EXPECT_EQ(FormatReceiptOutcome(EReceiptOutcome::Confirmed, "LAB2", 2000, 3, true),
              R"({"sent":true,"awaited":true,"receipt":true,"waited_ms":3})");
    EXPECT_EQ(FormatReceiptOutcome(EReceiptOutcome::NotConfirmed, "LAB2", 2000, -1, true),
              R"({"sent":true,"awaited":true,"receipt":false,"waited_ms":2000})");
    EXPECT_EQ(FormatReceiptOutcome(EReceiptOutcome::NotAwaited, "*", 2000, 0, true),
              R"({"sent":true,"awaited":false,"receipt":false,"waited_ms":0})");
    // The target comes from the command line: it may hold anything.
    EXPECT_EQ(FormatReceiptOutcome(EReceiptOutcome::NotConfirmed, "a\x1b[2Jb", 1000, -1, false),
              "sent, but no receipt from a\\x1b[2Jb within 1.0 s");
}

CUdpCarrier::COptions Options() {
    CUdpCarrier::COptions options;
    options.port = kDefaultUdpPort;
    return options;
}

// Lab1 runs a copy, which holds the port, and a send beside it; Lab2 runs a
// copy. Both copies have heard of each other.
class SendReceiptOverUdpTest : public ::testing::Test {
protected:
    SendReceiptOverUdpTest() {
        // Time passes with every look at the clock, so that a wait whose
        // receipt never comes ends.
        clock.SetTickCountStep(1);
        sendCarrier.ReceiveAnswersOnly();
        send.Create();
        copy1.SendPing("kel");
        copy2.SendPing("ann");
        Step(copy1);
        Step(copy2);
    }
    std::vector<CMessageRecord> Step(CMessagingSession& session) {
        std::vector<CMessageRecord> shown;
        session.Receive([&](const CMessageRecord& r) { shown.push_back(r); });
        return shown;
    }
    // What reached the copy on Lab1 without being shown: commands.
    std::vector<std::string> CommandsReachingCopy1() {
        std::vector<CMessageRecord> records;
        copy1.Endpoint().Receive(records);
        std::vector<std::string> texts;
        for (const CMessageRecord& r : records)
            if (IsCommandRecord(r)) texts.push_back(r.text);
        return texts;
    }

    CMemoryNetwork clock;
    CMemoryUdpNetwork udp;
    CMemoryUdpHost& lab1 = udp.AddHost("Lab1");
    CMemoryUdpHost& lab2 = udp.AddHost("Lab2");
    CTestSessionHost host;
    const CCodePage1252 codePage;
    CUdpCarrier carrier1{lab1, clock, Options()};
    CUdpCarrier carrier2{lab2, clock, Options()};
    CMessagingSession copy1{carrier1, clock, codePage, "Lab1", CBuildInfo{}, host};
    CMessagingSession copy2{carrier2, clock, codePage, "Lab2", CBuildInfo{}, host};
    CUdpCarrier sendCarrier{lab1, clock, Options()};
    CMailslot send{sendCarrier, clock, "Lab1"};
};

TEST_F(SendReceiptOverUdpTest, ASendHearsItsReceiptOnItsOwnPortBesideTheCopy) {
    ASSERT_TRUE(copy1.IsOpen());
    ASSERT_TRUE(send.IsOpen()) << "a port of its own, the copies' port left to the copy";
    send.SetSequenceCounter(4710);
    // As send does: a ping to the target first, in the same receive step
    // as the message.
    ASSERT_TRUE(send.Send("Lab2", kCommandMarker, "admin:ping bob", true));
    ASSERT_TRUE(send.Send("Lab2", "bob", "hello", true));
    ASSERT_EQ(Step(copy2).size(), 1u);

    const CReceiptWait wait{"Lab2", {lab2.Address()}, "04712", 2000};
    EXPECT_GE(WaitForReceipt(send, clock, wait), 0);
    EXPECT_TRUE(CommandsReachingCopy1().empty()) << "the copy on Lab1 gets no receipt that is not its own";
}

TEST_F(SendReceiptOverUdpTest, AMessageFromAnAddressNoComputerHasIsConfirmedOnlyToTheComputer) {
    // Lab1's name under the subnet's broadcast address, from a port like a
    // send's: the receipt must not go to every computer's port 50000.
    lab2.Inject(kDefaultUdpPort, Datagram("Lab1", false, 300, "eve>\tforged"), CMemoryUdpNetwork::kBroadcast,
                50000);
    ASSERT_EQ(Step(copy2).size(), 1u);
    EXPECT_EQ(CommandsReachingCopy1(), std::vector<std::string>{"admin:received 00300"})
        << "to Lab1's copy, where any datagram to Lab1 goes";
}

TEST_F(SendReceiptOverUdpTest, WithoutAReceiptTheWaitEndsAtItsTime) {
    ASSERT_TRUE(send.Send("Lab2", "bob", "nobody reads this", true));
    const std::uint32_t start = clock.TickCount();
    const CReceiptWait wait{"Lab2", {lab2.Address()}, "00001", 500};
    EXPECT_EQ(WaitForReceipt(send, clock, wait), -1);
    EXPECT_GE(clock.TickCount() - start, 500u);
    EXPECT_LT(clock.TickCount() - start, 1000u);
}

}  // namespace
