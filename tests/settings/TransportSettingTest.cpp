#include <gtest/gtest.h>

#include "settings/SettingsStore.h"
#include "settings/TransportSetting.h"
#include "platform/memory/MemoryRegistry.h"
#include "messaging/UdpRoute.h"

namespace {

TEST(TransportSetting, MailslotUnlessUdpIsAskedFor) {
    const struct {
        const char* transport;  // nullptr: not stored
        std::int64_t port;      // -1: not stored
        bool udp;
        std::uint16_t expectedPort;
    } cases[] = {
        {nullptr, -1, false, kDefaultUdpPort},
        {"mailslot", -1, false, kDefaultUdpPort},
        {"udp", -1, true, kDefaultUdpPort},
        {"UDP", 5000, true, 5000},
        {"tcp", 5000, false, 5000},
        {"", -1, false, kDefaultUdpPort},
        {"udp", 0, true, kDefaultUdpPort},
        {"udp", 70000, true, kDefaultUdpPort},
    };
    for (const auto& c : cases) {
        CMemoryRegistry registry;
        CSettingsStore store(registry);
        if (c.transport) ASSERT_TRUE(store.Main().WriteString(kTransportValue, c.transport));
        if (c.port >= 0) ASSERT_TRUE(store.Main().WriteDword(kUdpPortValue, static_cast<std::uint32_t>(c.port)));
        const CTransportSetting setting = GetTransportSetting(store);
        EXPECT_EQ(setting.udp, c.udp) << (c.transport ? c.transport : "(none)");
        EXPECT_EQ(setting.port, c.expectedPort) << c.port;
    }
}

}  // namespace
