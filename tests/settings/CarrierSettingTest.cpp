#include <gtest/gtest.h>

#include "settings/SettingsStore.h"
#include "settings/CarrierSetting.h"
#include "platform/memory/MemoryRegistry.h"
#include "messaging/UdpCarrier.h"

namespace {

TEST(CarrierSetting, UdpUnlessMailslotsAreAskedFor) {
    const struct {
        const char* transport;  // nullptr: not stored
        std::int64_t port;      // -1: not stored
        bool udp;
        std::uint16_t expectedPort;
    } cases[] = {
        {nullptr, -1, true, kDefaultUdpPort},
        {"mailslot", -1, false, kDefaultUdpPort},
        {"MailSlot", -1, false, kDefaultUdpPort},
        {"udp", -1, true, kDefaultUdpPort},
        {"UDP", 5000, true, 5000},
        {"tcp", 5000, true, 5000},
        {"", -1, true, kDefaultUdpPort},
        {"udp", 0, true, kDefaultUdpPort},
        {"udp", 70000, true, kDefaultUdpPort},
    };
    for (const auto& c : cases) {
        CMemoryRegistry registry;
        CSettingsStore store(registry);
        if (c.transport) ASSERT_TRUE(store.Main().WriteString(kTransportValue, c.transport));
        if (c.port >= 0) ASSERT_TRUE(store.Main().WriteDword(kUdpPortValue, static_cast<std::uint32_t>(c.port)));
        const CCarrierSetting setting = GetCarrierSetting(store);
        EXPECT_EQ(setting.udp, c.udp) << (c.transport ? c.transport : "(none)");
        EXPECT_EQ(setting.port, c.expectedPort) << c.port;
    }
}

TEST(CarrierSetting, ExtraTargetsAreAListOfNamesAndAddresses) {
    const struct {
        const char* stored;
        std::vector<std::string> targets;
    } cases[] = {
        {"", {}},
        {"10.2.0.255", {"10.2.0.255"}},
        {" 10.2.0.255, gateway-host;10.3.0.7\t", {"10.2.0.255", "gateway-host", "10.3.0.7"}},
        {",,; ;", {}},
        {"a,,b", {"a", "b"}},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseExtraTargets(c.stored), c.targets) << c.stored;

    // Bounded: what a registry value holds is not trusted to be small.
    std::string many;
    for (int i = 0; i < 100; ++i) many += "host" + std::to_string(i) + " ";
    EXPECT_EQ(ParseExtraTargets(many).size(), kMaxExtraTargets);
    EXPECT_TRUE(ParseExtraTargets(std::string(kMaxTargetLength + 1, 'x')).empty());
}

TEST(CarrierSetting, WakeOnArrivalUnlessTurnedOff) {
    CMemoryRegistry registry;
    CSettingsStore store(registry);
    EXPECT_TRUE(GetCarrierSetting(store).wakeOnArrival);
    ASSERT_TRUE(store.Main().WriteDword(kUdpWakeOnArrivalValue, 0));
    EXPECT_FALSE(GetCarrierSetting(store).wakeOnArrival);
    ASSERT_TRUE(store.Main().WriteString(kUdpExtraTargetsValue, "10.2.0.255"));
    EXPECT_EQ(GetCarrierSetting(store).extraTargets, std::vector<std::string>{"10.2.0.255"});
}

}  // namespace
