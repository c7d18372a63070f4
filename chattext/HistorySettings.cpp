#include "chattext/HistorySettings.h"

#include "chattext/PrefixCode.h"

void NormalizeFormatHeight(CHARFORMATA& format) {
    if (format.yHeight == 0 || !(format.dwMask & CFM_SIZE)) {
        format.yHeight = kNoFormatHeight;
        format.dwMask &= ~CFM_SIZE;
    }
}

std::string CDefaultHistorySettings::PrefixCode() { return std::string(kDefaultPrefixCode); }

namespace {

void CopyOrEmpty(CHARFORMATA& format, const CHARFORMATA* source) {
    if (source) {
        format = *source;
    } else {
        format = CHARFORMATA{};
    }
    format.cbSize = sizeof format;
    NormalizeFormatHeight(format);
}

}  // namespace

void CDefaultHistorySettings::ReadPrefixFormat(CHARFORMATA& format, const CHARFORMATA* source) {
    CopyOrEmpty(format, source);
    if (!source) {
        format.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
        format.dwEffects = CFE_BOLD;
    }
}

void CDefaultHistorySettings::ReadMessageFormat(CHARFORMATA& format, const CHARFORMATA* source) {
    CopyOrEmpty(format, source);
}
