#pragma once
// The rich edit character format as the portable code keeps it: field for
// field the platform's CHARFORMATA (ANSI form, 60 bytes), so the Win32 side
// can hand it to the control as it is (platform/win32/Win32CharFormat.h
// checks the layout). The settings store and the history share it. Within this program a yHeight of kNoHeight with
// kCfmSize clear means that the record gives no size.

#include <cstddef>
#include <cstdint>

#include "platform/ColorRef.h"

inline constexpr std::size_t kFaceNameSize = 32;  // LF_FACESIZE, the terminator included

struct CCharFormat {
    std::uint32_t cbSize = 0;
    std::uint32_t dwMask = 0;
    std::uint32_t dwEffects = 0;
    std::int32_t yHeight = 0;  // twips
    std::int32_t yOffset = 0;  // twips
    ColorRef crTextColor = 0;
    std::uint8_t bCharSet = 0;
    std::uint8_t bPitchAndFamily = 0;
    char szFaceName[kFaceNameSize] = {};
};

inline constexpr std::uint32_t kCharFormatSize = 60;
inline constexpr std::int32_t kNoHeight = -1;

// dwMask bits (CFM_*).
inline constexpr std::uint32_t kCfmBold = 0x00000001;
inline constexpr std::uint32_t kCfmItalic = 0x00000002;
inline constexpr std::uint32_t kCfmUnderline = 0x00000004;
inline constexpr std::uint32_t kCfmStrikeout = 0x00000008;
inline constexpr std::uint32_t kCfmEffects = kCfmBold | kCfmItalic | kCfmUnderline | kCfmStrikeout;
inline constexpr std::uint32_t kCfmCharset = 0x08000000;
inline constexpr std::uint32_t kCfmOffset = 0x10000000;
inline constexpr std::uint32_t kCfmFace = 0x20000000;
inline constexpr std::uint32_t kCfmColor = 0x40000000;
inline constexpr std::uint32_t kCfmSize = 0x80000000;

// dwEffects bits (CFE_*).
inline constexpr std::uint32_t kCfeBold = 0x00000001;

// A record gives a size only with a height that is not 0 and with its mask
// saying so; afterwards the mask tells the truth about it: kNoHeight with
// kCfmSize clear, or a real height with kCfmSize set.
void NormalizeFormatHeight(CCharFormat& format);

// The prefix font when none is stored: bold, and only bold, so that the
// prefix stands out from the message.
void MakeDefaultPrefixFormat(CCharFormat& format);
