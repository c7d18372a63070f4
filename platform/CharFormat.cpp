#include "platform/CharFormat.h"

void NormalizeFormatHeight(CCharFormat& format) {
    if (format.yHeight == 0 || !(format.dwMask & kCfmSize)) format.yHeight = kNoHeight;
    if (format.yHeight != kNoHeight)
        format.dwMask |= kCfmSize;
    else
        format.dwMask &= ~kCfmSize;
}

void MakeDefaultPrefixFormat(CCharFormat& format) {
    format.dwMask = kCfmEffects;
    format.dwEffects = kCfeBold;
}
