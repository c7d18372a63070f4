#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "settings/UserName.h"
#include "SettingsFixture.h"

namespace {

class UserName : public SettingsFixture {
protected:
    void SetUp() override {
        SettingsFixture::SetUp();
        system.SetLoginName("kel");
    }
};

TEST_F(UserName, StoredNameIsCleanedOrReplacedByTheLoginName) {
    const struct {
        std::optional<std::string> stored;
        std::string name;
        bool unset;
    } cases[] = {
        {std::nullopt, "kel", true},
        {"", "kel", true},
        {"   ", "kel", true},
        {"\t\r\n\v\f", "kel", true},
        {"Nico Varga", "Nico Varga", false},
        {"MIVLETCMD", "kel", true},
        {"MivletCmd", "kel", true},
        {"  mivletCMD\t", "kel", true},
        // The marker's own spelling is broken up, and then it is a name.
        {"mivletcmd", "mivlet cmd", false},
        {"xmivletcmdx", "xmivlet cmdx", false},
        {"mivletcmdmivletcmd", "mivlet cmdmivlet cmd", false},
        // 25 bytes are kept before trimming, so leading spaces count.
        {"     ABCDEFGHIJKLMNOPQRSTUVWXY", "ABCDEFGHIJKLMNOPQRST", false},
        {"ABCDEFGHIJKLMNOPQRSTUVWX Y", "ABCDEFGHIJKLMNOPQRSTUVWX", false},
        {std::string(24, 'x') + "mivletcmd", std::string(24, 'x') + "m", false},
        {"Ann\tLee", "Ann Lee", false},
        {"\tAnn\t", "Ann", false},
        {"Ann\r\n", "Ann", false},
        {"\xC4nne \xA0", "\xC4nne \xA0", false},  // bytes above 0x7F are not white space
    };
    for (const auto& c : cases) {
        if (c.stored)
            registry.PutString(kMainPath, "Username", *c.stored);
        else
            ASSERT_TRUE(Store().Main().DeleteValue("Username"));
        bool unset = !c.unset;
        EXPECT_EQ(GetCurrentUserName(Store(), system, &unset), c.name) << '"' << c.stored.value_or("(none)") << '"';
        EXPECT_EQ(unset, c.unset) << '"' << c.stored.value_or("(none)") << '"';
        EXPECT_EQ(GetCurrentUserName(Store(), system), c.name) << "the flag is optional";
    }
}

TEST_F(UserName, LoginNameIsCleanedButNotTestedAgain) {
    const struct {
        std::optional<std::string> login;
        const char* name;
    } cases[] = {
        {"  Guest\tAccount  ", "Guest Account"},
        {"Administrator-of-this-computer", "Administrator-of-this-com"},
        {"MIVLETCMD", "MIVLETCMD"},
        {std::nullopt, ""},  // GetUserNameA failed
    };
    for (const auto& c : cases) {
        system.SetLoginName(c.login);
        bool unset = false;
        EXPECT_EQ(GetCurrentUserName(Store(), system, &unset), c.name);
        EXPECT_TRUE(unset);
    }
}

TEST_F(UserName, NameIsStoredAsEnteredAndCleanedAtEachUse) {
    ASSERT_TRUE(SetCurrentUserName(Store(), "  Kel\t"));
    EXPECT_EQ(registry.FindValue(kMainPath, "Username")->bytes, std::string("  Kel\t") + '\0');
    EXPECT_EQ(GetCurrentUserName(Store(), system), "Kel");
    EXPECT_EQ(registry.FindValue(kMainPath, "Username")->bytes, std::string("  Kel\t") + '\0')
        << "reading writes nothing back";

    registry.PutString(kMainPath, "Username", "Nico");
    EXPECT_EQ(GetCurrentUserName(Store(), system), "Nico") << "no cached name";
}

TEST(CleanUserName, AnyBytesGiveAShortNameThatIsNeverTheMarker) {
    std::string everyByte;
    for (int b = 0; b < 256; ++b) everyByte += static_cast<char>(b);
    std::string markers;
    for (int i = 0; i < 100000; ++i) markers += "mivletcmd";

    for (const std::string& name : {everyByte, markers, std::string(1 << 20, ' ') + "Kel", std::string("mivlet\tcmd")}) {
        const std::string clean = CleanUserName(name);
        EXPECT_LE(clean.size(), kMaxUserNameLength);
        EXPECT_EQ(clean.find("mivletcmd"), std::string::npos);
        if (!clean.empty()) {
            EXPECT_NE(clean.front(), ' ');
            EXPECT_NE(clean.back(), ' ');
        }
    }
    EXPECT_EQ(CleanUserName(markers), "mivlet cmdmivlet cmdmivle");
    EXPECT_EQ(CleanUserName("mivlet\tcmd"), "mivlet cmd");
}

}  // namespace
