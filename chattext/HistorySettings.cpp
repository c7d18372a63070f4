#include "chattext/HistorySettings.h"

#include "chattext/PrefixCode.h"
#include "platform/win32/Win32CharFormat.h"

std::string CDefaultHistorySettings::PrefixCode() { return std::string(kDefaultPrefixCode); }

namespace {

CCharFormat CopyOrEmpty(const CHARFORMATW* source) {
    CCharFormat format = source ? FromPlatformCharFormat(*source) : CCharFormat{};
    NormalizeFormatHeight(format);
    return format;
}

CHARFORMATW ToControl(const CCharFormat& format) {
    CHARFORMATW platform = ToPlatformCharFormat(format);
    platform.cbSize = sizeof platform;
    return platform;
}

}  // namespace

void CDefaultHistorySettings::ReadPrefixFormat(CHARFORMATW& format, const CHARFORMATW* source) {
    CCharFormat read = CopyOrEmpty(source);
    if (!source) MakeDefaultPrefixFormat(read);
    format = ToControl(read);
}

void CDefaultHistorySettings::ReadMessageFormat(CHARFORMATW& format, const CHARFORMATW* source) {
    format = ToControl(CopyOrEmpty(source));
}
