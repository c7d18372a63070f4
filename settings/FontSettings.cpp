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

    format.cbSize = kCharFormatSize;
    format.dwMask = Unsigned(key.ReadDword(kMask, 0));
    format.dwEffects = Unsigned(key.ReadDword(kEffects, 0));
    format.yOffset = key.ReadDword(kOffset, 0);
    format.crTextColor = Unsigned(key.ReadDword(kColor, 0));
    format.bCharSet = static_cast<std::uint8_t>(key.ReadDword(kCharSet, 0) & 0xFF);
    format.bPitchAndFamily = static_cast<std::uint8_t>(key.ReadDword(kPitchAndFamily, 0) & 0xFF);
    format.yHeight = key.ReadDword(kHeight, 0);
    const std::string face = key.ReadString(kFaceName, "");
    std::memset(format.szFaceName, 0, sizeof format.szFaceName);
    std::memcpy(format.szFaceName, face.data(), std::min(face.size(), kMaxFaceName));
    NormalizeFormat(format);
    // A mask that gives nothing means the format was never stored: the
    // prefix then stands out in bold, and only bold. Decided after the size
    // and face rules, so that a stored mask holding only a size of 0 or only
    // an empty face reads the same as the mask 0 it is written back as.
    if (format.dwMask == 0 && boldByDefault) MakeDefaultPrefixFormat(format);
}

bool WriteFontSetting(CSettingsKey& key, const CCharFormat& format) {
    bool ok = true;
    for (const char* name : {kEffects, kHeight, kOffset, kColor, kCharSet, kPitchAndFamily, kFaceName})
        ok = key.DeleteValue(name) && ok;

    const std::uint32_t mask = format.dwMask;
    ok = key.WriteDword(kMask, mask) && ok;
    if (mask & kCfmEffects) ok = key.WriteDword(kEffects, format.dwEffects) && ok;
    if (mask & kCfmSize) ok = key.WriteDword(kHeight, Unsigned(format.yHeight)) && ok;
    if (mask & kCfmOffset) ok = key.WriteDword(kOffset, Unsigned(format.yOffset)) && ok;
    if (mask & kCfmColor) ok = key.WriteDword(kColor, format.crTextColor) && ok;
    if (mask & kCfmCharset) ok = key.WriteDword(kCharSet, format.bCharSet) && ok;
    if (mask & kCfmFace) {
        ok = key.WriteDword(kPitchAndFamily, format.bPitchAndFamily) && ok;
        ok = key.WriteString(kFaceName, FaceName(format)) && ok;
    }
    return ok;
}
