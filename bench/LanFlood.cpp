// Sends COUNT one-datagram messages "n=I" to TARGET at RATE messages a
// second over the UDP route, as fast as the pacing allows; prints what it
// achieved. For the LAN benchmark only: run it inside a test namespace.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "messaging/LocalComputerName.h"
#include "messaging/Mailslot.h"
#include "messaging/MessagingSession.h"
#include "platform/posix/PosixSockets.h"
#include "platform/posix/PosixSystemApi.h"
#include "messaging/UdpRoute.h"

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: lan_flood TARGET COUNT RATE PORT\n");
        return 2;
    }
    const std::string target = argv[1];
    const long count = std::atol(argv[2]);
    const double rate = std::atof(argv[3]);
    const auto port = static_cast<std::uint16_t>(std::atoi(argv[4]));

    CPosixSystemApi system;
    CPosixSockets sockets;
    CUdpRoute route(system, false, sockets, port);
    route.DisableReceiving();
    CMailslot endpoint(route, kMailslotName, "Flood");
    endpoint.SetSequenceCounter(static_cast<std::int32_t>(std::time(nullptr) % kSequenceModulus));

    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    long sent = 0;
    for (long i = 0; i < count; ++i) {
        const auto due = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(i / rate));
        std::this_thread::sleep_until(due);
        if (endpoint.Send(target.c_str(), "flood", ("n=" + std::to_string(i)).c_str(), true)) ++sent;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("sent %ld of %ld in %.3f s (%.0f a second)\n", sent, count, seconds, sent / seconds);
    return 0;
}
