#include "platform/win32/WinsockSockets.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <windows.h>

#include <memory>
#include <vector>

#include "platform/SocketAddresses.h"
#include "platform/win32/SystemLibraries.h"

namespace {

SOCKET ToSocket(SocketHandle handle) { return static_cast<SOCKET>(handle); }

}  // namespace

CWinsockSockets::CWinsockSockets() {
    WSADATA data;
    m_started = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    const HMODULE ipHelper = LoadSystemLibrary("iphlpapi.dll");
    m_ipHelper = ipHelper;
    if (ipHelper)
        m_getAdaptersAddresses = reinterpret_cast<GetAdaptersAddressesFunction>(
            reinterpret_cast<void*>(::GetProcAddress(ipHelper, "GetAdaptersAddresses")));
}

CWinsockSockets::~CWinsockSockets() {
    if (m_ipHelper) ::FreeLibrary(static_cast<HMODULE>(m_ipHelper));
    if (m_started) ::WSACleanup();
}

SocketHandle CWinsockSockets::OpenUdpSocket(std::uint16_t port, EOpenSocket* result) {
    *result = EOpenSocket::Failed;
    const SOCKET s = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET) return kInvalidSocket;
    u_long nonBlocking = 1;
    BOOL on = TRUE;
    ::ioctlsocket(s, FIONBIO, &nonBlocking);
    ::setsockopt(s, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof on);
    // An ICMP "port unreachable" for an earlier send must not surface as an
    // error on the next receive.
    BOOL reportReset = FALSE;
    DWORD returned = 0;
    ::WSAIoctl(s, _WSAIOW(IOC_VENDOR, 12), &reportReset, sizeof reportReset, nullptr, 0, &returned, nullptr,
               nullptr);  // SIO_UDP_CONNRESET
    if (port != 0) {
        ::setsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&kUdpReceiveBufferBytes),
                     sizeof kUdpReceiveBufferBytes);
        ::setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on), sizeof on);
        const sockaddr_in local = MakeSocketAddress(INADDR_ANY, port);
        if (::bind(s, reinterpret_cast<const sockaddr*>(&local), sizeof local) == SOCKET_ERROR) {
            const int error = ::WSAGetLastError();
            *result = (error == WSAEADDRINUSE || error == WSAEACCES) ? EOpenSocket::PortInUse : EOpenSocket::Failed;
            ::closesocket(s);
            return kInvalidSocket;
        }
    }
    *result = EOpenSocket::Opened;
    return static_cast<SocketHandle>(s);
}

bool CWinsockSockets::SendTo(SocketHandle socket, InetAddress address, std::uint16_t port, const void* data,
                             std::size_t size) {
    const sockaddr_in target = MakeSocketAddress(address, port);
    const int sent = ::sendto(ToSocket(socket), static_cast<const char*>(data), static_cast<int>(size), 0,
                              reinterpret_cast<const sockaddr*>(&target), sizeof target);
    return sent != SOCKET_ERROR && static_cast<std::size_t>(sent) == size;
}

EReceive CWinsockSockets::ReceiveFrom(SocketHandle socket, void* buffer, std::size_t capacity, std::size_t* size,
                                      InetAddress* from, std::uint16_t* fromPort) {
    for (;;) {
        sockaddr_in sender{};
        int senderSize = sizeof sender;
        const int got = ::recvfrom(ToSocket(socket), static_cast<char*>(buffer), static_cast<int>(capacity), 0,
                                   reinterpret_cast<sockaddr*>(&sender), &senderSize);
        if (got != SOCKET_ERROR) {
            *size = static_cast<std::size_t>(got);
            if (from) *from = sender.sin_family == AF_INET ? ntohl(sender.sin_addr.s_addr) : 0;
            if (fromPort) *fromPort = sender.sin_family == AF_INET ? ntohs(sender.sin_port) : 0;
            return EReceive::Datagram;
        }
        switch (::WSAGetLastError()) {
        case WSAEWOULDBLOCK: return EReceive::None;
        case WSAEMSGSIZE: *size = capacity; return EReceive::Truncated;
        case WSAECONNRESET: continue;
        default: return EReceive::Error;
        }
    }
}

void CWinsockSockets::CloseSocket(SocketHandle socket) { ::closesocket(ToSocket(socket)); }

std::vector<InetAddress> CWinsockSockets::Resolve(const std::string& name) {
    return ResolveIpv4(name);
}

std::vector<CInterfaceAddress> CWinsockSockets::Interfaces() {
    ULONG size = 16 * 1024;
    std::vector<unsigned char> buffer;
    std::vector<CInterfaceAddress> interfaces;
    if (!m_getAdaptersAddresses) return interfaces;
    ULONG status = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < 3 && status == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer.resize(size);
        status = m_getAdaptersAddresses(AF_INET, GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER,
                                        nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    }
    if (status != NO_ERROR) return interfaces;
    for (auto* adapter = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()); adapter; adapter = adapter->Next) {
        if (adapter->OperStatus != IfOperStatusUp || adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK) continue;
        for (auto* unicast = adapter->FirstUnicastAddress; unicast; unicast = unicast->Next) {
            const sockaddr* address = unicast->Address.lpSockaddr;
            const unsigned prefix = unicast->OnLinkPrefixLength;
            if (!address || address->sa_family != AF_INET || prefix > 32) continue;
            const InetAddress host = ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr);
            if ((host >> 24) == 127) continue;
            const InetAddress mask = prefix == 0 ? 0 : 0xFFFFFFFFu << (32 - prefix);
            // A /31 or /32 has no broadcast address of its own.
            interfaces.push_back(CInterfaceAddress{host, mask, prefix != 0 && prefix < 31});
        }
    }
    return interfaces;
}

bool CWinsockSockets::WaitReadable(SocketHandle socket, std::uint32_t timeoutMs) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(ToSocket(socket), &readable);
    timeval timeout{static_cast<long>(timeoutMs / 1000), static_cast<long>((timeoutMs % 1000) * 1000)};
    return ::select(0, &readable, nullptr, nullptr, &timeout) > 0;
}

bool CWinsockSockets::NotifyWhenReadable(SocketHandle socket, std::uintptr_t window, std::uint32_t message) {
    return ::WSAAsyncSelect(ToSocket(socket), reinterpret_cast<HWND>(window), message, FD_READ) == 0;
}
