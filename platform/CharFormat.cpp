#include "platform/CharFormat.h"

#include <cstring>
#include <initializer_list>

void NormalizeFormatHeight(CCharFormat& format) {
    if (format.yHeight == 0 || !(format.dwMask & kCfmSize)) format.yHeight = kNoHeight;
    if (format.yHeight != kNoHeight)
        format.dwMask |= kCfmSize;
    else
        format.dwMask &= ~kCfmSize;
}

void NormalizeFormatFace(CCharFormat& format) {
    format.szFaceName[kFaceNameSize - 1] = '\0';
    if (format.szFaceName[0] != '\0')
        format.dwMask |= kCfmFace;
    else
        format.dwMask &= ~kCfmFace;
}

void NormalizeFormat(CCharFormat& format) {
    NormalizeFormatHeight(format);
    NormalizeFormatFace(format);
}

void MakeDefaultPrefixFormat(CCharFormat& format) {
    format.dwMask = kCfmEffects;
    format.dwEffects = kCfeBold;
}

void MergeFontAttribute(const CCharFormat& chosen, CCharFormat& pending, std::uint32_t bit) {
    if (!(chosen.dwMask & bit)) {
        if (bit == kCfmFace)
            std::memset(pending.szFaceName, 0, sizeof pending.szFaceName);
        else
            pending.dwMask &= ~bit;
        return;
    }
    pending.dwMask |= bit;
    switch (bit) {
    case kCfmBold:
    case kCfmItalic:
    case kCfmUnderline:
    case kCfmStrikeout:
    case kCfmProtected:
        // Each of these mask bits has the effect bit of the same value.
        pending.dwEffects = (pending.dwEffects & ~bit) | (chosen.dwEffects & bit);
        break;
    case kCfmCharset: pending.bCharSet = chosen.bCharSet; break;
    case kCfmColor: pending.crTextColor = chosen.crTextColor; break;
    case kCfmOffset: pending.yOffset = chosen.yOffset; break;
    case kCfmSize: pending.yHeight = chosen.yHeight; break;
    case kCfmFace: std::memcpy(pending.szFaceName, chosen.szFaceName, sizeof pending.szFaceName); break;
    default: break;
    }
}

void MergeChosenFont(const CCharFormat& chosen, CCharFormat& pending) {
    for (const std::uint32_t bit : {kCfmBold, kCfmCharset, kCfmColor, kCfmFace, kCfmItalic, kCfmOffset,
                                    kCfmProtected, kCfmSize, kCfmStrikeout, kCfmUnderline})
        MergeFontAttribute(chosen, pending, bit);
    NormalizeFormat(pending);
}
