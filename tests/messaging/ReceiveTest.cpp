#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "platform/codepage/CodePage1252.h"
#include "tests/messaging/DatagramBytes.h"
#include "messaging/Datagram.h"
#include "messaging/Mailslot.h"
#include "messaging/MessagingSession.h"
#include "platform/memory/MemoryNetwork.h"
#include "tests/messaging/TestSessionHost.h"

namespace {

// Office receives whatever the test puts into its mailslot.
class ReceiveTest : public ::testing::Test {
protected:
    void Deliver(std::string bytes) { officeHost.DeliverRaw(std::move(bytes)); }
    std::vector<CMessageRecord> Drain(bool expected = true) {
        std::vector<CMessageRecord> records;
        EXPECT_EQ(office.Receive(records), expected);
        return records;
    }

    CMemoryNetwork net;
    CMemoryComputer& officeHost = net.AddComputer("Office");
    CMailslot office{officeHost, net, "Office"};
};

TEST_F(ReceiveTest, SmallestAndLargestDatagrams) {
    const std::string smallest = Datagram("A", false, 1, "x");
    const std::string largest = Datagram("Abcdefghijklmno", true, 2, std::string(326, 'y'));
    EXPECT_EQ(smallest.size(), 10u);
    EXPECT_EQ(largest.size(), 350u);
    Deliver(smallest);
    Deliver(largest);
    const auto records = Drain();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].computer, "A");
    EXPECT_EQ(records[0].text, "x");
    EXPECT_EQ(records[1].computer, "Abcdefghijklmno");
    EXPECT_EQ(records[1].broadcast, 1);
    EXPECT_EQ(records[1].text, std::string(326, 'y'));
}

TEST_F(ReceiveTest, JoinsThreeChunksIntoOneRecord) {
    net.Advance(5000);
    Deliver(Datagram("Lab2", false, 7, "Kel>\tone ", true));
    Deliver(Datagram("Lab2", false, 8, "two ", true));
    Deliver(Datagram("Lab2", false, 9, "three"));
    const auto records = Drain();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].computer, "Lab2");
    EXPECT_EQ(records[0].user, "Kel");
    EXPECT_EQ(records[0].text, "one two three");
    EXPECT_EQ(records[0].broadcast, 0);
    EXPECT_EQ(records[0].time, net.Time());
    ASSERT_EQ(office.PartialMessages().Size(), 1u);
    const CPartialMessage* entry = office.PartialMessages().Find("LAB2");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->text, "");
    EXPECT_EQ(entry->lastSequence, "00009");
}

TEST_F(ReceiveTest, DropsOnlyAnImmediateRepeat) {
    const std::string first = Datagram("Lab2", false, 1, "Kel>\tfirst");
    const std::string second = Datagram("Lab2", false, 2, "Kel>\tsecond");
    const std::string fromElsewhere = Datagram("Mill", false, 5, "Ann>\tother");
    for (const auto& d : {first, first, fromElsewhere, first, second, first}) Deliver(d);
    std::vector<std::string> texts;
    for (const auto& r : Drain()) texts.push_back(r.text);
    // Another key between two copies does not help; one of the same key does.
    EXPECT_EQ(texts, (std::vector<std::string>{"first", "other", "second", "first"}));
}

TEST_F(ReceiveTest, RestartedSenderLosesItsFirstDatagramWhenTheNumberMatches) {
    CMemoryComputer& lab2Host = net.AddComputer("Lab2");
    {
        CMailslot before(lab2Host, net, "Lab2");
        ASSERT_TRUE(before.Send("Office", "Kel", "before restart", true));
    }
    CMailslot after(lab2Host, net, "Lab2");  // numbers from "00001" again
    ASSERT_TRUE(after.Send("Office", "Kel", "dropped", true));
    ASSERT_TRUE(after.Send("Office", "Kel", "kept", true));
    std::vector<std::string> texts;
    for (const auto& r : Drain()) texts.push_back(r.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"before restart", "kept"}));
}

