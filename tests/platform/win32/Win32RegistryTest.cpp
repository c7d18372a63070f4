// The settings store on the real registry (Wine's HKEY_LOCAL_MACHINE is
// writable). The tests write below a key of their own and remove it again.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <type_traits>

#include "settings/FontSettings.h"
#include "settings/SettingsKey.h"
#include "settings/SettingsStore.h"
#include "platform/win32/Win32CharFormat.h"
#include "platform/win32/Win32RegistryApi.h"
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
    const CHARFORMATA platform = ToPlatformCharFormat(read);
    EXPECT_EQ(platform.cbSize, sizeof(CHARFORMATA));
    EXPECT_EQ(platform.dwMask, DWORD{CFM_SIZE | CFM_FACE});
    EXPECT_EQ(platform.yHeight, 240);
    EXPECT_STREQ(platform.szFaceName, "Arial");
    EXPECT_EQ(FromPlatformCharFormat(platform).yHeight, 240);
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
