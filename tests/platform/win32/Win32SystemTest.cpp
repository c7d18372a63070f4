// What the system seam reports under Wine, and the paths made from it.

#include <windows.h>

#include <gtest/gtest.h>

#include <lmcons.h>
#include <shlobj.h>

#include "settings/ChatTextBackground.h"
#include "settings/SettingsStore.h"
#include "chattext/MessageLog.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/win32/Win32SystemApi.h"
#include "util/Paths.h"

namespace {

TEST(Win32System, ReportsTheLoginNameAndTheWindowsFolder) {
    CWin32SystemApi system;
    char user[UNLEN + 1] = {};
    DWORD size = sizeof user;
    ASSERT_TRUE(GetUserNameA(user, &size));
    EXPECT_EQ(system.QueryLoginName(), std::string(user));

    char folder[MAX_PATH] = {};
    ASSERT_NE(GetWindowsDirectoryA(folder, MAX_PATH), 0u);
    EXPECT_EQ(system.QueryWindowsDirectory(), std::string(folder));
    EXPECT_EQ(GetWindowsLogFilePath(system), NormalizePath(folder) + "\\mivlet.log");
    EXPECT_EQ(GetWindowsLogFilePath(system), "c:\\windows\\mivlet.log");  // Wine's folder

    char appData[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData), S_OK);
    EXPECT_EQ(system.QueryLocalAppDataFolder(), std::string(appData));
    EXPECT_EQ(GetAppDataLogFilePath(system), std::string(appData) + "\\Mivlet\\mivlet.log");
}

TEST(Win32System, LiteAndDarkAreTheSystemColours) {
    CWin32SystemApi system;
    CMemoryRegistry registry;
    CSettingsStore store(registry);
    EXPECT_EQ(GetChatTextBackground(store, system), GetSysColor(COLOR_WINDOW));
    ASSERT_TRUE(store.Main().WriteString("ChatTextBackground", "Dark"));
    EXPECT_EQ(GetChatTextBackground(store, system), GetSysColor(COLOR_BTNFACE));
}

}  // namespace
