// Mivlet.exe as a whole, started as a separate process under Wine.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/LegacyIni.h"
#include "platform/memory/MemoryRegistry.h"
#include "settings/SettingsStore.h"
#include "settings/UserName.h"
#include "util/win32/Handles.h"
#include "util/win32/WideText.h"
#include "resources/ResourceIds.h"

namespace {

// Mailslots and files give INVALID_HANDLE_VALUE when they fail.
CWin32FileHandle Own(HANDLE h) { return CWin32FileHandle(h); }

constexpr char kMailslotPath[] = "\\\\.\\mailslot\\Mivlet";
constexpr DWORD kStartTimeoutMs = 20000;

std::string ProgramPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\') + 1) + "Mivlet.exe";
}

struct CRunningProgram {
    CHandle process;
    DWORD id = 0;
};

// Every copy started here uses the local mailslot only: a test must never
// broadcast on the network of the machine it runs on, whatever the prefix
// says and whatever the program's default carrier is.
void UseMailslotCarrier() {
    HKEY opened = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Pellandor\\Mivlet", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &opened, nullptr),
              ERROR_SUCCESS);
    const CRegistryKey key(opened);
    static constexpr char kMailslot[] = "mailslot";
    ASSERT_EQ(RegSetValueExA(key.Get(), "Transport", 0, REG_SZ, reinterpret_cast<const BYTE*>(kMailslot),
                             sizeof kMailslot),
              ERROR_SUCCESS);
}

CRunningProgram StartProgram(const std::wstring& path, const std::wstring& arguments) {
    UseMailslotCarrier();
    std::wstring command = L"\"" + path + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    CRunningProgram program;
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        CloseHandle(info.hThread);
        program.process = CHandle(info.hProcess);
        program.id = info.dwProcessId;
    }
    return program;
}

std::wstring Widen(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                           static_cast<int>(wide.size()));
    wide.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return wide;
}

CRunningProgram Start(const std::wstring& arguments = L"") { return StartProgram(Widen(ProgramPath()), arguments); }

