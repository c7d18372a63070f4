// Policies over the preferences: the computer's policy, then the user's,
// then the user's and the computer's preferences, for every setting, read
// at the moment of use through the in-memory registry.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "settings/ChatTextBackground.h"
#include "settings/FontSettings.h"
#include "settings/IntSettings.h"
#include "settings/PrefixSetting.h"
#include "settings/QuickKeySettings.h"
#include "settings/StoredNumber.h"
#include "settings/CarrierSetting.h"
#include "settings/UserName.h"
#include "SettingsFixture.h"

namespace {

constexpr ERegistryRoot kMachine = ERegistryRoot::LocalMachine;
constexpr ERegistryRoot kUser = ERegistryRoot::CurrentUser;
const std::string kPolicyMain = "Software\\Policies\\Pellandor\\Mivlet";

// The four layers from the top, as the store reads them.
struct CLayer {
    const char* what;
    ERegistryRoot root;
    const std::string& path;
};
const CLayer kLayers[] = {
    {"computer's policy", kMachine, kPolicyMain},
    {"user's policy", kUser, kPolicyMain},
    {"user's preference", kUser, kMainPath},
    {"computer's preference", kMachine, kMainPath},
};

// Every setting of the store, its value name and key, what each layer
// stores and how a reader sees it.
struct CSettingCase {
    const char* name;
    const char* subkey;  // below the main key, or empty
    bool text;           // REG_SZ, else REG_DWORD
    const char* stored[4];  // per layer, top first (numbers as decimal text)
    std::function<std::string(const CSettingsStore&, CMemorySystem&)> read;
    std::function<bool(const CSettingsStore&)> setByPolicy;
};

std::string Number(std::int32_t value) { return std::to_string(value); }

std::vector<CSettingCase> AllSettings() {
    std::vector<CSettingCase> cases;
    for (const CIntSetting* setting : {&kPromptOnAllUsers, &kDefaultToLastSender, &kLogMessages, &kPlaySnd,
                                       &kOnNewMessage, &kDlgX, &kDlgY, &kDlgWidth, &kDlgHeight, &kDlgMaximized}) {
        cases.push_back({setting->name.data(), "", false, {"11", "12", "13", "14"},
                         [setting](const CSettingsStore& s, CMemorySystem&) { return Number(GetIntSetting(s, *setting)); },
                         [setting](const CSettingsStore& s) { return IntSettingSetByPolicy(s, *setting); }});
    }
    cases.push_back({kUsernameValue, "", true, {"Policy Kel", "User Policy", "Kel", "Admin"},
                     [](const CSettingsStore& s, CMemorySystem& system) { return GetCurrentUserName(s, system); },
                     [](const CSettingsStore& s) { return UserNameSetByPolicy(s); }});
    cases.push_back({kPrefixValue, "", true, {"P1> ", "P2> ", "P3> ", "P4> "},
                     [](const CSettingsStore& s, CMemorySystem&) { return GetPrefixSetting(s); },
                     [](const CSettingsStore& s) { return PrefixSettingSetByPolicy(s); }});
    cases.push_back({kChatTextBackgroundValue, "", true, {"255", "65280", "16711680", "Dark"},
                     [](const CSettingsStore& s, CMemorySystem& system) {
                         return Number(static_cast<std::int32_t>(GetChatTextBackground(s, system)));
                     },
                     [](const CSettingsStore& s) { return ChatTextBackgroundSetByPolicy(s); }});
    cases.push_back({"F7", kQuickKeysSubkey, true, {"policy", "user policy", "mine", "computer's"},
                     [](const CSettingsStore& s, CMemorySystem&) { return GetQuickKeyText(s, 7); },
                     [](const CSettingsStore& s) { return QuickKeySetByPolicy(s, 7); }});
    cases.push_back({kTransportValue, "", true, {"mailslot", "udp", "mailslot", "udp"},
                     [](const CSettingsStore& s, CMemorySystem&) {
                         return std::string(GetCarrierSetting(s).udp ? "udp" : "mailslot");
                     },
                     [](const CSettingsStore& s) { return s.Main().TextSetByPolicy(kTransportValue); }});
    cases.push_back({kUdpPortValue, "", false, {"5001", "5002", "5003", "5004"},
                     [](const CSettingsStore& s, CMemorySystem&) { return Number(GetCarrierSetting(s).port); },
                     [](const CSettingsStore& s) { return s.Main().NumberSetByPolicy(kUdpPortValue); }});
    cases.push_back({kUdpExtraTargetsValue, "", true, {"10.1.0.255", "10.2.0.255", "10.3.0.255", "10.4.0.255"},
                     [](const CSettingsStore& s, CMemorySystem&) {
                         const auto targets = GetCarrierSetting(s).extraTargets;
                         return targets.empty() ? std::string() : targets.front();
                     },
                     [](const CSettingsStore& s) { return s.Main().TextSetByPolicy(kUdpExtraTargetsValue); }});
    cases.push_back({kUdpWakeOnArrivalValue, "", false, {"0", "1", "0", "1"},
                     [](const CSettingsStore& s, CMemorySystem&) { return Number(GetCarrierSetting(s).wakeOnArrival); },
                     [](const CSettingsStore& s) { return s.Main().NumberSetByPolicy(kUdpWakeOnArrivalValue); }});
    return cases;
}

void Put(CMemoryRegistry& registry, const CLayer& layer, const CSettingCase& c, const char* value) {
    std::string path = layer.path;
    if (*c.subkey) path += std::string("\\") + c.subkey;
    if (c.text)
        registry.PutString(layer.root, path, c.name, value);
    else
        registry.PutDword(layer.root, path, c.name, static_cast<std::uint32_t>(std::stoul(value)));
}

// How the reader of each case shows a stored value: a colour word or number,
// the carrier, or the value itself.
std::string Expected(const CSettingCase& c, int layer, CMemorySystem& system) {
    const std::string stored = c.stored[layer];
    if (std::string(c.name) == kChatTextBackgroundValue && stored == "Dark")
        return Number(static_cast<std::int32_t>(system.QuerySystemColor(ESystemColor::ButtonFace)));
    return stored;
}

TEST(SettingsPolicy, EveryLayerHidesTheOnesBeneathForEverySetting) {
    for (const CSettingCase& c : AllSettings()) {
        // Layers filled from the bottom: each one put in hides the others.
        CMemoryRegistry registry;
        CMemorySystem system;
        CSettingsStore store(registry);
        for (int layer = 3; layer >= 0; --layer) {
            Put(registry, kLayers[layer], c, c.stored[layer]);
            EXPECT_EQ(c.read(store, system), Expected(c, layer, system)) << c.name << " from the " << kLayers[layer].what;
            EXPECT_EQ(c.setByPolicy(store), layer < 2) << c.name << " from the " << kLayers[layer].what;
        }
        // A policy taken away lets the preferences show again.
        registry.RemoveKey(kMachine, kPolicyMain + (*c.subkey ? std::string("\\") + c.subkey : ""));
        EXPECT_EQ(c.read(store, system), Expected(c, 1, system)) << c.name;
        registry.RemoveKey(kUser, kPolicyMain + (*c.subkey ? std::string("\\") + c.subkey : ""));
        EXPECT_EQ(c.read(store, system), Expected(c, 2, system)) << c.name;
        EXPECT_FALSE(c.setByPolicy(store)) << c.name;
    }
}

TEST(SettingsPolicy, WritesGoBeneathThePolicyAndShowWhenItGoes) {
    for (bool standardUser : {false, true}) {
        CMemoryRegistry registry;
        registry.PutDword(kMachine, kPolicyMain, kUdpPortValue, 46464);
        registry.SetRootReadOnly(kMachine, standardUser);
        CSettingsStore store(registry);
        // A user's own port would fall outside the firewall rule.
        ASSERT_TRUE(store.Main().WriteDword(kUdpPortValue, 5000)) << standardUser;
        EXPECT_EQ(GetCarrierSetting(store).port, 46464) << standardUser;
        EXPECT_FALSE(registry.FindValue(kMachine, kPolicyMain, kUdpPortValue)->bytes.empty());
        EXPECT_TRUE(registry.FindValue(standardUser ? kUser : kMachine, kMainPath, kUdpPortValue)) << standardUser;
        registry.RemoveKey(kMachine, kPolicyMain);
        EXPECT_EQ(GetCarrierSetting(store).port, 5000) << standardUser;
    }
}

TEST(SettingsPolicy, FontOfAPolicyIsReadWholeFromIt) {
    CMemoryRegistry registry;
    CSettingsStore store(registry);
    CCharFormat mine;
    mine.dwMask = kCfmColor | kCfmFace;
    mine.crTextColor = 0x0000FF;
    std::strcpy(mine.szFaceName, "Arial");
    ASSERT_TRUE(WriteFontSetting(store.PrefixFont(), mine));
    EXPECT_FALSE(FontSettingSetByPolicy(store.PrefixFont()));

    const std::string policyFont = kPolicyMain + "\\PrefixFont";
    registry.PutDword(kUser, policyFont, "Mask", kCfmEffects);
    registry.PutDword(kUser, policyFont, "Effects", 2);
    CCharFormat read;
    ReadFontSetting(store.PrefixFont(), read, nullptr, true);
    EXPECT_TRUE(FontSettingSetByPolicy(store.PrefixFont()));
    EXPECT_EQ(read.dwMask, kCfmEffects) << "nothing borrowed from the preference beneath";
    EXPECT_EQ(read.dwEffects, 2u);
    EXPECT_EQ(read.szFaceName[0], '\0');
}

TEST(SettingsPolicy, KeyMadeOrMadeAgainAfterStartIsSeenByTheNextRead) {
    CMemoryRegistry registry;
    registry.SetRootReadOnly(kMachine, true);  // a standard user: only HKCU is theirs
    CSettingsStore store(registry);
    EXPECT_EQ(GetIntSetting(store, kOnNewMessage), 0);

    // A deployment or a log-on script makes the user's key after start.
    registry.PutDword(kUser, kMainPath, "OnNewMessage", 1);
    EXPECT_EQ(GetIntSetting(store, kOnNewMessage), 1);
    // Group Policy's "Replace" deletes the key and makes it again.
    registry.RemoveKey(kUser, kMainPath);
    EXPECT_EQ(GetIntSetting(store, kOnNewMessage), 0);
    registry.PutDword(kUser, kMainPath, "OnNewMessage", 2);
    EXPECT_EQ(GetIntSetting(store, kOnNewMessage), 2);
    ASSERT_TRUE(SetIntSetting(store, kOnNewMessage, 1)) << "a write reaches the key made again";
    EXPECT_EQ(registry.FindValue(kUser, kMainPath, "OnNewMessage")->bytes, std::string("\1\0\0\0", 4));

    // A policy that arrives while the program runs.
    registry.PutDword(kMachine, kPolicyMain, "OnNewMessage", 2);
    EXPECT_EQ(GetIntSetting(store, kOnNewMessage), 2);
    EXPECT_EQ(registry.OpenKeys(), 0u) << "no key is held between uses";
}

TEST(StoredNumber, TextReadsAsTheNumberItSpells) {
    const struct {
        const char* text;
        std::optional<std::int32_t> number;
    } cases[] = {
        {"0", 0},
        {"1", 1},
        {" 42 ", 42},
        {"-1", -1},
        {"+7", 7},
        {"0x10", 16},
        {"0XfF", 255},
        {"0xFFFFFFFF", -1},
        {"4294967295", -1},
        {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"2147483648", std::numeric_limits<std::int32_t>::min()},
        {"4294967296", std::nullopt},
        {"0x100000000", std::nullopt},
        {"-2147483649", std::nullopt},
        {"", std::nullopt},
        {"yes", std::nullopt},
        {"1 2", std::nullopt},
        {"12abc", std::nullopt},
        {"0x", std::nullopt},
        {"--1", std::nullopt},
        {"0x-1", std::nullopt},
        {"-", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseStoredNumber(c.text), c.number) << '"' << c.text << '"';
}

TEST(StoredNumber, NumberSettingStoredAsTextReadsAsMeant) {
    CMemoryRegistry registry;
    CSettingsStore store(registry);
    // reg add ... /v LogMessages /d 0: a REG_SZ "0", not 48.
    registry.PutString(kMainPath, "LogMessages", "0");
    registry.PutValue(kMainPath, "dlg-width", kRegExpandSz, std::string("0x280", 6));
    registry.PutString(kMainPath, "PromptOnAllUsers", "no");
    EXPECT_EQ(GetIntSetting(store, kLogMessages), 0);
    EXPECT_EQ(GetIntSetting(store, kDlgWidth), 640);
    EXPECT_EQ(GetIntSetting(store, kPromptOnAllUsers), 1) << "not a number: the default";

    // A policy stored as text that is no number does not apply.
    registry.PutString(kMachine, kPolicyMain, "UdpPort", "port five");
    registry.PutString(kMainPath, "UdpPort", "5000");
    EXPECT_EQ(GetCarrierSetting(store).port, 5000);
    EXPECT_FALSE(store.Main().NumberSetByPolicy("UdpPort"));
}

}  // namespace
