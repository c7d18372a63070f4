#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "chattext/PrefixCode.h"
#include "chattext/TimeZone.h"

namespace {

// Monday, 8 May 2000, in a zone one hour east of UTC.
constexpr std::uint32_t kMorning = 957776700 - 3600;    // 09:05:00
constexpr std::uint32_t kAfternoon = 957800828 - 3600;  // 15:47:08
const CFixedTimeZone kZone{3600};

struct CExpansion {
    std::string code;
    std::string expected;
    bool broadcast = false;
    std::string user = "guest";
    std::string computer = "Lathe";
    std::uint32_t time = kAfternoon;
};

std::string Expand(const CExpansion& c) {
    CMessageRecord record;
    record.computer = c.computer;
    record.user = c.user;
    record.broadcast = c.broadcast ? 1 : 0;
    record.time = c.time;
    return ExpandPrefix(c.code, record, kZone);
}

std::string Repeat(const std::string& text, std::size_t times) {
    std::string repeated;
    for (std::size_t i = 0; i < times; ++i) repeated += text;
    return repeated;
}

void ExpectAll(const std::vector<CExpansion>& cases) {
    for (const auto& c : cases)
        EXPECT_EQ(Expand(c), c.expected) << "code [" << c.code << "] broadcast " << c.broadcast << " user ["
                                         << c.user << "]";
}

TEST(ExpandPrefix, SenderAndBroadcastRemark) {
    ExpectAll({
        {std::string(kDefaultPrefixCode), "guest 9:05> ", false, "guest", "Lathe", kMorning},
        {std::string(kDefaultPrefixCode), "guest (to all users) 9:05> ", true, "guest", "Lathe", kMorning},
        {"u @ c[ (to all users)] m/d/yy H:nn> ", "Nico Varga @ Lathe 5/8/00 15:47> ", false, "Nico Varga"},
        {"U C", "guest Lathe"},
        {"", ""},
        {"", "", true},
    });
}

TEST(ExpandPrefix, TimeTokens) {
    ExpectAll({
        {"hh:nn TT", "03:47 PM"},
        {"h:nn tt", "3:47 pm"},
        {"h:nnt", "3:47p"},
        {"HH:nn", "09:05", false, "guest", "Lathe", kMorning},
        {"H:n", "9:5", false, "guest", "Lathe", kMorning},
        {"hH", "315"},
        {"Nn", "47"},
        {"ss s SS", "08 8 08"},
        // ttttt accepts any case and wins over the exact-case designators.
        {"TTTTT", "15:47:08"},
        {"ttttt", "15:47:08"},
        {"tTtTt", "15:47:08"},
        {"tttt", "pmpm"},
        {"TTTT", "PMPM"},
        {"Tt tT", "Pp pP"},
        {"TT tt", "AM am", false, "guest", "Lathe", kMorning},
    });
}

TEST(ExpandPrefix, DateTokensOnMonday8May2000) {
    ExpectAll({
        {"dddddd", "Monday, May 08, 2000"},
        {"ddddd", "5/8/00"},
        {"dddd", "Monday"},
        {"ddd", "Mon"},
        {"dd d", "08 8"},
        {"DDDDDD", "Monday, May 08, 2000"},
        {"ddddddd", "Monday, May 08, 20008"},
        {"mmmm mmm", "May May"},
        {"MM mm m", "05 05 5"},
        {"yyyy yyy yy y", "2000 2000 00 00"},
        {"YYYYY", "200000"},
    });
}

TEST(ExpandPrefix, LettersThatAreNoTokensAndTheirNeighbours) {
    ExpectAll({
        // U and s are tokens, e and r are not.
        {"User", "guest8er"},
        {"abefgijklopqrvwxz ABEFGIJKLOPQRVWXZ 0123 ,.;:!?<>()%#", "abefgijklopqrvwxz ABEFGIJKLOPQRVWXZ 0123 ,.;:!?<>()%#"},
        {"a]b", "a]b"},
        {"]]u]", "]]guest]"},
        {"\xE9u\xE9", "\xE9guest\xE9"},
    });
}

TEST(ExpandPrefix, QuotedSections) {
    ExpectAll({
        {"'User'", "User"},
        {"\"User\"", "User"},
        {"'It''s'", "It's"},
        {"''", "'"},
        {"\"\"", "\""},
        {"''u''", "'guest'"},
        {"\"It's\"", "It's"},
        {"'say \"hi\"'", "say \"hi\""},
        {"'a'''", "a'"},
        {"'[u]' [x]", "[u] x", true},
        {"'unclosed u", "unclosed u"},
        {"u 'unclosed ''", "guest unclosed '"},
        {"'", ""},
    });
}

TEST(ExpandPrefix, BroadcastSections) {
    ExpectAll({
        {"[a[b]c]", "a[b]c", true},
        {"[a[b]c]", ""},
        {"[u 'x' H]", "u 'x' H", true},  // copied as it stands: no tokens, no quotes
        {"u[ all]>", "guest all>", true},
        {"u[ all]>", "guest>"},
        {"x[unclosed", "xunclosed", true},
        {"x[unclosed", "x"},
        {"x[a[b]", "xa[b]", true},  // the inner "]" leaves the section open
        {"[]u", "guest"},
        {"[[[[]]]]", "[[[]]]", true},
    });
}

// A name is handed to the formatter like any other row: a directive in it is
// expanded, and a malformed one comes out as written.
TEST(ExpandPrefix, NamesPassThroughTheTimeFormatter) {
    ExpectAll({
        {"u", "08", false, "%d"},
        {"c", "Pc2000", false, "guest", "Pc%Y"},
        {"u", "100%", false, "100%"},
        {"u>", "50%#>", false, "50%#"},
        {"u", "%Q", false, "%Q"},
        {"u", "a%b", false, "a%%b"},
        {"u c", "\xC4\xE9 %\xE9", false, "\xC4\xE9", "%\xE9"},
    });
}

// Tokens are ASCII letters: the bytes of other characters, in the code and
// in the names, never start one or a directive, and are copied whole.
TEST(ExpandPrefix, TextBeyondAsciiIsCopiedAsItIs) {
    const std::string kel = "\xD0\x9A\xD0\xB5\xD0\xBB";           // "Кел", its "К" a byte apart from "K"
    const std::string es = "\xD1\x81";                           // Cyrillic "с", which looks like "c"
    const std::string guillemets[] = {"\xC2\xAB", "\xC2\xBB"};   // « and »
    ExpectAll({
        {"u> ", kel + "> ", false, kel},
        {guillemets[0] + "u" + guillemets[1] + " ", guillemets[0] + "guest" + guillemets[1] + " "},
        {es + " c", es + " Lathe"},
        {"'" + kel + "' H", kel + " 15"},
        {"[" + kel + "]u", kel + "guest", true},
        {"u", "\xF0\x9F\x98\x80%", false, "\xF0\x9F\x98\x80%"},
        {"u", "%" + kel, false, "%" + kel},
        {"u", "\xC3\xBC 08", false, "\xC3\xBC %d"},
    });
}

TEST(ExpandPrefix, RowLongerThan127CharactersContributesNothing) {
    const std::string longest(127, 'x');
    const std::string tooLong(128, 'x');
    // "%#c" gives 29 characters for this time: four of them fit, five not.
    const std::string fourDates = "%#c%#c%#c%#c";
    const std::string fiveDates = fourDates + "%#c";
    ExpectAll({
        {"u", longest, false, longest},
        {"<u>", "<>", false, tooLong},
        {"u H c", " 15 Lathe", false, tooLong},
        {"c", "", false, "guest", tooLong},
        {"uu", longest + longest, false, longest},
        {"u", std::string(120, 'x') + "08", false, std::string(120, 'x') + "%d"},
        {"u", "", false, std::string(126, 'x') + "%d"},
        {"u", "", false, fiveDates},
        {"u!", "!", false, std::string(100000, 'x')},
        // Characters are counted, not the bytes of their UTF-8.
        {"u", Repeat("\xC3\xA9", 127), false, Repeat("\xC3\xA9", 127)},
        {"u", "", false, Repeat("\xC3\xA9", 128)},
    });
    EXPECT_EQ(Expand({"u", "", false, fourDates}).size(), 116u);
}

TEST(ExpandPrefix, WithoutALocalTimeOnlyLiteralTextRemains) {
    EXPECT_EQ(ExpandPrefix("'at' u c[ all] H:nn> ", std::nullopt, "Lathe", "guest", true), "at   all :> ");
    EXPECT_EQ(ExpandPrefix(kDefaultPrefixCode, std::nullopt, "Lathe", "guest", false), " :> ");
}

TEST(ExpandPrefix, ArbitraryCodesAndNamesAreSafe) {
    // Codes of every byte but zero, including unbalanced quotes and brackets,
    // against names full of directives.
    std::uint32_t seed = 7;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return static_cast<char>(1 + (seed >> 16) % 255);
    };
    const std::string alphabet = "'\"[]%#cuTtHhdmnsy";
    for (int round = 0; round < 200; ++round) {
        std::string code, user, computer;
        for (int i = 0; i < 200; ++i) code += (i % 2) ? next() : alphabet[static_cast<unsigned char>(next()) % alphabet.size()];
        for (int i = 0; i < 40; ++i) user += (i % 3) ? next() : '%';
        for (int i = 0; i < 15; ++i) computer += next();
        const std::string prefix = Expand({code, "", round % 2 == 0, user, computer});
        EXPECT_LE(prefix.size(), code.size() * kMaxTokenTextLength);
    }

    // Deep and unclosed nesting.
    const std::string deep(100000, '[');
    EXPECT_EQ(Expand({deep, std::string(99999, '['), true}), std::string(99999, '['));
    EXPECT_EQ(Expand({deep + std::string(100000, ']') + "u", "guest"}), "guest");
}

}  // namespace
