#include "chattext/TimeFormat.h"

#include <array>

namespace {

constexpr std::array<std::string_view, 7> kWeekdays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                       "Thursday", "Friday", "Saturday"};
constexpr std::array<std::string_view, 12> kMonths = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

// The "C" locale's pictures, written with the directives that produce them.
constexpr std::string_view kShortDate = "%#m/%#d/%y";    // M/d/yy
constexpr std::string_view kLongDate = "%A, %B %d, %Y";  // dddd, MMMM dd, yyyy
constexpr std::string_view kTimeOfDay = "%#H:%M:%S";     // H:mm:ss

template <std::size_t N>
std::string_view Name(const std::array<std::string_view, N>& names, int index, std::size_t length) {
    if (index < 0 || static_cast<std::size_t>(index) >= N) return "?";
    return names[static_cast<std::size_t>(index)].substr(0, length);
}

// Wider than int so that no field value, however far out of range, can
// overflow on the way (tm_year + 1900 with tm_year near INT_MAX).
void AppendNumber(std::string& out, long long value, int digits, bool removeLeadingZeros) {
    if (value < 0) out += '-';
    unsigned long long magnitude = value < 0 ? 0ull - static_cast<unsigned long long>(value)
                                             : static_cast<unsigned long long>(value);
    char reversed[24];
    int count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (!removeLeadingZeros)
        for (int pad = count; pad < digits; ++pad) out += '0';
    while (count > 0) out += reversed[--count];
}

long long PositiveModulo(long long value, long long modulus) { return ((value % modulus) + modulus) % modulus; }

long long Year(const std::tm& time) { return 1900LL + time.tm_year; }

long long Hour12(const std::tm& time) {
    const long long hour = PositiveModulo(time.tm_hour, 12);
    return hour == 0 ? 12 : hour;
}

std::string_view Designator(const std::tm& time) { return PositiveModulo(time.tm_hour, 24) < 12 ? "AM" : "PM"; }

// Week of the year whose weeks start on `firstWeekday` (0 Sunday, 1 Monday);
// days before the first such weekday are in week 0.
long long WeekOfYear(const std::tm& time, int firstWeekday) {
    const long long daysSinceWeekStart = PositiveModulo(static_cast<long long>(time.tm_wday) - firstWeekday, 7);
    return (static_cast<long long>(time.tm_yday) + 7 - daysSinceWeekStart) / 7;
}

void Expand(std::string& out, std::string_view format, const std::tm& time);

// Appends one directive; false when `directive` is not one, so that the
// caller copies it as it stands.
bool AppendDirective(std::string& out, char directive, bool alternate, const std::tm& time) {
    switch (directive) {
    case 'a': out += Name(kWeekdays, time.tm_wday, 3); return true;
    case 'A': out += Name(kWeekdays, time.tm_wday, std::string_view::npos); return true;
    case 'b': out += Name(kMonths, time.tm_mon, 3); return true;
    case 'B': out += Name(kMonths, time.tm_mon, std::string_view::npos); return true;
    case 'c':
        Expand(out, alternate ? kLongDate : kShortDate, time);
        out += ' ';
        Expand(out, kTimeOfDay, time);
        return true;
    case 'd': AppendNumber(out, time.tm_mday, 2, alternate); return true;
    case 'H': AppendNumber(out, time.tm_hour, 2, alternate); return true;
    case 'I': AppendNumber(out, Hour12(time), 2, alternate); return true;
    case 'j': AppendNumber(out, time.tm_yday + 1LL, 3, alternate); return true;
    case 'm': AppendNumber(out, time.tm_mon + 1LL, 2, alternate); return true;
    case 'M': AppendNumber(out, time.tm_min, 2, alternate); return true;
    case 'p': out += Designator(time); return true;
    case 'S': AppendNumber(out, time.tm_sec, 2, alternate); return true;
    case 'U': AppendNumber(out, WeekOfYear(time, 0), 2, alternate); return true;
    case 'w': AppendNumber(out, time.tm_wday, 1, alternate); return true;
    case 'W': AppendNumber(out, WeekOfYear(time, 1), 2, alternate); return true;
    case 'x': Expand(out, alternate ? kLongDate : kShortDate, time); return true;
    case 'X': Expand(out, kTimeOfDay, time); return true;
    case 'y': AppendNumber(out, PositiveModulo(Year(time), 100), 2, alternate); return true;
    case 'Y': AppendNumber(out, Year(time), 4, alternate); return true;
    case 'z':
    case 'Z': return true;
    case '%': out += '%'; return true;
    default: return false;
    }
}

void Expand(std::string& out, std::string_view format, const std::tm& time) {
    std::size_t at = 0;
    while (at < format.size()) {
        const std::size_t percent = format.find('%', at);
        if (percent == std::string_view::npos) {
            out.append(format.substr(at));
            return;
        }
        out.append(format.substr(at, percent - at));

        std::size_t next = percent + 1;
        const bool alternate = next < format.size() && format[next] == '#';
        if (alternate) ++next;
        if (next < format.size() && AppendDirective(out, format[next], alternate, time)) {
            at = next + 1;
        } else {
            // Unknown or cut off: the "%" (and "#") go out as written and the
            // byte after them, if any, is read again as ordinary text.
            out.append(format.substr(percent, next - percent));
            at = next;
        }
    }
}

}  // namespace

std::string FormatTime(std::string_view format, const std::tm& time) {
    std::string out;
    out.reserve(format.size() + 16);
    Expand(out, format, time);
    return out;
}
