#pragma once
// The rich edit character format as the portable code keeps it: field for
// field the platform's CHARFORMATW (ANSI form, 60 bytes), so the Win32 side
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
inline constexpr std::uint32_t kCfeItalic = 0x00000002;
inline constexpr std::uint32_t kCfeUnderline = 0x00000004;
inline constexpr std::uint32_t kCfeStrikeout = 0x00000008;
inline constexpr std::uint32_t kCfmProtected = 0x00000010;
inline constexpr std::uint32_t kCfeProtected = 0x00000010;

// A record gives a size only with a height that is not 0 and with its mask
// saying so; afterwards the mask tells the truth about it: kNoHeight with
// kCfmSize clear, or a real height with kCfmSize set.
void NormalizeFormatHeight(CCharFormat& format);

// A record gives a face only with a name: kCfmFace is set exactly when the
// (terminated) face name is not empty.
void NormalizeFormatFace(CCharFormat& format);
// Both rules: the form in which a stored font reads back.
void NormalizeFormat(CCharFormat& format);

// The prefix font when none is stored: bold, and only bold, so that the
// prefix stands out from the message.
void MakeDefaultPrefixFormat(CCharFormat& format);

// Takes one attribute (`bit`, one kCfm* bit) of a font the user chose into
// `pending`: with the bit in the chosen mask, the bit and its value (the
// effect for bold, italic, underline, strikeout and protected; the field for
// the character set, colour, offset and size; the name only for the face);
// without it, the bit is cleared, except that the face's name is emptied
// and its bit left as it was.
void MergeFontAttribute(const CCharFormat& chosen, CCharFormat& pending, std::uint32_t bit);
// Every attribute a font dialog reports, in the order bold, character set,
// colour, face, italic, offset, protected, size, strikeout, underline; then
// the result is normalised, so that it is stored and read back as it is.
void MergeChosenFont(const CCharFormat& chosen, CCharFormat& pending);
