#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/ChatTextBackground.h"
#include "settings/FontSettings.h"
#include "settings/IntSettings.h"
#include "settings/PrefixSetting.h"
#include "settings/QuickKeySettings.h"
#include "settings/SettingsKey.h"
#include "settings/UserName.h"
#include "SettingsFixture.h"

namespace {

std::string Bytes(std::initializer_list<unsigned char> bytes) { return std::string(bytes.begin(), bytes.end()); }

// Every integer setting with the name and default that stored settings of
// earlier versions rely on.
struct CIntCase {
    const CIntSetting& setting;
    const char* name;
    std::int32_t defaultValue;
};
const CIntCase kIntSettings[] = {
    {kPromptOnAllUsers, "PromptOnAllUsers", 1},
    {kDefaultToLastSender, "DefaultToLastSender", 1},
    {kLogMessages, "LogMessages", 0},
    {kPlaySnd, "PlaySnd", 0},
    {kOnNewMessage, "OnNewMessage", 0},
    {kDlgX, "dlg-x", -1},
    {kDlgY, "dlg-y", -1},
    {kDlgWidth, "dlg-width", 468},
    {kDlgHeight, "dlg-height", 413},
    {kDlgMaximized, "dlg-maximized", 0},
};

using SettingsStore = SettingsFixture;

TEST_F(SettingsStore, EmptyRegistryGivesEveryDefault) {
    for (const auto& c : kIntSettings) {
        EXPECT_EQ(c.setting.name, c.name);
        EXPECT_EQ(GetIntSetting(Store(), c.setting), c.defaultValue) << c.name;
    }
    EXPECT_EQ(GetPrefixSetting(Store()), "u[ (to all users)] H:nn> ");
    EXPECT_EQ(GetChatTextBackground(Store(), system), system.QuerySystemColor(ESystemColor::Window));
    for (int key = kFirstQuickKey; key <= kLastQuickKey; ++key) EXPECT_EQ(GetQuickKeyText(Store(), key), "") << key;

    CCharFormat message, prefix;
    ReadFontSetting(Store().GeneralFont(), message, nullptr, false);
    ReadFontSetting(Store().PrefixFont(), prefix, nullptr, true);
    EXPECT_EQ(message.cbSize, 60u);
    EXPECT_EQ(message.dwMask, 0u);
    EXPECT_EQ(message.yHeight, -1);
    EXPECT_EQ(prefix.dwMask, 0x0000000Fu);
    EXPECT_EQ(prefix.dwEffects, 1u);

    bool unset = false;
    EXPECT_EQ(GetCurrentUserName(Store(), system, &unset), "User");
    EXPECT_TRUE(unset);

    // Reading stores nothing: the defaults live in code only.
    for (const auto& path : {kMainPath, kQuickKeysPath, kGeneralFontPath, kPrefixFontPath})
        EXPECT_TRUE(registry.ValueNames(path).empty()) << path;
}

TEST_F(SettingsStore, IntegerSettingsAreDwordsReadAtTheMomentOfUse) {
    std::int32_t value = -7;
    for (const auto& c : kIntSettings) {
        ASSERT_TRUE(SetIntSetting(Store(), c.setting, value));
        const auto stored = registry.FindValue(kMainPath, c.name);
        ASSERT_TRUE(stored) << c.name;
        EXPECT_EQ(stored->type, kRegDword);
        EXPECT_EQ(stored->bytes.size(), 4u);
        EXPECT_EQ(GetIntSetting(Store(), c.setting), value) << c.name;
        value += 1000;
    }
    // Another writer (the Options sheet, an import) is seen by the next read.
    registry.PutDword(kMainPath, "dlg-width", 640);
    EXPECT_EQ(GetIntSetting(Store(), kDlgWidth), 640);
    ASSERT_TRUE(SetIntSetting(Store(), kDlgX, -2));
    EXPECT_EQ(registry.FindValue(kMainPath, "dlg-x")->bytes, Bytes({0xFE, 0xFF, 0xFF, 0xFF}));
}

TEST(SettingsKey, ReadDwordTakesAtMostFourBytesOfAnyTypeButText) {
    const struct {
        const char* what;
        std::uint32_t type;
        std::string bytes;
        std::int32_t expected;
    } cases[] = {
        {"dword", kRegDword, Bytes({0x78, 0x56, 0x34, 0x12}), 0x12345678},
        {"all bits", kRegDword, Bytes({0xFF, 0xFF, 0xFF, 0xFF}), -1},
        {"two bytes, zero-extended", kRegBinary, Bytes({0x01, 0x02}), 0x0201},
        {"no bytes", kRegBinary, "", 0},
        {"text, the number it spells", kRegSz, Bytes({'7', 0}), 7},
        {"text that is no number", kRegSz, Bytes({'x', 0}), 77},
        {"four bytes of text", kRegSz, Bytes({'1', '2', '3', 0}), 123},
        {"eight bytes", kRegQword, Bytes({1, 0, 0, 0, 0, 0, 0, 0}), 77},
        {"five bytes", kRegBinary, Bytes({1, 2, 3, 4, 5}), 77},
    };
    CMemoryRegistry registry;
    CSettingsKey key(registry);
    for (const auto& c : cases) {
        registry.PutValue(kMainPath, "v", c.type, c.bytes);
        EXPECT_EQ(key.ReadDword("v", 77), c.expected) << c.what;
    }
    EXPECT_EQ(key.ReadDword("missing", 77), 77);
}

TEST(SettingsKey, ReadStringStopsAtTheFirstZeroByteAndTakesEmptyAsMissing) {
    const struct {
        const char* what;
        std::uint32_t type;
        std::string bytes;
        const char* expected;
    } cases[] = {
        {"string", kRegSz, Bytes({'K', 'e', 'l', 0}), "Kel"},
        {"empty string", kRegSz, Bytes({0}), "default"},
        {"no bytes", kRegSz, "", "default"},
        {"no terminator", kRegBinary, "abc", "abc"},
        {"embedded zero", kRegSz, Bytes({'a', 0, 'b', 0}), "a"},
        {"dword, type not examined", kRegDword, Bytes({'A', 0, 0, 0}), "A"},
    };
    CMemoryRegistry registry;
    CSettingsKey key(registry);
    for (const auto& c : cases) {
        registry.PutValue(kMainPath, "v", c.type, c.bytes);
        EXPECT_EQ(key.ReadString("v", "default"), c.expected) << c.what;
    }
    EXPECT_EQ(key.ReadString("missing", "default"), "default");

    ASSERT_TRUE(key.WriteString("w", "Kel"));
    const auto stored = registry.FindValue(kMainPath, "W");  // names are not case-sensitive
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->type, kRegSz);
    EXPECT_EQ(stored->bytes, Bytes({'K', 'e', 'l', 0}));
}

