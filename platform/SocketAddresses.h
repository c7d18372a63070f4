#pragma once
// What the POSIX and the Winsock socket backends share: IPv4 socket
// addresses and name resolution, which both systems spell alike.

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#endif

#include <memory>
#include <string>
#include <vector>

#include "platform/DatagramSocketApi.h"

inline sockaddr_in MakeSocketAddress(InetAddress address, std::uint16_t port) {
    sockaddr_in result{};
    result.sin_family = AF_INET;
    result.sin_addr.s_addr = htonl(address);
    result.sin_port = htons(port);
    return result;
}

inline std::vector<InetAddress> ResolveIpv4(const std::string& name) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0) return {};
    std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> owner(found, &::freeaddrinfo);
    std::vector<InetAddress> addresses;
    for (const addrinfo* a = found; a; a = a->ai_next)
        if (a->ai_family == AF_INET)
            addresses.push_back(ntohl(reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr.s_addr));
    return addresses;
}
