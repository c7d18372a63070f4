#pragma once
// The common font and colour dialogs of the Format page, each kept with its
// state from one use to the next, and the way between a character format and
// what the font dialog shows and reports.

#include <windows.h>

#include <commdlg.h>

#include <array>

#include "platform/CharFormat.h"

// The font dialog's picture of `format`: face, size (twips to pixels at
// `pixelsPerInch`), effects, character set; the face, UTF-8 in the format,
// cut to the dialog's room at a character.
LOGFONTW LogFontFromFormat(const CCharFormat& format, int pixelsPerInch);
// What the dialog reports as a format: every effect, the colour and the
// character set, the face when it names one, the size when it gives one
// (`pointSizeTenths`, tenths of a point, as CHOOSEFONT's iPointSize).
CCharFormat FormatFromFont(const LOGFONTW& font, int pointSizeTenths, COLORREF color);

class CFontChoice {
public:
    // Screen fonts with effects (underline, strikeout, colour), starting
    // from `format`, over `owner`.
    CFontChoice(const CCharFormat& format, HWND owner);
    CFontChoice(const CFontChoice&) = delete;
    CFontChoice& operator=(const CFontChoice&) = delete;

    CHOOSEFONTW& Dialog() { return m_dialog; }
    // What the dialog holds now.
    CCharFormat Chosen() const { return FormatFromFont(m_font, m_dialog.iPointSize, m_dialog.rgbColors); }

private:
    LOGFONTW m_font{};
    CHOOSEFONTW m_dialog{};
};

class CColorChoice {
public:
    // Any colour, starting from `initial`; the sixteen custom colours start
    // white.
    CColorChoice(COLORREF initial, HWND owner);
    CColorChoice(const CColorChoice&) = delete;
    CColorChoice& operator=(const CColorChoice&) = delete;

    CHOOSECOLORW& Dialog() { return m_dialog; }
    std::array<COLORREF, 16>& CustomColors() { return m_custom; }
    // The colour of the last OK, or the initial one.
    COLORREF Color() const { return m_dialog.rgbResult; }

private:
    std::array<COLORREF, 16> m_custom{};
    CHOOSECOLORW m_dialog{};
};
