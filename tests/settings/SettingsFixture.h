#pragma once
// The settings store opened over an in-memory registry, as the program
// opens it over the real one.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "settings/SettingsStore.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/MemorySystem.h"

inline const std::string kMainPath = "Software\\Pellandor\\Mivlet";
inline const std::string kQuickKeysPath = kMainPath + "\\QuickKeys";
inline const std::string kGeneralFontPath = kMainPath + "\\GeneralFont";
inline const std::string kPrefixFontPath = kMainPath + "\\PrefixFont";

class SettingsFixture : public ::testing::Test {
protected:
    void SetUp() override { store.emplace(registry); }
    void TearDown() override { store.reset(); }
    CSettingsStore& Store() { return *store; }
    // Closes and opens the store again, for a test that changes what the
    // registry allows before the program starts.
    void Reopen() {
        store.reset();
        store.emplace(registry);
    }

    CMemoryRegistry registry;
    CMemorySystem system;
    std::optional<CSettingsStore> store;
};