TEST_F(ReceiveTest, DirectAndBroadcastKeysAreSeparateAndIgnoreLetterCase) {
    // Each key's chunks are numbered on by one, whatever comes between.
    Deliver(Datagram("Lab2", true, 10, "Kel>\tto ", true));
    Deliver(Datagram("LAB2", false, 2, "Kel>\tjust ", true));
    Deliver(Datagram("lab2", false, 3, "you"));
    Deliver(Datagram("LAB2", true, 11, "all"));
    const auto records = Drain();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].text, "just you");
    EXPECT_EQ(records[0].broadcast, 0);
    EXPECT_EQ(records[0].computer, "lab2");  // as the sender field stood
    EXPECT_EQ(records[1].text, "to all");
    EXPECT_EQ(records[1].broadcast, 1);
    EXPECT_EQ(records[1].computer, "LAB2");
    EXPECT_EQ(office.PartialMessages().Size(), 2u);
}

TEST_F(ReceiveTest, RecordsFollowTheOrderOfTheirLastChunks) {
    Deliver(Datagram("Lab2", false, 1, "Kel>\tlong ", true));
    Deliver(Datagram("Mill", false, 1, "Ann>\tshort"));
    Deliver(Datagram("Lab2", false, 2, "one"));
    const auto records = Drain();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].computer, "Mill");
    EXPECT_EQ(records[1].text, "long one");
}

TEST_F(ReceiveTest, TextWithoutSeparatorIsKeptWholeWithNoUser) {
    Deliver(Datagram("Foreign", false, 1, "no separator > here\t"));
    const auto records = Drain();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].user, "");
    EXPECT_EQ(records[0].text, "no separator > here\t");
}

TEST_F(ReceiveTest, OneByteDatagramEndsTheDrainAndKeepsEarlierRecords) {
    Deliver(Datagram("Lab2", false, 1, "Kel>\tbefore"));
    Deliver("x");
    Deliver(Datagram("Lab2", false, 2, "Kel>\tafter"));
    auto records = Drain(false);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].text, "before");
    records = Drain(true);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].text, "after");
}

// Datagrams from the network are untrusted: none of these may read outside
// its bytes (the sanitizer run checks) or stop the datagrams behind it.
TEST_F(ReceiveTest, HostileDatagramsAreSafe) {
    using namespace std::string_literals;
    const struct {
        const char* name;
        std::string bytes;
        bool drained;
        std::size_t records;
    } cases[] = {
        {"empty", ""s, false, 0},
        {"no zero byte", "Lab2"s, false, 0},
        {"only a zero", "\0"s, false, 0},
        {"two zeros", "\0\0"s, true, 0},  // empty sequence equals the empty last one: a repeat
        {"sequence runs to the end", "Lab2\0" "00001"s, false, 0},
        {"sender and nothing else", "Lab2\0"s, true, 0},
        {"no chunk terminator", "Lab2\0" "00001\0Kel>\tHi"s, true, 1},
        {"empty sender field", "\0" "00001\0Kel>\tHi\0"s, true, 1},
        {"exactly 350 bytes", Datagram("Lab2", false, 9, "Kel>\t" + std::string(332, 'a')), true, 1},
        {"far larger than 350", "Lab2\0" "00003\0"s + std::string(8000, 'b') + "\0"s, true, 1},
        {"far larger, no zero", std::string(8000, 'c'), false, 0},
        {"zeros only", std::string(400, '\0'), true, 0},
    };
    for (const auto& c : cases) {
        CMemoryNetwork n;
        CMemoryComputer& host = n.AddComputer("Office");
        CMailslot endpoint(host, net, "Office");
        host.DeliverRaw(c.bytes);
        host.DeliverRaw(Datagram("Good", false, 1, "Kel>\tstill here"));

        std::vector<CMessageRecord> records;
        EXPECT_EQ(endpoint.Receive(records), c.drained) << c.name;
        EXPECT_EQ(records.size(), c.records + (c.drained ? 1 : 0)) << c.name;
        if (!c.drained) {
            EXPECT_TRUE(endpoint.Receive(records)) << c.name;
        }
        ASSERT_FALSE(records.empty()) << c.name;
        EXPECT_EQ(records.back().text, "still here") << c.name;
    }
}

