#pragma once
// Checks that every real socket backend must pass. They use the loopback
// address only: nothing here may reach a network interface.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "messaging/Mailslot.h"
#include "platform/DatagramSocketApi.h"
#include "messaging/UdpCarrier.h"
#include "platform/Clock.h"

// Binds a free port of the test's choosing and keeps the socket.
inline std::uint16_t BindFreePort(CDatagramSocketApi& api, CSocket& socket) {
    for (std::uint16_t port = 47100; port < 47400; port += 7) {
        EOpenSocket result = EOpenSocket::Failed;
        socket = CSocket(api, api.OpenUdpSocket(port, &result));
        if (result == EOpenSocket::Opened) return port;
    }
    ADD_FAILURE() << "no free port";
    return 0;
}

inline void CheckSecondBindOfAPortFails(CDatagramSocketApi& api) {
    CSocket first;
    const std::uint16_t port = BindFreePort(api, first);
    EOpenSocket result = EOpenSocket::Opened;
    CSocket second(api, api.OpenUdpSocket(port, &result));
    EXPECT_FALSE(second.IsValid());
    EXPECT_EQ(result, EOpenSocket::PortInUse);
    first.Close();
    CSocket third(api, api.OpenUdpSocket(port, &result));
    EXPECT_TRUE(third.IsValid());
}

inline void CheckLoopbackDatagrams(CDatagramSocketApi& api) {
    CSocket receiver;
    const std::uint16_t port = BindFreePort(api, receiver);
    EOpenSocket result = EOpenSocket::Failed;
    CSocket sender(api, api.OpenUdpSocket(0, &result));
    ASSERT_TRUE(sender.IsValid());

    char buffer[64];
    std::size_t size = 0;
    EXPECT_EQ(api.ReceiveFrom(receiver.Get(), buffer, sizeof buffer, &size, nullptr, nullptr), EReceive::None);  // never waits
    EXPECT_FALSE(api.WaitReadable(receiver.Get(), 20)) << "nothing came within the time";

    const std::string small("Lab2\0" "00001\0" "Kel>\tHi", 17);
    const std::string large(200, 'L');
    ASSERT_TRUE(api.SendTo(sender.Get(), kLoopbackAddress, port, small.data(), small.size()));
    ASSERT_TRUE(api.SendTo(sender.Get(), kLoopbackAddress, port, large.data(), large.size()));
    ASSERT_TRUE(api.SendTo(sender.Get(), kLoopbackAddress, port, small.data(), small.size()));

    // Delivery over loopback is quick but not instant; waiting ends when
    // it is there.
    EXPECT_TRUE(api.WaitReadable(receiver.Get(), 5000));
    InetAddress from = 0;
    std::uint16_t fromPort = 0;
    auto receive = [&](EReceive expected) {
        EReceive got = EReceive::None;
        for (int i = 0; i < 200 && got == EReceive::None; ++i)
            got = api.ReceiveFrom(receiver.Get(), buffer, sizeof buffer, &size, &from, &fromPort);
        EXPECT_EQ(got, expected);
    };
    receive(EReceive::Datagram);
    EXPECT_EQ(std::string(buffer, size), small);
    EXPECT_EQ(from, kLoopbackAddress) << "the sender's address comes with the datagram";
    EXPECT_NE(fromPort, 0) << "and the port the system gave the unbound sender";
    EXPECT_NE(fromPort, port);
    receive(EReceive::Truncated);  // larger than the buffer: reported, not passed off as whole
    receive(EReceive::Datagram);
    EXPECT_EQ(std::string(buffer, size), small);
}

inline void CheckNames(CDatagramSocketApi& api) {
    const std::vector<InetAddress> local = api.Resolve("localhost");
    ASSERT_FALSE(local.empty());
    EXPECT_EQ(local.front() >> 24, 127u);
    EXPECT_TRUE(api.Resolve("no-such-host.invalid").empty());
    for (const CInterfaceAddress& own : api.Interfaces()) {
        EXPECT_NE(own.address >> 24, 127u);
        EXPECT_EQ(own.Network() & ~own.mask, 0u);
    }
}

// A whole message through the carrier and the endpoint, sent to
// "localhost", which resolves to the loopback address and so goes by
// unicast; once read by the caller, once by the carrier's reader thread.
inline void CheckCarrierOverLoopback(CClock& clock, CDatagramCarrier* mailslots, CDatagramCarrier* otherMailslots,
                                     CDatagramSocketApi& api) {
    for (const bool readerThread : {false, true}) {
        CSocket probe;
        CUdpCarrier::COptions options;
        options.port = BindFreePort(api, probe);
        options.readerThread = readerThread;
        probe.Close();
        CUdpCarrier carrier(api, clock, options, mailslots);
        CMailslot endpoint(carrier, clock, "Lab2");
        ASSERT_TRUE(endpoint.IsOpen());

        CUdpCarrier second(api, clock, options, otherMailslots);
        CMailslot secondEndpoint(second, clock, "Lab2");
        EXPECT_FALSE(secondEndpoint.IsOpen());
        EXPECT_EQ(secondEndpoint.OpenResult(), EOpenResult::PortInUse);

        const std::string text(1000, 'r');
        ASSERT_TRUE(endpoint.Send("localhost", "Kel", text.c_str(), true));
        std::vector<CMessageRecord> records;
        for (int i = 0; i < 100 && records.empty(); ++i) {
            endpoint.WaitForMessage(10);
            endpoint.Receive(records);
        }
        ASSERT_EQ(records.size(), 1u) << (readerThread ? "reader thread" : "caller reads");
        EXPECT_EQ(records[0].computer, "Lab2");
        EXPECT_EQ(records[0].text, text);
    }
}
