// The Format page's choices and samples, free of the page.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "chattext/FormatChoices.h"
#include "chattext/PrefixCode.h"
#include "chattext/TimeZone.h"

namespace {

TEST(PrefixChoices, TheSecondIsTheDefaultAndLookUpsCompareExactly) {
    EXPECT_EQ(kPrefixChoices[1].code, kDefaultPrefixCode);
    for (std::size_t i = 0; i < kPrefixChoices.size(); ++i) {
        EXPECT_EQ(PrefixCodeOfShownText(kPrefixChoices[i].shown), kPrefixChoices[i].code);
        EXPECT_EQ(PrefixChoiceOfCode(kPrefixChoices[i].code), i);
    }
    for (const char* other : {"", "U[ (to all users)] H:nn> ", "u[ (to all users)] H:nn>", "u[ (to all users)]  H:nn> "})
        EXPECT_EQ(PrefixChoiceOfCode(other), std::nullopt) << '[' << other << ']';
    for (const char* other : {"", "nico varga> ", "Nico Varga>", "Nico Varga 15:47>  "})
        EXPECT_EQ(PrefixCodeOfShownText(other), "") << '[' << other << ']';
}

TEST(FormatSamples, ShowTheirSendersAndLocalTimesUnderEachChoice) {
    for (const std::int32_t offset : {0, 3600, -5 * 3600, 13 * 3600 + 1800}) {
        const CFixedTimeZone zone(offset);
        const auto samples = FormatSampleMessages(zone);
        ASSERT_EQ(samples.size(), 2u);
        EXPECT_EQ(samples[0].broadcast, 0);
        EXPECT_EQ(samples[1].broadcast, 1);
        EXPECT_NE(samples[0].text.find(kSampleAddress), std::string::npos);

        const struct {
            std::string_view code;
            std::string first, second;
        } cases[] = {
            {kDefaultPrefixCode, "Owen Pardee 9:42> ", "RT Hollis (to all users) 13:34> "},
            {kPrefixChoices[6].code, "Owen Pardee @ Lathe 10/28/05 9:42> ", "RT Hollis @ Win2K (to all users) 10/28/05 13:34> "},
            {kPrefixChoices[5].code, "Owen Pardee Fri 9:42:32 AM> ", "RT Hollis (to all users) Fri 1:34:17 PM> "},
        };
        for (const auto& c : cases) {
            EXPECT_EQ(ExpandPrefix(c.code, samples[0], zone), c.first) << offset;
            EXPECT_EQ(ExpandPrefix(c.code, samples[1], zone), c.second) << offset;
        }
    }
}

// A zone that moves its clocks an hour ahead at one moment and back at
// another, as daylight saving time does.
class CSwitchingZone : public CTimeZone {
public:
    CSwitchingZone(std::uint32_t forward, std::uint32_t back) : m_forward(forward), m_back(back) {}
    std::optional<std::tm> ToLocalTime(std::uint32_t seconds) const override {
        const bool summer = seconds >= m_forward && seconds < m_back;
        return CFixedTimeZone(summer ? 3600 : 0).ToLocalTime(seconds);
    }

private:
    std::uint32_t m_forward, m_back;
};

TEST(SecondsForLocalTime, FindsTheMomentOfALocalTimeAcrossClockChanges) {
    // 2005-03-27 01:00 UTC ahead, 2005-10-30 01:00 UTC back.
    const CSwitchingZone zone(1111885200u, 1130634000u);
    const struct {
        const char* what;
        int month, day, hour, minute;
        std::optional<std::uint32_t> seconds;
    } cases[] = {
        {"winter", 1, 15, 12, 0, 1105790400u},
        {"summer", 10, 28, 9, 42, 1130488920u},  // 08:42 UTC
        {"skipped hour", 3, 27, 1, 30, std::nullopt},     // 01:00 became 02:00
        {"repeated hour, the earlier", 10, 30, 1, 30, 1130632200u},  // 00:30 UTC
        {"after the repeat", 10, 30, 2, 30, 1130639400u},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SecondsForLocalTime(zone, 2005, c.month, c.day, c.hour, c.minute, 0), c.seconds) << c.what;

    EXPECT_EQ(SecondsForLocalTime(CFixedTimeZone(0), 1969, 12, 31, 23, 59, 59), std::nullopt) << "before 1970";
    EXPECT_EQ(SecondsForLocalTime(CFixedTimeZone(0), 2106, 2, 7, 6, 28, 15), 4294967295u) << "the last second";
    EXPECT_EQ(SecondsForLocalTime(CFixedTimeZone(3600), 1970, 1, 1, 0, 30, 0), std::nullopt) << "local before 1970";
}

}  // namespace
