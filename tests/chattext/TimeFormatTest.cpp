#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

#include "chattext/TimeFormat.h"

namespace {

std::tm Time(int year, int month, int day, int hour, int minute, int second, int weekday, int dayOfYear) {
    std::tm time{};
    time.tm_year = year - 1900;
    time.tm_mon = month - 1;
    time.tm_mday = day;
    time.tm_hour = hour;
    time.tm_min = minute;
    time.tm_sec = second;
    time.tm_wday = weekday;
    time.tm_yday = dayOfYear;
    return time;
}

const std::tm kMay8Afternoon = Time(2000, 5, 8, 15, 47, 5, 1, 128);  // a Monday
const std::tm kMay8Morning = Time(2000, 5, 8, 9, 5, 3, 1, 128);
const std::tm kMidnight = Time(2001, 1, 1, 0, 0, 0, 1, 0);  // a Monday, first day of the year
const std::tm kNoon = Time(2005, 2, 6, 12, 30, 0, 0, 36);     // a Sunday
const std::tm kLogExample = Time(2000, 12, 6, 15, 47, 38, 3, 340);

TEST(FormatTime, DirectivesInTheCLocale) {
    const struct {
        const char* format;
        const std::tm& time;
        const char* expected;
    } cases[] = {
        {"%a %A %b %B", kMay8Afternoon, "Mon Monday May May"},
        {"%a %A %b %B", kLogExample, "Wed Wednesday Dec December"},
        {"%d %#d|%m %#m|%M %#M|%S %#S", kMay8Morning, "08 8|05 5|05 5|03 3"},
        {"%H %#H|%I %#I %p", kMay8Morning, "09 9|09 9 AM"},
        {"%H %#H|%I %#I %p", kMay8Afternoon, "15 15|03 3 PM"},
        {"%H %#H|%I %#I %p", kMidnight, "00 0|12 12 AM"},
        {"%H %#H|%I %#I %p", kNoon, "12 12|12 12 PM"},
        {"%j %#j", kMay8Afternoon, "129 129"},
        {"%j %#j", kMidnight, "001 1"},
        // Week numbers count the weeks that begin on Sunday (%U) or Monday (%W).
        {"%U %W %w", kMay8Afternoon, "19 19 1"},
        {"%U %W %w|%#U %#W", kMidnight, "00 01 1|0 1"},
        {"%U %W %w", kNoon, "06 05 0"},
        {"%y %#y %Y %#Y", kNoon, "05 5 2005 2005"},
        {"%y %#y %Y", kMay8Afternoon, "00 0 2000"},
        // The "C" locale's pictures; "#" selects the long date, whose day
        // keeps its two digits, and changes nothing on the time.
        {"%x", kMay8Afternoon, "5/8/00"},
        {"%x", kLogExample, "12/6/00"},
        {"%#x", kMay8Afternoon, "Monday, May 08, 2000"},
        {"%X %#X", kMay8Morning, "9:05:03 9:05:03"},
        {"%X", kMay8Afternoon, "15:47:05"},
        {"%c", kMay8Afternoon, "5/8/00 15:47:05"},
        {"%#c", kMay8Morning, "Monday, May 08, 2000 9:05:03"},
        // "#" is ignored on the names and the designator.
        {"%#a %#A %#b %#B %#p", kMay8Afternoon, "Mon Monday May May PM"},
        {"[%z%Z%#z%#Z]", kMay8Afternoon, "[]"},
        {"100%% %#%", kMay8Afternoon, "100% %"},
        {"", kMay8Afternoon, ""},
        {"no directives", kMay8Afternoon, "no directives"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatTime(c.format, c.time), c.expected) << c.format;
}

TEST(FormatTime, LogHeader) {
    const char* header = "%A, %B %#d, %Y at %#I:%M:%S %p";
    const std::string text = FormatTime(header, kLogExample);
    EXPECT_EQ(text, "Wednesday, December 6, 2000 at 3:47:38 PM");
    EXPECT_EQ(text.size(), 41u);
    // The longest header there can be; the log's asterisk lines are cut from
    // a fixed text on the assumption that none is longer.
    EXPECT_EQ(FormatTime(header, Time(2015, 9, 30, 12, 59, 59, 3, 272)).size(), 44u);
}

// Names from the network pass through the formatter: whatever they hold must
// come out without harm, and text that is no directive must come out as it
// was written.
TEST(FormatTime, UnknownAndCutOffDirectivesAreCopied) {
    const struct {
        std::string format;
        std::string expected;
    } cases[] = {
        {"%Q", "%Q"},
        {"%#Q", "%#Q"},
        {"100%", "100%"},
        {"%", "%"},
        {"%#", "%#"},
        {"50%#", "50%#"},
        {"%%%", "%%"},
        {"%##d", "%##d"},
        {"%#%d", "%d"},
        {"%Q%d", "%Q08"},  // the byte after an unknown directive is read again
        {"%E%O%e%D%T", "%E%O%e%D%T"},
        {"%\xE9t\xE9", "%\xE9t\xE9"},
        {"\x81%\x82%d", "\x81%\x82" "08"},
        {std::string("%\0d", 3), std::string("%\0d", 3)},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatTime(c.format, kMay8Afternoon), c.expected) << c.format;
}

TEST(FormatTime, EveryByteAfterAPercentIsSafe) {
    const std::string known = "aAbBcdHIjmMpSUwWxXyYzZ%";
    for (int b = 1; b < 256; ++b) {
        const char c = static_cast<char>(b);
        for (const std::string flag : {"", "#"}) {
            const std::string format = "%" + flag + c;
            const std::string text = FormatTime(format, kMay8Afternoon);
            if (known.find(c) == std::string::npos)
                EXPECT_EQ(text, format) << "byte " << b;
            else
                EXPECT_NE(text, format) << "byte " << b;
        }
    }
}

TEST(FormatTime, LongInputsGrowInProportion) {
    std::string percents(100001, '%');
    EXPECT_EQ(FormatTime(percents, kMay8Afternoon), std::string(50001, '%'));

    std::string dates;
    for (int i = 0; i < 10000; ++i) dates += "%c";
    EXPECT_EQ(FormatTime(dates, kMay8Afternoon).size(), 10000u * std::string("5/8/00 15:47:05").size());

    // Arbitrary bytes without zeros; no directive gives more than 40
    // characters from its two or three.
    std::uint32_t seed = 12345;
    std::string noise;
    for (int i = 0; i < 100000; ++i) {
        seed = seed * 1103515245u + 12345u;
        noise += static_cast<char>(1 + (seed >> 16) % 255);
        if (i % 7 == 0) noise += '%';
    }
    EXPECT_LE(FormatTime(noise, kMay8Afternoon).size(), noise.size() * 20);
}

TEST(FormatTime, FieldsOutOfRangeNeverOverflowOrIndexOutside) {
    std::tm wild{};
    wild.tm_year = INT_MAX;
    wild.tm_mon = -1;
    wild.tm_wday = 7;
    wild.tm_mday = INT_MIN;
    wild.tm_hour = -1;
    wild.tm_yday = INT_MAX;
    wild.tm_min = 99;
    EXPECT_EQ(FormatTime("%a|%A|%b|%B|%Y|%y|%d|%I %p|%M|%m", wild),
              "?|?|?|?|2147485547|47|-2147483648|11 PM|99|00");
    // No throw or sanitizer report for the pictures and week numbers either.
    EXPECT_FALSE(FormatTime("%c %#c %x %#x %X %j %U %W %w", wild).empty());

    wild.tm_hour = 25;
    wild.tm_year = INT_MIN;
    EXPECT_EQ(FormatTime("%H %I %p %Y", wild), "25 01 AM -2147481748");
}

}  // namespace
