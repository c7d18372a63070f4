#pragma once
// An in-memory IPv4 subnet for tests of the UDP carrier: hosts with names
// and addresses, ports bound exclusively, broadcasts to the whole subnet.

#include <cstdint>
#include <deque>
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
    InetAddress Address() const { return m_address; }
    void SetHasInterfaces(bool has) { m_hasInterfaces = has; }
    // Puts bytes on `port` as if some computer had sent them.
    void Inject(std::uint16_t port, std::string bytes);
    std::size_t SentDatagrams() const { return m_sent; }
    std::size_t OpenSockets() const { return m_sockets.size(); }

    SocketHandle OpenUdpSocket(std::uint16_t port, EOpenSocket* result) override;
    bool SendTo(SocketHandle socket, InetAddress address, std::uint16_t port, const void* data,
                std::size_t size) override;
    EReceive ReceiveFrom(SocketHandle socket, void* buffer, std::size_t capacity, std::size_t* size) override;
    void CloseSocket(SocketHandle socket) override;
    std::vector<InetAddress> Resolve(const std::string& name) override;
    std::vector<InetAddress> BroadcastAddresses() override;

private:
    friend class CMemoryUdpNetwork;
    struct CBoundSocket {
        std::uint16_t port = 0;
        std::deque<std::string> received;
    };
    CBoundSocket* SocketOnPort(std::uint16_t port);

    CMemoryUdpNetwork& m_network;
    std::string m_name;
    InetAddress m_address;
    bool m_hasInterfaces = true;
    std::map<SocketHandle, CBoundSocket> m_sockets;
    SocketHandle m_nextSocket = 3;
    std::size_t m_sent = 0;
};

class CMemoryUdpNetwork {
public:
    // Hosts get 10.1.0.x; the subnet's broadcast address is 10.1.0.255.
    static constexpr InetAddress kBroadcast = 0x0A0100FFu;

    CMemoryUdpHost& AddHost(std::string name);
    CMemoryUdpHost* FindHost(const std::string& name);
    CMemoryUdpHost* FindHost(InetAddress address);
    std::vector<std::unique_ptr<CMemoryUdpHost>>& Hosts() { return m_hosts; }

private:
    std::vector<std::unique_ptr<CMemoryUdpHost>> m_hosts;
};
