#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "settings/FontSettings.h"
#include "platform/memory/MemoryRegistry.h"

namespace {

const std::string kFontPath = "Software\\Pellandor\\Mivlet\\GeneralFont";
constexpr std::uint32_t kEveryField = kCfmEffects | kCfmSize | kCfmOffset | kCfmColor | kCfmCharset | kCfmFace;

CCharFormat MakeFormat(std::uint32_t mask, std::int32_t height = 200, const char* face = "Tahoma") {
    CCharFormat format;
    format.cbSize = kCharFormatSize;
    format.dwMask = mask;
    format.dwEffects = kCfeBold | 0x4;  // bold, underlined
    format.yHeight = height;
    format.yOffset = -20;
    format.crTextColor = 0x00123456;
    format.bCharSet = 238;
    format.bPitchAndFamily = 0x22;
    std::strncpy(format.szFaceName, face, sizeof format.szFaceName - 1);
    return format;
}

class FontSettings : public ::testing::Test {
protected:
    CCharFormat Read(bool boldByDefault = false) {
        CCharFormat format;
        ReadFontSetting(key, format, nullptr, boldByDefault);
        return format;
    }

    CMemoryRegistry registry;
    CSettingsKey key{registry, "GeneralFont"};
};

TEST_F(FontSettings, EveryFieldRoundTrips) {
    ASSERT_TRUE(WriteFontSetting(key, MakeFormat(kEveryField)));
    const CCharFormat read = Read();
    EXPECT_EQ(read.cbSize, 60u);
    EXPECT_EQ(read.dwMask, kEveryField);
    EXPECT_EQ(read.dwEffects, kCfeBold | 0x4);
    EXPECT_EQ(read.yHeight, 200);
    EXPECT_EQ(read.yOffset, -20);
    EXPECT_EQ(read.crTextColor, 0x00123456u);
    EXPECT_EQ(read.bCharSet, 238);
    EXPECT_EQ(read.bPitchAndFamily, 0x22);
    EXPECT_STREQ(read.szFaceName, "Tahoma");
    EXPECT_EQ(registry.FindValue(kFontPath, "FaceName")->type, kRegSz);
    EXPECT_EQ(registry.FindValue(kFontPath, "Height")->type, kRegDword);
}

TEST_F(FontSettings, SavingLeavesOnlyTheValuesTheMaskCovers) {
    using Names = std::vector<std::string>;
    const struct {
        std::uint32_t mask;
        Names names;
    } cases[] = {
        {0, {"Mask"}},
        {kCfmItalic, {"Effects", "Mask"}},
        {kCfmStrikeout, {"Effects", "Mask"}},
        {kCfmSize, {"Height", "Mask"}},
        {kCfmOffset, {"Mask", "Offset"}},
        {kCfmColor, {"Color", "Mask"}},
        {kCfmCharset, {"CharSet", "Mask"}},
        {kCfmFace, {"FaceName", "Mask", "PitchAndFamily"}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteFontSetting(key, MakeFormat(kEveryField)));
        ASSERT_TRUE(WriteFontSetting(key, MakeFormat(c.mask)));
        EXPECT_EQ(registry.ValueNames(kFontPath), c.names) << std::hex << c.mask;
    }
}

TEST_F(FontSettings, SizeIsGivenOnlyByANonZeroHeightUnderItsMaskBit) {
    const struct {
        const char* what;
        std::uint32_t mask;
        std::int32_t height;
        std::int32_t readHeight;
        bool readSize;
    } cases[] = {
        {"size", kCfmSize, 240, 240, true},
        {"mask without the size bit", kCfmColor, 240, -1, false},
        {"height 0", kCfmSize, 0, -1, false},
        {"height -1", kCfmSize, -1, -1, false},
        {"negative height", kCfmSize, -300, -300, true},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteFontSetting(key, MakeFormat(c.mask, c.height)));
        const CCharFormat read = Read();
        EXPECT_EQ(read.yHeight, c.readHeight) << c.what;
        EXPECT_EQ((read.dwMask & kCfmSize) != 0, c.readSize) << c.what;
    }

