#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "chattext/TimeZone.h"
#include "messaging/CommandText.h"
#include "platform/memory/MemoryNetwork.h"
#include "tools/peer/PeerNode.h"
#include "tools/peer/PeerOutput.h"

namespace {

// Windowless peers on one virtual network; Run moves the virtual clock.
class PeerNodeTest : public ::testing::Test {
protected:
    CPeerNode& Add(const std::string& computer, const std::string& user) {
        nodes.push_back(
            std::make_unique<CPeerNode>(net.AddComputer(computer), computer, user, CBuildInfo{"Dec  2 2000", "1.2.3"}));
        return *nodes.back();
    }
    std::vector<std::string> Shown(CPeerNode& node, std::uint32_t ms) {
        std::vector<std::string> texts;
        node.Run(ms, [&](const CMessageRecord& r) { texts.push_back(r.computer + ": " + r.text); });
        return texts;
    }

    CMemoryNetwork net;
    std::vector<std::unique_ptr<CPeerNode>> nodes;
};

TEST_F(PeerNodeTest, PeersListEachOtherNeverThemselvesAndLeaveOnTheirExitNotice) {
    CPeerNode& a = Add("Lab1", "kel");
    CPeerNode& b = Add("Lab2", "ann");
    b.Ping();
    a.Run(100, [](const CMessageRecord&) {});
    b.Run(100, [](const CMessageRecord&) {});
    EXPECT_EQ(a.AlivePeerTexts(), std::vector<std::string>{"Lab2  (ann)"});
    EXPECT_EQ(b.AlivePeerTexts(), std::vector<std::string>{"Lab1  (kel)"});

    b.SendExitNotice();
    a.ReceiveTick([](const CMessageRecord&) {});
    EXPECT_TRUE(a.AlivePeerTexts().empty());
}

TEST_F(PeerNodeTest, SilentPeerDropsOutAfterFifteenSeconds) {
    CPeerNode& a = Add("Lab1", "kel");
    CPeerNode& b = Add("Lab2", "ann");
    b.Ping();
    a.Run(14000, [](const CMessageRecord&) {});
    EXPECT_EQ(a.AlivePeerTexts(), std::vector<std::string>{"Lab2  (ann)"});
    a.Run(1500, [](const CMessageRecord&) {});
    EXPECT_TRUE(a.AlivePeerTexts().empty());
}

TEST_F(PeerNodeTest, PingsEverySecondAndShowsOnlyChatText) {
    CPeerNode& a = Add("Lab1", "kel");
    CPeerNode& b = Add("Lab2", "ann");
    b.Endpoint().Send("*", "ann", "hello", true);
    // Pings (its own included) are not shown; the chat line is.
    EXPECT_EQ(Shown(a, 3000), std::vector<std::string>{"Lab2: hello"});
    std::size_t pings = 0;
    for (const auto& w : net.Writes())
        if (w.from == "Lab1") ++pings;
    EXPECT_GE(pings, 3u);
    EXPECT_LE(pings, 4u);
}

TEST_F(PeerNodeTest, AnswersVersionRequestsWithItsBuildDateAndVersion) {
    CPeerNode& a = Add("Lab1", "kel");
    CPeerNode& b = Add("Lab2", "ann");
    a.Ping();
    a.Endpoint().Send("*", kCommandMarker, "admin:version", true);
    b.ReceiveTick([](const CMessageRecord&) {});
    std::vector<CMessageRecord> replies;
    a.Run(200, [&](const CMessageRecord& r) { replies.push_back(r); });
    ASSERT_EQ(replies.size(), 2u);  // its own reply and Lab2's
    for (const auto& r : replies) {
        EXPECT_EQ(r.user, r.computer);
        EXPECT_EQ(r.text, "The build date is December 2, 2000 (version 1.2.3).");
    }
}

TEST_F(PeerNodeTest, VersionRequestsFromComputersNeverHeardFromGetNoReply) {
    CPeerNode& a = Add("Lab1", "kel");
    CPeerNode& b = Add("Lab2", "ann");
    CMemoryComputer& spoofer = net.AddComputer("Spoofer");
    // Made-up askers: a computer that never pinged, an address outside the
    // network, and "*" (the sender field "**"), which would make every copy
    // broadcast its reply.
    for (const char* asker : {"Lab9", "203.0.113.5", "*"}) {
        CMailslot forged(spoofer, kMailslotName, asker);
        forged.Send("*", kCommandMarker, "admin:version", true);
    }
    const std::size_t writesBefore = net.Writes().size();
    b.ReceiveTick([](const CMessageRecord&) {});
    EXPECT_EQ(net.Writes().size(), writesBefore) << "Lab2 sent nothing";
    std::vector<CMessageRecord> shown;
    a.ReceiveTick([&](const CMessageRecord& r) { shown.push_back(r); });
    EXPECT_TRUE(shown.empty());
}

TEST(PeerOutput, OneLinePerMessageAndValidJson) {
    CMessageRecord r;
    r.computer = "Lab2";
    r.user = "Kel \"K\"";
    r.text = "two\r\nlines\t\x01\xe9";
    r.broadcast = 1;
    r.time = 957787620;  // 8 May 2000 12:07:00 UTC
    EXPECT_EQ(FormatShownLine(r, CFixedTimeZone()), "Kel \"K\" (to all users) 12:07> two\\nlines\t\x01\xe9");
    EXPECT_EQ(FormatJsonLine(r),
              "{\"computer\":\"Lab2\",\"user\":\"Kel \\\"K\\\"\",\"text\":\"two\\r\\nlines\\t\\u0001\\u00e9\","
              "\"broadcast\":true,\"time\":957787620}");
}

}  // namespace
