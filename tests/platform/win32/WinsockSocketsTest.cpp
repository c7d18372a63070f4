#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32MailslotCarrier.h"
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

TEST(WinsockSockets, CarrierBesideTheLocalMailslotCarriesAMessage) {
    CWinsockSockets api;
    CWin32Clock clock;
    // Mailslots of their own, so that the second carrier meets the port in
    // use and not the name taken.
    CWin32MailslotCarrier first("MivletCarrierTest");
    CWin32MailslotCarrier second("MivletCarrierTestOther");
    CheckCarrierOverLoopback(clock, &first, &second, api);
}

}  // namespace
