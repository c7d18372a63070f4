#pragma once
#include "platform/DatagramSocketApi.h"

// UDP on POSIX sockets, for the command-line peer on Linux.
class CPosixSockets final : public CDatagramSocketApi {
public:
    SocketHandle OpenUdpSocket(std::uint16_t port, EOpenSocket* result) override;
    bool SendTo(SocketHandle socket, InetAddress address, std::uint16_t port, const void* data,
                std::size_t size) override;
    EReceive ReceiveFrom(SocketHandle socket, void* buffer, std::size_t capacity, std::size_t* size,
                         InetAddress* from, std::uint16_t* fromPort) override;
    bool WaitReadable(SocketHandle socket, std::uint32_t timeoutMs) override;
    void CloseSocket(SocketHandle socket) override;
    std::vector<InetAddress> Resolve(const std::string& name) override;
    std::vector<CInterfaceAddress> Interfaces() override;
};
