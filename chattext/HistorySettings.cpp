#include "chattext/HistorySettings.h"

#include "chattext/PrefixCode.h"
#include "platform/win32/Win32CharFormat.h"

std::string CDefaultHistorySettings::PrefixCode() { return std::string(kDefaultPrefixCode); }

namespace {

CCharFormat CopyOrEmpty(const CHARFORMATA* source) {
    CCharFormat format = source ? FromPlatformCharFormat(*source) : CCharFormat{};
    NormalizeFormatHeight(format);
    return format;
}

CHARFORMATA ToControl(const CCharFormat& format) {
    CHARFORMATA platform = ToPlatformCharFormat(format);
    platform.cbSize = sizeof platform;
    return platform;
}

}  // namespace

void CDefaultHistorySettings::ReadPrefixFormat(CHARFORMATA& format, const CHARFORMATA* source) {
    CCharFormat read = CopyOrEmpty(source);
    if (!source) MakeDefaultPrefixFormat(read);
    format = ToControl(read);
}

void CDefaultHistorySettings::ReadMessageFormat(CHARFORMATA& format, const CHARFORMATA* source) {
    format = ToControl(CopyOrEmpty(source));
}
