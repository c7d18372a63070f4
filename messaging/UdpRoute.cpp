#include "messaging/UdpRoute.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "messaging/Datagram.h"
#include "messaging/LocalComputerName.h"
#include "platform/ErrorCodes.h"
#include "platform/MailslotPath.h"
#include "util/AsciiText.h"

CUdpRoute::CUdpRoute(CMailslotApi& system, bool localMailslots, CDatagramSocketApi& sockets, std::uint16_t port)
    : m_system(system), m_localMailslots(localMailslots), m_sockets(sockets), m_port(port) {}

bool CUdpRoute::Fail(std::uint32_t error) {
    m_system.SetLastError(error);
    return false;
}

PlatformHandle CUdpRoute::CreateMailslotServer(const std::string& path, std::uint32_t maxMessageSize,
                                               std::uint32_t readTimeoutMs) {
    CServer server;
    if (!m_receiving) {
        Fail(kErrorFileNotFound);
        return kInvalidPlatformHandle;
    }
    if (m_localMailslots) {
        server.mailslot = m_system.CreateMailslotServer(path, maxMessageSize, readTimeoutMs);
        if (server.mailslot == kInvalidPlatformHandle) return kInvalidPlatformHandle;
    } else if (!ParseMailslotPath(path) || ParseMailslotPath(path)->host != ".") {
        Fail(kErrorBadNetPath);
        return kInvalidPlatformHandle;
    }

    // A second copy on this computer must fail here just as it fails to
    // create a second mailslot of the same name.
    server.socket = CSocket(m_sockets, m_sockets.OpenUdpSocket(m_port, &m_lastPortResult));
    if (!server.socket.IsValid()) {
        if (server.mailslot != kInvalidPlatformHandle) m_system.CloseHandle(server.mailslot);
        Fail(m_lastPortResult == EOpenSocket::PortInUse ? kErrorAlreadyExists : kErrorBadNetPath);
        return kInvalidPlatformHandle;
    }
    const PlatformHandle handle = m_nextHandle++;
    m_servers.emplace(handle, std::move(server));
    m_system.SetLastError(0);
    return handle;
}

void CUdpRoute::Poll(CServer& server) {
    std::array<char, kMaxUdpDatagram + 1> buffer;
    while (server.queue.size() < kMaxQueued) {
        std::size_t size = 0;
        InetAddress from = 0;
        const EReceive got = m_sockets.ReceiveFrom(server.socket.Get(), buffer.data(), buffer.size(), &size, &from);
        if (got == EReceive::None || got == EReceive::Error) return;
        // One byte more than the limit fits the buffer, so a datagram that
        // fills it is over the limit even when the backend cannot tell.
        if (got == EReceive::Truncated || size > kMaxUdpDatagram) continue;
        server.queue.emplace_back(buffer.data(), size);
        Learn(server.queue.back(), from);
    }
}

// Many networks have no name resolution for workstations: the address a
// computer's own datagrams come from is where datagrams for it go.
void CUdpRoute::Learn(const std::string& datagram, InetAddress from) {
    if (from == 0 || from == kLoopbackAddress) return;
    std::string_view sender(datagram.data(), std::min(datagram.find('\0'), datagram.size()));
    if (!sender.empty() && sender.back() == kBroadcastMark) sender.remove_suffix(1);
    if (!CanBeComputerName(sender)) return;
    m_learned.Put(LowerAscii(sender), from);
}

std::uint32_t CUdpRoute::LocalCount(const CServer& server, std::uint32_t* nextSize) {
    std::uint32_t next = kMailslotNoMessage, count = 0;
    if (server.mailslot == kInvalidPlatformHandle || !m_system.GetMailslotInfo(server.mailslot, &next, &count))
        count = 0;
    if (nextSize) *nextSize = count ? next : kMailslotNoMessage;
    return count;
}

bool CUdpRoute::GetMailslotInfo(PlatformHandle mailslot, std::uint32_t* nextSize, std::uint32_t* messageCount) {
    auto found = m_servers.find(mailslot);
    if (found == m_servers.end()) return Fail(kErrorInvalidHandle);
    CServer& server = found->second;
    Poll(server);

    std::uint32_t localNext = kMailslotNoMessage;
    const std::uint32_t local = LocalCount(server, &localNext);
    if ((server.announced == ESource::Local && local == 0) ||
        (server.announced == ESource::Network && server.queue.empty()))
        server.announced = ESource::None;
    // The local mailslot first, then what came over the network.
    if (server.announced == ESource::None)
        server.announced = local ? ESource::Local : server.queue.empty() ? ESource::None : ESource::Network;

    std::uint32_t next = kMailslotNoMessage;
    if (server.announced == ESource::Local) next = localNext;
    if (server.announced == ESource::Network) next = static_cast<std::uint32_t>(server.queue.front().size());
    if (nextSize) *nextSize = next;
    if (messageCount) *messageCount = local + static_cast<std::uint32_t>(server.queue.size());
    return true;
}

bool CUdpRoute::ReadFile(PlatformHandle file, void* buffer, std::uint32_t toRead, std::uint32_t* bytesRead) {
    if (bytesRead) *bytesRead = 0;
    auto found = m_servers.find(file);
    if (found == m_servers.end()) return Fail(kErrorInvalidHandle);
    CServer& server = found->second;

    ESource source = server.announced;
    server.announced = ESource::None;
    if (source == ESource::None && LocalCount(server, nullptr) != 0) source = ESource::Local;
    if (source == ESource::Local) return m_system.ReadFile(server.mailslot, buffer, toRead, bytesRead);
    if (server.queue.empty()) return Fail(kErrorSemTimeout);
    const std::string& datagram = server.queue.front();
    if (toRead < datagram.size()) return Fail(kErrorInsufficientBuffer);
    std::memcpy(buffer, datagram.data(), datagram.size());
    if (bytesRead) *bytesRead = static_cast<std::uint32_t>(datagram.size());
    server.queue.pop_front();
    return true;
}

