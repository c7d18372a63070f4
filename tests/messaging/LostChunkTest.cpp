// Datagrams lost on the way: what a receive step shows of a message whose
// chunk did not arrive, and what becomes of the datagram after the gap.

#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <string>
#include <vector>

#include "platform/codepage/CodePage1252.h"
#include "tests/messaging/DatagramBytes.h"
#include "messaging/Datagram.h"
#include "messaging/MessagingSession.h"
#include "messaging/ProtocolLimits.h"
#include "platform/memory/MemoryNetwork.h"
#include "tests/messaging/TestSessionHost.h"

namespace {

// "#" in an expected line stands for the marker.
std::string Marked(std::string line) {
    for (std::size_t at; (at = line.find('#')) != std::string::npos;) line.replace(at, 1, kMissingPartMarker);
    return line;
}

// Office runs the receive steps of a copy; Lab2 is the sender, whose
// datagrams the test writes itself so that it can leave some out.
class LostChunkTest : public ::testing::Test {
protected:
    void Deliver(const std::string& bytes) { office.DeliverRaw(bytes); }
    void Step() {
        session.Receive([this](const CMessageRecord& r) {
            shown.push_back(r.user + ": " + r.text + (r.broadcast ? " (all)" : ""));
        });
    }

    CMemoryNetwork net;
    CMemoryComputer& office = net.AddComputer("Office");
    CTestSessionHost host;
    const CCodePage1252 sessionCodePage;
    CMessagingSession session{office, net, sessionCodePage, "Office", CBuildInfo{"Dec 12 2000", "1.0.0"}, host};
    std::vector<std::string> shown;
};

// Each case is a script of what reaches Office, read left to right:
//   1 2 3  the chunks of "Kel>\tone two three", numbered from `first`
//   P      Lab2's next presence ping (the number after the third chunk)
//   N      Lab2's next message, "Kel>\tnext", on the message's own key
//   ~MS    a receive step, the clock moves on MS milliseconds, another step
// A receive step follows the script too.
TEST_F(LostChunkTest, WhatArrivedIsShownWithTheMarkerAndTheDatagramAfterTheGapStaysWhatItIs) {
    const struct {
        const char* script;
        bool broadcast;
        int first;
        std::vector<std::string> expected;
    } cases[] = {
        // Nothing lost: one message, however the numbers wrap.
        {"1 2 3", false, 11, {"Kel: one two three"}},
        {"1 2 3", true, 99999, {"Kel: one two three (all)"}},
        // The first chunk lost: the user name went with it.
        {"2 3 N", false, 11, {": #two three", "Kel: next"}},
        {"2 3 P", true, 11, {": #two three (all)"}},
        // A middle chunk lost.
        {"1 3 N", false, 11, {"Kel: one #three", "Kel: next"}},
        {"1 3 P", true, 11, {"Kel: one #three (all)"}},
        // The last chunk lost, followed by a ping: on the key of a message to
        // all it ends the message and stays a ping; a direct message's key
        // is another one, so that message waits for its time-out.
        {"1 2 P", true, 11, {"Kel: one two # (all)"}},
        {"1 2 P ~5000", false, 11, {"Kel: one two #"}},
        // ... by a new message, which is shown on its own.
        {"1 2 N", true, 11, {"Kel: one two # (all)", "Kel: next (all)"}},
        {"1 2 N", false, 99998, {"Kel: one two #", "Kel: next"}},
        // ... by silence: shown once the next chunk has not come for 5 s.
        {"1 2 ~4999 ~1", false, 11, {"Kel: one two #"}},
        {"1 2 ~5000", false, 11, {"Kel: one two #"}},
        {"1 2 ~5000 ~5000", true, 11, {"Kel: one two # (all)"}},
        // A late chunk within the wait is joined; after it, it stands alone.
        {"1 2 ~4999 3", false, 11, {"Kel: one two three"}},
        {"1 2 ~5000 3", false, 11, {"Kel: one two #", ": #three"}},
        // Only a repeat of the datagram just before is dropped, as always.
        {"1 1 2 2 3 3", false, 11, {"Kel: one two three"}},
        {"1 2 1 2 3", false, 11, {"Kel: one two #", "Kel: one two three"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.script) + (c.broadcast ? " to all" : " to one"));
        CMemoryNetwork n;
        CMemoryComputer& computer = n.AddComputer("Office");
        const CCodePage1252 codePage;
        CMessagingSession s(computer, n, codePage, "Office", CBuildInfo{"Dec 12 2000", "1.0.0"}, host);
        std::vector<std::string> seen;
        const auto step = [&] {
            s.Receive([&seen](const CMessageRecord& r) {
                seen.push_back(r.user + ": " + r.text + (r.broadcast ? " (all)" : ""));
            });
        };
        const auto number = [&c](int offset) { return (c.first + offset) % kSequenceModulus; };
        const char* chunks[] = {"Kel>\tone ", "two ", "three"};
        bool pinged = false;
        std::istringstream script(c.script);
        for (std::string event; script >> event;) {
            if (event == "P") {
                computer.DeliverRaw(Datagram("Lab2", true, number(3), "mivletcmd>\tadmin:ping Kel"));
                pinged = true;
            } else if (event == "N") {
                computer.DeliverRaw(Datagram("Lab2", c.broadcast, number(3), "Kel>\tnext"));
            } else if (event[0] == '~') {
                step();
                n.Advance(std::stoul(event.substr(1)));
                step();
            } else {
                const int chunk = event[0] - '1';
                computer.DeliverRaw(Datagram("Lab2", c.broadcast, number(chunk), chunks[chunk], chunk < 2));
            }
        }
        step();
        std::vector<std::string> expected;
        for (const std::string& line : c.expected) expected.push_back(Marked(line));
        EXPECT_EQ(seen, expected);
        if (pinged) {
            const int peer = s.PeerTable().FindPeer("Lab2");
            ASSERT_GE(peer, 0);
            EXPECT_EQ(s.PeerTable().Peers()[static_cast<std::size_t>(peer)].pendingUser, "Kel");
        }
        EXPECT_EQ(s.Endpoint().PartialMessages().TextBytes(), 0u);
    }
}

// A command with a part missing is not carried out: here a forged ping whose
// end was lost would otherwise list a computer under a name never sent.
TEST_F(LostChunkTest, ACommandWithAPartMissingIsDropped) {
    Deliver(Datagram("Lab9", true, 1, "mivletcmd>\tadmin:ping Ev", true));
    Deliver(Datagram("Lab9", true, 3, "mivletcmd>\tadmin:ping Eve"));
    Deliver(Datagram("Lab8", true, 1, "mivletcmd>\tadmin:ping Ad", true));
    Step();
    net.Advance(kPartialTextWaitMs);
    Step();
    EXPECT_TRUE(shown.empty());
    ASSERT_EQ(session.PeerTable().Peers().size(), 1u);
    EXPECT_EQ(session.PeerTable().Peers()[0].pendingUser, "Eve");
}

// A step shows a bounded number of messages, the partial texts that time
// out and those that a gap ends included, so that a bounded amount of text
// reaches the history per step; the rest follows in later steps, in order.
TEST_F(LostChunkTest, PartialTextsEndedTogetherAreShownOverSeveralSteps) {
    const std::string longChunk(300, 'p');
    constexpr int kSenders = 30;
    for (int i = 0; i < kSenders; ++i) {
        const std::string sender = "Pc" + std::to_string(i);
        Deliver(Datagram(sender, false, 1, "U>\t" + longChunk, true));
        Deliver(Datagram(sender, false, 2, longChunk, true));
    }
    Step();
    ASSERT_TRUE(shown.empty());
    net.Advance(kPartialTextWaitMs);
    std::vector<std::size_t> perStep;
    while (shown.size() < kSenders && perStep.size() < 10) {
        const std::size_t before = shown.size();
        Step();
        perStep.push_back(shown.size() - before);
    }
    EXPECT_EQ(perStep, (std::vector<std::size_t>{8, 8, 8, 6}));
    EXPECT_EQ(session.Endpoint().PartialMessages().TextBytes(), 0u);

    // A gap ends a partial text and starts a message: two to show from one
    // datagram, and the step still stops at its bound.
    shown.clear();
    for (int i = 0; i < 8; ++i) {
        const std::string sender = "Pc" + std::to_string(i);
        Deliver(Datagram(sender, false, 3, "U>\tcut ", true));
        Deliver(Datagram(sender, false, 9, "U>\tnew"));
    }
    Step();
    EXPECT_EQ(shown.size(), CMessagingSession::kMaxShownPerStep);
    Step();
    EXPECT_EQ(shown.size(), 16u);
    EXPECT_EQ(shown.back(), "U: new");
}

// The partial texts of all senders together stay within their budget: the
// one collecting longest gives way, and what follows of it is marked.
TEST_F(LostChunkTest, AllPartialTextsTogetherStayWithinTheBudget) {
    const std::size_t chunkBytes = ChunkBudget(5, false) - 1;
    const std::size_t perSender = kMaxJoinedMessageBytes / chunkBytes;  // chunks of the longest message
    const std::size_t senders = kMaxPartialTextsBytes / (perSender * chunkBytes) + 20;
    const auto name = [](std::size_t i) { return "P" + std::to_string(1000 + i); };
    std::vector<CMessageRecord> records;
    CMailslot& endpoint = session.Endpoint();
    for (std::size_t i = 0; i < senders; ++i) {
        for (std::size_t k = 0; k < perSender; ++k)
            Deliver(Datagram(name(i), false, static_cast<int>(k + 1),
                             k == 0 ? "U>\t" + std::string(chunkBytes - 3, 'a') : std::string(chunkBytes, 'b'),
                             true));
        endpoint.Receive(records);
        ASSERT_LE(endpoint.PartialMessages().TextBytes(), kMaxPartialTextsBytes);
    }
    EXPECT_TRUE(records.empty());
    EXPECT_GT(endpoint.PartialMessages().TextBytes(), kMaxPartialTextsBytes - perSender * chunkBytes);
    // The first sender's text gave way; the last one's is whole.
    const int last = static_cast<int>(perSender + 1);
    Deliver(Datagram(name(0), false, last, "end"));
    Deliver(Datagram(name(senders - 1), false, last, "end"));
    endpoint.Receive(records);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].text, std::string(kMissingPartMarker) + "end");
    EXPECT_EQ(records[1].user, "U");
    EXPECT_EQ(records[1].text.size(), perSender * chunkBytes - 3 + 3);
}

}  // namespace
