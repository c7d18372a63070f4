// The settings store on the real registry (Wine's HKEY_LOCAL_MACHINE is
// writable). The tests write below a key of their own and remove it again.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <type_traits>

#include "settings/FontSettings.h"
#include "settings/SettingsKey.h"
#include "settings/SettingsStore.h"
#include "platform/win32/Win32CharFormat.h"
#include "platform/win32/Win32RegistryApi.h"
#include "platform/win32/Win32SystemApi.h"
#include "settings/UserName.h"
#include "util/win32/Handles.h"

namespace {

constexpr char kTestSubkey[] = "Win32RegistryTest";
const std::string kTestPath = std::string(kSettingsPath) + "\\" + kTestSubkey;

CRegistryKey OpenMachineKey(const std::string& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return {};
    return CRegistryKey(key);
}

class Win32Registry : public ::testing::Test {
protected:
    void SetUp() override { ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kTestPath.c_str()); }
    void TearDown() override { ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kTestPath.c_str()); }

    void PutRaw(const char* name, DWORD type, const std::string& bytes) {
        const CRegistryKey raw = OpenMachineKey(kTestPath);
        ASSERT_TRUE(raw);
        ASSERT_EQ(::RegSetValueExA(raw.Get(), name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                   static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS);
    }
    // The stored type and size, or ERROR_FILE_NOT_FOUND as the type.
    std::pair<DWORD, DWORD> Stored(const char* name) {
        const CRegistryKey raw = OpenMachineKey(kTestPath);
        DWORD type = 0, size = 0;
        if (!raw || ::RegQueryValueExA(raw.Get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return {ERROR_FILE_NOT_FOUND, 0};
        return {type, size};
    }

    CWin32RegistryApi api;
};

TEST_F(Win32Registry, KeyIsCreatedAndValuesGetTheirTypes) {
    CSettingsKey key(api, kTestSubkey);
    ASSERT_TRUE(key.IsOpen());
    ASSERT_TRUE(OpenMachineKey(kTestPath)) << "created when missing";

    ASSERT_TRUE(key.WriteDword("n", 0xFFFFFFFEu));
    ASSERT_TRUE(key.WriteString("s", "Kel"));
    EXPECT_EQ(Stored("n"), std::make_pair(DWORD{REG_DWORD}, DWORD{4}));
    EXPECT_EQ(Stored("s"), std::make_pair(DWORD{REG_SZ}, DWORD{4}));
    EXPECT_EQ(key.ReadDword("n", 0), -2);
    EXPECT_EQ(key.ReadString("s", ""), "Kel");
    EXPECT_EQ(key.ReadDword("missing", 77), 77);
    EXPECT_EQ(key.ReadString("missing", "default"), "default");

    EXPECT_TRUE(key.DeleteValue("s"));
    EXPECT_TRUE(key.DeleteValue("s")) << "a value that is not there is no error";
    EXPECT_EQ(Stored("s").first, DWORD{ERROR_FILE_NOT_FOUND});
    EXPECT_TRUE(key.Flush());
}

TEST_F(Win32Registry, ReadsTakeTheBytesAsTheRegistryHoldsThem) {
    CSettingsKey key(api, kTestSubkey);
    PutRaw("qword", REG_QWORD, std::string("\x01\0\0\0\0\0\0\0", 8));
    PutRaw("short", REG_BINARY, "\x01\x02");
    PutRaw("bare", REG_BINARY, "abc");
    PutRaw("empty", REG_SZ, std::string(1, '\0'));
    EXPECT_EQ(key.ReadDword("qword", 77), 77) << "longer than four bytes";
    EXPECT_EQ(key.ReadDword("short", 77), 0x0201);
    EXPECT_EQ(key.ReadString("bare", "default"), "abc");
    EXPECT_EQ(key.ReadString("empty", "default"), "default");
}

TEST_F(Win32Registry, FontKeyKeepsOnlyWhatTheMaskCovers) {
    CSettingsKey key(api, kTestSubkey);
    CCharFormat format;
    format.dwMask = kCfmColor | kCfmSize | kCfmFace;
    format.crTextColor = 0x000000FF;
    format.yHeight = 240;
    lstrcpynA(format.szFaceName, "Arial", sizeof format.szFaceName);
    ASSERT_TRUE(WriteFontSetting(key, format));
    EXPECT_EQ(Stored("Color").first, DWORD{REG_DWORD});

    format.dwMask = kCfmSize | kCfmFace;
    ASSERT_TRUE(WriteFontSetting(key, format));
    EXPECT_EQ(Stored("Color").first, DWORD{ERROR_FILE_NOT_FOUND});

    CCharFormat read;
    ReadFontSetting(key, read);
    EXPECT_EQ(read.dwMask, kCfmSize | kCfmFace);
    EXPECT_EQ(read.yHeight, 240);
    EXPECT_STREQ(read.szFaceName, "Arial");

    // What the control is given is the platform's own record.
    const CHARFORMATW platform = ToPlatformCharFormat(read);
    EXPECT_EQ(platform.cbSize, sizeof(CHARFORMATW));
    EXPECT_EQ(platform.dwMask, DWORD{CFM_SIZE | CFM_FACE});
    EXPECT_EQ(platform.yHeight, 240);
    EXPECT_STREQ(platform.szFaceName, L"Arial");
    EXPECT_EQ(FromPlatformCharFormat(platform).yHeight, 240);
}

// Text goes in and out as UTF-8 and is kept as the registry's own UTF-16, so
// that regedit, policies and older versions see the same text.
TEST_F(Win32Registry, TextIsUtf8HereAndUtf16InTheRegistry) {
    CSettingsKey key(api, kTestSubkey);
    const std::string name = "\xD0\x9D\xD0\xB8\xD0\xBA\xD0\xB0 \xE6\x9D\x8E \xF0\x9F\x98\x80";  // "Ника 李 😀"
    ASSERT_TRUE(key.WriteString("Username", name));
    EXPECT_EQ(key.ReadString("Username", ""), name);

    const CRegistryKey raw = OpenMachineKey(kTestPath);
    ASSERT_TRUE(raw);
    wchar_t stored[64] = {};
    DWORD type = 0, size = sizeof stored;
    ASSERT_EQ(::RegQueryValueExW(raw.Get(), L"Username", nullptr, &type, reinterpret_cast<BYTE*>(stored), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD{REG_SZ});
    EXPECT_STREQ(stored, L"\u041D\u0438\u043A\u0430 \u674E \U0001F600");

    // The store's size protocol counts the UTF-8 bytes with the terminator.
    std::uint32_t bytes = 0;
    const RegistryKey open = api.OpenKeyForReading(ERegistryRoot::LocalMachine, kTestPath);
    ASSERT_NE(open, kNoRegistryKey);
    ASSERT_TRUE(api.QueryValue(open, "Username", nullptr, nullptr, &bytes));
    EXPECT_EQ(bytes, name.size() + 1);
    std::string small(bytes - 1, '\0');
    std::uint32_t room = bytes - 1;
    EXPECT_FALSE(api.QueryValue(open, "Username", nullptr, small.data(), &room)) << "a buffer too small is a failure";
    EXPECT_TRUE(api.CloseKey(open));

    // A value name of its own script is a name like any other.
    ASSERT_TRUE(key.WriteString("\xC3\x9C", "x"));
    EXPECT_EQ(key.ReadString("\xC3\x9C", ""), "x");
}

// The user name as Options stores it and the window reads it back.
TEST(Win32UserName, ANameOfAnotherScriptRoundTripsThroughTheSettingsStore) {
    CWin32RegistryApi api;
    CWin32SystemApi system;
    CSettingsStore store(api);
    const std::string previous = store.Main().ReadString(kUsernameValue, "");
    const std::string name = "\xD0\x9D\xD0\xB8\xD0\xBA\xD0\xB0 \xE6\x9D\x8E \xF0\x9F\x98\x80";  // "Ника 李 😀"
    ASSERT_TRUE(SetCurrentUserName(store, name));
    EXPECT_EQ(GetCurrentUserName(store, system), name);
    CSettingsStore again(api);
    EXPECT_EQ(GetCurrentUserName(again, system), name) << "read afresh by another store, as at the next start";
    SetCurrentUserName(store, previous);
}

// What an older version stored through the ANSI functions, in the system's
// code page, reads as the same text.
TEST_F(Win32Registry, AValueAnOlderVersionWroteReadsTheSame) {
    ASSERT_EQ(::GetACP(), 1252u) << "the test prefix runs in the Western code page";
    CSettingsKey key(api, kTestSubkey);
    PutRaw("Username", REG_SZ, std::string("Gr\xFC\xDF" "e \xC0 Z\xFCrich", 14) + '\0');
    PutRaw("QuickKey1", REG_SZ, std::string("\x80 5,- \x96 fertig") + '\0');
    EXPECT_EQ(key.ReadString("Username", ""), "Gr\xC3\xBC\xC3\x9F" "e \xC3\x80 Z\xC3\xBCrich");
    EXPECT_EQ(key.ReadString("QuickKey1", ""), "\xE2\x82\xAC 5,- \xE2\x80\x93 fertig");
    // And the old version reads what this one writes, where its code page has the characters.
    ASSERT_TRUE(key.WriteString("Back", "Gr\xC3\xBC\xC3\x9F" "e"));
    const CRegistryKey raw = OpenMachineKey(kTestPath);
    char ansi[16] = {};
    DWORD size = sizeof ansi;
    ASSERT_EQ(::RegQueryValueExA(raw.Get(), "Back", nullptr, nullptr, reinterpret_cast<BYTE*>(ansi), &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(ansi, "Gr\xFC\xDF" "e");
}

TEST_F(Win32Registry, AFaceNameOfAnotherScriptReachesTheControl) {
    CSettingsKey key(api, kTestSubkey);
    CCharFormat format;
    format.dwMask = kCfmFace;
    const std::string gothic = "\xEF\xBC\xAD\xEF\xBC\xB3 \xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF";  // "ＭＳ ゴシック"
    std::memcpy(format.szFaceName, gothic.data(), gothic.size());
    ASSERT_TRUE(WriteFontSetting(key, format));
    CCharFormat read;
    ReadFontSetting(key, read);
    EXPECT_EQ(std::string(read.szFaceName), gothic);
    const CHARFORMATW platform = ToPlatformCharFormat(read);
    EXPECT_STREQ(platform.szFaceName, L"\uFF2D\uFF33 \u30B4\u30B7\u30C3\u30AF");
    EXPECT_EQ(std::string(FromPlatformCharFormat(platform).szFaceName), gothic);

    // A face of 31 units does not fit the portable record's 31 bytes in
    // UTF-8: it is cut before the character that would not fit whole.
    CHARFORMATW longFace{};
    for (int i = 0; i < 20; ++i) longFace.szFaceName[i] = L'\u30B4';  // three bytes each
    const CCharFormat cut = FromPlatformCharFormat(longFace);
    EXPECT_EQ(std::string(cut.szFaceName).size(), 30u);
}

TEST(Win32RegistryRoots, UserRootIsTheCurrentUsersAndAKeyForReadingTakesNoWrites) {
    CWin32RegistryApi api;
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kTestPath.c_str());
    EXPECT_EQ(api.OpenKeyForReading(ERegistryRoot::CurrentUser, kTestPath), kNoRegistryKey) << "not there yet";

    const RegistryKey written = api.CreateKey(ERegistryRoot::CurrentUser, kTestPath);
    ASSERT_NE(written, kNoRegistryKey);
    const DWORD five = 5;
    EXPECT_TRUE(api.SetValue(written, "v", REG_DWORD, &five, sizeof five));
    EXPECT_TRUE(api.CloseKey(written));

    HKEY raw = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, kTestPath.c_str(), 0, KEY_READ, &raw), ERROR_SUCCESS);
    const CRegistryKey user(raw);
    DWORD value = 0, size = sizeof value;
    EXPECT_EQ(::RegQueryValueExA(user.Get(), "v", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(value, 5u);
    EXPECT_FALSE(OpenMachineKey(kTestPath)) << "nothing under HKEY_LOCAL_MACHINE";

    const RegistryKey read = api.OpenKeyForReading(ERegistryRoot::CurrentUser, kTestPath);
    ASSERT_NE(read, kNoRegistryKey);
    std::uint32_t readSize = sizeof value;
    value = 0;
    EXPECT_TRUE(api.QueryValue(read, "v", nullptr, &value, &readSize));
    EXPECT_EQ(value, 5u);
    EXPECT_FALSE(api.SetValue(read, "w", REG_DWORD, &five, sizeof five)) << "opened for reading only";
    EXPECT_TRUE(api.CloseKey(read));
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kTestPath.c_str());
}

TEST(Win32SettingsStore, IsTheMainKeyAndItsThreeSubkeys) {
    CWin32RegistryApi api;
    {
        CSettingsStore store(api);
        EXPECT_TRUE(store.Main().IsOpen());
        EXPECT_TRUE(store.QuickKeys().IsOpen());
        EXPECT_TRUE(store.GeneralFont().IsOpen());
        EXPECT_TRUE(store.PrefixFont().IsOpen());
    }
    for (const char* path : {"Software\\Pellandor\\Mivlet", "Software\\Pellandor\\Mivlet\\QuickKeys",
                             "Software\\Pellandor\\Mivlet\\GeneralFont", "Software\\Pellandor\\Mivlet\\PrefixFont"})
        EXPECT_TRUE(OpenMachineKey(path)) << path;
}

}  // namespace
