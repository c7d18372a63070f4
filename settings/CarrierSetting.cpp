#include "settings/CarrierSetting.h"

#include <algorithm>

#include "messaging/UdpCarrier.h"
#include "settings/SettingsStore.h"
#include "util/AsciiText.h"

std::vector<std::string> ParseExtraTargets(std::string_view list) {
    std::vector<std::string> targets;
    std::size_t at = 0;
    while (at < list.size() && targets.size() < kMaxExtraTargets) {
        const std::size_t end = std::min(list.find_first_of(" \t\r\n,;", at), list.size());
        const std::string_view entry = list.substr(at, end - at);
        if (!entry.empty() && entry.size() <= kMaxTargetLength) targets.emplace_back(entry);
        at = end + 1;
    }
    return targets;
}

CCarrierSetting GetCarrierSetting(const CSettingsStore& store) {
    const CSettingsKey& key = store.Main();
    CCarrierSetting setting;
    setting.udp = !EqualsNoCaseAscii(key.ReadString(kTransportValue, "udp"), "mailslot");
    const std::int32_t port = key.ReadDword(kUdpPortValue, kDefaultUdpPort);
    setting.port = (port > 0 && port <= 65535) ? static_cast<std::uint16_t>(port) : kDefaultUdpPort;
    setting.extraTargets = ParseExtraTargets(key.ReadString(kUdpExtraTargetsValue, ""));
    setting.wakeOnArrival = key.ReadDword(kUdpWakeOnArrivalValue, 1) != 0;
    return setting;
}
