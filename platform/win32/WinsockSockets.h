#pragma once
#include "platform/DatagramSocketApi.h"

// UDP on Winsock. Winsock is started for as long as the object lives.
class CWinsockSockets final : public CDatagramSocketApi {
public:
    CWinsockSockets();
    ~CWinsockSockets() override;
    CWinsockSockets(const CWinsockSockets&) = delete;
    CWinsockSockets& operator=(const CWinsockSockets&) = delete;

    bool IsStarted() const { return m_started; }

    SocketHandle OpenUdpSocket(std::uint16_t port, EOpenSocket* result) override;
    bool SendTo(SocketHandle socket, InetAddress address, std::uint16_t port, const void* data,
                std::size_t size) override;
    EReceive ReceiveFrom(SocketHandle socket, void* buffer, std::size_t capacity, std::size_t* size,
                         InetAddress* from, std::uint16_t* fromPort) override;
    bool WaitReadable(SocketHandle socket, std::uint32_t timeoutMs) override;
    bool NotifyWhenReadable(SocketHandle socket, std::uintptr_t window, std::uint32_t message) override;
    void CloseSocket(SocketHandle socket) override;
    std::vector<InetAddress> Resolve(const std::string& name) override;
    std::vector<CInterfaceAddress> Interfaces() override;

private:
    using GetAdaptersAddressesFunction = unsigned long(__stdcall*)(unsigned long, unsigned long, void*, void*,
                                                                    unsigned long*);

    bool m_started = false;
    // The IP helper from System32, loaded here rather than imported: a DLL
    // of its name beside the program is never used.
    void* m_ipHelper = nullptr;
    GetAdaptersAddressesFunction m_getAdaptersAddresses = nullptr;
};
