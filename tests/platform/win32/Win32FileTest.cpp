// The file seam on the real file system, and the message log over it, in a
// folder of the test's own.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/codepage/CodePage1252.h"
#include "settings/IntSettings.h"
#include "settings/SettingsStore.h"
#include "chattext/MessageLog.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/MemorySystem.h"
#include "platform/win32/Win32FileApi.h"
#include "util/win32/Handles.h"
#include "util/win32/WideText.h"

namespace {

CWin32FileHandle Open(const std::string& path, DWORD share) {
    const HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    return CWin32FileHandle(handle);
}

constexpr char kDate[] = "Wednesday, December 6, 2000 at 3:47:38 PM";

class Win32File : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
        folder = std::string(temp) + "mivlet-win32-file-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder.c_str(), nullptr);
        path = folder + "\\mivlet.log";
        DeleteFileA(path.c_str());
        system.SetWindowsDirectory(folder);
        // No second place unless a test gives one: a line that went there
        // would look lost here.
        system.SetLocalAppDataFolder(std::nullopt);
        ASSERT_TRUE(SetIntSetting(store, kLogMessages, 1));
    }
    void TearDown() override {
        DeleteFileA(path.c_str());
        DeleteFileA((folder + "\\Mivlet\\mivlet.log").c_str());
        RemoveDirectoryA((folder + "\\Mivlet").c_str());
        RemoveDirectoryA(folder.c_str());
    }

    std::string Contents() {
        const CWin32FileHandle file = Open(path, FILE_SHARE_READ | FILE_SHARE_WRITE);
        std::string text(64 * 1024, '\0');
        DWORD read = 0;
        if (!file || !ReadFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr)) return {};
        text.resize(read);
        return text;
    }
    void Put(const std::string& text) {
        const CWin32FileHandle file = Open(path, 0);
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr));
    }
    bool Log(std::string_view line) { return log.LogLine(line, true, header); }

    std::string folder, path;
    CMemoryRegistry registry;
    CSettingsStore store{registry};
    CMemorySystem system;
    CWin32FileApi files;
    const CCodePage1252 codePage;
    CMessageLog log{files, system, codePage, [] { return std::string(kDate); },
                    [this] { return GetIntSetting(store, kLogMessages) != 0; }};
    bool header = true;
};

TEST_F(Win32File, OpenKeepsTheContentsAndSharesWithNobody) {
    Put("earlier\r\n");
    CFileHandle file(files, files.OpenExclusive(path));
    ASSERT_TRUE(file.IsValid());
    std::uint64_t end = 0;
    ASSERT_TRUE(files.SeekToEnd(file.Get(), &end));
    EXPECT_EQ(end, 9u);

    EFileOpenFailure failure = EFileOpenFailure::None;
    EXPECT_EQ(files.OpenExclusive(path, &failure), kInvalidFileHandle);
    EXPECT_EQ(failure, EFileOpenFailure::InUse);
    EXPECT_FALSE(Open(path, FILE_SHARE_READ | FILE_SHARE_WRITE)) << "not even a sharing opener";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));

    // A write cut back leaves the file as it was.
    std::uint32_t written = 0;
    ASSERT_TRUE(files.Write(file.Get(), "torn", 4, &written));
    EXPECT_EQ(written, 4u);
    ASSERT_TRUE(files.TruncateAt(file.Get(), end));
    file.Close();
    EXPECT_EQ(Contents(), "earlier\r\n");
}

TEST_F(Win32File, FolderThatIsNotThereRefusesAndFoldersAreMadeOnce) {
    const std::string missing = folder + "\\missing\\mivlet.log";
    EFileOpenFailure failure = EFileOpenFailure::None;
    EXPECT_EQ(files.OpenExclusive(missing, &failure), kInvalidFileHandle);
    EXPECT_EQ(failure, EFileOpenFailure::Refused);

    const std::string made = folder + "\\Mivlet";
    EXPECT_TRUE(files.CreateFolder(made));
    EXPECT_TRUE(files.CreateFolder(made)) << "a folder that is there is no error";
    EXPECT_FALSE(files.CreateFolder(folder + "\\missing\\deeper"));
    EXPECT_TRUE(RemoveDirectoryA(made.c_str()));
}

