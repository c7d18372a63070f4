#pragma once
// The process-wide settings keys opened over an in-memory registry, as the
// program opens them over the real one.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/SettingsKeys.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/MemorySystem.h"

inline const std::string kMainPath = "Software\\Pellandor\\Mivlet";
inline const std::string kQuickKeysPath = kMainPath + "\\QuickKeys";
inline const std::string kGeneralFontPath = kMainPath + "\\GeneralFont";
inline const std::string kPrefixFontPath = kMainPath + "\\PrefixFont";

class SettingsFixture : public ::testing::Test {
protected:
    void SetUp() override { keys.emplace(registry); }
    void TearDown() override { keys.reset(); }
    // Closes and opens the keys again, for a test that changes what the
    // registry allows before the program starts.
    void Reopen() {
        keys.reset();
        keys.emplace(registry);
    }

    CMemoryRegistry registry;
    CMemorySystem system;
    std::optional<CProcessSettingsKeys> keys;
};
