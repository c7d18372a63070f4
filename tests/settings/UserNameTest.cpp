#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "settings/UserName.h"
#include "util/Utf8Text.h"
#include "SettingsFixture.h"

namespace {

const std::string kBe = "\xD0\xB1";             // Cyrillic, two bytes
const std::string kGrin = "\xF0\x9F\x98\x80";    // an emoji, four bytes

std::string Repeat(const std::string& text, std::size_t times) {
    std::string repeated;
    for (std::size_t i = 0; i < times; ++i) repeated += text;
    return repeated;
}

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
        {"\xC3\x84nne \xC2\xA0", "\xC3\x84nne \xC2\xA0", false},  // a no-break space is not white space
        // 25 characters, not bytes, and never a character cut in two.
        {Repeat(kBe, 25), Repeat(kBe, 25), false},
        {Repeat(kBe, 26), Repeat(kBe, 25), false},
        {"A" + Repeat(kGrin, 30), "A" + Repeat(kGrin, 24), false},
        {Repeat(kBe, 20) + "mivletcmd", Repeat(kBe, 20) + "mivle", false},
        {"Ann\xFF", "Ann\xEF\xBF\xBD", false},  // not UTF-8: U+FFFD
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

// A name in a script of its own, as the name prompt stores it, reads back
// the same from the next start on.
TEST_F(UserName, NameBeyondTheCodePageTripsThroughTheStore) {
    const std::string name = "\xD0\x9A\xD0\xB5\xD0\xBB \xE5\xB1\xB1\xE7\x94\xB0 " + kGrin;  // "Кел 山田 😀"
    ASSERT_TRUE(SetCurrentUserName(Store(), name));
    Reopen();
    bool unset = true;
    EXPECT_EQ(GetCurrentUserName(Store(), system, &unset), name);
    EXPECT_FALSE(unset);
}

TEST(CleanUserName, AnyBytesGiveAShortNameThatIsNeverTheMarker) {
    std::string everyByte;
    for (int b = 0; b < 256; ++b) everyByte += static_cast<char>(b);
    std::string markers;
    for (int i = 0; i < 100000; ++i) markers += "mivletcmd";

    for (const std::string& name : {everyByte, markers, std::string(1 << 20, ' ') + "Kel", std::string("mivlet\tcmd")}) {
        const std::string clean = CleanUserName(name);
        EXPECT_LE(CountUtf8Characters(clean), kMaxUserNameLength);
        EXPECT_TRUE(IsValidUtf8(clean));
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
