#pragma once
// What the Options Format page offers and shows, free of the platform: the
// seven prefix codes a user picks from, each under a fixed text that shows
// what it looks like, and the two sample messages of the page's example.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "messaging/MessageRecord.h"

class CTimeZone;

struct CPrefixChoice {
    std::string_view code;   // what is stored in "Prefix"
    std::string_view shown;  // what the list shows: a fixed text, not an expansion
};

inline constexpr std::array<CPrefixChoice, 7> kPrefixChoices{{
    {"u[ (to all users)]> ", "Nico Varga> "},
    {"u[ (to all users)] H:nn> ", "Nico Varga 15:47> "},
    {"u[ (to all users)] h:nn TT> ", "Nico Varga 3:47 PM> "},
    {"u[ (to all users)] ddd H:nn> ", "Nico Varga Tues 15:47> "},
    {"u[ (to all users)] ddd h:nn TT> ", "Nico Varga Tues 3:47 PM> "},
    {"u[ (to all users)] ddd h:nn:ss TT> ", "Nico Varga Tues 3:47:38 PM> "},
    {"u @ c[ (to all users)] m/d/yy H:nn> ", "Nico Varga @ Lathe 5/8/00 15:47> "},
}};

// The code of the first choice shown as `shown` (exact comparison); empty
// when no choice is.
std::string_view PrefixCodeOfShownText(std::string_view shown);
// The choice whose code is `code` exactly (same case, same spaces).
std::optional<std::size_t> PrefixChoiceOfCode(std::string_view code);

// The first sample links to this address, to show the example's links.
inline constexpr std::string_view kSampleAddress = "http://www.example.com/golf/";

// The example's two messages, at their local times (28 October 2005, 9:42:32
// and 13:34:17) in `zone`: one to this computer, one to all users.
std::vector<CMessageRecord> FormatSampleMessages(const CTimeZone& zone);

// The moment whose local time in `zone` is the given date and time; the
// earlier one of two, and nothing when no moment of the 32-bit range has it.
std::optional<std::uint32_t> SecondsForLocalTime(const CTimeZone& zone, int year, int month, int day, int hour,
                                                 int minute, int second);
