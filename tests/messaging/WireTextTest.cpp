#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "messaging/CommandText.h"
#include "messaging/Datagram.h"
#include "messaging/MessagingSession.h"
#include "messaging/WireText.h"
#include "platform/codepage/CodePage1252.h"
#include "platform/memory/MemoryNetwork.h"
#include "tests/messaging/DatagramBytes.h"
#include "tests/messaging/TestSessionHost.h"

namespace {

const std::string kMark = "\xEF\xBB\xBF";
const std::string kGruesse = "Gr\xC3\xBC\xC3\x9F" "e";                 // "Grüße"
const std::string kPrivet = "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";  // "привет"
const std::string kGrin = "\xF0\x9F\x98\x80";                           // U+1F600
const std::string kFffd = "\xEF\xBF\xBD";

// Lab2 sends to Office through sessions, as the chat window does.
class WireTextTest : public ::testing::Test {
protected:
    std::vector<std::string> Written() const {
        std::vector<std::string> out;
        for (const auto& w : net.Writes()) out.push_back(w.bytes);
        return out;
    }
    std::vector<CMessageRecord> ShownAtOffice() {
        std::vector<CMessageRecord> shown;
        office.Receive([&](const CMessageRecord& r) { shown.push_back(r); });
        return shown;
    }

    // The name `computer` announced last, shown or still to be shown.
    std::string PeerUser(const std::string& computer) {
        const int index = office.PeerTable().FindPeer(computer);
        if (index < 0) return "(not a peer)";
        const CPeerRecord& peer = office.PeerTable().Peers()[static_cast<std::size_t>(index)];
        return peer.pendingUser.empty() ? peer.user : peer.pendingUser;
    }

    CMemoryNetwork net;
    CMemoryComputer& lab2Host = net.AddComputer("Lab2");
    CMemoryComputer& officeHost = net.AddComputer("Office");
    const CCodePage1252 codePage;
    CTestSessionHost host;
    CMessagingSession lab2{lab2Host, net, codePage, "Lab2", CBuildInfo{}, host};
    CMessagingSession office{officeHost, net, codePage, "Office", CBuildInfo{}, host};
};

// What goes on the wire for each field, and what a receiver reads back.
TEST(WireField, CodePageWhereItCanMarkedUtf8WhereItCannot) {
    const CCodePage1252 page;
    const struct {
        const char* name;
        std::string text;
        std::string wire;
    } cases[] = {
        {"ASCII", "Kel", "Kel"},
        {"empty", "", ""},
        {"letters of the page, as older copies send them", kGruesse, "Gr\xFC\xDF" "e"},
        {"the page's letters at 80-9F", "\xE2\x82\xAC \xC5\xA0", "\x80 \x8A"},
        {"Cyrillic", kPrivet, kMark + kPrivet},
        {"one character outside the page marks the whole field", kGruesse + " " + kGrin,
         kMark + kGruesse + " " + kGrin},
        // In the page, these three letters are the mark's bytes: a receiver
        // would take them for it.
        {"a text of the page that begins like the mark", "\xC3\xAF\xC2\xBB\xC2\xBFx",
         kMark + "\xC3\xAF\xC2\xBB\xC2\xBFx"},
        {"a character the page lacks only by best fit", "\xC5\xB1", kMark + "\xC5\xB1"},  // "ű", not "ü"
        {"a byte order mark typed first", kMark + "x", kMark + kMark + "x"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeWireField(page, c.text), c.wire) << c.name;
        EXPECT_EQ(DecodeWireField(page, c.wire), c.text) << c.name;
    }
}

// Whatever follows the mark, the field reads as well-formed UTF-8: each
// ill-formed sequence is one U+FFFD, never more text than it came as.
TEST(WireField, IllFormedUtf8AfterTheMarkReadsAsReplacementCharacters) {
    const CCodePage1252 page;
    const struct {
        const char* name;
        std::string wire;
        std::string text;
    } cases[] = {
        {"the mark alone", kMark, ""},
        {"a stray continuation byte", kMark + "a\x80" "b", "a" + kFffd + "b"},
        {"a byte no UTF-8 has", kMark + "a\xFF", "a" + kFffd},
        {"a sequence cut at the end", kMark + "\xD0\xBF\xD0", "\xD0\xBF" + kFffd},
        {"a four-byte sequence cut after three", kMark + "\xF0\x9F\x98" "x", kFffd + "x"},
        {"an overlong zero", kMark + "\xC0\x80", kFffd + kFffd},
        {"a surrogate", kMark + "\xED\xA0\x80", kFffd + kFffd + kFffd},
        {"past U+10FFFF", kMark + "\xF4\x90\x80\x80", kFffd + kFffd + kFffd + kFffd},
        {"a mark in the middle stays a character", "a" + kMark, "a\xC3\xAF\xC2\xBB\xC2\xBF"},
    };
    for (const auto& c : cases) EXPECT_EQ(DecodeWireField(page, c.wire), c.text) << c.name;
}

// A message whose characters are all in the code page is the same bytes
// as an older copy sends; otherwise only the field that needs it is marked.
TEST_F(WireTextTest, EachFieldOfTheDatagramIsMarkedOnlyWhenItMustBe) {
    const struct {
        const char* name;
        std::string user, text;
        std::string chunk;
    } cases[] = {
        {"text of the page", "Kel", kGruesse, "Kel>\tGr\xFC\xDF" "e"},
        {"the text marked", "Kel", kPrivet + " " + kGrin, "Kel>\t" + kMark + kPrivet + " " + kGrin},
        {"the user name marked", kPrivet, "Hi", kMark + kPrivet + ">\tHi"},
        {"both marked", kPrivet, kGrin, kMark + kPrivet + ">\t" + kMark + kGrin},
        {"a ping: the argument alone, after the verb", kCommandMarker, "admin:ping " + kPrivet,
         "mivletcmd>\tadmin:ping " + kMark + kPrivet},
        {"a ping in the page", kCommandMarker, "admin:ping J\xC3\xBCrgen", "mivletcmd>\tadmin:ping J\xFCrgen"},
    };
    int sequence = 0;
    for (const auto& c : cases) {
        const std::size_t before = Written().size();
        ASSERT_TRUE(lab2.Send("*", c.user, c.text)) << c.name;
        ASSERT_EQ(Written().size(), before + 1) << c.name;
        EXPECT_EQ(Written().back(), Datagram("Lab2", true, ++sequence, c.chunk)) << c.name;

        const auto shown = ShownAtOffice();
        if (c.user == kCommandMarker) continue;  // a ping is not shown
        ASSERT_EQ(shown.size(), 1u) << c.name;
        EXPECT_EQ(shown[0].user, c.user) << c.name;
        EXPECT_EQ(shown[0].text, c.text) << c.name;
    }
    // The last ping named the peer as it was written.
    EXPECT_EQ(PeerUser("Lab2"), "J\xC3\xBCrgen");
}

// What an older copy sent, in its code page, reads as before.
TEST_F(WireTextTest, AnOlderCopysDatagramReadsInTheCodePage) {
    officeHost.DeliverRaw(Datagram("Mill", false, 7, "J\xFCrgen>\tGr\xFC\xDF" "e \x80" "5"));
    officeHost.DeliverRaw(Datagram("Mill", true, 8, "mivletcmd>\tadmin:ping J\xFCrgen"));
    const auto shown = ShownAtOffice();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].user, "J\xC3\xBCrgen");
    EXPECT_EQ(shown[0].text, kGruesse + " \xE2\x82\xAC" "5");
    EXPECT_EQ(PeerUser("Mill"), "J\xC3\xBCrgen");
}

