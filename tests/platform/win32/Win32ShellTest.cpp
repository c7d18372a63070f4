// The shell seam and the read side of HKEY_CLASSES_ROOT on the real system,
// with targets inside the test's Wine prefix only: nothing here starts a
// browser or a mail program.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/Win32RegistryApi.h"
#include "platform/win32/Win32ShellApi.h"

namespace {

std::string WindowsFolder() {
    char folder[MAX_PATH] = {};
    ::GetWindowsDirectoryA(folder, MAX_PATH);
    return folder;
}

TEST(Win32Shell, PathExistsFindsWhatIsThereOnly) {
    CWin32ShellApi shell;
    EXPECT_TRUE(shell.PathExists(WindowsFolder()));
    EXPECT_TRUE(shell.PathExists(WindowsFolder() + "\\system32\\cmd.exe"));
    EXPECT_FALSE(shell.PathExists(WindowsFolder() + "\\no-such-file-for-mivlet.txt"));
}

TEST(Win32Shell, RunsACommandLineAndFailsToOpenWhatIsMissing) {
    CWin32ShellApi shell;
    EXPECT_TRUE(shell.RunCommandLine(WindowsFolder() + "\\system32\\cmd.exe /c exit"));
    EXPECT_FALSE(shell.RunCommandLine(WindowsFolder() + "\\no-such-program-for-mivlet.exe"));
    EXPECT_FALSE(shell.OpenWithShell(WindowsFolder() + "\\no-such-file-for-mivlet.txt", kNoWindow));
}

// The prefix registers no browser for ".htm" pages, but a program for
// text files, whose command is read here and never run.
TEST(Win32ClassesRoot, ReadsTheDefaultValueOfAFileTypesCommand) {
    CWin32RegistryApi registry;
    const CRegistryKeyHandle command(registry, registry.OpenClassesKey("txtfile\\shell\\open\\command"));
    ASSERT_TRUE(command.IsValid());
    char text[261] = {};
    std::uint32_t size = 260;
    ASSERT_TRUE(registry.QueryValue(command.Get(), "", nullptr, text, &size));
    EXPECT_NE(std::string(text).find("notepad.exe"), std::string::npos) << text;
    EXPECT_NE(std::string(text).find("%1"), std::string::npos) << text;

    EXPECT_EQ(registry.OpenClassesKey(".no-such-type-for-mivlet"), kNoRegistryKey);
}

}  // namespace
