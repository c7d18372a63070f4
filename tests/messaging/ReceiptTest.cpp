// Delivery receipts: which shown messages a copy confirms, and what the
// sender's history says of a message whose receipt did not come in time.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/codepage/CodePage1252.h"
#include "messaging/CommandDispatcher.h"
#include "messaging/CommandText.h"
#include "messaging/Datagram.h"
#include "messaging/MessagingSession.h"
#include "messaging/ProtocolLimits.h"
#include "messaging/ReceiptTracker.h"
#include "platform/memory/MemoryNetwork.h"
#include "tests/messaging/TestSessionHost.h"

namespace {

std::string Datagram(std::string_view sender, int sequence, std::string_view chunk, bool continued = false) {
    std::array<char, kMaxDatagramSize> buffer{};
    const std::size_t size = FormatDatagram(buffer.data(), sender, false, sequence, chunk, continued);
    return std::string(buffer.data(), size);
}

// Lab1 sends, Lab2 receives; each is a whole session on the in-memory
// network, whose clock is the virtual one.
class ReceiptTest : public ::testing::Test {
protected:
    ReceiptTest() {
        // Lab2 answers only computers it has heard from.
        lab1.SendPing("Kel");
        lab2.SendPing("Ann");
        Step(lab2);
        Step(lab1);
        shown.clear();
    }
    void Step(CMessagingSession& session) {
        session.Receive([&](const CMessageRecord& r) {
            shown.push_back((r.notice ? "! " : &session == &lab1 ? "lab1 " : "lab2 ") + r.user + r.text);
        });
    }
    // The receipts written on the network so far.
    std::vector<std::string> Receipts() const {
        std::vector<std::string> receipts;
        for (const auto& write : net.Writes())
            if (const auto at = write.bytes.find(kReceiptText); at != std::string::npos)
                receipts.push_back(write.from + ">" + write.target.computer + " " +
                                   write.bytes.substr(at + kReceiptText.size(), 5));
        return receipts;
    }
    // Lab1 has had one message to Lab2 confirmed.
    void Confirm() {
        ASSERT_TRUE(lab1.Send("Lab2", "Kel", "first"));
        Step(lab2);
        Step(lab1);
        ASSERT_TRUE(lab1.Receipts().Pending() == 0);
        shown.clear();
    }

