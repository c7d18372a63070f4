#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "messaging/Datagram.h"
#include "messaging/Mailslot.h"
#include "platform/memory/MemoryNetwork.h"

namespace {

// Lab2 sends; Office listens. Both run on one virtual network and clock.
class SendTest : public ::testing::Test {
protected:
    explicit SendTest(std::uint32_t startTick = 1000) : net(startTick) {}

    std::vector<std::string> Written() const {
        std::vector<std::string> out;
        for (const auto& w : net.Writes()) out.push_back(w.bytes);
        return out;
    }
    std::vector<CMessageRecord> ReceiveAtOffice() {
        std::vector<CMessageRecord> records;
        EXPECT_TRUE(office.Receive(records));
        return records;
    }
    std::uint32_t Elapsed(std::uint32_t since) const { return net.TickCount() - since; }

    CMemoryNetwork net;
    CMemoryComputer& lab2Host = net.AddComputer("Lab2");
    CMemoryComputer& officeHost = net.AddComputer("Office");
    CMailslot lab2{lab2Host, net, "Lab2"};
    CMailslot office{officeHost, net, "Office"};
};

TEST_F(SendTest, FirstBroadcastIsTwentyBytesOnTheWire) {
    ASSERT_TRUE(lab2.Send("*", "Kel", "Hi", true));

    const unsigned char expected[] = {0x4C, 0x61, 0x62, 0x32, 0x2A, 0x00, 0x30, 0x30, 0x30, 0x30,
                                      0x31, 0x00, 0x4B, 0x65, 0x6C, 0x3E, 0x09, 0x48, 0x69, 0x00};
    ASSERT_EQ(Written().size(), 1u);
    EXPECT_EQ(Written()[0], std::string(reinterpret_cast<const char*>(expected), sizeof expected));

    // "*" reaches every computer, the sender included.
    EXPECT_EQ(lab2Host.PendingDatagrams(), 1u);
    const auto records = ReceiveAtOffice();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].computer, "Lab2");
    EXPECT_EQ(records[0].user, "Kel");
    EXPECT_EQ(records[0].text, "Hi");
    EXPECT_EQ(records[0].broadcast, 1);
    EXPECT_EQ(records[0].displayLength, 0);
}

TEST_F(SendTest, ChunksAtTheBudgetBoundary) {
    // For Lab2 to all computers the budget is 342 - 1 - 4 = 337 bytes of
    // "Kel" ">" TAB text.
    const struct {
        std::size_t wholeText;
        std::vector<std::size_t> datagramSizes;
    } cases[] = {
        {337, {350}},
        {338, {350, 15}},
        {336 + 336 + 337, {350, 350, 350}},
        {5, {18}},
    };
    for (const auto& c : cases) {
        const std::size_t before = net.Writes().size();
        const std::string text(c.wholeText - 5, 'x');
        ASSERT_TRUE(lab2.Send("*", "Kel", text.c_str(), true));

        std::vector<std::size_t> sizes;
        for (std::size_t i = before; i < net.Writes().size(); ++i) {
            const std::string& d = net.Writes()[i].bytes;
            sizes.push_back(d.size());
            const bool last = i + 1 == net.Writes().size();
            // Only the last datagram lacks the continuation mark.
            EXPECT_EQ(d.size() >= 2 && d[d.size() - 1] == '\0' && d[d.size() - 2] == '\0', !last);
        }
        EXPECT_EQ(sizes, c.datagramSizes) << c.wholeText;

        const auto records = ReceiveAtOffice();
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].text, text);
    }
}

TEST_F(SendTest, ChunkOf336AndLastOfTwoAt338Bytes) {
    const std::string text(333, 'y');  // "Kel>\t" + 333 = 338
    ASSERT_TRUE(lab2.Send("*", "Kel", text.c_str(), true));
    ASSERT_EQ(Written().size(), 2u);
    const std::string first = Written()[0];
    const std::string last = Written()[1];
    // Lab2 * NUL 00001 NUL chunk NUL NUL
    EXPECT_EQ(first.substr(0, 12), std::string("Lab2*\0" "00001\0", 12));
    EXPECT_EQ(first.substr(12, 336), "Kel>\t" + text.substr(0, 331));
    EXPECT_EQ(last, std::string("Lab2*\0" "00002\0", 12) + std::string(2, 'y') + std::string(1, '\0'));
}

