#include "platform/posix/PosixSockets.h"
#include "platform/posix/PosixSystemApi.h"
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

TEST(PosixSockets, RouteWithoutMailslotsCarriesAMessage) {
    CPosixSockets api;
    CPosixSystemApi system;
    CheckRouteOverLoopback(system, false, api);
}

}  // namespace
