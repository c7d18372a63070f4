#include "platform/memory/MemorySockets.h"

#include <algorithm>
#include <cstring>

#include "util/AsciiText.h"

CMemoryUdpHost::CBoundSocket* CMemoryUdpHost::SocketOnPort(std::uint16_t port) {
    for (auto& [handle, socket] : m_sockets)
        if (socket.port == port && port != 0) return &socket;
    return nullptr;
}

void CMemoryUdpHost::Inject(std::uint16_t port, std::string bytes, InetAddress from, std::uint16_t fromPort) {
    if (CBoundSocket* socket = SocketOnPort(port))
        socket->received.push_back(CDatagram{std::move(bytes), from, fromPort});
}

std::uint16_t CMemoryUdpHost::PortOf(SocketHandle socket) const {
    const auto found = m_sockets.find(socket);
    return found == m_sockets.end() ? 0 : found->second.port;
}

void CMemoryUdpHost::FailSendsTo(InetAddress address, std::function<void()> onFailure) {
    m_failingTargets[address] = std::move(onFailure);
}

SocketHandle CMemoryUdpHost::OpenUdpSocket(std::uint16_t port, EOpenSocket* result) {
    if (port != 0 && SocketOnPort(port)) {
        if (result) *result = EOpenSocket::PortInUse;
        return kInvalidSocket;
    }
    const SocketHandle handle = m_nextSocket++;
    m_sockets[handle].port = port != 0 ? port : static_cast<std::uint16_t>(kFirstEphemeralPort + handle);
    if (result) *result = EOpenSocket::Opened;
    return handle;
}

bool CMemoryUdpHost::SendTo(SocketHandle socket, InetAddress address, std::uint16_t port, const void* data,
                            std::size_t size) {
    if (!m_sockets.count(socket)) return false;
    ++m_sent;
    if (const auto failing = m_failingTargets.find(address); failing != m_failingTargets.end()) {
        if (failing->second) failing->second();
        return false;
    }
    const std::string bytes(static_cast<const char*>(data), size);
    const std::uint16_t fromPort = PortOf(socket);
    if (address == CMemoryUdpNetwork::kBroadcast) {
        if (!m_hasInterfaces) return false;
        for (auto& host : m_network.Hosts())
            if (host->m_hasInterfaces) host->Inject(port, bytes, m_address, fromPort);
    } else if (address == kLoopbackAddress) {
        Inject(port, bytes, kLoopbackAddress, fromPort);
    } else if (CMemoryUdpHost* host = m_network.FindHost(address)) {
        host->Inject(port, bytes, m_address, fromPort);
    }
    return true;  // UDP: nobody listening is no error
}

EReceive CMemoryUdpHost::ReceiveFrom(SocketHandle socket, void* buffer, std::size_t capacity, std::size_t* size,
                                     InetAddress* from, std::uint16_t* fromPort) {
    auto found = m_sockets.find(socket);
    if (found == m_sockets.end()) return EReceive::Error;
    auto& queue = found->second.received;
    if (queue.empty()) return EReceive::None;
    const std::string datagram = std::move(queue.front().bytes);
    if (from) *from = queue.front().from;
    if (fromPort) *fromPort = queue.front().fromPort;
    queue.pop_front();
    const std::size_t count = std::min(capacity, datagram.size());
    std::memcpy(buffer, datagram.data(), count);
    *size = count;
    return datagram.size() > capacity ? EReceive::Truncated : EReceive::Datagram;
}

bool CMemoryUdpHost::WaitReadable(SocketHandle socket, std::uint32_t) {
    const auto found = m_sockets.find(socket);
    return found != m_sockets.end() && !found->second.received.empty();
}

void CMemoryUdpHost::CloseSocket(SocketHandle socket) { m_sockets.erase(socket); }

std::vector<InetAddress> CMemoryUdpHost::Resolve(const std::string& name) {
    ++m_resolveCalls;
    if (EqualsNoCaseAscii(name, "localhost")) return {kLoopbackAddress};
    if (CMemoryUdpHost* host = m_network.FindHost(name)) return {host->Address()};
    return {};
}

std::vector<CInterfaceAddress> CMemoryUdpHost::Interfaces() {
    if (!m_hasInterfaces) return {};
    std::vector<CInterfaceAddress> interfaces{CInterfaceAddress{m_address, CMemoryUdpNetwork::kMask, true}};
    interfaces.insert(interfaces.end(), m_moreInterfaces.begin(), m_moreInterfaces.end());
    return interfaces;
}

CMemoryUdpHost& CMemoryUdpNetwork::AddHost(std::string name) {
    const InetAddress address = 0x0A010000u + static_cast<InetAddress>(m_hosts.size() + 1);
    m_hosts.push_back(std::make_unique<CMemoryUdpHost>(*this, std::move(name), address));
    return *m_hosts.back();
}

CMemoryUdpHost* CMemoryUdpNetwork::FindHost(const std::string& name) {
    for (auto& host : m_hosts)
        if (EqualsNoCaseAscii(host->Name(), name)) return host.get();
    return nullptr;
}

CMemoryUdpHost* CMemoryUdpNetwork::FindHost(InetAddress address) {
    for (auto& host : m_hosts)
        if (host->Address() == address) return host.get();
    return nullptr;
}
