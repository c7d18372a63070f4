#include <gtest/gtest.h>

#include "settings/ChatTextBackground.h"
#include "SettingsFixture.h"

namespace {

constexpr ColorRef kWindow = 0x00FAFAFA;
constexpr ColorRef kButtonFace = 0x00D4D0C8;

class ChatTextBackground : public SettingsFixture {
protected:
    void SetUp() override {
        SettingsFixture::SetUp();
        system.SetSystemColor(ESystemColor::Window, kWindow);
        system.SetSystemColor(ESystemColor::ButtonFace, kButtonFace);
    }
};

TEST_F(ChatTextBackground, StoredTextGivesTheColour) {
    const struct {
        const char* stored;
        ColorRef expected;
    } cases[] = {
        {"Lite", kWindow},
        {"Dark", kButtonFace},
        {"", kWindow},  // empty counts as missing
        {"dark", 0},    // the words keep their exact case; anything else is a number
        {"LITE", 0},
        {" Lite", 0},
        {"16777215", 0x00FFFFFF},
        {" \t+255 ", 255},
        {"12abc", 12},
        {"abc", 0},
        {"-1", 0xFFFFFFFF},
        {"4294967295", 0xFFFFFFFF},   // the largest number the writer's "%u" gives
        {"99999999999", 1215752191},  // longer numbers wrap instead of overflowing
    };
    for (const auto& c : cases) {
        registry.PutString(kMainPath, "ChatTextBackground", c.stored);
        EXPECT_EQ(GetChatTextBackground(Store(), system), c.expected) << '"' << c.stored << '"';
    }
}

TEST_F(ChatTextBackground, SystemColoursAreStoredByName) {
    const struct {
        ColorRef color;
        const char* stored;
    } cases[] = {
        {kWindow, "Lite"},
        {kButtonFace, "Dark"},
        {0x00FFFFFF, "16777215"},  // white that is not the window colour
        {0, "0"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(SetChatTextBackground(Store(), system, c.color));
        EXPECT_EQ(Store().Main().ReadString("ChatTextBackground", ""), c.stored) << c.color;
        EXPECT_EQ(GetChatTextBackground(Store(), system), c.color);
    }
}

TEST_F(ChatTextBackground, ColourStoredAsLiteFollowsTheSystem) {
    // A custom colour that happens to be the window colour becomes "Lite" and
    // changes with the user's colour scheme from then on.
    ASSERT_TRUE(SetChatTextBackground(Store(), system, kWindow));
    system.SetSystemColor(ESystemColor::Window, 0x00102030);
    EXPECT_EQ(GetChatTextBackground(Store(), system), 0x00102030u);
}

}  // namespace
