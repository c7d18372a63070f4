#pragma once
// An in-memory IPv4 subnet for tests of the UDP carrier: hosts with names
// and addresses, ports bound exclusively, broadcasts to the whole subnet.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/DatagramSocketApi.h"

class CMemoryUdpNetwork;

class CMemoryUdpHost final : public CDatagramSocketApi {
public:
    CMemoryUdpHost(CMemoryUdpNetwork& network, std::string name, InetAddress address)
        : m_network(network), m_name(std::move(name)), m_address(address) {}

    const std::string& Name() const { return m_name; }
    // The name that resolves to this host, as a name service would have it.
    void SetName(std::string name) { m_name = std::move(name); }
    InetAddress Address() const { return m_address; }
    void SetHasInterfaces(bool has) { m_hasInterfaces = has; }
    // Puts bytes on `port` as if the computer at `from` had sent them from
    // its port `fromPort`.
    void Inject(std::uint16_t port, std::string bytes, InetAddress from = 0, std::uint16_t fromPort = 0);
    // The port a socket of this host sends from: the one it is bound to, or
    // one the system picked for a socket opened without a port.
    std::uint16_t PortOf(SocketHandle socket) const;
    // Sends to `address` fail from now on, and call `onFailure` as the
    // system would set its last error.
    void FailSendsTo(InetAddress address, std::function<void()> onFailure = {});
    // More interfaces beside the one on the subnet, as a computer with
    // several network cards has.
    void AddInterface(CInterfaceAddress address) { m_moreInterfaces.push_back(address); }
    std::size_t ResolveCalls() const { return m_resolveCalls; }
    std::size_t SentDatagrams() const { return m_sent; }
    std::size_t OpenSockets() const { return m_sockets.size(); }

    SocketHandle OpenUdpSocket(std::uint16_t port, EOpenSocket* result) override;
    bool SendTo(SocketHandle socket, InetAddress address, std::uint16_t port, const void* data,
                std::size_t size) override;
    EReceive ReceiveFrom(SocketHandle socket, void* buffer, std::size_t capacity, std::size_t* size,
                         InetAddress* from, std::uint16_t* fromPort) override;
    // Never waits: time passes only when a test says so.
    bool WaitReadable(SocketHandle socket, std::uint32_t timeoutMs) override;
    void CloseSocket(SocketHandle socket) override;
    std::vector<InetAddress> Resolve(const std::string& name) override;
    std::vector<CInterfaceAddress> Interfaces() override;

private:
    friend class CMemoryUdpNetwork;
    struct CDatagram {
        std::string bytes;
        InetAddress from = 0;
        std::uint16_t fromPort = 0;
    };
    struct CBoundSocket {
        std::uint16_t port = 0;
        std::deque<CDatagram> received;
    };
    // Where the system's ephemeral ports begin, as on Windows.
    static constexpr std::uint16_t kFirstEphemeralPort = 49152;
    CBoundSocket* SocketOnPort(std::uint16_t port);

    CMemoryUdpNetwork& m_network;
    std::string m_name;
    InetAddress m_address;
    bool m_hasInterfaces = true;
    std::map<SocketHandle, CBoundSocket> m_sockets;
    SocketHandle m_nextSocket = 3;
    std::size_t m_sent = 0;
    std::size_t m_resolveCalls = 0;
    std::vector<CInterfaceAddress> m_moreInterfaces;
    std::map<InetAddress, std::function<void()>> m_failingTargets;
};

class CMemoryUdpNetwork {
public:
    // Hosts get 10.1.0.x; the subnet's broadcast address is 10.1.0.255.
    static constexpr InetAddress kBroadcast = 0x0A0100FFu;
    static constexpr InetAddress kMask = 0xFFFFFF00u;

    CMemoryUdpHost& AddHost(std::string name);
    CMemoryUdpHost* FindHost(const std::string& name);
    CMemoryUdpHost* FindHost(InetAddress address);
    std::vector<std::unique_ptr<CMemoryUdpHost>>& Hosts() { return m_hosts; }

private:
    std::vector<std::unique_ptr<CMemoryUdpHost>> m_hosts;
};