TEST_F(SendTest, ThreeDatagramsAdvanceTheCounterByThreeAndPaceTwice) {
    const std::string text(800, 'z');
    ASSERT_TRUE(lab2.Send("Office", "Kel", text.c_str(), true));
    EXPECT_EQ(lab2.SequenceCounter(), 3);
    EXPECT_EQ(Written().size(), 3u);
    EXPECT_EQ(net.Sleeps(), (std::vector<std::uint32_t>{75, 75}));
    // Only the named computer got it.
    EXPECT_EQ(lab2Host.PendingDatagrams(), 0u);
    const auto records = ReceiveAtOffice();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].text, text);
    EXPECT_EQ(records[0].broadcast, 0);
}

TEST_F(SendTest, EmptyTextStillSendsTheUserNameAndSeparator) {
    ASSERT_TRUE(lab2.Send("Office", "Kel", "", true));
    ASSERT_EQ(Written().size(), 1u);
    EXPECT_EQ(Written()[0], std::string("Lab2\0" "00001\0" "Kel>\t", 16) + std::string(1, '\0'));
    const auto records = ReceiveAtOffice();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].user, "Kel");
    EXPECT_EQ(records[0].text, "");
}

TEST_F(SendTest, AbsentArgumentsSendNothing) {
    EXPECT_FALSE(lab2.Send(nullptr, "Kel", "Hi", true));
    EXPECT_FALSE(lab2.Send("*", nullptr, "Hi", true));
    EXPECT_FALSE(lab2.Send("*", "Kel", nullptr, true));
    EXPECT_TRUE(Written().empty());
    EXPECT_EQ(lab2.SequenceCounter(), 0);
}

TEST_F(SendTest, TheHundredThousandthDatagramCarriesZeros) {
    net.AddComputer("Sink");  // a computer without the program: datagrams vanish there
    for (int i = 1; i < 100000; ++i) ASSERT_TRUE(lab2.Send("Sink", "Kel", "", true));
    EXPECT_EQ(lab2.SequenceCounter(), 99999);
    ASSERT_TRUE(lab2.Send("Sink", "Kel", "", true));
    EXPECT_EQ(net.Writes().back().bytes.substr(5, 5), "00000");
    ASSERT_TRUE(lab2.Send("Sink", "Kel", "", true));
    EXPECT_EQ(net.Writes().back().bytes.substr(5, 5), "00001");
}

TEST_F(SendTest, UnreachableTargetFailsAfterTheRetryWindow) {
    officeHost.SetUnreachable(true);
    const std::uint32_t start = net.TickCount();
    EXPECT_FALSE(lab2.Send("Office", "Kel", "Hi", true));
    EXPECT_GE(Elapsed(start), 2000u);
    EXPECT_LE(Elapsed(start), 2000u + net.SendFailureCostMs());
    EXPECT_TRUE(Written().empty());
    EXPECT_EQ(lab2.SequenceCounter(), 0);  // nothing was numbered

    const std::uint32_t again = net.TickCount();
    EXPECT_FALSE(lab2.Send("Office", "Kel", "Hi", false));  // no retry: one attempt
    EXPECT_EQ(Elapsed(again), net.SendFailureCostMs());
}

// A target that the carrier says can never be reached (no remote mailslots
// on Wine, or disabled on current Windows) ends the send at once instead of
// spinning for the retry window at every presence ping.
TEST_F(SendTest, AnUnreachableTargetEndsTheRetryAtOnce) {
    lab2Host.FailBroadcasts(true);
    const std::uint32_t start = net.TickCount();
    EXPECT_FALSE(lab2.Send("*", "mivletcmd", "ping-appexit", true));
    EXPECT_EQ(Elapsed(start), net.SendFailureCostMs());
    EXPECT_EQ(lab2.SequenceCounter(), 0);
    lab2Host.FailBroadcasts(false);
    EXPECT_TRUE(lab2.Send("*", "mivletcmd", "ping-appexit", true));
}

TEST_F(SendTest, ATargetNotReadyBrieflyIsRetriedAtOnce) {
    lab2Host.FailNextSends(50);
    ASSERT_TRUE(lab2.Send("Office", "Kel", "Hi", true));
    EXPECT_TRUE(net.Sleeps().empty());
    EXPECT_EQ(ReceiveAtOffice().size(), 1u);
}