TEST_F(ReceiveTest, AMessageThatNeverEndsCannotGrowWithoutBound) {
    const std::string chunk(330, 'm');
    for (int i = 1; i <= 400; ++i) Deliver(Datagram("Flood", false, i, chunk, true));
    Drain();
    ASSERT_EQ(office.PartialMessages().Size(), 1u);
    ASSERT_NE(office.PartialMessages().Find("Flood"), nullptr);
    EXPECT_EQ(office.PartialMessages().Find("Flood")->text.size(), CPartialMessageTable::kMaxMessageBytes);
    // Nor does the memory held for it grow past the limit.
    EXPECT_LE(office.PartialMessages().Find("Flood")->text.capacity(), CPartialMessageTable::kMaxMessageBytes);
    Deliver(Datagram("Flood", false, 401, "end"));
    const auto records = Drain();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].text.size(), CPartialMessageTable::kMaxMessageBytes);
}

TEST_F(ReceiveTest, SpoofedSenderNamesCannotGrowTheTableWithoutBound) {
    Deliver(Datagram("Lab2", false, 1, "Kel>\tstill ", true));  // collecting: kept over idle ones
    for (std::size_t i = 0; i < 3 * CPartialMessageTable::kMaxEntries; ++i)
        Deliver(Datagram("S" + std::to_string(i), false, 1, "x>\ty"));
    EXPECT_EQ(Drain().size(), 3 * CPartialMessageTable::kMaxEntries);
    EXPECT_EQ(office.PartialMessages().Size(), CPartialMessageTable::kMaxEntries);
    Deliver(Datagram("Lab2", false, 2, "joined"));
    const auto records = Drain();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].text, "still joined");
}

// The mix of the flood benchmark: endless messages from almost as many
// senders as the table holds, forged pings from ever-new names, chat lines;
// afterwards a real message from a computer heard before the flood, and one
// from a computer never heard, arrive whole.
TEST_F(ReceiveTest, AfterAFloodOfEndlessMessagesAndForgedNamesRealMessagesArrive) {
    Deliver(Datagram("Lab1", false, 1, "Bob>\tbefore"));
    ASSERT_EQ(Drain().size(), 1u);
    int sequence = 2;
    for (int round = 0; round < 4; ++round) {
        for (int i = 0; i < 1000; ++i) {
            Deliver(Datagram("Endless" + std::to_string(i), false, sequence++, std::string(300, 'f'), true));
            Deliver(Datagram("Forged" + std::to_string(round * 1000 + i), true, sequence++, "mivletcmd>\tadmin:ping x"));
            Deliver(Datagram("Chat" + std::to_string(i % 16), false, sequence++, "flood>\tline"));
        }
        Drain();
    }
    EXPECT_EQ(office.PartialMessages().Size(), CPartialMessageTable::kMaxEntries);
    Deliver(Datagram("Lab1", false, 70000, "Bob>\tafter, ", true));
    Deliver(Datagram("Lab1", false, 70001, "whole"));
    Deliver(Datagram("Lab3", false, 12345, "Ann>\tnew here"));
    const auto records = Drain();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].text, "after, whole");
    EXPECT_EQ(records[1].text, "new here");
}

// A flood from other computers must not hold the thread that receives: a
// step reads its share and leaves the rest for the next one.
TEST_F(ReceiveTest, AFloodIsReadOverSeveralSteps) {
    CTestSessionHost host;
    CMemoryNetwork n;
    CMemoryComputer& computer = n.AddComputer("Office");
    const CCodePage1252 sessionCodePage;
    CMessagingSession session(computer, n, sessionCodePage, "Office", CBuildInfo{"Dec 12 2000", "1.0.0", "Dec 12 2000"}, host);
    const std::size_t flood = CMessagingSession::kMaxDatagramsPerStep + 5;
    for (std::size_t i = 0; i < flood; ++i)
        computer.DeliverRaw(Datagram("Pc" + std::to_string(i), true, 1, "Kel>\thi"));

    std::vector<std::string> shown;
    const auto show = [&](const CMessageRecord& r) { shown.push_back(r.computer); };
    // Chat lines cost the window the most: a step shows only a few of them.
    session.Receive(show);
    EXPECT_EQ(shown.size(), CMessagingSession::kMaxShownPerStep);
    EXPECT_GE(computer.PendingDatagrams(), flood - CMessagingSession::kMaxDatagramsPerStep);
    for (int step = 0; step < 100 && shown.size() < flood; ++step) session.Receive(show);
    ASSERT_EQ(shown.size(), flood);
    EXPECT_EQ(shown.back(), "Pc" + std::to_string(flood - 1));
}

