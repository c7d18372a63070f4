#include "settings/FontSettings.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

namespace {

constexpr char kMask[] = "Mask";
constexpr char kEffects[] = "Effects";
constexpr char kHeight[] = "Height";
constexpr char kOffset[] = "Offset";
constexpr char kColor[] = "Color";
constexpr char kCharSet[] = "CharSet";
constexpr char kPitchAndFamily[] = "PitchAndFamily";
constexpr char kFaceName[] = "FaceName";

constexpr std::size_t kMaxFaceName = kFaceNameSize - 1;

std::string_view FaceName(const CCharFormat& format) {
    return std::string_view(format.szFaceName,
                            std::find(format.szFaceName, format.szFaceName + kMaxFaceName, '\0') - format.szFaceName);
}

std::uint32_t Unsigned(std::int32_t value) { return static_cast<std::uint32_t>(value); }

// A layer never keeps a value from an earlier save that the mask no longer
// covers.
bool WriteFontTo(CSettingsLayer& layer, const CCharFormat& format) {
    bool ok = true;
    for (const char* name : {kEffects, kHeight, kOffset, kColor, kCharSet, kPitchAndFamily, kFaceName})
        ok = layer.DeleteValue(name) && ok;

    const std::uint32_t mask = format.dwMask;
    ok = layer.WriteDword(kMask, mask) && ok;
    if (mask & kCfmEffects) ok = layer.WriteDword(kEffects, format.dwEffects) && ok;
    if (mask & kCfmSize) ok = layer.WriteDword(kHeight, Unsigned(format.yHeight)) && ok;
    if (mask & kCfmOffset) ok = layer.WriteDword(kOffset, Unsigned(format.yOffset)) && ok;
    if (mask & kCfmColor) ok = layer.WriteDword(kColor, format.crTextColor) && ok;
    if (mask & kCfmCharset) ok = layer.WriteDword(kCharSet, format.bCharSet) && ok;
    if (mask & kCfmFace) {
        ok = layer.WriteDword(kPitchAndFamily, format.bPitchAndFamily) && ok;
        ok = layer.WriteString(kFaceName, FaceName(format)) && ok;
    }
    return ok;
}

}  // namespace

void ReadFontSetting(const CSettingsKey& key, CCharFormat& format, const CCharFormat* source, bool boldByDefault) {
    if (source) {
        // The record goes to the control as it is: it must carry the one size
        // the ANSI form has and a terminated face name.
        format = *source;
        format.cbSize = kCharFormatSize;
        format.szFaceName[kMaxFaceName] = '\0';
        NormalizeFormatHeight(format);
        return;
    }

    // A font is read whole from the layer that holds its mask: the user's own
    // font, else the one stored for the computer.
    const CSettingsLayer layer = key.LayerHolding(kMask);
    auto dword = [&layer](const char* name) { return layer.FindDword(name).value_or(0); };
    format.cbSize = kCharFormatSize;
    format.dwMask = Unsigned(dword(kMask));
    format.dwEffects = Unsigned(dword(kEffects));
    format.yOffset = dword(kOffset);
    format.crTextColor = Unsigned(dword(kColor));
    format.bCharSet = static_cast<std::uint8_t>(dword(kCharSet) & 0xFF);
    format.bPitchAndFamily = static_cast<std::uint8_t>(dword(kPitchAndFamily) & 0xFF);
    format.yHeight = dword(kHeight);
    const std::string face = layer.FindString(kFaceName).value_or(std::string());
    std::memset(format.szFaceName, 0, sizeof format.szFaceName);
    std::memcpy(format.szFaceName, face.data(), std::min(face.size(), kMaxFaceName));
    NormalizeFormat(format);
    // A mask that gives nothing means the format was never stored: the
    // prefix then stands out in bold, and only bold. Decided after the size
    // and face rules, so that a stored mask holding only a size of 0 or only
    // an empty face reads the same as the mask 0 it is written back as.
    if (format.dwMask == 0 && boldByDefault) MakeDefaultPrefixFormat(format);
}

bool FontSettingSetByPolicy(const CSettingsKey& key) {
    ESettingSource source{};
    key.LayerHolding(kMask, &source);
    return IsPolicy(source);
}

bool WriteFontSetting(CSettingsKey& key, const CCharFormat& format) {
    return key.WriteGroup({kMask, kEffects, kHeight, kOffset, kColor, kCharSet, kPitchAndFamily, kFaceName},
                          [&format](CSettingsLayer& layer) { return WriteFontTo(layer, format); });
}
