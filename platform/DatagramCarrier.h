#pragma once
// The seam between the messaging core and whatever carries its datagrams
// between computers: the system's mailslots, UDP, or the in-memory network
// of the tests. It speaks the protocol's terms: this computer's endpoint,
// one datagram to all computers, to one computer or to this computer, and
// the next datagram that arrived with where it came from. Pacing, retries
// and the datagram format are the endpoint's business, above this seam.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/InetAddress.h"

enum class EOpenResult {
    Opened,
    NameTaken,  // another program of this computer holds the endpoint's name
    PortInUse,  // another program holds the UDP port
    Failed,
};

enum class ESendResult {
    Sent,         // handed to the network whole
    NotReady,     // the target is there but cannot take it yet; another try may succeed
    Unreachable,  // no try will reach the target on this carrier
    Incomplete,   // the write failed or left an error behind; the same bytes may go again
    Partial,      // only part of the datagram went, though the write said it succeeded
};

struct CDatagramTarget {
    enum class EKind { AllComputers, Computer, ThisComputer };
    EKind kind = EKind::ThisComputer;
    std::string computer;  // for Computer only
    // For Computer: the answer to a datagram of that computer's that came
    // from here. A carrier may send it back there rather than to the
    // computer's own endpoint (see PlanAnswer); one that cannot tell,
    // to the computer as ever.
    CDatagramSource answerTo;

    static CDatagramTarget All() { return {EKind::AllComputers, {}, {}}; }
    static CDatagramTarget This() { return {EKind::ThisComputer, {}, {}}; }
    static CDatagramTarget Computer(std::string name) { return {EKind::Computer, std::move(name), {}}; }
    static CDatagramTarget AnswerTo(std::string name, CDatagramSource source) {
        return {EKind::Computer, std::move(name), source};
    }
};

struct CReceivedDatagram {
    enum class EPath { Mailslot, Network };
    std::string bytes;
    EPath path = EPath::Mailslot;
    InetAddress from = 0;  // the sender's address for Network; 0 when the carrier cannot tell
    std::uint16_t fromPort = 0;  // and the port it sent from
};

enum class EReceiveResult { Datagram, Empty, Failed };

// What one source address lost to a carrier's fair share since it was last
// told.
struct CDroppedFromSource {
    InetAddress from = 0;
    std::uint64_t datagrams = 0;
    std::uint64_t messages = 0;  // of those, the ones that ended a chat message
};

class CDatagramCarrier {
public:
    virtual ~CDatagramCarrier() = default;

    // Opens this computer's endpoint for receiving. Which endpoint (the
    // mailslot's name, the UDP port) the carrier was made for.
    virtual EOpenResult Open() = 0;
    virtual bool IsOpen() const = 0;
    // Gives the endpoint up, and with it what waits there: the endpoint
    // that opened it closes it.
    virtual void Close() = 0;

    virtual ESendResult Send(const CDatagramTarget& target, std::string_view datagram) = 0;

    // Whether a datagram waits to be received; never waits itself.
    virtual bool HasDatagrams() = 0;
    // Takes the next datagram that arrived, or says that none waits. Failed
    // means the datagram in question is lost; a later call goes on.
    virtual EReceiveResult Receive(CReceivedDatagram& datagram) = 0;

    // The pause between two datagrams of one message to `target` that this
    // carrier needs for the receiver to keep up: a mailslot is read every
    // 50 ms, a socket as datagrams arrive.
    virtual std::uint32_t ChunkPauseMs(const CDatagramTarget& target) const = 0;

    // Waits at most `timeoutMs` for a datagram, for a program that has
    // nothing else to do; true when one waits.
    virtual bool WaitForDatagram(std::uint32_t timeoutMs) = 0;
    // Calls `signal` (from any thread) whenever datagrams arrive, so that a
    // window reads at once instead of on its timer; false when this carrier
    // cannot tell.
    virtual bool NotifyOnArrival(std::function<void()> /*signal*/) { return false; }
    // Has the system itself post `message` to the window `window` the moment
    // a datagram arrives (Winsock's WSAAsyncSelect), sooner than a thread of
    // the carrier's can wake and tell it; false where it cannot.
    virtual bool NotifyWindowOnArrival(std::uintptr_t /*window*/, std::uint32_t /*message*/) { return false; }
    // The losses of sources that flooded, once each, when it is time to tell
    // of them; a carrier that never drops has none.
    virtual std::vector<CDroppedFromSource> TakeDropped() { return {}; }
};