TEST_F(SettingsStore, KeysThatCannotBeOpenedGiveDefaultsAndRefuseWrites) {
    // As for an account that may not write under HKEY_LOCAL_MACHINE.
    for (const auto& path : {kMainPath, kQuickKeysPath, kGeneralFontPath, kPrefixFontPath}) registry.DenyKey(path);
    Reopen();
    EXPECT_FALSE(Store().Main().IsOpen());

    EXPECT_FALSE(SetIntSetting(Store(), kDlgWidth, 640));
    EXPECT_EQ(GetIntSetting(Store(), kDlgWidth), 468);
    EXPECT_FALSE(SetPrefixSetting(Store(), "u> "));
    EXPECT_EQ(GetPrefixSetting(Store()), kDefaultPrefixCode);
    EXPECT_FALSE(SetChatTextBackground(Store(), system, 0x123456));
    EXPECT_EQ(GetChatTextBackground(Store(), system), system.QuerySystemColor(ESystemColor::Window));
    EXPECT_FALSE(SetQuickKeyText(Store(), 2, "hello"));
    EXPECT_FALSE(FlushQuickKeys(Store()));
    EXPECT_EQ(GetQuickKeyText(Store(), 2), "");
    EXPECT_FALSE(SetCurrentUserName(Store(), "Kel"));
    bool unset = false;
    EXPECT_EQ(GetCurrentUserName(Store(), system, &unset), "User");
    EXPECT_TRUE(unset);

    CCharFormat format;
    format.dwMask = kCfmColor;
    EXPECT_FALSE(WriteFontSetting(Store().PrefixFont(), format));
    ReadFontSetting(Store().PrefixFont(), format, nullptr, true);
    EXPECT_EQ(format.dwMask, kCfmEffects);
    EXPECT_EQ(registry.OpenKeys(), 0u);
}

TEST_F(SettingsStore, FailedWritesKeepTheStoredValue) {
    ASSERT_TRUE(SetIntSetting(Store(), kOnNewMessage, 1));
    ASSERT_TRUE(SetCurrentUserName(Store(), "Kel"));
    registry.SetWritesFail(true);
    EXPECT_FALSE(SetIntSetting(Store(), kOnNewMessage, 2));
    EXPECT_FALSE(SetCurrentUserName(Store(), "Nico"));
    EXPECT_EQ(GetIntSetting(Store(), kOnNewMessage), 1);
    EXPECT_EQ(GetCurrentUserName(Store(), system), "Kel");
}

TEST_F(SettingsStore, KeysAreMadeInOrderAndNoneIsHeldBetweenUses) {
    EXPECT_EQ(registry.OpenedPaths(),
              (std::vector<std::string>{kMainPath, kQuickKeysPath, kGeneralFontPath, kPrefixFontPath}));
    EXPECT_EQ(registry.OpenKeys(), 0u);
    ASSERT_TRUE(SetIntSetting(Store(), kPlaySnd, 1));
    EXPECT_EQ(GetIntSetting(Store(), kPlaySnd), 1);
    EXPECT_EQ(registry.OpenKeys(), 0u);

    store.reset();
    CSettingsKey closed(registry);
    closed.Close();
    EXPECT_EQ(closed.ReadDword("PlaySnd", 0), 0) << "a closed key reads its default";

    // Opening a key again takes the new path.
    CSettingsKey key(registry, "QuickKeys");
    ASSERT_TRUE(key.Open(registry));
    EXPECT_EQ(key.ReadDword("PlaySnd", 0), 1);
}

TEST_F(SettingsStore, QuickKeysAreF2ToF12) {
    EXPECT_EQ(QuickKeyValueName(1), "");
    EXPECT_EQ(QuickKeyValueName(13), "");
    EXPECT_FALSE(SetQuickKeyText(Store(), 1, "help"));
    for (int key = kFirstQuickKey; key <= kLastQuickKey; ++key)
        ASSERT_TRUE(SetQuickKeyText(Store(), key, "text " + std::to_string(key)));
    EXPECT_TRUE(FlushQuickKeys(Store()));
    EXPECT_EQ(registry.Flushes(), 1);

    const std::vector<std::string> names = registry.ValueNames(kQuickKeysPath);
    EXPECT_EQ(names, (std::vector<std::string>{"F10", "F11", "F12", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9"}));
    EXPECT_EQ(GetQuickKeyText(Store(), 7), "text 7");
    EXPECT_TRUE(registry.ValueNames(kMainPath).empty());
}

}  // namespace