// Chunks are cut by bytes, inside characters too: the receiver joins them
// before it reads the field, so nothing is lost or replaced.
TEST_F(WireTextTest, AMarkedTextCutInsideCharactersAcrossChunksArrivesWhole) {
    std::string text;
    for (int i = 0; i < 120; ++i) text += kPrivet + kGrin;  // 2,400 bytes of UTF-8
    ASSERT_TRUE(lab2.Send("Office", "Kel", text));
    ASSERT_GT(Written().size(), 1u);
    bool cutInside = false;
    for (const std::string& datagram : Written()) {
        const auto fields = ReadDatagramFields(datagram);
        ASSERT_TRUE(fields);
        if (fields->continued && (static_cast<unsigned char>(fields->chunk.back()) & 0xC0) != 0) cutInside = true;
    }
    EXPECT_TRUE(cutInside) << "no chunk ended inside a character";

    const auto shown = ShownAtOffice();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, text);
}

// The first chunk, with the mark, lost: the rest still reads as UTF-8
// where it is that, behind the marker of the missing part.
TEST_F(WireTextTest, AMarkedTextWhoseFirstChunkWasLostReadsAsUtf8) {
    std::string text;
    for (int i = 0; i < 60; ++i) text += kPrivet;  // 720 bytes: three chunks
    CMemoryComputer& hallHost = net.AddComputer("Hall");
    CMessagingSession hall{hallHost, net, codePage, "Hall", CBuildInfo{}, host};
    ASSERT_TRUE(lab2.Send("Office", "Kel", text));
    ASSERT_EQ(Written().size(), 3u);
    hallHost.DeliverRaw(Written()[1]);
    hallHost.DeliverRaw(Written()[2]);
    std::vector<CMessageRecord> shown;
    hall.Receive([&](const CMessageRecord& r) { shown.push_back(r); });
    ASSERT_EQ(shown.size(), 1u);
    const std::string& got = shown[0].text;
    ASSERT_EQ(got.compare(0, kMissingPartMarker.size(), kMissingPartMarker), 0) << got;
    EXPECT_TRUE(got.find(kPrivet) != std::string::npos) << got;
    const std::string tail = text.substr(text.size() - 100);
    EXPECT_EQ(got.substr(got.size() - tail.size()), tail);
}

}  // namespace

namespace {

// Every byte of the page reads as a character and goes back as that byte,
// so an older copy's text survives the trip through UTF-8 unchanged.
TEST(CodePage1252, EveryByteTripsThroughUtf8AndBack) {
    const CCodePage1252 page;
    std::string bytes;
    for (int b = 1; b < 256; ++b) bytes += static_cast<char>(b);
    const std::string utf8 = page.ToUtf8(bytes);
    EXPECT_EQ(page.FromUtf8(utf8), bytes);
    EXPECT_EQ(page.ToUtf8("\x80\x9F\xFF"), "\xE2\x82\xAC\xC5\xB8\xC3\xBF");
    EXPECT_EQ(page.FromUtf8(kPrivet), std::nullopt);
    EXPECT_EQ(page.FromUtf8("a\xFF"), std::nullopt);  // not UTF-8
}

}  // namespace
