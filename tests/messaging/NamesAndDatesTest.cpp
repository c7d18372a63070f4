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
        // A host name under Wine may hold what no Windows computer name
        // can: other copies would not hear a copy under that name.
        {std::string("MY HOST"), "OTHER", "My-Host"},
        {std::string("B\xc3\x9cRO"), nullptr, "B--Ro"},  // UTF-8 for BÜRO
        {std::string("LAB*\\2"), nullptr, "Lab--2"},
        {std::string("ABCDEFGHIJKLMN\xc3\x9c"), nullptr, "Abcdefghijklmn-"},  // cut inside a character
        {std::string("{WEB}~1.OFFICE"), nullptr, "{Web}~1.Office"},
    };
    for (const auto& c : cases) {
        const std::string chosen = ChooseLocalComputerName(c.reported, c.environment);
        EXPECT_EQ(chosen, c.chosen) << c.chosen;
        EXPECT_TRUE(CanBeComputerName(chosen)) << c.chosen;
    }
}

TEST(CanBeComputerName, OnlyWhatWindowsLetsAComputerBeCalled) {
    const struct {
        std::string name;
        bool can;
    } cases[] = {
        {"Lab2", true},
        {"OFFICE-PC", true},
        {"a!@#$%^&')(.-_", true},
        {"{Web}~1", true},
        {"203.0.113.5", true},  // a name, though it reads as an address: replies still need a ping first
        {"Abcdefghijklmno", true},
        {"Abcdefghijklmnop", false},  // 16
        {"", false},
        // Names that look like a colleague's in the To: list.
        {"Ann\xa0", false},        // a non-breaking space, in Windows-1252
        {"Ann\xc2\xa0", false},    // and in UTF-8
        {"Ann ", false},
        {"An n", false},
        {"Ann\t", false},
        {"Ann\x01", false},
        {std::string("Ann\0", 4), false},
        {"Ann\x7f", false},
        {"\xd0\x90nn", false},     // a Cyrillic A
        {"Ann\x9b", false},
        // All computers, and the characters of paths and of a reply target.
        {"*", false},
        {"Ann*", false},  // the sender field "Ann**" of a broadcast
        {"\\evil", false},
        {"a/b", false},
        {"a:b", false},
        {"a,b", false},
        {"a\"b", false},
        {"a+b", false},
    };
    for (const auto& c : cases) EXPECT_EQ(CanBeComputerName(c.name), c.can) << c.name;
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
