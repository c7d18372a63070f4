#include "app/FontChoice.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <string>

#include "util/win32/Handles.h"
#include "util/win32/WideText.h"

namespace {

constexpr int kTwipsPerInch = 1440;

int ScreenPixelsPerInch() {
    const CWindowDc screen(nullptr);
    return screen.Get() ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
}

}  // namespace

LOGFONTW LogFontFromFormat(const CCharFormat& format, int pixelsPerInch) {
    LOGFONTW font{};
    if ((format.dwMask & kCfmSize) && format.yHeight > 0)
        font.lfHeight = -::MulDiv(format.yHeight, pixelsPerInch, kTwipsPerInch);
    font.lfWeight = (format.dwMask & kCfmBold) && (format.dwEffects & kCfeBold) ? FW_BOLD : FW_NORMAL;
    font.lfItalic = (format.dwMask & kCfmItalic) && (format.dwEffects & kCfeItalic) ? TRUE : FALSE;
    font.lfUnderline = (format.dwMask & kCfmUnderline) && (format.dwEffects & kCfeUnderline) ? TRUE : FALSE;
    font.lfStrikeOut = (format.dwMask & kCfmStrikeout) && (format.dwEffects & kCfeStrikeout) ? TRUE : FALSE;
    font.lfCharSet = (format.dwMask & kCfmCharset) ? format.bCharSet : DEFAULT_CHARSET;
    font.lfPitchAndFamily = format.bPitchAndFamily;
    if (format.dwMask & kCfmFace) {
        const std::wstring face = Widen(std::string_view(format.szFaceName, strnlen(format.szFaceName, kFaceNameSize)));
        std::wmemcpy(font.lfFaceName, face.data(), FitUnits(face, LF_FACESIZE - 1));
    }
    return font;
}

CCharFormat FormatFromFont(const LOGFONTW& font, int pointSizeTenths, COLORREF color) {
    CCharFormat format;
    format.cbSize = kCharFormatSize;
    format.dwMask = kCfmEffects | kCfmColor | kCfmCharset;
    if (font.lfWeight > FW_MEDIUM) format.dwEffects |= kCfeBold;
    if (font.lfItalic) format.dwEffects |= kCfeItalic;
    if (font.lfUnderline) format.dwEffects |= kCfeUnderline;
    if (font.lfStrikeOut) format.dwEffects |= kCfeStrikeout;
    format.crTextColor = color;
    format.bCharSet = font.lfCharSet;
    format.bPitchAndFamily = font.lfPitchAndFamily;
    if (pointSizeTenths > 0) {
        format.dwMask |= kCfmSize;
        format.yHeight = pointSizeTenths * 2;  // a twip is a twentieth of a point
    }
    const std::string face = NarrowBuffer(font.lfFaceName, LF_FACESIZE);
    std::memcpy(format.szFaceName, face.data(), Utf8PrefixLength(face, kFaceNameSize - 1));
    if (format.szFaceName[0] != '\0') format.dwMask |= kCfmFace;
    return format;
}

CFontChoice::CFontChoice(const CCharFormat& format, HWND owner) : m_font(LogFontFromFormat(format, ScreenPixelsPerInch())) {
    m_dialog.lStructSize = sizeof m_dialog;
    m_dialog.hwndOwner = owner;
    m_dialog.lpLogFont = &m_font;
    m_dialog.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
    m_dialog.rgbColors = (format.dwMask & kCfmColor) ? format.crTextColor : ::GetSysColor(COLOR_WINDOWTEXT);
    if ((format.dwMask & kCfmSize) && format.yHeight > 0) m_dialog.iPointSize = format.yHeight / 2;
}

CColorChoice::CColorChoice(COLORREF initial, HWND owner) {
    m_custom.fill(RGB(255, 255, 255));
    m_dialog.lStructSize = sizeof m_dialog;
    m_dialog.hwndOwner = owner;
    m_dialog.rgbResult = initial;
    m_dialog.lpCustColors = m_custom.data();
    m_dialog.Flags = CC_RGBINIT | CC_ANYCOLOR;
}
