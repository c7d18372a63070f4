#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "messaging/LocalComputerName.h"
#include "messaging/LongDate.h"
#include "messaging/Mailslot.h"
#include "messaging/TitleCase.h"
#include "platform/memory/MemoryNetwork.h"

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

TEST(EndpointTarget, ThisComputerInAnyCaseAllComputersOrAnother) {
    using EKind = CDatagramTarget::EKind;
    const struct {
        const char* target;
        EKind kind;
    } cases[] = {
        {"", EKind::ThisComputer},      {"Mypc", EKind::ThisComputer}, {"MYPC", EKind::ThisComputer},
        {"mypc", EKind::ThisComputer},  {"*", EKind::AllComputers},   {"Lab2", EKind::Computer},
        {"Mypc2", EKind::Computer},
    };
    CMemoryNetwork net;
    CMailslot endpoint(net.AddComputer("Mypc"), net, "Mypc");
    for (const auto& c : cases) {
        const CDatagramTarget target = endpoint.TargetOf(c.target);
        EXPECT_EQ(target.kind, c.kind) << c.target;
        if (c.kind == EKind::Computer) EXPECT_EQ(target.computer, c.target);
    }
}

}  // namespace
