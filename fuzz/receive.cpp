// The receive path as a copy runs it: datagrams from anywhere arrive over
// the UDP carrier and in the local mailslot, each receive step joins them into
// records, and the records go on to the peer table and the dispatcher. The
// input is a script of such events.
//
// Besides crashes it checks what the receiving side promises: a step reads
// a bounded number of datagrams, the state it keeps stays within its stated
// bounds, and no record or partial text holds a byte more than the
// datagrams brought, besides the marker that stands where a part was lost;
// read as the session reads it (code page, or UTF-8 after the byte order
// mark), every field is well-formed UTF-8 and at most three bytes for each
// byte that came. The steps are those of CMessagingSession::Receive, taken
// one by one so that every record can be looked at before it is handled.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzInput.h"
#include "messaging/CommandDispatcher.h"
#include "messaging/Mailslot.h"
#include "messaging/MessagingSession.h"
#include "messaging/PartialMessage.h"
#include "messaging/PeerTable.h"
#include "messaging/ProtocolLimits.h"
#include "messaging/ReceiveTick.h"
#include "messaging/UdpCarrier.h"
#include "messaging/WireText.h"
#include "platform/ForwardingCarrier.h"
#include "platform/codepage/CodePage1252.h"
#include "platform/memory/MemoryNetwork.h"
#include "platform/memory/MemorySockets.h"
#include "util/AsciiText.h"
#include "util/Utf8Text.h"

namespace {

constexpr char kLocalComputer[] = "Lab1";
constexpr std::uint16_t kPort = 46464;
// Larger than any carrier passes on, so that the limits are tried too.
constexpr std::size_t kLargestInjected = 1023;

// Counts the datagrams that one drain takes off the carrier.
class CCountingCarrier final : public CForwardingCarrier {
public:
    explicit CCountingCarrier(CDatagramCarrier& inner) : CForwardingCarrier(inner) {}
    std::size_t reads = 0;

    EReceiveResult Receive(CReceivedDatagram& datagram) override {
        ++reads;
        return CForwardingCarrier::Receive(datagram);
    }
};

// The program around the dispatcher, without a window: replies and the
// quit are only noted.
class CContext final : public CCommandContext {
public:
    CPeerTable peers;
    std::string local = kLocalComputer;
    bool IsAvailable() override { return true; }
    CPeerTable& Peers() override { return peers; }
    const std::string& LocalComputer() override { return local; }
    void SendVersionReply(const std::string&) override {}
    void ReceiptArrived(const std::string&, const std::string&) override {}
    std::string ModulePath() override { return "\\\\files\\apps\\mivlet.exe"; }
    void Exit() override {}
};

using ByteCounts = std::array<std::size_t, 256>;

// The marker's own bytes are not counted, wherever it stands.
void Count(ByteCounts& counts, std::string_view bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        if (bytes.substr(at, kMissingPartMarker.size()) == kMissingPartMarker) {
            at += kMissingPartMarker.size();
            continue;
        }
        ++counts[static_cast<unsigned char>(bytes[at++])];
    }
}

class CReceiver {
public:
    CReceiver()
        : m_system(m_network.AddComputer(kLocalComputer)),
          m_sockets(m_udp.AddHost(kLocalComputer)),
          m_carrier(m_sockets, m_network, Options(), &m_system),
          m_counting(m_carrier),
          m_endpoint(m_counting, m_network, kLocalComputer) {
        FUZZ_CHECK(m_endpoint.IsOpen());
    }

    // From 10.1.0.`host`: the carrier learns where the claimed sender is.
    void OverUdp(std::uint8_t host, std::string bytes) {
        Count(m_received, bytes);
        m_sockets.Inject(kPort, std::move(bytes), 0x0A010000u | host);
    }
    void IntoMailslot(std::string bytes) {
        Count(m_received, bytes);
        m_system.DeliverRaw(std::move(bytes));
    }
    void Advance(std::uint32_t seconds) { m_network.Advance(std::uint64_t{seconds} * 1000); }

    void Finish() {
        Tick();
        CheckPeers();
    }

    void Tick() {
        m_counting.reads = 0;
        std::vector<CMessageRecord> records;
        // One receive step, as the messaging session takes it.
        m_endpoint.Receive(records, CMessagingSession::kMaxDatagramsPerStep);
        FUZZ_CHECK(m_counting.reads <= CMessagingSession::kMaxDatagramsPerStep);
        FUZZ_CHECK(m_carrier.LearnedComputers() <= CUdpCarrier::kMaxLearned);
        for (const CMessageRecord& record : records) CheckRecord(record);
        CheckHeld();
        for (CMessageRecord& record : records) Decode(record);
        ProcessReceivedRecords(records, m_context.peers, &m_context, m_context.local, [](const CMessageRecord&) {});
        m_context.peers.CommitPendingUsers();
        FUZZ_CHECK(m_context.peers.Peers().size() <= CPeerTable::kMaxPeers);
    }

private:
    static CUdpCarrier::COptions Options() {
        CUdpCarrier::COptions options;
        options.port = kPort;
        return options;
    }

