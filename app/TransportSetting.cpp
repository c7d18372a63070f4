#include "app/TransportSetting.h"

#include "app/SettingsKeys.h"
#include "platform/udp/UdpRoute.h"
#include "util/AsciiText.h"

CTransportSetting GetTransportSetting() {
    const CSettingsKey& key = GetMainSettingsKey();
    CTransportSetting setting;
    setting.udp = EqualsNoCaseAscii(key.ReadString(kTransportValue, "mailslot"), "udp");
    const std::int32_t port = key.ReadDword(kUdpPortValue, kDefaultUdpPort);
    setting.port = (port > 0 && port <= 65535) ? static_cast<std::uint16_t>(port) : kDefaultUdpPort;
    return setting;
}