// The first top-level window of `processId` whose class is `className`
// (and that is visible, when asked), other than `other`.
HWND FindProcessWindow(DWORD processId, const char* className, bool visibleOnly = false, HWND other = nullptr) {
    struct CSearch {
        DWORD processId;
        const char* className;
        bool visibleOnly;
        HWND other;
        HWND found;
    } search{processId, className, visibleOnly, other, nullptr};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<CSearch*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            char name[64] = {};
            GetClassNameA(window, name, sizeof name);
            if (owner == s->processId && std::string(name) == s->className &&
                (!s->visibleOnly || IsWindowVisible(window)) && window != s->other) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindow(DWORD processId, const char* className, bool visibleOnly = false, HWND other = nullptr) {
    for (DWORD waited = 0; waited < kStartTimeoutMs; waited += 50) {
        if (HWND window = FindProcessWindow(processId, className, visibleOnly, other)) return window;
        Sleep(50);
    }
    return nullptr;
}

std::string LongestChildText(HWND parent) {
    struct CText { std::string longest; } found;
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM param) -> BOOL {
            char text[1024] = {};
            GetWindowTextA(child, text, sizeof text);
            auto* f = reinterpret_cast<CText*>(param);
            if (std::string(text).size() > f->longest.size()) f->longest = text;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.longest;
}

DWORD WaitForExit(const CRunningProgram& program) {
    if (WaitForSingleObject(program.process.Get(), 10000) != WAIT_OBJECT_0) {
        TerminateProcess(program.process.Get(), 99);
        return 99;
    }
    DWORD code = 0;
    GetExitCodeProcess(program.process.Get(), &code);
    return code;
}

// The running copy's chat dialog: the window that answers the query.
HWND WaitForChatWindow(DWORD processId) {
    const UINT query = RegisterWindowMessageA("Mivlet_IsMivletApplication");
    for (DWORD waited = 0; waited < kStartTimeoutMs; waited += 50) {
        if (HWND window = FindProcessWindow(processId, "#32770")) {
            DWORD_PTR answer = 0;
            if (SendMessageTimeoutA(window, query, 0x5B8C5911, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, 200, &answer) &&
                answer == 0x7951BACA)
                return window;
        }
        Sleep(50);
    }
    return nullptr;
}

void WriteDatagram(const std::string& datagram) {
    auto writer = Own(CreateFileA(kMailslotPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(writer);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(writer.Get(), datagram.data(), static_cast<DWORD>(datagram.size()), &written, nullptr));
}

void WriteTextFileWide(const std::wstring& path, const std::string& bytes) {
    auto file = Own(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

void WriteTextFile(const std::string& path, const std::string& text) {
    auto file =
        Own(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file) << path;
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr));
}

std::string HistoryText(HWND chatWindow) {
    const HWND history = GetDlgItem(chatWindow, 1017);
    std::string text(static_cast<std::size_t>(SendMessageA(history, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        SendMessageA(history, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

// A string of the program file's version resource (U.S. English, Unicode
// block); empty when there is none.
std::string VersionString(const std::string& file, const char* name) {
    DWORD ignored = 0;
    std::string data(GetFileVersionInfoSizeA(file.c_str(), &ignored), '\0');
    if (data.empty() || !GetFileVersionInfoA(file.c_str(), 0, static_cast<DWORD>(data.size()), data.data())) return {};
    void* value = nullptr;
    UINT length = 0;
    const std::string query = std::string("\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueA(data.data(), query.c_str(), &value, &length) || length == 0) return {};
    return std::string(static_cast<const char*>(value));
}

// "a.b.c" of the fixed part, whose fourth number stays 0.
std::string FixedFileVersion(const std::string& file) {
    DWORD ignored = 0;
    std::string data(GetFileVersionInfoSizeA(file.c_str(), &ignored), '\0');
    if (data.empty() || !GetFileVersionInfoA(file.c_str(), 0, static_cast<DWORD>(data.size()), data.data())) return {};
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), "\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO)) return {};
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    if (LOWORD(fixed->dwFileVersionLS) != 0 || fixed->dwFileVersionMS != fixed->dwProductVersionMS ||
        fixed->dwFileVersionLS != fixed->dwProductVersionLS)
        return "(file and product versions differ)";
    return std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
           std::to_string(HIWORD(fixed->dwFileVersionLS));
}

bool MailslotExists() {
    return static_cast<bool>(Own(CreateFileA(kMailslotPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, nullptr)));
}

TEST(MivletProgram, RunsHiddenWithItsMailslotAndEndsCleanlyWhenClosed) {
    ASSERT_FALSE(MailslotExists());
    const CRunningProgram program = Start();
    ASSERT_TRUE(program.process) << ProgramPath();

    HWND window = WaitForChatWindow(program.id);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(MailslotExists());

    // A datagram written meanwhile is drained by the receive timer.
    const char datagram[] = "Lab2\0" "00001\0" "Kel>\tHi";
    WriteDatagram(std::string(datagram, sizeof datagram));
    Sleep(300);
    EXPECT_EQ(WaitForSingleObject(program.process.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "still running";

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForExit(program), 0u);
    EXPECT_FALSE(MailslotExists());
}

// The name held elsewhere, as the copy of another user logged on to the same
// computer holds it (a terminal server; the mutex is the session's own).
TEST(MivletProgram, ReportsAMailslotTakenByAnotherUsersCopyAndExits) {
    auto taken = Own(CreateMailslotA(kMailslotPath, 0, 0, nullptr));
    ASSERT_TRUE(taken);
    const CRunningProgram program = Start();
    ASSERT_TRUE(program.process);

    // The hidden chat dialog is a "#32770" too; the box is the one that
    // shows, once its texts are in place.
    HWND box = WaitForWindow(program.id, "#32770", true);
    ASSERT_NE(box, nullptr);
    char title[64] = {};
    GetWindowTextA(box, title, sizeof title);
    EXPECT_STREQ(title, "Mivlet");
    EXPECT_EQ(LongestChildText(box),
              "Mivlet already runs for another user of this computer.  One copy of Mivlet serves the whole "
              "computer, so it cannot run for you as well.");

    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WaitForExit(program), 1u);
}

TEST(MivletProgram, ASecondStartShowsTheRunningCopyAndEndsAtOnce) {
    const CRunningProgram first = Start();
    ASSERT_TRUE(first.process);
    HWND window = WaitForChatWindow(first.id);
    ASSERT_NE(window, nullptr);
    ASSERT_FALSE(IsWindowVisible(window));

    const CRunningProgram second = Start();
    ASSERT_TRUE(second.process);
    EXPECT_EQ(WaitForSingleObject(second.process.Get(), 1000), static_cast<DWORD>(WAIT_OBJECT_0));
    DWORD code = 99;
    GetExitCodeProcess(second.process.Get(), &code);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(FindProcessWindow(second.id, "#32770"), nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    char title[64] = {};
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "Mivlet");

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForExit(first), 0u);
}

// What installers use: the switch ends the running copy and returns once its
// process is gone, so that the program file can be replaced at once.
TEST(MivletProgram, TheCloseSwitchEndsTheRunningCopyAndReturnsWhenItIsGone) {
    {
        const CRunningProgram close = Start(L"/close");
        ASSERT_TRUE(close.process);
        EXPECT_EQ(WaitForExit(close), 1u) << "no copy runs";
        EXPECT_FALSE(MailslotExists()) << "the switch starts no copy";
    }
    const CRunningProgram running = Start();
    ASSERT_TRUE(running.process);
    ASSERT_NE(WaitForChatWindow(running.id), nullptr);

    const CRunningProgram close = Start(L" /CLOSE ");
    ASSERT_TRUE(close.process);
    EXPECT_EQ(WaitForExit(close), 0u);
    ASSERT_EQ(WaitForSingleObject(running.process.Get(), 0), static_cast<DWORD>(WAIT_OBJECT_0));
    DWORD code = 99;
    GetExitCodeProcess(running.process.Get(), &code);
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(MailslotExists());
}

// The version in the file's properties is the one that the About box shows
// and that the version reply tells other computers.
TEST(MivletProgram, AboutBoxAndVersionReplyTellTheVersionOfTheVersionResource) {
    const std::string version = FixedFileVersion(ProgramPath());
    ASSERT_FALSE(version.empty());
    EXPECT_EQ(VersionString(ProgramPath(), "FileVersion"), version);
    EXPECT_EQ(VersionString(ProgramPath(), "ProductVersion"), version);
    EXPECT_EQ(VersionString(ProgramPath(), "ProductName"), "Mivlet");
    EXPECT_EQ(VersionString(ProgramPath(), "CompanyName"), "Pellandor");
    EXPECT_FALSE(VersionString(ProgramPath(), "FileDescription").empty());

    // A stored name, so that no name prompt comes first and holds off About.
    static constexpr char kName[] = "Tester";
    ASSERT_EQ(
        RegSetKeyValueA(HKEY_LOCAL_MACHINE, "Software\\Pellandor\\Mivlet", "Username", REG_SZ, kName, sizeof kName),
        ERROR_SUCCESS);
    const CRunningProgram program = Start();
    ASSERT_TRUE(program.process);
    HWND window = WaitForChatWindow(program.id);
    ASSERT_NE(window, nullptr);

    PostMessageA(window, WM_COMMAND, 57664, 0);  // About
    HWND box = WaitForWindow(program.id, "#32770", true, window);
    ASSERT_NE(box, nullptr);
    // Another process's edit box tells its text through WM_GETTEXT only.
    char aboutText[1024] = {};
    SendMessageA(GetDlgItem(box, IDC_ABOUTTEXT), WM_GETTEXT, sizeof aboutText, reinterpret_cast<LPARAM>(aboutText));
    EXPECT_EQ(std::string(aboutText).rfind("Mivlet version " + version + "\r\n", 0), 0u) << aboutText;
    PostMessageA(box, WM_COMMAND, IDCANCEL, 0);

    char computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof computer;
    ASSERT_TRUE(GetComputerNameA(computer, &size));
    // As if the copy itself had asked: its reply comes back to its own
    // mailslot. A sequence number of its own counter's early ones would make
    // the reply look like a repeat of the request.
    const std::string request = std::string(computer) + '\0' + "54321" + '\0' + "mivletcmd>\tadmin:version" + '\0';
    WriteDatagram(request);
    const std::string reply = " (version " + version + ").";
    std::string history;
    for (DWORD waited = 0; waited < 5000 && history.find(reply) == std::string::npos; waited += 50) {
        Sleep(50);
        history = HistoryText(window);
    }
    EXPECT_NE(history.find("The build date is "), std::string::npos) << history;
    EXPECT_NE(history.find(reply), std::string::npos) << history;

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForExit(program), 0u);
}

// A legacy INI file in the Windows folder and a fresh registry.
class LegacyIniTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSettingsKey);
        char windows[MAX_PATH] = {};
        GetWindowsDirectoryA(windows, MAX_PATH);
        ini = std::string(windows) + "\\mivlet.ini";
        retired = std::string(windows) + "\\mivlet-old.ini";
        DeleteFileA(ini.c_str());
        DeleteFileA(retired.c_str());
    }
    void TearDown() override {
        DeleteFileA(ini.c_str());
        DeleteFileA(retired.c_str());
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSettingsKey);
    }
    static std::string ReadString(const char* name) {
        char value[256] = {};
        DWORD size = sizeof value;
        if (RegGetValueA(HKEY_LOCAL_MACHINE, kSettingsKey, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
            return "(missing)";
        return value;
    }
    static long ReadDword(const char* name) {
        DWORD value = 0;
        DWORD size = sizeof value;
        if (RegGetValueA(HKEY_LOCAL_MACHINE, kSettingsKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
            ERROR_SUCCESS)
            return -999;
        return static_cast<long>(value);
    }
    static bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    static constexpr char kSettingsKey[] = "Software\\Pellandor\\Mivlet";
    std::string ini, retired;
};

TEST_F(LegacyIniTest, IsImportedIntoTheRegistryAndRetired) {
    WriteTextFile(ini,
                  "[Main]\r\nCurrentUser=2\r\n"
                  "[Names]\r\n1=Someone Else\r\n2=  Ann Example  \r\n"
                  "[User-Ann Example]\r\nPromptOnAllUsers=0\r\nOnNewMessage=0\r\ndlg-width=500\r\nLogMessages=1\r\n"
                  "[User-Someone Else]\r\nPlaySnd=1\r\n");
    const CRunningProgram program = Start();
    ASSERT_TRUE(program.process);
    HWND window = WaitForChatWindow(program.id);
    ASSERT_NE(window, nullptr);

    EXPECT_EQ(ReadString("Username"), "Ann Example");
    EXPECT_EQ(ReadDword("PromptOnAllUsers"), 0);
    EXPECT_EQ(ReadDword("OnNewMessage"), 2);  // the legacy numbering runs the other way
    EXPECT_EQ(ReadDword("dlg-width"), 500);
    EXPECT_EQ(ReadDword("LogMessages"), 1);
    EXPECT_EQ(ReadDword("PlaySnd"), 0);  // another profile's setting
    EXPECT_FALSE(Exists(ini));
    EXPECT_TRUE(Exists(retired));
    // The name box shows the imported name.
    char name[64] = {};
    GetDlgItemTextA(window, IDC_NAME, name, sizeof name);
    EXPECT_STREQ(name, "Ann Example");

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForExit(program), 0u);
}

// The file's text in either encoding an older copy or its user may have
// left, read into the store as UTF-8: the code page's characters all come
// over, and a file saved as UTF-16 keeps what the code page lacks.
TEST(LegacyIniEncodings, TheCodePageAndUtf16BothReadAsTheirText) {
    ASSERT_EQ(GetACP(), 1252u) << "the test prefix runs in the Western code page";
    const auto utf16 = [](const std::wstring& text, bool little) {
        std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
        for (const wchar_t unit : text) {
            const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
            bytes += little ? low : high;
            bytes += little ? high : low;
        }
        return bytes;
    };
    const std::wstring profile = L"[Main]\r\nCurrentUser=1\r\n[Names]\r\n1=";
    const struct {
        const char* which;
        std::string bytes, name;
    } cases[] = {
        {"code page", "[Main]\r\nCurrentUser=1\r\n[Names]\r\n1=J\xFCrgen Gro\xDF\r\n", "J\xC3\xBCrgen Gro\xC3\x9F"},
        {"UTF-16LE", utf16(profile + L"\u041D\u0438\u043A\u0430 \u674E\r\n", true),
         "\xD0\x9D\xD0\xB8\xD0\xBA\xD0\xB0 \xE6\x9D\x8E"},
        {"UTF-16BE", utf16(profile + L"J\u00FCrgen\r\n", false), "J\xC3\xBCrgen"},
    };
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::string path = Narrow(folder) + "legacy.ini";
    for (const auto& c : cases) {
        WriteTextFileWide(Widen(path), c.bytes);
        CMemoryRegistry registry;
        CSettingsStore store(registry);
        ImportLegacyIni(store, path);
        EXPECT_EQ(store.Main().ReadString(kUsernameValue, "(none)"), c.name) << c.which;
    }
    DeleteFileW(Widen(path).c_str());
}

}  // namespace
