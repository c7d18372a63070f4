#include <gtest/gtest.h>

#include "settings/LegacySettings.h"

namespace {

TEST(LegacyIni, NewMessageReactionsAreRenumbered) {
    const struct {
        std::int32_t legacy, stored;
    } cases[] = {{0, 2}, {2, 0}, {1, 1}, {3, 3}, {-1, -1}};
    for (const auto& c : cases) EXPECT_EQ(ConvertLegacyOnNewMessage(c.legacy), c.stored) << c.legacy;
}

}  // namespace
