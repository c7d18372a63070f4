#pragma once
// The seam for UDP: sockets, name resolution and the broadcast addresses of
// this computer's interfaces. Backends: POSIX (Linux), Winsock (Windows) and
// an in-memory one for tests.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include <vector>

#include "util/ApiResource.h"

#include "platform/InetAddress.h"

using SocketHandle = std::intptr_t;
inline constexpr SocketHandle kInvalidSocket = -1;

enum class EReceive {
    None,       // nothing waiting
    Datagram,   // one datagram read whole
    Truncated,  // one datagram read, but it was larger than the buffer: drop it
    Error,
};

enum class EOpenSocket { Opened, PortInUse, Failed };

// What a bound socket asks the system to hold for it until it is read:
// room for bursts between two reads (a long message is some 60 datagrams,
// a ping a second comes from every computer), and little enough that what
// waits behind a flood is read within a second. A datagram that finds the
// buffer full is dropped by the system.
inline constexpr int kUdpReceiveBufferBytes = 256 * 1024;

class CDatagramSocketApi {
public:
    virtual ~CDatagramSocketApi() = default;

    // A non-blocking UDP socket that may send broadcasts. With a port it is
    // bound to that port on every IPv4 address, exclusively: a second bind of
    // the same port fails with PortInUse. Port 0 gives a socket for sending.
    virtual SocketHandle OpenUdpSocket(std::uint16_t port, EOpenSocket* result) = 0;
    virtual bool SendTo(SocketHandle socket, InetAddress address, std::uint16_t port, const void* data,
                        std::size_t size) = 0;
    // Reads the next waiting datagram without waiting; `size` is the number
    // of bytes placed in the buffer, `from` and `fromPort` (either may be
    // null) the sender's address and port.
    virtual EReceive ReceiveFrom(SocketHandle socket, void* buffer, std::size_t capacity, std::size_t* size,
                                 InetAddress* from, std::uint16_t* fromPort) = 0;
    // Waits at most `timeoutMs` for a datagram to arrive on `socket`; true
    // when one is waiting.
    virtual bool WaitReadable(SocketHandle socket, std::uint32_t timeoutMs) = 0;
    // Asks the system to post `message` to the window `window` whenever a
    // datagram arrives (WSAAsyncSelect with FD_READ); false where the system
    // has no such thing, and the caller then polls.
    virtual bool NotifyWhenReadable(SocketHandle, std::uintptr_t /*window*/, std::uint32_t /*message*/) {
        return false;
    }
    virtual void CloseSocket(SocketHandle socket) = 0;

    // The IPv4 addresses of a computer name; empty when it does not resolve.
    virtual std::vector<InetAddress> Resolve(const std::string& name) = 0;
    // The IPv4 addresses of every interface that is up and not a loopback.
    virtual std::vector<CInterfaceAddress> Interfaces() = 0;
};

// Owns one socket of a CDatagramSocketApi.
using CSocket = CApiResource<CDatagramSocketApi, SocketHandle, kInvalidSocket, &CDatagramSocketApi::CloseSocket>;
