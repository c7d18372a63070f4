#pragma once
// The portable CCharFormat has the fields of the platform's CHARFORMATW, its
// face name in UTF-8; the control takes the Unicode form, CHARFORMATW. These
// checks keep the flags the same, and the conversions copy field by field.

#include <windows.h>

#include <richedit.h>

#include <cstddef>
#include <cstring>
#include <cwchar>
#include <string>
#include <type_traits>

#include "platform/CharFormat.h"
#include "util/win32/WideText.h"

static_assert(std::is_trivially_copyable_v<CCharFormat>);
static_assert(sizeof(CCharFormat::szFaceName) == LF_FACESIZE);

static_assert(kCfmBold == CFM_BOLD && kCfmItalic == CFM_ITALIC && kCfmUnderline == CFM_UNDERLINE &&
              kCfmStrikeout == CFM_STRIKEOUT);
static_assert(kCfmCharset == CFM_CHARSET && kCfmOffset == CFM_OFFSET && kCfmFace == CFM_FACE &&
              kCfmColor == CFM_COLOR && kCfmSize == CFM_SIZE);
static_assert(kCfeBold == CFE_BOLD && kCfeItalic == CFE_ITALIC && kCfeUnderline == CFE_UNDERLINE &&
              kCfeStrikeout == CFE_STRIKEOUT && kCfeProtected == CFE_PROTECTED && kCfmProtected == CFM_PROTECTED);

// The face name is UTF-8 in the portable record and UTF-16 in the
// control's; a face longer than the control's room is cut at a character.
inline CHARFORMATW ToPlatformCharFormat(const CCharFormat& format) {
    CHARFORMATW platform{};
    platform.cbSize = sizeof platform;
    platform.dwMask = format.dwMask;
    platform.dwEffects = format.dwEffects;
    platform.yHeight = format.yHeight;
    platform.yOffset = format.yOffset;
    platform.crTextColor = format.crTextColor;
    platform.bCharSet = format.bCharSet;
    platform.bPitchAndFamily = format.bPitchAndFamily;
    const std::wstring face = Widen(std::string_view(format.szFaceName, strnlen(format.szFaceName, kFaceNameSize)));
    std::wmemcpy(platform.szFaceName, face.data(), FitUnits(face, LF_FACESIZE - 1));
    return platform;
}

inline CCharFormat FromPlatformCharFormat(const CHARFORMATW& platform) {
    CCharFormat format;
    format.cbSize = kCharFormatSize;
    format.dwMask = platform.dwMask;
    format.dwEffects = platform.dwEffects;
    format.yHeight = platform.yHeight;
    format.yOffset = platform.yOffset;
    format.crTextColor = platform.crTextColor;
    format.bCharSet = platform.bCharSet;
    format.bPitchAndFamily = platform.bPitchAndFamily;
    const std::string face = NarrowBuffer(platform.szFaceName, LF_FACESIZE);
    std::memcpy(format.szFaceName, face.data(), Utf8PrefixLength(face, kFaceNameSize - 1));
    return format;
}