    CMemoryNetwork net;
    CMemoryComputer& computer1 = net.AddComputer("Lab1");
    CMemoryComputer& computer2 = net.AddComputer("Lab2");
    CTestSessionHost host;
    const CCodePage1252 codePage;
    CMessagingSession lab1{computer1, net, codePage, "Lab1", CBuildInfo{"Dec 12 2000", "1.0.0"}, host};
    CMessagingSession lab2{computer2, net, codePage, "Lab2", CBuildInfo{"Dec 12 2000", "1.0.0"}, host};
    std::vector<std::string> shown;
};

TEST_F(ReceiptTest, OnlyDirectChatMessagesFromListedComputersAreConfirmed) {
    const struct {
        const char* name;
        const char* target;  // as Lab1 sends it
        const char* sender;
        const char* text;
        bool receipt;
    } cases[] = {
        {"a direct message", "Lab2", "Kel", "hello", true},
        {"a long one, confirmed once", "Lab2", "Kel", nullptr, true},
        {"to all users", "*", "Kel", "hello all", false},
        {"a command", "Lab2", kCommandMarker, "admin:version", false},
        {"a receipt for no message of Lab2's", "Lab2", kCommandMarker, "admin:received 00001", false},
        {"to this computer itself", "Lab1", "Kel", "note to self", false},
    };
    const std::string longText(2000, 'x');
    for (const auto& c : cases) {
        std::size_t before = 0;
        for (const std::string& receipt : Receipts()) before += receipt.rfind("Lab2>", 0) == 0;
        const std::int32_t first = (lab1.Endpoint().SequenceCounter() + 1) % kSequenceModulus;
        ASSERT_TRUE(lab1.Send(c.target, c.sender, c.text ? c.text : longText)) << c.name;
        Step(lab2);
        Step(lab1);  // its own message, if any, and the receipt
        // (The version reply is a direct message of Lab2's, which Lab1 confirms.)
        std::vector<std::string> receipts;
        for (const std::string& receipt : Receipts())
            if (receipt.rfind("Lab2>", 0) == 0) receipts.push_back(receipt);
        ASSERT_EQ(receipts.size(), before + (c.receipt ? 1 : 0)) << c.name;
        if (c.receipt) {
            char digits[8];
            std::snprintf(digits, sizeof digits, "%05d", first);
            EXPECT_EQ(receipts.back(), std::string("Lab2>Lab1 ") + digits) << c.name;
        }
        // A receipt is never shown, and the one that came clears its message.
        for (const std::string& line : shown) EXPECT_EQ(line.find("received"), std::string::npos) << c.name;
        EXPECT_EQ(lab1.Receipts().Pending(), 0u) << c.name;
    }
}

// Datagrams written by the test: from a computer Lab2 has never heard of,
// and a message whose first chunk was lost.
TEST_F(ReceiptTest, UnlistedSendersAndMessagesMissingAPartGetNone) {
    computer2.DeliverRaw(Datagram("Lab9", 10, "Eve>\thello"));
    computer2.DeliverRaw(Datagram("Lab1", 500, "the middle", true));
    computer2.DeliverRaw(Datagram("Lab1", 501, " and the end"));
    Step(lab2);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_TRUE(Receipts().empty());
}

TEST_F(ReceiptTest, AMessageNotConfirmedInTimeIsReportedOnceAsItsOwnLine) {
    const struct {
        std::uint32_t chunkPauseMs;
        std::uint32_t waitMs;
    } carriers[] = {{0, kReceiptWaitMs}, {75, kReceiptWaitPacedMs}};
    for (const auto& c : carriers) {
        computer1.SetChunkPause(c.chunkPauseMs);
        Confirm();
        ASSERT_TRUE(lab1.Send("Lab2", "Kel", "are you there?"));  // Lab2 stopped: it never reads
        net.Advance(c.waitMs - 1);
        Step(lab1);
        EXPECT_TRUE(shown.empty()) << c.waitMs;
        net.Advance(1);
        Step(lab1);
        Step(lab1);
        EXPECT_EQ(shown, std::vector<std::string>{"! Lab2 did not confirm that your message arrived."}) << c.waitMs;
        // The late receipt that comes when Lab2 wakes changes nothing.
        Step(lab2);
        shown.clear();
        Step(lab1);
        EXPECT_TRUE(shown.empty()) << c.waitMs;
    }
}

TEST_F(ReceiptTest, AComputerThatNeverConfirmedIsNotReported) {
    // Lab3 may be an older copy: it reads, but never answers.
    CMemoryComputer& computer3 = net.AddComputer("Lab3");
    ASSERT_TRUE(computer3.Open() == EOpenResult::Opened);
    ASSERT_TRUE(lab1.Send("Lab3", "Kel", "hello"));
    net.Advance(kReceiptWaitPacedMs * 2);
    Step(lab1);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(lab1.Receipts().Pending(), 0u);
}

TEST_F(ReceiptTest, OnlyAReceiptThatMatchesAWaitingMessageCounts) {
    Confirm();
    ASSERT_TRUE(lab1.Send("Lab2", "Kel", "one"));
    char digits[8];
    std::snprintf(digits, sizeof digits, "%05d", lab1.Endpoint().SequenceCounter());
    const struct {
        const char* name;
        std::string from;
        std::string text;
    } forged[] = {
        {"another number", "Lab2", "admin:received 99999"},
        {"another computer", "Lab3", std::string("admin:received ") + digits},
        {"this computer", "Lab1", std::string("admin:received ") + digits},
    };
    int sequence = 700;
    for (const auto& f : forged) {
        computer1.DeliverRaw(Datagram(f.from, sequence++, std::string(kCommandMarker) + ">\t" + f.text));
        Step(lab1);
        EXPECT_EQ(lab1.Receipts().Pending(), 1u) << f.name;
    }
    // Lab2's own number, in any letter case of its name: the report is hidden.
    computer1.DeliverRaw(Datagram("LAB2", sequence++, std::string(kCommandMarker) + ">\tadmin:received " + digits));
    Step(lab1);
    EXPECT_EQ(lab1.Receipts().Pending(), 0u);
    net.Advance(kReceiptWaitPacedMs);
    Step(lab1);
    EXPECT_TRUE(shown.empty());
}

TEST(ReceiptTracker, WhatIsRememberedIsBounded) {
    CReceiptTracker tracker;
    // One computer confirms, so that its messages are reported.
    tracker.Sent("Lab2", "00001", 0, kReceiptWaitMs);
    ASSERT_TRUE(tracker.Confirmed("Lab2", "00001"));
    for (std::size_t n = 0; n < CReceiptTracker::kMaxPending + 10; ++n)
        tracker.Sent("Lab2", std::to_string(10000 + n), 100, kReceiptWaitMs);
    EXPECT_EQ(tracker.Pending(), CReceiptTracker::kMaxPending);
    // The ten sent first were given up; the newest still wait and count.
    EXPECT_FALSE(tracker.Confirmed("Lab2", "10000"));
    EXPECT_TRUE(tracker.Confirmed("Lab2", std::to_string(10000 + CReceiptTracker::kMaxPending + 9)));
    EXPECT_EQ(tracker.Expire(100 + kReceiptWaitMs, 0).size(), CReceiptTracker::kMaxPending - 1);
    EXPECT_EQ(tracker.Pending(), 0u);

    // Computers that confirm: the one that confirmed longest ago makes room.
    for (std::size_t n = 0; n < CReceiptTracker::kMaxConfirming + 1; ++n) {
        const std::string computer = "PC" + std::to_string(n);
        tracker.Sent(computer, "00002", 0, kReceiptWaitMs);
        tracker.Confirmed(computer, "00002");
    }
    EXPECT_EQ(tracker.ConfirmingComputers(), CReceiptTracker::kMaxConfirming);
    EXPECT_FALSE(tracker.IsConfirming("Lab2"));
    EXPECT_TRUE(tracker.IsConfirming("pc1"));
}

TEST(ReceiptTracker, TheWaitHoldsAcrossAWrappingTickCount) {
    CReceiptTracker tracker;
    tracker.Sent("Lab2", "00001", 0, kReceiptWaitMs);
    tracker.Confirmed("Lab2", "00001");
    tracker.Sent("Lab2", "00002", 0xFFFFFF00u, kReceiptWaitMs);
    EXPECT_TRUE(tracker.Expire(0xFFFFFF00u + kReceiptWaitMs - 1, 0).empty());
    const auto reports = tracker.Expire(0xFFFFFF00u + kReceiptWaitMs, 77);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].text, "Lab2 did not confirm that your message arrived.");
    EXPECT_TRUE(reports[0].notice);
    EXPECT_EQ(reports[0].time, 77u);
}

TEST(IsKnownVerb, TheReceiptIsNotAVerbUsersType) {
    EXPECT_FALSE(IsKnownVerb(kReceivedVerb));
}

}  // namespace
