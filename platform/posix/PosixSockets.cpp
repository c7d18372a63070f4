#include "platform/posix/PosixSockets.h"

#include <poll.h>

#include <arpa/inet.h>
#include <cerrno>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

#include "platform/SocketAddresses.h"

SocketHandle CPosixSockets::OpenUdpSocket(std::uint16_t port, EOpenSocket* result) {
    *result = EOpenSocket::Failed;
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return kInvalidSocket;
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    // No SO_REUSEADDR: a second bind of the port must fail.
    if (port != 0) {
        // The system caps what it grants.
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &kUdpReceiveBufferBytes, sizeof kUdpReceiveBufferBytes);
        const sockaddr_in local = MakeSocketAddress(INADDR_ANY, port);
        if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
            *result = errno == EADDRINUSE ? EOpenSocket::PortInUse : EOpenSocket::Failed;
            ::close(fd);
            return kInvalidSocket;
        }
    }
    *result = EOpenSocket::Opened;
    return fd;
}

bool CPosixSockets::SendTo(SocketHandle socket, InetAddress address, std::uint16_t port, const void* data,
                           std::size_t size) {
    const sockaddr_in target = MakeSocketAddress(address, port);
    const ssize_t sent = ::sendto(static_cast<int>(socket), data, size, 0, reinterpret_cast<const sockaddr*>(&target),
                                  sizeof target);
    return sent >= 0 && static_cast<std::size_t>(sent) == size;
}

EReceive CPosixSockets::ReceiveFrom(SocketHandle socket, void* buffer, std::size_t capacity, std::size_t* size,
                                    InetAddress* from, std::uint16_t* fromPort) {
    sockaddr_in sender{};
    socklen_t senderSize = sizeof sender;
    // MSG_TRUNC makes the call return the datagram's real length.
    const ssize_t got = ::recvfrom(static_cast<int>(socket), buffer, capacity, MSG_TRUNC,
                                   reinterpret_cast<sockaddr*>(&sender), &senderSize);
    if (got < 0) return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? EReceive::None : EReceive::Error;
    if (from) *from = sender.sin_family == AF_INET ? ntohl(sender.sin_addr.s_addr) : 0;
    if (fromPort) *fromPort = sender.sin_family == AF_INET ? ntohs(sender.sin_port) : 0;
    const auto length = static_cast<std::size_t>(got);
    *size = std::min(length, capacity);
    return length > capacity ? EReceive::Truncated : EReceive::Datagram;
}

bool CPosixSockets::WaitReadable(SocketHandle socket, std::uint32_t timeoutMs) {
    pollfd watched{static_cast<int>(socket), POLLIN, 0};
    const int timeout = static_cast<int>(std::min<std::uint32_t>(timeoutMs, INT32_MAX));
    return ::poll(&watched, 1, timeout) > 0 && (watched.revents & POLLIN);
}

void CPosixSockets::CloseSocket(SocketHandle socket) { ::close(static_cast<int>(socket)); }

std::vector<InetAddress> CPosixSockets::Resolve(const std::string& name) {
    return ResolveIpv4(name);
}

std::vector<CInterfaceAddress> CPosixSockets::Interfaces() {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return {};
    std::unique_ptr<ifaddrs, decltype(&::freeifaddrs)> owner(list, &::freeifaddrs);
    std::vector<CInterfaceAddress> interfaces;
    for (const ifaddrs* i = list; i; i = i->ifa_next) {
        const bool usable = (i->ifa_flags & IFF_UP) && !(i->ifa_flags & IFF_LOOPBACK);
        if (!usable || !i->ifa_addr || i->ifa_addr->sa_family != AF_INET || !i->ifa_netmask) continue;
        const auto address = [](const sockaddr* a) { return ntohl(reinterpret_cast<const sockaddr_in*>(a)->sin_addr.s_addr); };
        const bool broadcasts = (i->ifa_flags & IFF_BROADCAST) && i->ifa_broadaddr;
        interfaces.push_back(CInterfaceAddress{address(i->ifa_addr), address(i->ifa_netmask), broadcasts});
    }
    return interfaces;
}
