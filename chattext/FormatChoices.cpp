#include "chattext/FormatChoices.h"

#include <initializer_list>
#include <string>

#include "chattext/TimeZone.h"

std::string_view PrefixCodeOfShownText(std::string_view shown) {
    for (const CPrefixChoice& choice : kPrefixChoices)
        if (choice.shown == shown) return choice.code;
    return {};
}

std::optional<std::size_t> PrefixChoiceOfCode(std::string_view code) {
    for (std::size_t i = 0; i < kPrefixChoices.size(); ++i)
        if (kPrefixChoices[i].code == code) return i;
    return std::nullopt;
}

namespace {

// Days since 1970-01-01 of a civil date (proleptic Gregorian calendar, eras
// of 400 years that begin on 1 March).
std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// A local time read as if it were UTC: the zone's offset is its difference
// from the moment.
std::int64_t WallSeconds(const std::tm& local) {
    return DaysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) * 86400 + local.tm_hour * 3600 +
           local.tm_min * 60 + local.tm_sec;
}

}  // namespace

std::optional<std::uint32_t> SecondsForLocalTime(const CTimeZone& zone, int year, int month, int day, int hour,
                                                 int minute, int second) {
    const std::int64_t wanted = DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
    // Each offset the zone has within a day of that time gives one candidate;
    // a time that clocks skipped has none, one they repeated has two.
    std::optional<std::uint32_t> found;
    for (const std::int64_t probe : {wanted - 86400, wanted, wanted + 86400}) {
        if (probe < 0 || probe > UINT32_MAX) continue;
        const auto local = zone.ToLocalTime(static_cast<std::uint32_t>(probe));
        if (!local) continue;
        const std::int64_t moment = wanted - (WallSeconds(*local) - probe);
        if (moment < 0 || moment > UINT32_MAX) continue;
        const auto check = zone.ToLocalTime(static_cast<std::uint32_t>(moment));
        if (check && WallSeconds(*check) == wanted && (!found || moment < *found))
            found = static_cast<std::uint32_t>(moment);
    }
    return found;
}

std::vector<CMessageRecord> FormatSampleMessages(const CTimeZone& zone) {
    CMessageRecord first;
    first.computer = "Lathe";
    first.user = "Owen Pardee";
    first.text = "Thanks.  Hey, also check out " + std::string(kSampleAddress) + ".";
    first.broadcast = 0;
    first.time = SecondsForLocalTime(zone, 2005, 10, 28, 9, 42, 32).value_or(0);

    CMessageRecord second;
    second.computer = "Win2K";
    second.user = "RT Hollis";
    second.text = "Ho, Golfers!  Bring your gulf clubs to the awards ceremony on Saturday.";
    second.broadcast = 1;
    second.time = SecondsForLocalTime(zone, 2005, 10, 28, 13, 34, 17).value_or(0);
    return {first, second};
}
