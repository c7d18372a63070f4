#include <gtest/gtest.h>

#include <cstring>
#include <optional>
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

namespace {

// Whether two records give the control the same font: the same mask and the
// same value for every field the mask covers.
::testing::AssertionResult SameFont(const CCharFormat& read, const CCharFormat& written) {
    const std::uint32_t mask = written.dwMask;
    std::string differences;
    if (read.dwMask != mask) differences += " mask";
    if ((mask & kCfmEffects) && read.dwEffects != written.dwEffects) differences += " effects";
    if (read.yHeight != written.yHeight) differences += " height";
    if ((mask & kCfmOffset) && read.yOffset != written.yOffset) differences += " offset";
    if ((mask & kCfmColor) && read.crTextColor != written.crTextColor) differences += " colour";
    if ((mask & kCfmCharset) && read.bCharSet != written.bCharSet) differences += " charset";
    if ((mask & kCfmFace) && (std::string(read.szFaceName) != written.szFaceName ||
                              read.bPitchAndFamily != written.bPitchAndFamily))
        differences += " face";
    if (differences.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "differs in" << differences << " (written mask " << std::hex << mask
                                         << ", read mask " << read.dwMask << ")";
}

// What a font dialog reports (see the Format page): every effect, the colour
// and the character set, the face and the size when it names them.
CCharFormat Chosen(std::uint32_t effects, std::int32_t height, const char* face, ColorRef color = 0,
                   std::uint8_t charSet = 0) {
    CCharFormat chosen;
    chosen.cbSize = kCharFormatSize;
    chosen.dwMask = kCfmEffects | kCfmColor | kCfmCharset | (height > 0 ? kCfmSize : 0u) | (*face ? kCfmFace : 0u);
    chosen.dwEffects = effects;
    chosen.yHeight = height > 0 ? height : 0;
    chosen.crTextColor = color;
    chosen.bCharSet = charSet;
    chosen.bPitchAndFamily = 0x22;
    std::strncpy(chosen.szFaceName, face, sizeof chosen.szFaceName - 1);
    return chosen;
}

// A stored font that a page starts from, value by value as it lies in the
// key (nothing stored at all when `mask` is empty).
struct CStoredFont {
    const char* what;
    std::optional<std::uint32_t> mask;
    std::optional<std::uint32_t> height;
    std::optional<std::string> face;
    std::optional<std::uint32_t> effects;
    bool givesNothing;  // the mask is empty once the size and face rules ran
};

const CStoredFont kStoredFonts[] = {
    {"never stored", std::nullopt, std::nullopt, std::nullopt, std::nullopt, true},
    {"stored mask 0", 0u, std::nullopt, std::nullopt, std::nullopt, true},
    {"only a face, empty", kCfmFace, std::nullopt, std::string(), std::nullopt, true},
    {"only a face bit, no name", kCfmFace, std::nullopt, std::nullopt, std::nullopt, true},
    {"only a size, 0", kCfmSize, 0u, std::nullopt, std::nullopt, true},
    {"only a size bit, no height", kCfmSize, std::nullopt, std::nullopt, std::nullopt, true},
    {"face and size, both empty", kCfmFace | kCfmSize, 0u, std::string(), std::nullopt, true},
    {"only a face", kCfmFace, std::nullopt, std::string("Arial"), std::nullopt, false},
    {"only a size", kCfmSize, 280u, std::nullopt, std::nullopt, false},
    {"plain", kCfmBold, std::nullopt, std::nullopt, 0u, false},
    {"italic, 10 pt", kCfmEffects | kCfmSize, 200u, std::nullopt, kCfeItalic, false},
};

class FontRoundTrip : public ::testing::Test {
protected:
    void Store(const CStoredFont& stored) {
        for (const char* name : {"Mask", "Effects", "Height", "Offset", "Color", "CharSet", "PitchAndFamily", "FaceName"})
            key.DeleteValue(name);
        if (stored.mask) registry.PutDword(kFontPath, "Mask", *stored.mask);
        if (stored.height) registry.PutDword(kFontPath, "Height", *stored.height);
        if (stored.face) registry.PutString(kFontPath, "FaceName", *stored.face);
        if (stored.effects) registry.PutDword(kFontPath, "Effects", *stored.effects);
    }
    CCharFormat Read(bool boldByDefault) {
        CCharFormat format;
        ReadFontSetting(key, format, nullptr, boldByDefault);
        return format;
    }

    CMemoryRegistry registry;
    CSettingsKey key{registry, "GeneralFont"};
};

// Whatever was stored before, the font a page reads, or makes from it with a
// font dialog, is written on OK and must read back as it was written: a
// prefix font that read as plain used to come back bold.
TEST_F(FontRoundTrip, EveryFontAPageCanProduceReadsBackAsWritten) {
    const CCharFormat choices[] = {
        Chosen(0, 200, "Tahoma"),
        Chosen(kCfeBold, 240, "Courier New", 0x000000FF, 238),
        Chosen(kCfeItalic | kCfeUnderline | kCfeStrikeout, 160, "Times New Roman", 0x00808080),
        Chosen(kCfeBold | kCfeItalic, 0, "Arial"),             // the dialog named no size
        Chosen(kCfeUnderline, 180, ""),                        // nor a face
        Chosen(0, 0, ""),
        Chosen(kCfeBold, 200, "A face name of exactly 31 chars"),
    };
    for (const bool boldByDefault : {true, false}) {
        for (const CStoredFont& stored : kStoredFonts) {
            SCOPED_TRACE(std::string(stored.what) + (boldByDefault ? " (prefix)" : " (message)"));
            Store(stored);
            const CCharFormat unchanged = Read(boldByDefault);
            if (boldByDefault) EXPECT_NE(unchanged.dwMask, 0u) << "a prefix font that reads as nothing is bold";
            // OK without a font chosen stores the font as it was read.
            ASSERT_TRUE(WriteFontSetting(key, unchanged));
            EXPECT_TRUE(SameFont(Read(boldByDefault), unchanged)) << "unchanged";

            for (const CCharFormat& chosen : choices) {
                SCOPED_TRACE(std::string("chosen ") + chosen.szFaceName + " " + std::to_string(chosen.yHeight));
                Store(stored);
                CCharFormat pending = Read(boldByDefault);
                MergeChosenFont(chosen, pending);
                ASSERT_TRUE(WriteFontSetting(key, pending));
                EXPECT_TRUE(SameFont(Read(boldByDefault), pending));
            }
        }
    }
}

TEST_F(FontRoundTrip, APrefixFontThatGivesNothingReadsBold) {
    for (const CStoredFont& stored : kStoredFonts) {
        Store(stored);
        const CCharFormat read = Read(true);
        EXPECT_EQ(read.dwMask == kCfmEffects && read.dwEffects == kCfeBold, stored.givesNothing) << stored.what;
        EXPECT_EQ(Read(false).dwMask == 0, stored.givesNothing) << stored.what;
    }
}

TEST(MergeFontAttribute, TakesTheChosenValueOrClearsTheBit) {
    CCharFormat pending;
    pending.dwMask = kCfmEffects | kCfmSize | kCfmFace | kCfmColor;
    pending.dwEffects = kCfeBold | kCfeUnderline;
    pending.yHeight = 200;
    pending.crTextColor = 0x00112233;
    pending.bPitchAndFamily = 0x31;
    std::strcpy(pending.szFaceName, "Arial");

    CCharFormat chosen;
    chosen.dwMask = kCfmItalic | kCfmBold | kCfmOffset;
    chosen.dwEffects = kCfeItalic;  // bold reported as off
    chosen.yOffset = 40;
    chosen.yHeight = 999;
    chosen.bPitchAndFamily = 0x12;
    std::strcpy(chosen.szFaceName, "Tahoma");

    const struct {
        std::uint32_t bit;
        std::uint32_t mask, effects;
        std::int32_t height, offset;
        const char* face;
    } cases[] = {
        {kCfmBold, pending.dwMask, kCfeUnderline, 200, 0, "Arial"},
        {kCfmItalic, pending.dwMask, kCfeBold | kCfeUnderline | kCfeItalic, 200, 0, "Arial"},
        {kCfmUnderline, pending.dwMask & ~kCfmUnderline, pending.dwEffects, 200, 0, "Arial"},
        {kCfmOffset, pending.dwMask | kCfmOffset, pending.dwEffects, 200, 40, "Arial"},
        {kCfmSize, pending.dwMask & ~kCfmSize, pending.dwEffects, 200, 0, "Arial"},
        // Without the face bit the name goes and the bit stays; the pitch
        // and family byte stays in any case.
        {kCfmFace, pending.dwMask, pending.dwEffects, 200, 0, ""},
    };
    for (const auto& c : cases) {
        CCharFormat merged = pending;
        MergeFontAttribute(chosen, merged, c.bit);
        EXPECT_EQ(merged.dwMask, c.mask) << std::hex << c.bit;
        EXPECT_EQ(merged.dwEffects, c.effects) << std::hex << c.bit;
        EXPECT_EQ(merged.yHeight, c.height) << std::hex << c.bit;
        EXPECT_EQ(merged.yOffset, c.offset) << std::hex << c.bit;
        EXPECT_STREQ(merged.szFaceName, c.face) << std::hex << c.bit;
        EXPECT_EQ(merged.bPitchAndFamily, 0x31) << std::hex << c.bit;
    }

    chosen.dwMask |= kCfmFace;
    CCharFormat merged = pending;
    MergeFontAttribute(chosen, merged, kCfmFace);
    EXPECT_STREQ(merged.szFaceName, "Tahoma");
    EXPECT_EQ(merged.bPitchAndFamily, 0x31);
}

}  // namespace
