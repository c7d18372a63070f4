#include "settings/TransportSetting.h"

#include "settings/SettingsStore.h"
#include "messaging/UdpRoute.h"
#include "util/AsciiText.h"

CTransportSetting GetTransportSetting(const CSettingsStore& store) {
    const CSettingsKey& key = store.Main();
    CTransportSetting setting;
    setting.udp = EqualsNoCaseAscii(key.ReadString(kTransportValue, "mailslot"), "udp");
    const std::int32_t port = key.ReadDword(kUdpPortValue, kDefaultUdpPort);
    setting.port = (port > 0 && port <= 65535) ? static_cast<std::uint16_t>(port) : kDefaultUdpPort;
    return setting;
}
