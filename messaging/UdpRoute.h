#pragma once
// A carrier for the mailslot seam over UDP, for networks where remote
// mailslots do not work (Wine has none; current Windows disables them).
// Datagrams keep their bytes; only the way they travel changes:
//   "\\*\mailslot\..."     one UDP broadcast to every interface's directed
//                          broadcast address (which reaches this computer too)
//   "\\NAME\mailslot\..."  the name is resolved and the datagram sent by unicast
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

inline constexpr std::uint16_t kDefaultUdpPort = 46464;

class CUdpRoute final : public CMailslotApi {
public:
    // The most a datagram may have on the wire; anything larger that arrives
    // is dropped unread.
    static constexpr std::size_t kMaxUdpDatagram = 424;
    // Datagrams taken off the socket but not yet read; beyond this they wait
    // in the socket's own buffer, which the system bounds.
    static constexpr std::size_t kMaxQueued = 1024;

    // `system` serves the clock and the error codes and, when
    // `localMailslots` is true, the local mailslots.
    CUdpRoute(CMailslotApi& system, bool localMailslots, CDatagramSocketApi& sockets, std::uint16_t port);

    // For a program that only sends: the port stays free for the copy on
    // this computer that receives, and creating a mailslot fails quietly.
    void DisableReceiving() { m_receiving = false; }

    // Why the last CreateMailslotServer failed at the UDP port, if it did.
    EOpenSocket LastPortResult() const { return m_lastPortResult; }
    std::uint16_t Port() const { return m_port; }

    PlatformHandle CreateMailslotServer(const std::string& path, std::uint32_t maxMessageSize,
                                        std::uint32_t readTimeoutMs) override;
    bool GetMailslotInfo(PlatformHandle mailslot, std::uint32_t* nextSize, std::uint32_t* messageCount) override;
    bool ReadFile(PlatformHandle file, void* buffer, std::uint32_t toRead, std::uint32_t* bytesRead) override;
    PlatformHandle OpenForWrite(const std::string& path) override;
    bool WriteFile(PlatformHandle file, const void* data, std::uint32_t size, std::uint32_t* bytesWritten) override;
    bool CloseHandle(PlatformHandle handle) override;
    std::uint32_t GetLastError() override { return m_system.GetLastError(); }
    void SetLastError(std::uint32_t error) override { m_system.SetLastError(error); }
    std::uint32_t GetTickCount() override { return m_system.GetTickCount(); }
    void Sleep(std::uint32_t milliseconds) override { m_system.Sleep(milliseconds); }
    std::uint32_t GetTime() override { return m_system.GetTime(); }

private:
    struct CServer {
        PlatformHandle mailslot = kInvalidPlatformHandle;  // the local mailslot, if the system has them
        CSocket socket;
        std::deque<std::string> queue;
        // Which source the last GetMailslotInfo announced, so that the read
        // that follows takes that very datagram even if the other source
        // got one meanwhile.
        bool nextIsLocal = false;
    };
    struct CWriter {
        PlatformHandle mailslot = kInvalidPlatformHandle;  // a local mailslot's client handle
        CSocket socket;
        std::vector<InetAddress> targets;
    };

    void Poll(CServer& server);
    std::uint32_t LocalCount(const CServer& server, std::uint32_t* nextSize);
    PlatformHandle AddWriter(CWriter writer);
    bool Fail(std::uint32_t error);

    CMailslotApi& m_system;
    bool m_localMailslots;
    bool m_receiving = true;
    CDatagramSocketApi& m_sockets;
    std::uint16_t m_port;
    EOpenSocket m_lastPortResult = EOpenSocket::Opened;
    std::map<PlatformHandle, CServer> m_servers;
    std::map<PlatformHandle, CWriter> m_writers;
    PlatformHandle m_nextHandle = 0x40000000;
};