    void CheckRecord(const CMessageRecord& record) {
        // The marker at the end of a text that was cut short comes on top.
        FUZZ_CHECK(record.user.size() + record.text.size() <=
                   CPartialMessageTable::kMaxMessageBytes + kMissingPartMarker.size());
        FUZZ_CHECK(record.computer.size() < kLargestInjected);
        for (const std::string* field : {&record.computer, &record.user, &record.text})
            FUZZ_CHECK(field->find('\0') == std::string::npos);
        FUZZ_CHECK(record.broadcast == 0 || record.broadcast == 1);
        FUZZ_CHECK(record.time == m_network.Time());
        // The sender field, its "*", the user and the text are separate
        // stretches of the datagrams (the separator is not counted).
        Count(m_delivered, record.computer);
        if (record.broadcast) Count(m_delivered, "*");
        Count(m_delivered, record.user);
        Count(m_delivered, record.text);
    }

    // Read as the session reads a record: every field well-formed UTF-8, and
    // no more than three bytes (U+FFFD, or a character of the code page) for
    // each byte that came.
    void Decode(CMessageRecord& record) const {
        const std::size_t before[] = {record.computer.size(), record.user.size(), record.text.size()};
        DecodeWireFields(m_codePage, record);
        const std::string* fields[] = {&record.computer, &record.user, &record.text};
        for (std::size_t i = 0; i < 3; ++i) {
            FUZZ_CHECK(IsValidUtf8(*fields[i]));
            FUZZ_CHECK(fields[i]->size() <= 3 * before[i]);
            FUZZ_CHECK(fields[i]->find('\0') == std::string::npos);
        }
    }

    // Bytes held in records so far and in partial texts now, against the
    // bytes that came in.
    void CheckHeld() const {
        const CPartialMessageTable& table = m_endpoint.PartialMessages();
        FUZZ_CHECK(table.Size() <= CPartialMessageTable::kMaxEntries);
        FUZZ_CHECK(table.TextBytes() <= CPartialMessageTable::kMaxTextBytes);
        ByteCounts held = m_delivered;
        std::size_t entries = 0, textBytes = 0;
        table.ForEach([&](const CPartialMessage& entry) {
            FUZZ_CHECK(entry.text.size() <= CPartialMessageTable::kMaxMessageBytes);
            FUZZ_CHECK(entry.key.size() < kLargestInjected && entry.lastSequence.size() < kLargestInjected);
            Count(held, entry.text);
            textBytes += entry.text.size();
            ++entries;
        });
        FUZZ_CHECK(entries == table.Size());
        FUZZ_CHECK(textBytes == table.TextBytes());
        for (std::size_t b = 0; b < held.size(); ++b) FUZZ_CHECK(held[b] <= m_received[b]);
    }

    // Once at the end: it compares every peer with the table.
    void CheckPeers() const {
        const auto& peers = m_context.peers.Peers();
        for (std::size_t i = 0; i < peers.size(); ++i) {
            // A copy never lists itself, and every peer came from a ping
            // that named a computer.
            FUZZ_CHECK(!peers[i].computer.empty());
            FUZZ_CHECK(!EqualsNoCaseAscii(peers[i].computer, kLocalComputer));
            FUZZ_CHECK(peers[i].user.size() <= CPeerTable::kMaxUserBytes);
            FUZZ_CHECK(m_context.peers.FindPeer(peers[i].computer) == static_cast<int>(i));
        }
    }

    const CCodePage1252 m_codePage;
    CMemoryNetwork m_network;
    CMemoryUdpNetwork m_udp;
    CMemoryComputer& m_system;
    CMemoryUdpHost& m_sockets;
    CUdpCarrier m_carrier;
    CCountingCarrier m_counting;
    CMailslot m_endpoint;
    CContext m_context;
    ByteCounts m_received{};
    ByteCounts m_delivered{};
};

}  // namespace

// Input: a list of events, each a byte whose low two bits choose it:
//   0  a datagram over UDP: the sending host (a byte), 16-bit length (low 10
//      bits used), then its bytes
//   1  a datagram into the local mailslot: length and bytes as above
//   2  a receive tick
//   3  the clock moves on by the next byte's number of seconds
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzInput input(data, size);
    CReceiver receiver;
    while (!input.Empty()) {
        switch (input.Byte() & 3) {
        case 0: {
            const std::uint8_t host = input.Byte();
            receiver.OverUdp(host, input.Bytes(input.Uint16() & kLargestInjected));
            break;
        }
        case 1: receiver.IntoMailslot(input.Bytes(input.Uint16() & kLargestInjected)); break;
        case 2: receiver.Tick(); break;
        default: receiver.Advance(input.Byte()); break;
        }
    }
    receiver.Finish();
    return 0;
}