TEST_F(SendTest, FailureMidMessageKeepsEarlierDatagramsSent) {
    const std::string text(700, 'q');
    for (EWriteFault f : {EWriteFault::None, EWriteFault::Fail, EWriteFault::Fail}) lab2Host.QueueWriteFault(f);
    EXPECT_FALSE(lab2.Send("Office", "Kel", text.c_str(), true));
    EXPECT_EQ(officeHost.PendingDatagrams(), 1u);
    EXPECT_EQ(lab2.SequenceCounter(), 2);  // the failed datagram used its number too
    EXPECT_TRUE(ReceiveAtOffice().empty());  // waiting for an ending that never comes
}

// The write rules: a write is good when it succeeds, wrote bytes and left the
// last error at 0; otherwise it is repeated once after 100 ms and the second
// count decides. A good write that was short fails the send at once.
TEST_F(SendTest, WriteFaultsAndTheSecondAttempt) {
    const struct {
        const char* name;
        std::vector<EWriteFault> faults;
        bool sent;
        std::vector<std::uint32_t> sleeps;
        std::size_t delivered;
    } cases[] = {
        {"reported success with an error left", {EWriteFault::SucceedWithLastError}, true, {100}, 2},
        {"failed once", {EWriteFault::Fail}, true, {100}, 1},
        {"failed twice", {EWriteFault::Fail, EWriteFault::Fail}, false, {100}, 0},
        {"failed, then short", {EWriteFault::Fail, EWriteFault::Short}, false, {100}, 0},
        {"short", {EWriteFault::Short}, false, {}, 0},
    };
    for (const auto& c : cases) {
        CMemoryNetwork n;
        CMemoryComputer& from = n.AddComputer("Lab2");
        CMemoryComputer& to = n.AddComputer("Office");
        CMailslot sender(from, n, "Lab2");
        CMailslot receiver(to, n, "Office");
        for (EWriteFault f : c.faults) from.QueueWriteFault(f);

        EXPECT_EQ(sender.Send("Office", "Kel", "Hi", true), c.sent) << c.name;
        EXPECT_EQ(n.Sleeps(), c.sleeps) << c.name;
        EXPECT_EQ(to.PendingDatagrams(), c.delivered) << c.name;
        EXPECT_EQ(sender.SequenceCounter(), 1) << c.name;

        // A datagram written twice reaches the user once.
        std::vector<CMessageRecord> records;
        EXPECT_TRUE(receiver.Receive(records));
        EXPECT_EQ(records.size(), c.delivered ? 1u : 0u) << c.name;
    }
}

// The retry window is measured on a 32-bit tick count that wraps every 49.7
// days; whatever the start, a target that never opens fails within 2000 ms.
class SendTickWrapTest : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(SendTickWrapTest, UnreachableTargetNeverRetriesPastTheWindow) {
    CMemoryNetwork n(GetParam());
    CMemoryComputer& from = n.AddComputer("Lab2");
    n.AddComputer("Office").SetUnreachable(true);
    CMailslot sender(from, n, "Lab2");
    const std::uint32_t start = n.TickCount();
    EXPECT_FALSE(sender.Send("Office", "Kel", "Hi", true));
    EXPECT_GE(n.TickCount() - start, 1u);
    EXPECT_LE(n.TickCount() - start, 2000u + n.SendFailureCostMs());
}

TEST_P(SendTickWrapTest, TargetThatOpensAcrossTheWrapIsSent) {
    CMemoryNetwork n(GetParam());
    CMemoryComputer& from = n.AddComputer("Lab2");
    CMemoryComputer& to = n.AddComputer("Office");
    CMailslot sender(from, n, "Lab2");
    CMailslot receiver(to, n, "Office");
    const std::string text(1000, 'w');  // three datagrams, paced across the wrap
    EXPECT_TRUE(sender.Send("Office", "Kel", text.c_str(), true));
    std::vector<CMessageRecord> records;
    EXPECT_TRUE(receiver.Receive(records));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].text, text);
}

INSTANTIATE_TEST_SUITE_P(StartTicks, SendTickWrapTest,
                         ::testing::Values(1000u, 0xFFFFFFFFu - 3000u, 0xFFFFFFFFu - 1500u, 0xFFFFFFFFu - 100u,
                                           0xFFFFFFFFu));

}  // namespace