// A folder in the user's own script (a profile folder named after the
// user): the seam's UTF-8 path is the file's name, character for character.
TEST_F(Win32File, APathBeyondTheCodePageNamesTheFileItSays) {
    CWin32FileApi api;
    const std::string name = "\xD0\x9D\xD0\xB8\xD0\xBA\xD0\xB0 \xE6\x9D\x8E";  // "Ника 李"
    const std::string inner = folder + "\\" + name;
    ASSERT_TRUE(api.CreateFolder(inner));
    const std::wstring wideInner = Widen(inner);
    EXPECT_NE(GetFileAttributesW(wideInner.c_str()), INVALID_FILE_ATTRIBUTES) << "the folder of that name";
    {
        CFileHandle file(api, api.OpenExclusive(inner + "\\mivlet.log"));
        ASSERT_TRUE(file.IsValid());
        std::uint32_t written = 0;
        EXPECT_TRUE(api.Write(file.Get(), "x", 1, &written));
    }
    WIN32_FIND_DATAW found{};
    const CFindHandle search(FindFirstFileW((wideInner + L"\\*.log").c_str(), &found));
    ASSERT_TRUE(search);
    EXPECT_STREQ(found.cFileName, L"mivlet.log");
    EXPECT_EQ(found.nFileSizeLow, 1u);
    DeleteFileW((wideInner + L"\\mivlet.log").c_str());
    RemoveDirectoryW(wideInner.c_str());
}

TEST_F(Win32File, LogGoesToLocalAppDataWhereTheWindowsFolderIsNotThere) {
    system.SetWindowsDirectory(folder + "\\missing");
    system.SetLocalAppDataFolder(folder);
    ASSERT_TRUE(Log("Kel 3:47> Hi\r\n"));
    const std::string appDataLog = folder + "\\Mivlet\\mivlet.log";
    EXPECT_EQ(GetLogFilePath(files, system), appDataLog);
    EXPECT_NE(GetFileAttributesA(appDataLog.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Win32File, LogBlockOnTheRealFile) {
    ASSERT_TRUE(Log("Kel 3:47> Hi\r\n"));
    ASSERT_TRUE(Log("Nico 3:48> \xD0\x9F\r\n"));
    const std::string stars(41, '*');
    EXPECT_EQ(Contents(), "\xEF\xBB\xBF\r\n" + stars + "\r\n" + kDate + "\r\n" + stars +
                              "\r\nKel 3:47> Hi\r\nNico 3:48> \xD0\x9F\r\n");
}

// The start of a log an older version wrote is read where the next line
// goes, and that line is in the log's code page.
TEST_F(Win32File, AnOlderLogOnTheRealFileKeepsItsCodePage) {
    Put("earlier \xE9\r\n");
    header = false;
    ASSERT_TRUE(Log("Kel> \xC3\xA9 \xD0\x9F\r\n"));
    EXPECT_EQ(Contents(), "earlier \xE9\r\nKel> \xE9 ?\r\n");
}

// The holder is the program beside this one.
std::string HolderPath() {
    char self[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path(self, length);
    return path.substr(0, path.find_last_of('\\') + 1) + "file_holder.exe";
}

TEST_F(Win32File, FileHeldByAnotherProcessLosesNothing) {
    ASSERT_TRUE(Log("one\r\n"));
    const std::string before = Contents();
    header = true;

    const std::string suffix = std::to_string(GetCurrentProcessId());
    const std::string readyName = "MivletFileHolderReady" + suffix, releaseName = "MivletFileHolderRelease" + suffix;
    const CHandle ready(CreateEventA(nullptr, TRUE, FALSE, readyName.c_str()));
    const CHandle release(CreateEventA(nullptr, TRUE, FALSE, releaseName.c_str()));
    ASSERT_TRUE(ready && release);
    std::string commandLine = "\"" + HolderPath() + "\" \"" + path + "\" " + readyName + " " + releaseName;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process))
        << commandLine;
    const CHandle child(process.hProcess), thread(process.hThread);
    ASSERT_EQ(WaitForSingleObject(ready.Get(), 10000), WAIT_OBJECT_0) << "the holder did not get the file";

    EXPECT_FALSE(Log("not logged\r\n"));
    EXPECT_TRUE(header);

    SetEvent(release.Get());
    ASSERT_EQ(WaitForSingleObject(child.Get(), 10000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(child.Get(), &exitCode);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(Contents(), before);

    ASSERT_TRUE(Log("two\r\n"));
    const std::string stars(41, '*');
    EXPECT_EQ(Contents(), before + "\r\n" + stars + "\r\n" + kDate + "\r\n" + stars + "\r\ntwo\r\n");
}

}  // namespace
