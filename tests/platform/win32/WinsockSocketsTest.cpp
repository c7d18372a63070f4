#include "platform/win32/Win32MailslotApi.h"
#include "platform/win32/WinsockSockets.h"
#include "tests/platform/SocketBackendChecks.h"

namespace {

TEST(WinsockSockets, SecondBindOfAPortFails) {
    CWinsockSockets api;
    ASSERT_TRUE(api.IsStarted());
    CheckSecondBindOfAPortFails(api);
}

TEST(WinsockSockets, LoopbackDatagramsAndTruncation) {
    CWinsockSockets api;
    CheckLoopbackDatagrams(api);
}

TEST(WinsockSockets, NamesAndBroadcastAddresses) {
    CWinsockSockets api;
    CheckNames(api);
}

TEST(WinsockSockets, RouteBesideTheLocalMailslotCarriesAMessage) {
    CWinsockSockets api;
    CWin32MailslotApi system;
    CheckRouteOverLoopback(system, true, api);
}

}  // namespace
