#include "app/SettingsKeys.h"

namespace {

struct CKeys {
    CSettingsKey main;
    CSettingsKey quickKeys;
    CSettingsKey generalFont;
    CSettingsKey prefixFont;
};

CKeys& Keys() {
    static CKeys keys;
    return keys;
}

}  // namespace

CSettingsKey& GetMainSettingsKey() { return Keys().main; }
CSettingsKey& GetQuickKeysSettingsKey() { return Keys().quickKeys; }
CSettingsKey& GetGeneralFontSettingsKey() { return Keys().generalFont; }
CSettingsKey& GetPrefixFontSettingsKey() { return Keys().prefixFont; }

CProcessSettingsKeys::CProcessSettingsKeys(CRegistryApi& registry) {
    // The main key first: creating it makes the parent of the other three.
    Keys().main.Open(registry);
    Keys().quickKeys.Open(registry, kQuickKeysSubkey);
    Keys().generalFont.Open(registry, kGeneralFontSubkey);
    Keys().prefixFont.Open(registry, kPrefixFontSubkey);
}

CProcessSettingsKeys::~CProcessSettingsKeys() {
    Keys().prefixFont.Close();
    Keys().generalFont.Close();
    Keys().quickKeys.Close();
    Keys().main.Close();
}
