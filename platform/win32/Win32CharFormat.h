#pragma once
// The portable CCharFormat is the platform's CHARFORMATA byte for byte; these
// checks keep it so, and the conversions hand it over without translation.

#include <windows.h>

#include <richedit.h>

#include <cstddef>
#include <cstring>
#include <type_traits>

#include "platform/CharFormat.h"

static_assert(std::is_trivially_copyable_v<CCharFormat>);
static_assert(sizeof(CCharFormat) == sizeof(CHARFORMATA));
static_assert(kCharFormatSize == sizeof(CHARFORMATA));
static_assert(offsetof(CCharFormat, cbSize) == offsetof(CHARFORMATA, cbSize));
static_assert(offsetof(CCharFormat, dwMask) == offsetof(CHARFORMATA, dwMask));
static_assert(offsetof(CCharFormat, dwEffects) == offsetof(CHARFORMATA, dwEffects));
static_assert(offsetof(CCharFormat, yHeight) == offsetof(CHARFORMATA, yHeight));
static_assert(offsetof(CCharFormat, yOffset) == offsetof(CHARFORMATA, yOffset));
static_assert(offsetof(CCharFormat, crTextColor) == offsetof(CHARFORMATA, crTextColor));
static_assert(offsetof(CCharFormat, bCharSet) == offsetof(CHARFORMATA, bCharSet));
static_assert(offsetof(CCharFormat, bPitchAndFamily) == offsetof(CHARFORMATA, bPitchAndFamily));
static_assert(offsetof(CCharFormat, szFaceName) == offsetof(CHARFORMATA, szFaceName));
static_assert(sizeof(CCharFormat::szFaceName) == LF_FACESIZE);

static_assert(kCfmBold == CFM_BOLD && kCfmItalic == CFM_ITALIC && kCfmUnderline == CFM_UNDERLINE &&
              kCfmStrikeout == CFM_STRIKEOUT);
static_assert(kCfmCharset == CFM_CHARSET && kCfmOffset == CFM_OFFSET && kCfmFace == CFM_FACE &&
              kCfmColor == CFM_COLOR && kCfmSize == CFM_SIZE);
static_assert(kCfeBold == CFE_BOLD && kCfeItalic == CFE_ITALIC && kCfeUnderline == CFE_UNDERLINE &&
              kCfeStrikeout == CFE_STRIKEOUT && kCfeProtected == CFE_PROTECTED && kCfmProtected == CFM_PROTECTED);

inline CHARFORMATA ToPlatformCharFormat(const CCharFormat& format) {
    CHARFORMATA platform;
    std::memcpy(&platform, &format, sizeof platform);
    return platform;
}

inline CCharFormat FromPlatformCharFormat(const CHARFORMATA& platform) {
    CCharFormat format;
    std::memcpy(static_cast<void*>(&format), &platform, sizeof format);
    return format;
}
