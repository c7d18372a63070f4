#include "settings/SettingsStore.h"

CSettingsStore::CSettingsStore(CRegistryApi& registry) {
    // The main key first: creating it makes the parent of the other three.
    m_main.Open(registry);
    m_quickKeys.Open(registry, kQuickKeysSubkey);
    m_generalFont.Open(registry, kGeneralFontSubkey);
    m_prefixFont.Open(registry, kPrefixFontSubkey);
}

CSettingsStore::~CSettingsStore() {
    m_prefixFont.Close();
    m_generalFont.Close();
    m_quickKeys.Close();
    m_main.Close();
}
