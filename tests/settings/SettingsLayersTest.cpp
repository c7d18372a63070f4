// The store for an account that may not write under HKEY_LOCAL_MACHINE (a
// standard user on Windows), through an in-memory registry whose computer
// root refuses writes. Wine has no user account control and lets every
// program write there, so these cases are met only through the seam.

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

#include "settings/FontSettings.h"
#include "settings/IntSettings.h"
#include "settings/PrefixSetting.h"
#include "settings/QuickKeySettings.h"
#include "settings/UserName.h"
#include "SettingsFixture.h"

namespace {

constexpr ERegistryRoot kMachine = ERegistryRoot::LocalMachine;
constexpr ERegistryRoot kUser = ERegistryRoot::CurrentUser;

std::string Stored(const CMemoryRegistry& registry, ERegistryRoot root, const std::string& path, const char* name) {
    const auto value = registry.FindValue(root, path, name);
    return value ? value->bytes : std::string("(none)");
}

std::string Text(const char* text) { return std::string(text, std::strlen(text) + 1); }

class SettingsLayers : public SettingsFixture {
protected:
    // The program started by a standard user.
    void StartAsStandardUser() {
        registry.SetRootReadOnly(kMachine, true);
        Reopen();
    }
};

TEST_F(SettingsLayers, StandardUserKeepsSettingsInTheUsersKeyOverTheComputersDefaults) {
    // Set for the computer by an administrator or a deployment.
    registry.PutString(kMainPath, "Username", "Admin");
    registry.PutDword(kMainPath, "PromptOnAllUsers", 0);
    registry.PutString(kMainPath, "Prefix", "u> ");
    StartAsStandardUser();
    EXPECT_EQ(GetCurrentUserName(Store(), system), "Admin");
    EXPECT_EQ(GetIntSetting(Store(), kPromptOnAllUsers), 0);

    ASSERT_TRUE(SetCurrentUserName(Store(), "Kel"));
    ASSERT_TRUE(SetIntSetting(Store(), kDlgWidth, 640));
    ASSERT_TRUE(SetQuickKeyText(Store(), 2, "hello"));
    EXPECT_TRUE(FlushQuickKeys(Store()));
    EXPECT_EQ(GetCurrentUserName(Store(), system), "Kel");
    EXPECT_EQ(GetIntSetting(Store(), kDlgWidth), 640);
    EXPECT_EQ(GetQuickKeyText(Store(), 2), "hello");
    EXPECT_EQ(GetIntSetting(Store(), kPromptOnAllUsers), 0) << "the computer's value still shows under the user's";
    EXPECT_EQ(GetPrefixSetting(Store()), "u> ");

    EXPECT_EQ(Stored(registry, kUser, kMainPath, "Username"), Text("Kel"));
    EXPECT_EQ(Stored(registry, kMachine, kMainPath, "Username"), Text("Admin")) << "the computer's stays as it was";
    EXPECT_EQ(Stored(registry, kUser, kQuickKeysPath, "F2"), Text("hello"));

    // The next start finds the name: no prompt at every start.
    Reopen();
    bool unset = true;
    EXPECT_EQ(GetCurrentUserName(Store(), system, &unset), "Kel");
    EXPECT_FALSE(unset);
}

TEST_F(SettingsLayers, StandardUserOnAComputerWithoutTheKeyMakesOnlyTheirOwn) {
    CMemoryRegistry fresh;  // nothing installed, nothing run as an administrator
    fresh.SetRootReadOnly(kMachine, true);
    std::optional<CSettingsStore> started(std::in_place, fresh);
    EXPECT_FALSE(started->Main().IsOpen()) << "neither key is there yet";
    EXPECT_EQ(GetIntSetting(*started, kDlgHeight), 413);
    EXPECT_TRUE(fresh.OpenedPaths().empty()) << "reading makes no key";

    ASSERT_TRUE(SetCurrentUserName(*started, "Kel"));
    EXPECT_FALSE(fresh.HasKey(kMachine, kMainPath));
    EXPECT_TRUE(fresh.HasKey(kUser, kMainPath));
    EXPECT_FALSE(fresh.HasKey(kUser, kQuickKeysPath)) << "only the key that was written to";
    started.emplace(fresh);
    EXPECT_EQ(GetCurrentUserName(*started, system), "Kel");
}

TEST_F(SettingsLayers, ReadAfterAWriteGivesWhatWasWrittenWhicheverLayerTookIt) {
    const struct {
        const char* what;
        bool machineReadOnly;     // opened for reading only
        bool machineWritesFail;   // opened for writing, the write fails
        const char* machineAfter;
        const char* userAfter;
    } cases[] = {
        {"computer's layer writable: it takes the value, the user's stale one goes", false, false, "New", nullptr},
        {"computer's layer read-only: the user's takes it", true, false, "Old machine", "New"},
        {"computer's write fails: the user's takes it", false, true, "Old machine", "New"},
    };
    for (const auto& c : cases) {
        CMemoryRegistry layered;
        layered.PutString(kMainPath, "Username", "Old machine");
        // Written as a standard user once, as an administrator now.
        layered.PutString(kUser, kMainPath, "Username", "Old user");
        layered.SetRootReadOnly(kMachine, c.machineReadOnly);
        CSettingsStore store(layered);
        layered.SetWritesFail(kMachine, c.machineWritesFail);

        EXPECT_EQ(GetCurrentUserName(store, system), "Old user") << c.what;
        ASSERT_TRUE(SetCurrentUserName(store, "New")) << c.what;
        EXPECT_EQ(GetCurrentUserName(store, system), "New") << c.what;
        EXPECT_EQ(Stored(layered, kMachine, kMainPath, "Username"), Text(c.machineAfter)) << c.what;
        EXPECT_EQ(Stored(layered, kUser, kMainPath, "Username"), c.userAfter ? Text(c.userAfter) : "(none)")
            << c.what;
    }
}

TEST_F(SettingsLayers, WriteThatNoLayerTakesKeepsWhatReadsGave) {
    registry.PutDword(kMainPath, "OnNewMessage", 1);
    registry.PutDword(kUser, kMainPath, "OnNewMessage", 2);
    StartAsStandardUser();
    registry.SetWritesFail(kUser, true);
    EXPECT_FALSE(SetIntSetting(Store(), kOnNewMessage, 0));
    EXPECT_EQ(GetIntSetting(Store(), kOnNewMessage), 2) << "the user's value is not lost to a failed write";
    EXPECT_FALSE(Store().Main().DeleteValue("OnNewMessage"));
}

TEST_F(SettingsLayers, EmptyOrUnreadableUserValuesLetTheComputersShow) {
    registry.PutString(kMainPath, "Prefix", "H:nn u> ");
    registry.PutDword(kMainPath, "dlg-x", 40);
    registry.PutString(kUser, kMainPath, "Prefix", "");
    registry.PutValue(kUser, kMainPath, "dlg-x", kRegQword, std::string(8, '\1'));
    StartAsStandardUser();
    EXPECT_EQ(GetPrefixSetting(Store()), "H:nn u> ");
    EXPECT_EQ(GetIntSetting(Store(), kDlgX), 40);
}

TEST_F(SettingsLayers, FontIsReadWholeFromOneLayer) {
    // The computer's font has a colour and a face; the user's has neither.
    CCharFormat machine;
    machine.dwMask = kCfmColor | kCfmFace | kCfmSize;
    machine.crTextColor = 0x0000FF;
    machine.yHeight = 240;
    std::strcpy(machine.szFaceName, "Arial");
    ASSERT_TRUE(WriteFontSetting(Store().GeneralFont(), machine));
    StartAsStandardUser();

    CCharFormat user;
    user.dwMask = kCfmEffects;
    user.dwEffects = 2;
    ASSERT_TRUE(WriteFontSetting(Store().GeneralFont(), user));
    EXPECT_EQ(registry.ValueNames(kUser, kGeneralFontPath), (std::vector<std::string>{"Effects", "Mask"}));

    CCharFormat read;
    ReadFontSetting(Store().GeneralFont(), read);
    EXPECT_EQ(read.dwMask, kCfmEffects) << "no colour or face borrowed from the computer's font";
    EXPECT_EQ(read.dwEffects, 2u);
    EXPECT_EQ(read.szFaceName[0], '\0');
    EXPECT_EQ(read.yHeight, -1);

    // An administrator's save replaces the computer's font, and the user's
    // old one no longer hides it.
    registry.SetRootReadOnly(kMachine, false);
    Reopen();
    ASSERT_TRUE(WriteFontSetting(Store().GeneralFont(), machine));
    EXPECT_TRUE(registry.ValueNames(kUser, kGeneralFontPath).empty());
    ReadFontSetting(Store().GeneralFont(), read);
    EXPECT_EQ(read.dwMask, kCfmColor | kCfmFace | kCfmSize);
    EXPECT_STREQ(read.szFaceName, "Arial");
}

}  // namespace
