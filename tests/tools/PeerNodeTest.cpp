#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "chattext/TimeZone.h"
#include "messaging/CommandText.h"
#include "platform/codepage/CodePage1252.h"
#include "platform/memory/MemoryNetwork.h"
#include "tools/peer/PeerNode.h"
#include "tools/peer/PeerOutput.h"
#include "tools/peer/RawDatagramTap.h"

namespace {

// Windowless peers on one virtual network; Run moves the virtual clock.
class PeerNodeTest : public ::testing::Test {
protected:
    CPeerNode& Add(const std::string& computer, const std::string& user) {
        nodes.push_back(
            std::make_unique<CPeerNode>(net.AddComputer(computer), net, codePage, computer, user, CBuildInfo{"Dec  2 2000", "1.2.3", "Dec  1 2000"}));
        return *nodes.back();
    }
    std::vector<std::string> Shown(CPeerNode& node, std::uint32_t ms) {
        std::vector<std::string> texts;
        node.Run(ms, [&](const CMessageRecord& r) { texts.push_back(r.computer + ": " + r.text); });
        return texts;
    }

    CMemoryNetwork net;
    const CCodePage1252 codePage;
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

// What "listen --hex" prints: the datagram as it came, before it is read,
// and then the message read from it in UTF-8.
TEST_F(PeerNodeTest, TheTapSeesTheCodePageBytesAndTheNodeShowsUtf8) {
    CMemoryComputer& lab1 = net.AddComputer("Lab1");
    std::vector<std::string> lines;
    CRawDatagramTap tap(lab1, [&](const CReceivedDatagram& d) { lines.push_back(FormatRawDatagramLine(d)); });
    CPeerNode a(tap, net, codePage, "Lab1", "kel", CBuildInfo{});
    CPeerNode& b = Add("Lab2", "ann");
    ASSERT_TRUE(b.SendText("Lab1", "ann", "Gr\xC3\xBC\xC3\x9F" "e"));
    std::vector<std::string> shown;
    a.ReceiveTick([&](const CMessageRecord& r) { shown.push_back(r.text); });
    // "Lab2" NUL "00001" NUL "ann>" TAB "Gr" FC DF "e" NUL, as older copies send it.
    EXPECT_EQ(lines, std::vector<std::string>{"hex - 4c61623200303030303100616e6e3e094772fcdf6500"});
    EXPECT_EQ(shown, std::vector<std::string>{"Gr\xC3\xBC\xC3\x9F" "e"});
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
        CMailslot forged(spoofer, net, asker);
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
    // UTF-8 stays UTF-8; a byte that is not, which no decoded field holds,
    // still gives valid JSON.
    r.text = "two\r\nlines\t\x01\xc3\xa9\xe9";
    r.broadcast = 1;
    r.time = 957787620;  // 8 May 2000 12:07:00 UTC
    EXPECT_EQ(FormatShownLine(r, CFixedTimeZone()), "Kel \"K\" (to all users) 12:07> two\\nlines\\t\\x01\xc3\xa9\xe9");
    EXPECT_EQ(FormatJsonLine(r),
              "{\"computer\":\"Lab2\",\"user\":\"Kel \\\"K\\\"\",\"text\":\"two\\r\\nlines\\t\\u0001\xc3\xa9\\ufffd\","
              "\"broadcast\":true,\"time\":957787620}");
}

// Whatever another computer puts into any field, plain output hands the
// terminal no control character: no escape sequence, and no line break that
// would start a line of its own.
TEST(PeerOutput, ControlCharactersOfEveryFieldAreWrittenOut) {
    const struct {
        const char* name;
        std::string computer, user, text;
        std::string shown;
    } cases[] = {
        {"escape sequences in the user field", "Lab2", "\x1b[31mred", "\x1b]0;title\x07",
         "\\x1b[31mred 12:07> \\x1b]0;title\\x07"},
        {"a line feed forging a line", "Lab2", "Kel\nLab3  (mallory) 12:00> forged", "hi",
         "Kel\\nLab3  (mallory) 12:00> forged 12:07> hi"},
        {"carriage returns alone and in pairs", "Lab2", "Kel", "a\rb\r\nc\n\rd", "Kel 12:07> a\\nb\\nc\\n\\nd"},
        {"DEL and the other C0 controls", "Lab2", "K\x7f", std::string("\0\x08\x1f", 3),
         "K\\x7f 12:07> \\x00\\x08\\x1f"},
        {"C1 controls in UTF-8 and in one byte", "Lab2", "Kel", "\xc2\x9b" "2J \xc2\x85 \xc3\xa9 \xc2\xa0 \x9b" "2J",
         "Kel 12:07> \\xc2\\x9b" "2J \\xc2\\x85 \xc3\xa9 \xc2\xa0 \\x9b" "2J"},
        {"a right-to-left override in the user field", "Lab2", "Kel\xe2\x80\xae", "gnp.exe",
         "Kel\\xe2\\x80\\xae 12:07> gnp.exe"},
        {"a backslash stays as written", "Lab2", "Kel", "\\\\files\\share", "Kel 12:07> \\\\files\\share"},
    };
    for (const auto& c : cases) {
        CMessageRecord r;
        r.computer = c.computer;
        r.user = c.user;
        r.text = c.text;
        r.time = 957787620;
        EXPECT_EQ(FormatShownLine(r, CFixedTimeZone()), c.shown) << c.name;
    }

    CMessageRecord reply;
    reply.computer = "Lab2\xe2\x81\xa7";
    reply.text = "The build date is";
    EXPECT_EQ(FormatVersionLine(reply), "Lab2\\xe2\\x81\\xa7: The build date is");

    reply.computer = "Lab\x1b[2J";
    reply.text = "The build date is\nLab9: forged.";
    EXPECT_EQ(FormatVersionLine(reply), "Lab\\x1b[2J: The build date is\\nLab9: forged.");
    EXPECT_EQ(EscapeControlCharacters("Lab2  (Kel\tSmith\x1b[K)"), "Lab2  (Kel\\tSmith\\x1b[K)");
}

// Above 0x7F: what a terminal could take as a control is written out, and
// every letter, in UTF-8 or in an 8-bit code page, stays as it was sent.
TEST(EscapeControlCharacters, ControlsAboveAsciiWhetherUtf8OrOneByte) {
    const struct {
        const char* name;
        std::string text, shown;
    } cases[] = {
        {"each direction control",
         "\xd8\x9c \xe2\x80\x8e \xe2\x80\x8f \xe2\x80\xaa \xe2\x80\xae \xe2\x81\xa6 \xe2\x81\xa9",
         "\\xd8\\x9c \\xe2\\x80\\x8e \\xe2\\x80\\x8f \\xe2\\x80\\xaa \\xe2\\x80\\xae \\xe2\\x81\\xa6 \\xe2\\x81\\xa9"},
        {"their neighbours stay", "\xe2\x80\x8d \xe2\x80\xaf \xe2\x81\xa5 \xe2\x81\xaa \xd8\x9b",
         "\xe2\x80\x8d \xe2\x80\xaf \xe2\x81\xa5 \xe2\x81\xaa \xd8\x9b"},
        {"the first and last C1 controls", "\xc2\x80\xc2\x9f", "\\xc2\\x80\\xc2\\x9f"},
        {"0x9B inside a letter stays", "\xc5\x9b \xe2\x82\xac \xf0\x9f\x98\x80", "\xc5\x9b \xe2\x82\xac \xf0\x9f\x98\x80"},
        {"single bytes 0x80 to 0x9F", "\x80 \x85 \x9b[2J \x9f", "\\x80 \\x85 \\x9b[2J \\x9f"},
        {"Latin-1 letters and the no-break space stay", "Caf\xe9 \xa0 \xff \xc3", "Caf\xe9 \xa0 \xff \xc3"},
        {"overlong forms are not letters", "\xc0\x9b \xc1\x9b \xe0\x82\x9b \xf0\x80\x80\x9b",
         "\xc0\\x9b \xc1\\x9b \xe0\\x82\\x9b \xf0\\x80\\x80\\x9b"},
        {"a sequence cut short", "\xe2\x80", "\xe2\\x80"},
        {"a surrogate", "\xed\xa0\x80", "\xed\xa0\\x80"},
    };
    for (const auto& c : cases) EXPECT_EQ(EscapeControlCharacters(c.text), c.shown) << c.name;
}

}  // namespace