    // A height left behind without the mask bit (by hand, or by an old
    // version) gives no size either.
    registry.PutDword(kFontPath, "Mask", kCfmColor);
    registry.PutDword(kFontPath, "Height", 240);
    EXPECT_EQ(Read().yHeight, -1);
}

TEST_F(FontSettings, FaceBitFollowsTheStoredFaceName) {
    ASSERT_TRUE(WriteFontSetting(key, MakeFormat(kCfmFace, 0, "")));
    EXPECT_EQ(Read().dwMask & kCfmFace, 0u);

    registry.PutDword(kFontPath, "Mask", kCfmColor);
    registry.PutString(kFontPath, "FaceName", "Arial");
    const CCharFormat read = Read();
    EXPECT_EQ(read.dwMask, kCfmColor | kCfmFace);
    EXPECT_STREQ(read.szFaceName, "Arial");
}

TEST_F(FontSettings, FaceNamesAreCutTo31Characters) {
    for (std::size_t length : {30u, 31u, 32u, 40u, 1000u}) {
        const std::string face(length, 'F');
        registry.PutDword(kFontPath, "Mask", kCfmFace);
        registry.PutString(kFontPath, "FaceName", face);
        const CCharFormat read = Read();
        EXPECT_EQ(std::string(read.szFaceName), face.substr(0, 31)) << length;
    }

    // A record whose face name fills all 32 bytes stores 31 of them, not
    // what lies behind the array.
    CCharFormat full = MakeFormat(kCfmFace);
    std::memset(full.szFaceName, 'G', sizeof full.szFaceName);
    ASSERT_TRUE(WriteFontSetting(key, full));
    EXPECT_EQ(registry.FindValue(kFontPath, "FaceName")->bytes, std::string(31, 'G') + '\0');
}

TEST_F(FontSettings, PrefixFontIsBoldUntilAMaskIsStored) {
    CCharFormat read = Read(true);
    EXPECT_EQ(read.dwMask, 0x0000000Fu);
    EXPECT_EQ(read.dwEffects, kCfeBold);
    EXPECT_EQ(read.yHeight, -1);
    EXPECT_EQ(Read(false).dwMask, 0u);

    // A stored mask of 0 is the same as none.
    registry.PutDword(kFontPath, "Mask", 0);
    registry.PutDword(kFontPath, "Effects", 2);
    EXPECT_EQ(Read(true).dwEffects, kCfeBold);

    ASSERT_TRUE(WriteFontSetting(key, MakeFormat(kCfmColor)));
    read = Read(true);
    EXPECT_EQ(read.dwMask, kCfmColor);
    EXPECT_EQ(read.dwEffects, 0u);
    EXPECT_EQ(read.crTextColor, 0x00123456u);
}

TEST_F(FontSettings, CharSetAndPitchKeepTheLowByte) {
    registry.PutDword(kFontPath, "Mask", kCfmCharset | kCfmFace);
    registry.PutDword(kFontPath, "CharSet", 0x1FF);
    registry.PutDword(kFontPath, "PitchAndFamily", 0x134);
    const CCharFormat read = Read();
    EXPECT_EQ(read.bCharSet, 0xFF);
    EXPECT_EQ(read.bPitchAndFamily, 0x34);
}

TEST_F(FontSettings, SourceRecordIsTakenInsteadOfTheKey) {
    ASSERT_TRUE(WriteFontSetting(key, MakeFormat(kEveryField)));
    CCharFormat source = MakeFormat(kCfmSize | kCfmFace | kCfmColor, 0, "Courier New");
    source.cbSize = 0;
    source.crTextColor = 0x00ABCDEF;

    CCharFormat read;
    ReadFontSetting(key, read, &source, true);
    EXPECT_EQ(read.cbSize, 60u);
    EXPECT_EQ(read.dwMask, kCfmFace | kCfmColor);
    EXPECT_EQ(read.yHeight, -1);
    EXPECT_EQ(read.crTextColor, 0x00ABCDEFu);
    EXPECT_STREQ(read.szFaceName, "Courier New");
}

}  // namespace