TEST_F(ReceiveTest, PlatformFailuresEndTheDrainWithFalse) {
    Deliver(Datagram("Lab2", false, 1, "Kel>\tone"));
    Deliver(Datagram("Lab2", false, 2, "Kel>\ttwo"));

    officeHost.FailNextReceive();  // the datagram in question is lost
    EXPECT_TRUE(Drain(false).empty());
    const auto records = Drain(true);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].text, "two");
}

// A step reads a bounded number of datagrams, and shows a bounded number of
// messages: the rest waits for the next step, in order, none lost; pings
// cost little and do not count towards the messages shown.
TEST(ReceiveStep, EachStepShowsABoundedNumberOfMessagesAndLeavesTheRestInOrder) {
    CMemoryNetwork net;
    CMemoryComputer& host = net.AddComputer("Office");
    CTestSessionHost sessionHost;
    const CCodePage1252 sessionCodePage;
    CMessagingSession session(host, net, sessionCodePage, "Office", CBuildInfo{}, sessionHost);
    int sequence = 0;
    for (int i = 0; i < 20; ++i) {
        host.DeliverRaw(Datagram("Pc" + std::to_string(i), true, ++sequence, "mivletcmd>\tadmin:ping U"));
        host.DeliverRaw(Datagram("Lab2", false, ++sequence, "Kel>\tline " + std::to_string(i)));
    }
    for (int i = 0; i < 100; ++i)
        host.DeliverRaw(Datagram("P" + std::to_string(i), true, ++sequence, "mivletcmd>\tadmin:ping U"));

    std::vector<std::string> shown;
    std::vector<std::size_t> perStep;
    while (session.HasMore()) {
        const std::size_t before = shown.size();
        session.Receive([&shown](const CMessageRecord& record) { shown.push_back(record.text); });
        perStep.push_back(shown.size() - before);
    }
    // Datagrams read: 16, 16, 64 (the last 8 of the interleaved ones and 56
    // pings), 44.
    EXPECT_EQ(perStep, (std::vector<std::size_t>{8, 8, 4, 0}));
    ASSERT_EQ(shown.size(), 20u);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(shown[i], "line " + std::to_string(i));
    EXPECT_EQ(session.PeerTable().Peers().size(), 120u);
}

TEST(ReceiveEndpoint, SecondEndpointOfTheNameIsNotOpenAndReceivesNothing) {
    CMemoryNetwork net;
    CMemoryComputer& host = net.AddComputer("Office");
    CMailslot first(host, net, "Office");
    CMailslot second(host, net, "Office");
    EXPECT_TRUE(first.IsOpen());
    EXPECT_FALSE(second.IsOpen());
    EXPECT_EQ(second.OpenResult(), EOpenResult::NameTaken);
    EXPECT_FALSE(second.Create());

    // Sending needs no mailslot of its own.
    EXPECT_TRUE(second.Send("Office", "Kel", "hi", true));
    std::vector<CMessageRecord> records;
    EXPECT_FALSE(second.Receive(records));
    EXPECT_FALSE(second.HasMessages());
    EXPECT_TRUE(records.empty());
    EXPECT_TRUE(first.Receive(records));
    EXPECT_EQ(records.size(), 1u);
}

}  // namespace

namespace {

// A second user's copy on a computer that several users share finds the
// name taken, and says so rather than that the mailslot failed.
TEST(MailslotCreate, TellsWhenAnotherCopyOfThisComputerHoldsTheName) {
    CMemoryNetwork n;
    CMemoryComputer& computer = n.AddComputer("Office");
    const CMailslot first(computer, n, "Office");
    ASSERT_TRUE(first.IsOpen());
    EXPECT_EQ(first.OpenResult(), EOpenResult::Opened);
    const CMailslot second(computer, n, "Office");
    EXPECT_FALSE(second.IsOpen());
    EXPECT_EQ(second.OpenResult(), EOpenResult::NameTaken);
}

}  // namespace
