#include "platform/posix/PosixSockets.h"
#include "platform/posix/PosixClock.h"
#include "tests/platform/SocketBackendChecks.h"

namespace {

TEST(PosixSockets, SecondBindOfAPortFails) {
    CPosixSockets api;
    CheckSecondBindOfAPortFails(api);
}

TEST(PosixSockets, LoopbackDatagramsAndTruncation) {
    CPosixSockets api;
    CheckLoopbackDatagrams(api);
}

TEST(PosixSockets, NamesAndBroadcastAddresses) {
    CPosixSockets api;
    CheckNames(api);
}

TEST(PosixSockets, CarrierWithoutMailslotsCarriesAMessage) {
    CPosixSockets api;
    CPosixClock clock;
    CheckCarrierOverLoopback(clock, nullptr, nullptr, api);
}

}  // namespace
