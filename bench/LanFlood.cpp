// Floods one computer over the UDP carrier, for the LAN benchmarks only: run
// it inside a test namespace.
//
//   lan_flood TARGET COUNT RATE PORT
//       COUNT one-datagram messages "n=I t=TIME" from "Flood", as a copy
//       sends them, TIME the wall clock just before the send;
//   lan_flood --mix TARGET COUNT RATE PORT
//       COUNT datagrams written directly, in turn: a ping from a name never
//       used before, a chat line from one of 16 senders, and a continued
//       chunk from one of 1000 senders whose messages never end (so that
//       the receiver's partial-message table fills to its bounds).
//
// Datagrams go out at RATE a second, in bursts when the sender falls
// behind; it prints what it achieved.

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "messaging/CommandText.h"
#include "messaging/Datagram.h"
#include "messaging/LocalComputerName.h"
#include "messaging/Mailslot.h"
#include "messaging/MessagingSession.h"
#include "messaging/UdpCarrier.h"
#include "platform/posix/PosixSockets.h"
#include "platform/posix/PosixClock.h"

namespace {

using Clock = std::chrono::steady_clock;

// Waits until datagram `i` is due.
void Pace(Clock::time_point start, long i, double rate) {
    std::this_thread::sleep_until(start +
                                  std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(i / rate)));
}

// Seconds since 1970 with microseconds, for latencies measured against the
// receiver's clock (the test LAN's hosts share this machine's).
std::string WallClock() {
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(
                        std::chrono::system_clock::now().time_since_epoch())
                        .count();
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%06lld", static_cast<long long>(us / 1000000),
                  static_cast<long long>(us % 1000000));
    return text;
}

int FloodMessages(const std::string& target, long count, double rate, std::uint16_t port) {
    CPosixClock clock;
    CPosixSockets sockets;
    CUdpCarrier::COptions options;
    options.port = port;
    CUdpCarrier carrier(sockets, clock, options);
    carrier.DisableReceiving();
    CMailslot endpoint(carrier, clock, "Flood");
    endpoint.SetSequenceCounter(static_cast<std::int32_t>(std::time(nullptr) % kSequenceModulus));

    const auto start = Clock::now();
    long sent = 0;
    for (long i = 0; i < count; ++i) {
        Pace(start, i, rate);
        if (endpoint.Send(target.c_str(), "flood", ("n=" + std::to_string(i) + " t=" + WallClock()).c_str(), true))
            ++sent;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("sent %ld of %ld in %.3f s (%.0f a second)\n", sent, count, seconds, sent / seconds);
    return 0;
}

// The i-th datagram of the mix, formatted into `buffer`.
std::size_t MixDatagram(long i, std::array<char, kMaxDatagramSize>& buffer) {
    static const std::string filler(kMaxDatagramSize, 'f');
    buffer.fill('\0');
    const auto sequence = static_cast<std::int32_t>(i % kSequenceModulus);
    switch (i % 3) {
        case 0: {
            const std::string name = "Forged" + std::to_string(i / 3);
            return FormatDatagram(buffer.data(), name, true, sequence,
                                  std::string(kCommandMarker) + std::string(kUserTextSeparator) +
                                      std::string(kPingText) + "x",
                                  false);
        }
        case 1: {
            const std::string name = "Chat" + std::to_string((i / 3) % 16);
            return FormatDatagram(buffer.data(), name, false, sequence,
                                  "flood" + std::string(kUserTextSeparator) + "line " + std::to_string(i / 3), false);
        }
        default: {
            const std::string name = "Endless" + std::to_string((i / 3) % 1000);
            return FormatDatagram(buffer.data(), name, false, sequence,
                                  std::string_view(filler).substr(0, ChunkBudget(name.size(), false) - 1), true);
        }
    }
}

int FloodMix(const std::string& target, long count, double rate, std::uint16_t port) {
    CPosixSockets sockets;
    const std::vector<InetAddress> addresses = sockets.Resolve(target);
    if (addresses.empty()) {
        std::fprintf(stderr, "lan_flood: %s does not resolve\n", target.c_str());
        return 1;
    }
    EOpenSocket result = EOpenSocket::Failed;
    CSocket socket(sockets, sockets.OpenUdpSocket(0, &result));
    if (!socket.IsValid()) {
        std::fprintf(stderr, "lan_flood: no socket\n");
        return 1;
    }
    std::array<char, kMaxDatagramSize> buffer{};
    const auto start = Clock::now();
    long sent = 0;
    for (long i = 0; i < count; ++i) {
        Pace(start, i, rate);
        const std::size_t size = MixDatagram(i, buffer);
        if (sockets.SendTo(socket.Get(), addresses.front(), port, buffer.data(), size)) ++sent;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("sent %ld of %ld datagrams in %.3f s (%.0f a second)\n", sent, count, seconds, sent / seconds);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const bool mix = argc > 1 && std::strcmp(argv[1], "--mix") == 0;
    if (argc != (mix ? 6 : 5)) {
        std::fprintf(stderr, "usage: lan_flood [--mix] TARGET COUNT RATE PORT\n");
        return 2;
    }
    char** args = argv + (mix ? 2 : 1);
    const std::string target = args[0];
    const long count = std::atol(args[1]);
    const double rate = std::atof(args[2]);
    const auto port = static_cast<std::uint16_t>(std::atoi(args[3]));
    return mix ? FloodMix(target, count, rate, port) : FloodMessages(target, count, rate, port);
}
