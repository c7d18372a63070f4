#pragma once
// The UDP carrier, for networks where remote mailslots do not work (Wine
// has none; current Windows disables them). Datagrams keep their bytes;
// only the way they travel changes:
//   all computers   one UDP broadcast to every interface's directed
//                   broadcast address (which reaches this computer too),
//                   to the extra targets the user listed, and through the
//                   all-computers mailslot while this computer can open it,
//                   so that older copies on mailslots hear it too
//   one computer    to the address that computer's own datagrams came
//                   from; through its mailslot when it was heard only
//                   there (an older copy); to the address its name
//                   resolves to when it was never heard from
//                   an answer to one of its datagrams (a receipt) back to
//                   the address and port that datagram came from, when
//                   that is where the computer is (see AnswerPlan.h)
//   this computer   the local mailslot, where the system has one;
//                   otherwise over loopback
// One socket, bound to the port, sends and receives for the life of the
// carrier. Reading takes from the local mailslot and the socket alike; a
// datagram that arrives both ways is read once.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "messaging/FairDatagramQueue.h"
#include "messaging/NameLookups.h"
#include "platform/Clock.h"
#include "platform/DatagramCarrier.h"
#include "platform/DatagramSocketApi.h"
#include "util/LruMap.h"

inline constexpr std::uint16_t kDefaultUdpPort = 46464;

class CUdpCarrier final : public CDatagramCarrier {
public:
    // The most a datagram may have on the wire; anything larger that arrives
    // is dropped unread.
    static constexpr std::size_t kMaxUdpDatagram = 424;
    // Computers whose address was learnt from their datagrams, at most; the
    // one heard from longest ago makes room.
    static constexpr std::size_t kMaxLearned = 4096;
    // How long a message to a computer never heard from waits for the look-up
    // of its name.
    static constexpr std::uint32_t kLookupWaitMs = 1000;
    // This computer's interfaces are read again after this long.
    static constexpr std::uint32_t kInterfacesLifetimeMs = 10000;
    // Datagrams remembered per path to know the same one arriving the other way.
    static constexpr std::size_t kRecentPerPath = 64;
    // A source that lost datagrams is reported once it has lost none for
    // this long, or at the latest this long after its first loss.
    static constexpr std::uint32_t kDropQuietMs = 2000;
    static constexpr std::uint32_t kDropOverdueMs = 10000;

    struct COptions {
        std::uint16_t port = kDefaultUdpPort;
        // A thread of the carrier's own takes datagrams off the socket as fast
        // as they come, so that under a flood the fair share is kept before
        // the system's buffer drops them blindly. Without it, the caller's
        // reads do that.
        bool readerThread = false;
        // Name look-ups run on threads of their own (see CNameLookups).
        bool backgroundLookups = false;
    };

    // `mailslots`, when given, are the system's own mailslots of this
    // computer (the program's "Mivlet" endpoint), read beside the socket.
    CUdpCarrier(CDatagramSocketApi& sockets, CClock& clock, COptions options, CDatagramCarrier* mailslots = nullptr);
    ~CUdpCarrier() override;
    CUdpCarrier(const CUdpCarrier&) = delete;
    CUdpCarrier& operator=(const CUdpCarrier&) = delete;

    // For a program that only sends: the port stays free for the copy on
    // this computer that receives, and Open fails.
    void DisableReceiving() { m_receiving = false; }
    // For a program that sends and waits for the answers to what it sent
    // (receipts): Open opens a socket on a port the system picks, which
    // hears only what is sent back to it; the port stays free as above.
    void ReceiveAnswersOnly() { m_answersOnly = true; }

    // Names or IPv4 addresses (another subnet's directed broadcast address,
    // a host behind a router) that every datagram to all computers also goes
    // to. Their look-ups start here, not when a datagram goes.
    void SetExtraTargets(std::vector<std::string> targets);

    std::uint16_t Port() const { return m_options.port; }
    std::size_t LearnedComputers() const { return m_learned.Size(); }
    bool BroadcastsThroughMailslots() const { return m_mailslots && m_mailslotBroadcasts; }
    std::size_t LookUpsStarted() const { return m_lookups.Started(); }

    EOpenResult Open() override;
    bool IsOpen() const override { return m_open; }
    void Close() override;
    ESendResult Send(const CDatagramTarget& target, std::string_view datagram) override;
    bool HasDatagrams() override;
    EReceiveResult Receive(CReceivedDatagram& datagram) override;
    std::uint32_t ChunkPauseMs(const CDatagramTarget& target) const override;
    bool WaitForDatagram(std::uint32_t timeoutMs) override;
    bool NotifyOnArrival(std::function<void()> signal) override;
    bool NotifyWindowOnArrival(std::uintptr_t window, std::uint32_t message) override;
    // What flooding sources lost, once each (see CFairDatagramQueue).
    std::vector<CDroppedFromSource> TakeDropped() override;

private:
    struct CLearned {
        InetAddress address = 0;   // 0 while heard only through the mailslot
        bool overMailslot = false;
    };

    bool EnsureSocket();
    // Moves what the socket holds into the queue, at most a queue's worth.
    void Poll();
    // `signalArrival`: from the reader thread, which tells the caller.
    void ReadSocket(std::size_t most, bool signalArrival);
    void ReaderLoop();
    bool TakeQueued(CReceivedDatagram& datagram);
    bool IsRepeatFromOtherPath(const CReceivedDatagram& datagram);
    void Learn(const CReceivedDatagram& datagram);
    std::vector<CInterfaceAddress> Interfaces();
    bool CanBeOtherComputersAddress(InetAddress address);
    void RefreshInterfaces(bool onlyWhenUnread);
    const CLearned* LearnedOf(const std::string& computer) const;
    ESendResult SendToAll(std::string_view datagram);
    ESendResult SendToComputer(const CDatagramTarget& target, std::string_view datagram);
    ESendResult SendTo(InetAddress address, std::string_view datagram);
    ESendResult SendTo(InetAddress address, std::uint16_t port, std::string_view datagram);

    CDatagramSocketApi& m_sockets;
    CClock& m_clock;
    COptions m_options;
    CDatagramCarrier* m_mailslots;
    bool m_receiving = true;
    bool m_answersOnly = false;
    bool m_open = false;
    bool m_mailslotBroadcasts = true;  // until one proves that this computer cannot
    CSocket m_socket;

    // Shared with the reader thread.
    std::mutex m_readMutex;  // held while the socket is read
    std::mutex m_mutex;      // the queue and the signal
    std::condition_variable m_arrived;
    CFairDatagramQueue m_queue;
    std::function<void()> m_signal;
    std::atomic<bool> m_stop{false};
    std::thread m_reader;

    mutable CLruMap<CLearned> m_learned{kMaxLearned};  // by lower-cased computer name
    CNameLookups m_lookups;
    std::vector<std::string> m_extraTargets;
    std::mutex m_interfacesMutex;  // the reader thread keeps them fresh
    std::vector<CInterfaceAddress> m_interfaces;
    std::uint32_t m_interfacesTick = 0;
    bool m_interfacesRead = false;
    std::deque<std::string> m_recent[2];  // by CReceivedDatagram::EPath
};
