#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "messaging/LocalComputerName.h"
#include "messaging/LongDate.h"
#include "messaging/Mailslot.h"
#include "messaging/TitleCase.h"

namespace {

std::string TitleCase(std::string text) {
    MakeTitleCase(text);
    return text;
}

TEST(MakeTitleCase, FoldsEachRunOfLetters) {
    const struct { const char* in; const char* out; } cases[] = {
        {"MyPC", "Mypc"},
        {"OFFICE-PC", "Office-Pc"},
        {"LAB_07A", "Lab_07A"},
        {"PC2B", "Pc2B"},
        {"lab2", "Lab2"},
        {"", ""},
        {"dec 12 2000", "Dec 12 2000"},
        // Bytes of 0x80 and above are left alone and start a new word.
        {"\xC4XY", "\xC4Xy"},
        {"\xe9t\xe9", "\xe9T\xe9"},
    };
    for (const auto& c : cases) EXPECT_EQ(TitleCase(c.in), c.out) << c.in;
}

TEST(MakeLongDate, SpellsTheMonthAndPunctuatesTheYear) {
    const struct { const char* in; const char* out; } cases[] = {
        {"Dec 12 2000", "December 12, 2000"},
        {"Dec  2 2000", "December 2, 2000"},  // __DATE__ pads a one-digit day with a space
        {"May  8 2000", "May 8, 2000"},
        {"  jun 30 2026\t", "June 30, 2026"},
        {"SEP 1 1999", "September 1, 1999"},
        {"2000", "2000"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(MakeLongDate(c.in), c.out) << c.in;
}

TEST(ChooseLocalComputerName, FallsBackWhenThePlatformGivesNoName) {
    const struct {
        std::optional<std::string> reported;
        const char* environment;
        const char* chosen;
    } cases[] = {
        {std::string("MYPC"), "OTHER", "Mypc"},
        {std::nullopt, "OFFICE-PC", "Office-Pc"},          // GetComputerNameA failed
        {std::string(""), "LAB2", "Lab2"},                 // an empty name cannot go on the wire
        {std::nullopt, nullptr, "Unnamed"},
        {std::nullopt, "", "Unnamed"},
        {std::nullopt, "ABCDEFGHIJKLMNOPQRST", "Abcdefghijklmno"},  // at most 15 bytes
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseLocalComputerName(c.reported, c.environment), c.chosen) << c.chosen;
}

TEST(MakePath, LocalFormForThisComputerRemoteFormForOthers) {
    const struct {
        const char* computer;
        const char* name;
        const char* path;
    } cases[] = {
        {nullptr, "Mivlet", ""},
        {"Lab2", nullptr, ""},
        {"", "Mivlet", "\\\\.\\mailslot\\Mivlet"},
        {"Mypc", "Mivlet", "\\\\.\\mailslot\\Mivlet"},
        {"MYPC", "Mivlet", "\\\\.\\mailslot\\Mivlet"},
        {"mypc", "Mivlet", "\\\\.\\mailslot\\Mivlet"},
        {"*", "Mivlet", "\\\\*\\mailslot\\Mivlet"},
        {"Lab2", "Mivlet", "\\\\Lab2\\mailslot\\Mivlet"},
        {"Mypc2", "Mivlet", "\\\\Mypc2\\mailslot\\Mivlet"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CMailslot::MakePath(c.computer, c.name, "Mypc"), c.path)
            << (c.computer ? c.computer : "(null)");
}

}  // namespace
