#pragma once
// A carrier for the mailslot seam over UDP, for networks where remote
// mailslots do not work (Wine has none; current Windows disables them).
// Datagrams keep their bytes; only the way they travel changes:
//   "\\*\mailslot\..."     one UDP broadcast to every interface's directed
//                          broadcast address (which reaches this computer too),
//                          and to the extra targets the user listed
//   "\\NAME\mailslot\..."  unicast to the address NAME's own datagrams came
//                          from; to the address the name resolves to when
//                          NAME has not been heard from
//   "\\.\mailslot\..."     the local mailslot, where the system has one;
//                          otherwise a unicast to this computer over loopback
// Reading drains the local mailslot and the UDP port alike.

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/DatagramSocketApi.h"
#include "platform/MailslotApi.h"
#include "util/LruMap.h"

inline constexpr std::uint16_t kDefaultUdpPort = 46464;

class CUdpRoute final : public CMailslotApi {
public:
    // The most a datagram may have on the wire; anything larger that arrives
    // is dropped unread.
    static constexpr std::size_t kMaxUdpDatagram = 424;
    // Datagrams taken off the socket but not yet read; beyond this they wait
    // in the socket's own buffer, which the system bounds. Both together are
    // what a message sent after a flood waits behind.
    static constexpr std::size_t kMaxQueued = 256;
    // Computers whose address was learnt from their datagrams, at most; the
    // one heard from longest ago makes room.
    static constexpr std::size_t kMaxLearned = 4096;
    // Name look-ups are kept this long, so that one message, its chunks and
    // the retries of each open cost one look-up; one that found nothing is
    // tried again sooner.
    static constexpr std::uint32_t kLookupLifetimeMs = 30000;
    static constexpr std::uint32_t kFailedLookupLifetimeMs = 5000;
    static constexpr std::size_t kMaxLookups = 256;

    // `system` serves the clock and the error codes and, when
    // `localMailslots` is true, the local mailslots.
    CUdpRoute(CMailslotApi& system, bool localMailslots, CDatagramSocketApi& sockets, std::uint16_t port);

    // For a program that only sends: the port stays free for the copy on
    // this computer that receives, and creating a mailslot fails quietly.
    void DisableReceiving() { m_receiving = false; }

    // Names or IPv4 addresses (another subnet's directed broadcast address,
    // a host behind a router) that every datagram to all computers also
    // goes to.
    void SetExtraTargets(std::vector<std::string> targets) { m_extraTargets = std::move(targets); }

    // Why the last CreateMailslotServer failed at the UDP port, if it did.
    EOpenSocket LastPortResult() const { return m_lastPortResult; }
    std::uint16_t Port() const { return m_port; }
    std::size_t LearnedComputers() const { return m_learned.Size(); }

    PlatformHandle CreateMailslotServer(const std::string& path, std::uint32_t maxMessageSize,
                                        std::uint32_t readTimeoutMs) override;
    bool GetMailslotInfo(PlatformHandle mailslot, std::uint32_t* nextSize, std::uint32_t* messageCount) override;
    bool ReadFile(PlatformHandle file, void* buffer, std::uint32_t toRead, std::uint32_t* bytesRead) override;
    PlatformHandle OpenForWrite(const std::string& path) override;
    bool WriteFile(PlatformHandle file, const void* data, std::uint32_t size, std::uint32_t* bytesWritten) override;
    bool CloseHandle(PlatformHandle handle) override;
    void WaitForMessage(PlatformHandle mailslot, std::uint32_t timeoutMs) override;
    bool NotifyOnMessage(PlatformHandle mailslot, std::uintptr_t window, std::uint32_t message) override;
    std::uint32_t GetLastError() override { return m_system.GetLastError(); }
    void SetLastError(std::uint32_t error) override { m_system.SetLastError(error); }
    std::uint32_t GetTickCount() override { return m_system.GetTickCount(); }
    void Sleep(std::uint32_t milliseconds) override { m_system.Sleep(milliseconds); }
    std::uint32_t GetTime() override { return m_system.GetTime(); }

private:
    enum class ESource { None, Local, Network };
    struct CServer {
        PlatformHandle mailslot = kInvalidPlatformHandle;  // the local mailslot, if the system has them
        CSocket socket;
        std::deque<std::string> queue;
        // The source whose next datagram the last GetMailslotInfo announced,
        // kept until a read takes that very datagram, even if the other
        // source got one meanwhile.
        ESource announced = ESource::None;
    };
    struct CLookup {
        std::vector<InetAddress> addresses;
        std::uint32_t tick = 0;
    };
    struct CWriter {
        PlatformHandle mailslot = kInvalidPlatformHandle;  // a local mailslot's client handle
        CSocket socket;
        std::vector<InetAddress> targets;
    };

    void Poll(CServer& server);
    void Learn(const std::string& datagram, InetAddress from);
    std::uint32_t LocalCount(const CServer& server, std::uint32_t* nextSize);
    PlatformHandle AddWriter(CWriter writer);
    bool Fail(std::uint32_t error);
    // Where a datagram for the computer `name` goes; empty when nowhere.
    std::vector<InetAddress> AddressesOf(const std::string& name);
    std::vector<InetAddress> LookUp(const std::string& name);
    std::vector<InetAddress> BroadcastTargets();

    CMailslotApi& m_system;
    bool m_localMailslots;
    bool m_receiving = true;
    CDatagramSocketApi& m_sockets;
    std::uint16_t m_port;
    EOpenSocket m_lastPortResult = EOpenSocket::Opened;
    std::map<PlatformHandle, CServer> m_servers;
    std::map<PlatformHandle, CWriter> m_writers;
    PlatformHandle m_nextHandle = 0x40000000;
    std::vector<std::string> m_extraTargets;
    CLruMap<InetAddress> m_learned{kMaxLearned};  // by lower-cased computer name
    CLruMap<CLookup> m_lookups{kMaxLookups};      // by lower-cased name
};
