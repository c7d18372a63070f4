#include <gtest/gtest.h>

#include <string>

#include "settings/IntSettings.h"
#include "settings/LegacyProfile.h"
#include "settings/LegacySettings.h"
#include "settings/UserName.h"
#include "SettingsFixture.h"

namespace {

using namespace std::string_literals;

// What Notepad's "Unicode" save writes: UTF-16 after its byte order mark.
std::string Utf16(std::string_view text, bool bigEndian = false) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char c : text) {
        const char unit[2] = {bigEndian ? '\0' : c, bigEndian ? c : '\0'};
        bytes.append(unit, 2);
    }
    return bytes;
}

TEST(LegacyProfile, ReadsValuesAsTheProfileFunctionsDo) {
    const struct {
        const char* name;
        std::string file;
        const char* section;
        const char* key;
        std::string value;  // with the default "(none)"
    } cases[] = {
        {"plain", "[Main]\r\nCurrentUser=2\r\n", "Main", "CurrentUser", "2"},
        {"white space and letter case", "  [Main]  \n  currentuser  =  2  \n", " MAIN ", "CurrentUser ", "2"},
        {"only the first section of a name", "[Main]\nA=1\n[Main]\nB=2\n", "Main", "B", "(none)"},
        {"the first entry of a key", "[Main]\nA=1\nA=2\n", "Main", "A", "1"},
        {"matching quotes go", "[S]\nK=\"Ann Example\"\n", "S", "K", "Ann Example"},
        {"single quotes too", "[S]\nK='x'\n", "S", "K", "x"},
        {"two quotes give nothing", "[S]\nK=''\n", "S", "K", ""},
        {"quotes that do not match stay", "[S]\nK='x\"\n", "S", "K", "'x\""},
        {"a lone quote stays", "[S]\nK=\"\n", "S", "K", "\""},
        {"empty value", "[S]\nK=\n", "S", "K", ""},
        {"a key without \"=\" has no value", "[S]\nK\n", "S", "K", "(none)"},
        {"lines of carriage returns only", "[S]\rA=1\rK=v\r", "S", "K", "v"},
        {"mixed line ends each end a line", "[S]\r\nA=1\rK=v\nL=w\r\n", "S", "K", "v"},
        {"blanks inside the brackets", "[ Names ]\n1=Kel\n", "Names", "1", "Kel"},
        {"a UTF-16 file", Utf16("[Names]\r\n1=Ann Example\r\n"), "Names", "1", "Ann Example"},
        {"a big-endian UTF-16 file", Utf16("[Names]\r\n1=Ann\r\n", true), "Names", "1", "Ann"},
        {"UTF-16 beyond Latin-1 reads as \"?\"", "\xFF\xFE[\0S\0]\0\n\0K\0=\0\x3A\x04\n\0"s, "S", "K", "?"},
        {"a header without its bracket is an entry", "[S]\n[T\nK=v\n", "S", "K", "v"},
        {"the last bracket closes the name", "[a]b]\nK=v\n", "a]b", "K", "v"},
        {"entries before any section", "K=v\n[S]\n", "", "K", "v"},
        {"a zero byte ends a value", "[S]\nK=ab\0cd\n"s, "S", "K", "ab"},
        {"a byte order mark is skipped", "\xEF\xBB\xBF[S]\nK=v\n", "S", "K", "v"},
        {"Ctrl+Z is white space", "[S]\nK=v\x1a\n", "S", "K", "v"},
        {"an empty key name finds the entry without one", "[S]\nK=w\n=v\n", "S", "", "v"},
        {"an empty key name without such an entry", "[S]\nK=w\n", "S", "", "(none)"},
        {"no file", "", "S", "K", "(none)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CLegacyProfile(c.file).GetString(c.section, c.key, "(none)", 100), c.value) << c.name;
}

TEST(LegacyProfile, CutsValuesToTheBuffer) {
    const CLegacyProfile profile("[S]\nLong=" + std::string(150, 'x') + "\nQuoted=\"" + std::string(150, 'y') + "\"\n");
    EXPECT_EQ(profile.GetString("S", "Long", "", 100), std::string(99, 'x'));
    // Cut before the closing quote, so only the opening one goes.
    EXPECT_EQ(profile.GetString("S", "Quoted", "", 100), std::string(99, 'y'));
    EXPECT_EQ(profile.GetString("S", "Long", "", 1), "");
}

TEST(LegacyProfile, ReadsNumbersAsTheProfileFunctionsDo) {
    const struct {
        const char* value;
        std::int32_t number;
    } cases[] = {
        {"500", 500},        {"-1", -1},          {"+7", 7},           {"12abc", 12},
        {"abc", 0},          {"0x1F", 31},        {"0o17", 15},        {"0b101", 5},
        {"0X1F", 0},         {"4294967297", 1},   {"-2147483648", -2147483647 - 1},
        {"\"42\"", 42},      {"'-3'", -3},        {"", 99},            {"  9", 9},
        {"123456789012345678901234567890123", 1849262357},  // the first 29 characters, modulo 2^32
    };
    for (const auto& c : cases)
        EXPECT_EQ(CLegacyProfile("[S]\nK="s + c.value + "\n").GetInt("S", "K", 99), c.number) << c.value;
    EXPECT_EQ(CLegacyProfile("[S]\n").GetInt("S", "K", -1), -1);
}

class LegacyImport : public SettingsFixture {};

TEST_F(LegacyImport, StoresTheCurrentProfileAndItsName) {
    ImportLegacyProfile(Store(), CLegacyProfile(
        "[Main]\r\nCurrentUser=2\r\n"
        "[Names]\r\n1=Someone Else\r\n2=  Ann Example  \r\n"
        "[User-Ann Example]\r\nPromptOnAllUsers=0\r\nOnNewMessage=0\r\ndlg-width=500\r\nLogMessages=1\r\n"
        "[User-Someone Else]\r\nPlaySnd=1\r\n"));
    EXPECT_EQ(Store().Main().ReadString(kUsernameValue, "(missing)"), "Ann Example");
    EXPECT_EQ(GetIntSetting(Store(), kPromptOnAllUsers), 0);
    EXPECT_EQ(GetIntSetting(Store(), kOnNewMessage), 2);  // the legacy numbering runs the other way
    EXPECT_EQ(GetIntSetting(Store(), kDlgWidth), 500);
    EXPECT_EQ(GetIntSetting(Store(), kLogMessages), 1);
    EXPECT_EQ(GetIntSetting(Store(), kPlaySnd), 0);  // another profile's setting
    EXPECT_EQ(GetIntSetting(Store(), kDlgX), -1);    // not in the file: the default is stored
    EXPECT_TRUE(registry.FindValue(kMainPath, "dlg-x").has_value());
}

TEST_F(LegacyImport, AProfileWithoutAReactionGetsTheDefaultOne) {
    // Not "Do Nothing", which the renumbering would make of a missing 0.
    ImportLegacyProfile(Store(), CLegacyProfile("[Names]\n1=Kel\n[User-Kel]\nPlaySnd=1\n"));
    EXPECT_EQ(GetIntSetting(Store(), kOnNewMessage), kOnNewMessage.defaultValue);
    EXPECT_EQ(kOnNewMessage.defaultValue, 0) << "flash the taskbar button";
    ImportLegacyProfile(Store(), CLegacyProfile("[Names]\n1=Kel\n[User-Kel]\nOnNewMessage=\n"));
    EXPECT_EQ(GetIntSetting(Store(), kOnNewMessage), 0) << "an empty value is none";
    ImportLegacyProfile(Store(), CLegacyProfile("[Names]\n1=Kel\n[User-Kel]\nOnNewMessage=0\n"));
    EXPECT_EQ(GetIntSetting(Store(), kOnNewMessage), 2);
}

TEST_F(LegacyImport, AProfileWithoutANameStoresAnEmptyOne) {
    ImportLegacyProfile(Store(), CLegacyProfile("[Main]\nCurrentUser=3\n[Names]\n1=Kel\n"));
    const auto stored = registry.FindValue(kMainPath, kUsernameValue);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->bytes, std::string(1, '\0'));
    bool unset = false;
    GetCurrentUserName(Store(), system, &unset);
    EXPECT_TRUE(unset);
}

}  // namespace
