#include "chattext/TimeZone.h"

std::optional<std::tm> CSystemTimeZone::ToLocalTime(std::uint32_t secondsSince1970) const {
    const std::time_t moment = static_cast<std::time_t>(secondsSince1970);
    std::tm local{};
#ifdef _WIN32
    if (localtime_s(&local, &moment) != 0) return std::nullopt;
#else
    if (localtime_r(&moment, &local) == nullptr) return std::nullopt;
#endif
    return local;
}

std::optional<std::tm> CFixedTimeZone::ToLocalTime(std::uint32_t secondsSince1970) const {
    const std::int64_t seconds = static_cast<std::int64_t>(secondsSince1970) + m_offsetSeconds;
    std::int64_t days = seconds / 86400;
    std::int64_t secondOfDay = seconds % 86400;
    if (secondOfDay < 0) {
        secondOfDay += 86400;
        --days;
    }

    // Civil date from a day count (proleptic Gregorian calendar, eras of
    // 400 years that begin on 1 March).
    const std::int64_t shifted = days + 719468;
    const std::int64_t era = (shifted >= 0 ? shifted : shifted - 146096) / 146097;
    const std::int64_t dayOfEra = shifted - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYearFromMarch = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthFromMarch = (5 * dayOfYearFromMarch + 2) / 153;
    const std::int64_t day = dayOfYearFromMarch - (153 * monthFromMarch + 2) / 5 + 1;
    const std::int64_t month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
    const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);

    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    static constexpr int kDaysBeforeMonth[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

    std::tm local{};
    local.tm_year = static_cast<int>(year - 1900);
    local.tm_mon = static_cast<int>(month - 1);
    local.tm_mday = static_cast<int>(day);
    local.tm_hour = static_cast<int>(secondOfDay / 3600);
    local.tm_min = static_cast<int>(secondOfDay / 60 % 60);
    local.tm_sec = static_cast<int>(secondOfDay % 60);
    local.tm_yday = kDaysBeforeMonth[month - 1] + static_cast<int>(day) - 1 + (leap && month > 2 ? 1 : 0);
    // 1 January 1970 was a Thursday.
    local.tm_wday = static_cast<int>(((days % 7) + 7 + 4) % 7);
    local.tm_isdst = 0;
    return local;
}