PlatformHandle CUdpRoute::AddWriter(CWriter writer) {
    const PlatformHandle handle = m_nextHandle++;
    m_writers.emplace(handle, std::move(writer));
    m_system.SetLastError(0);
    return handle;
}

PlatformHandle CUdpRoute::OpenForWrite(const std::string& path) {
    const auto parsed = ParseMailslotPath(path);
    if (!parsed) {
        Fail(kErrorFileNotFound);
        return kInvalidPlatformHandle;
    }

    CWriter writer;
    if (parsed->host == "." && m_localMailslots) {
        writer.mailslot = m_system.OpenForWrite(path);
        if (writer.mailslot == kInvalidPlatformHandle) return kInvalidPlatformHandle;
        return AddWriter(std::move(writer));
    }

    if (parsed->host == ".") {
        writer.targets = {kLoopbackAddress};
    } else if (parsed->host == "*") {
        writer.targets = BroadcastTargets();
    } else {
        const std::vector<InetAddress> addresses = AddressesOf(parsed->host);
        // Nowhere to go is final, as for a remote mailslot that cannot be
        // found: trying again within the same send finds nothing more.
        if (addresses.empty()) {
            Fail(kErrorPathNotFound);
            return kInvalidPlatformHandle;
        }
        // One address only: a datagram sent twice would be shown twice
        // unless the two copies arrived back to back.
        writer.targets = {addresses.front()};
    }
    EOpenSocket result = EOpenSocket::Failed;
    writer.socket = CSocket(m_sockets, m_sockets.OpenUdpSocket(0, &result));
    if (!writer.socket.IsValid()) {
        Fail(kErrorBadNetPath);
        return kInvalidPlatformHandle;
    }
    return AddWriter(std::move(writer));
}

bool CUdpRoute::WriteFile(PlatformHandle file, const void* data, std::uint32_t size, std::uint32_t* bytesWritten) {
    if (bytesWritten) *bytesWritten = 0;
    auto found = m_writers.find(file);
    if (found == m_writers.end()) return Fail(kErrorInvalidHandle);
    CWriter& writer = found->second;
    if (writer.mailslot != kInvalidPlatformHandle) return m_system.WriteFile(writer.mailslot, data, size, bytesWritten);

    // A broadcast that reaches some of its addresses is sent: the others
    // may be interfaces that are down. Their errors must not linger as the
    // last error, which the writer reads as a failed write and repeats.
    bool sent = false;
    for (InetAddress target : writer.targets)
        sent = m_sockets.SendTo(writer.socket.Get(), target, m_port, data, size) || sent;
    if (!sent) return Fail(kErrorNetWriteFault);
    m_system.SetLastError(0);
    if (bytesWritten) *bytesWritten = size;
    return true;
}

std::vector<InetAddress> CUdpRoute::AddressesOf(const std::string& name) {
    if (const InetAddress* learned = m_learned.Find(LowerAscii(name))) return {*learned};
    return LookUp(name);
}

std::vector<InetAddress> CUdpRoute::LookUp(const std::string& name) {
    const std::string key = LowerAscii(name);
    const std::uint32_t now = m_system.GetTickCount();
    if (const CLookup* known = m_lookups.Find(key)) {
        const std::uint32_t lifetime = known->addresses.empty() ? kFailedLookupLifetimeMs : kLookupLifetimeMs;
        if (now - known->tick < lifetime) return known->addresses;
    }
    CLookup fresh{m_sockets.Resolve(name), now};
    m_lookups.Put(key, fresh);
    return fresh.addresses;
}

std::vector<InetAddress> CUdpRoute::BroadcastTargets() {
    std::vector<InetAddress> targets = m_sockets.BroadcastAddresses();
    // With no interface to broadcast on, this computer is still one of
    // "all computers".
    if (targets.empty()) targets = {kLoopbackAddress};
    for (const std::string& extra : m_extraTargets) {
        const std::vector<InetAddress> addresses = LookUp(extra);
        if (!addresses.empty() && std::find(targets.begin(), targets.end(), addresses.front()) == targets.end())
            targets.push_back(addresses.front());
    }
    return targets;
}

void CUdpRoute::WaitForMessage(PlatformHandle mailslot, std::uint32_t timeoutMs) {
    const auto found = m_servers.find(mailslot);
    if (found == m_servers.end()) {
        m_system.Sleep(timeoutMs);
        return;
    }
    if (!found->second.queue.empty() || LocalCount(found->second, nullptr) != 0) return;
    m_sockets.WaitReadable(found->second.socket.Get(), timeoutMs);
}

bool CUdpRoute::NotifyOnMessage(PlatformHandle mailslot, std::uintptr_t window, std::uint32_t message) {
    const auto found = m_servers.find(mailslot);
    return found != m_servers.end() && m_sockets.NotifyWhenReadable(found->second.socket.Get(), window, message);
}

bool CUdpRoute::CloseHandle(PlatformHandle handle) {
    if (auto server = m_servers.find(handle); server != m_servers.end()) {
        if (server->second.mailslot != kInvalidPlatformHandle) m_system.CloseHandle(server->second.mailslot);
        m_servers.erase(server);
        return true;
    }
    if (auto writer = m_writers.find(handle); writer != m_writers.end()) {
        if (writer->second.mailslot != kInvalidPlatformHandle) m_system.CloseHandle(writer->second.mailslot);
        m_writers.erase(writer);
        return true;
    }
    return Fail(kErrorInvalidHandle);
}
