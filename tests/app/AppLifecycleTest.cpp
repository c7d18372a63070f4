// Mivlet.exe as a whole, started as a separate process under Wine.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using UniqueHandle = std::unique_ptr<void, decltype(&::CloseHandle)>;
UniqueHandle Own(HANDLE h) { return UniqueHandle(h == INVALID_HANDLE_VALUE ? nullptr : h, &::CloseHandle); }

constexpr char kMailslotPath[] = "\\\\.\\mailslot\\Mivlet";
constexpr DWORD kStartTimeoutMs = 20000;

std::string ProgramPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\') + 1) + "Mivlet.exe";
}

struct CRunningProgram {
    UniqueHandle process{nullptr, &::CloseHandle};
    DWORD id = 0;
};

CRunningProgram Start() {
    std::string command = "\"" + ProgramPath() + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    CRunningProgram program;
    if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        CloseHandle(info.hThread);
        program.process = Own(info.hProcess);
        program.id = info.dwProcessId;
    }
    return program;
}

// The first top-level window of `processId` whose class is `className`.
HWND FindProcessWindow(DWORD processId, const char* className) {
    struct CSearch {
        DWORD processId;
        const char* className;
        HWND found;
    } search{processId, className, nullptr};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<CSearch*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            char name[64] = {};
            GetClassNameA(window, name, sizeof name);
            if (owner == s->processId && std::string(name) == s->className) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindow(DWORD processId, const char* className) {
    for (DWORD waited = 0; waited < kStartTimeoutMs; waited += 50) {
        if (HWND window = FindProcessWindow(processId, className)) return window;
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
    if (WaitForSingleObject(program.process.get(), 10000) != WAIT_OBJECT_0) {
        TerminateProcess(program.process.get(), 99);
        return 99;
    }
    DWORD code = 0;
    GetExitCodeProcess(program.process.get(), &code);
    return code;
}

bool MailslotExists() {
    return static_cast<bool>(Own(CreateFileA(kMailslotPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, nullptr)));
}

TEST(MivletProgram, RunsHiddenWithItsMailslotAndEndsCleanlyWhenClosed) {
    ASSERT_FALSE(MailslotExists());
    const CRunningProgram program = Start();
    ASSERT_TRUE(program.process) << ProgramPath();

    HWND window = WaitForWindow(program.id, "MivletMainWindow");
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(MailslotExists());

    // A datagram written meanwhile is drained by the receive timer.
    {
        auto writer = Own(CreateFileA(kMailslotPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(writer);
        DWORD written = 0;
        const char datagram[] = "Lab2\0" "00001\0" "Kel>\tHi";
        EXPECT_TRUE(WriteFile(writer.get(), datagram, sizeof datagram, &written, nullptr));
    }
    Sleep(300);
    EXPECT_EQ(WaitForSingleObject(program.process.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "still running";

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForExit(program), 0u);
    EXPECT_FALSE(MailslotExists());
}

TEST(MivletProgram, ReportsAMailslotItCannotCreateAndExits) {
    auto taken = Own(CreateMailslotA(kMailslotPath, 0, 0, nullptr));
    ASSERT_TRUE(taken);
    const CRunningProgram program = Start();
    ASSERT_TRUE(program.process);

    HWND box = WaitForWindow(program.id, "#32770");
    ASSERT_NE(box, nullptr);
    // The box exists before its texts are in place; it shows once they are.
    for (DWORD waited = 0; waited < kStartTimeoutMs && !IsWindowVisible(box); waited += 50) Sleep(50);
    char title[64] = {};
    GetWindowTextA(box, title, sizeof title);
    EXPECT_STREQ(title, "Mivlet");
    EXPECT_EQ(LongestChildText(box),
              "Mivlet could not create the mailslot to send and receive messages.  Make sure all hidden "
              "instances of Mivlet are closed, and try again.  You may need to restart your computer.  If this "
              "problem persists, send an e-mail to support@pellandor.example.");

    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WaitForExit(program), 1u);
}

}  // namespace
