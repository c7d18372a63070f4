// The chat window's Options command with the program's sheet: the sheet runs
// modally over the window, the window takes up the settings again however
// the sheet ends, and the end of the program while the sheet is open ends
// the sheet's loop first.

#include "platform/codepage/CodePage1252.h"
#include "app/ProgramOptions.h"
#include "app/RegistryChatSettings.h"
#include "platform/stdio/StdioFileApi.h"
#include "tests/app/OptionsFixture.h"
#include "tests/chatwindow/ChatDlgFixture.h"

namespace {

class OptionsCommandTest : public ChatDlgTest {
protected:
    void SetUp() override {
        // A stored name: no name prompt comes up when the window shows.
        registry.PutString("Software\\Pellandor\\Mivlet", "Username", "guest");
        dlg = StartCopy(lab2Host, "Lab2", chatSettings);
        ASSERT_TRUE(dlg && dlg->Exists());
        dlg->SetOptionsDialog(&options);
    }
    // The sheet over the chat window, while there is one.
    HWND Sheet() const {
        const HWND popup = dlg->Exists() ? ::GetLastActivePopup(dlg->Hwnd()) : nullptr;
        return popup && popup != dlg->Hwnd() ? popup : nullptr;
    }
    HWND PageItem(int id) const { return ::GetDlgItem(PropSheet_GetCurrentPageHwnd(Sheet()), id); }
    // Runs `whileOpen` once the sheet is up, from a timer of the chat
    // window's thread; whatever it leaves open is cancelled, and a sheet
    // that is still there after that is destroyed, so the test cannot hang.
    void RunOptions(UINT command, std::function<void()> whileOpen) {
        m_whileOpen = std::move(whileOpen);
        m_ticks = 0;
        m_test = this;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) { m_test->OnTick(); });
        ::SendMessageA(dlg->Hwnd(), WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
        ::KillTimer(nullptr, timer);
    }

    CMemoryRegistry registry;
    CSettingsStore store{registry};
    CMemorySystem system;
    CStdioFileApi files;
    const CCodePage1252 codePage;
    CRegistryChatSettings chatSettings{store, files, system, codePage};
    CProgramOptions options{store, system, files, zone};
    int sheetsSeen = 0;

private:
    void OnTick() {
        ++m_ticks;
        const HWND sheet = Sheet();
        if (m_ticks == 1) {
            if (sheet) ++sheetsSeen;
            if (sheet && m_whileOpen) m_whileOpen();
        } else if (m_ticks == 10 && sheet) {
            PropSheet_PressButton(sheet, PSBTN_CANCEL);
        } else if (m_ticks == 20 && sheet) {
            ::DestroyWindow(sheet);
        }
    }
    static inline OptionsCommandTest* m_test = nullptr;
    std::function<void()> m_whileOpen;
    int m_ticks = 0;
};

TEST_F(OptionsCommandTest, OkStoresTheNameAndTheWindowShowsAndAnnouncesIt) {
    for (const UINT command : {IDC_OPTIONS, ID_OPTIONS}) {
        SCOPED_TRACE(command);
        const std::string name = command == IDC_OPTIONS ? "Kel" : "Ann";
        bool ownerDisabled = false;
        RunOptions(command, [&] {
            ownerDisabled = !::IsWindowEnabled(dlg->Hwnd());
            ::SetWindowTextA(PageItem(IDC_USERNAME), name.c_str());
            PropSheet_PressButton(Sheet(), PSBTN_OK);
        });
        EXPECT_TRUE(ownerDisabled) << "modal over the chat window";
        EXPECT_TRUE(::IsWindowEnabled(dlg->Hwnd()));
        EXPECT_TRUE(::IsWindowVisible(dlg->Hwnd())) << "shown first";
        EXPECT_EQ(Sheet(), nullptr);
        EXPECT_EQ(WindowText(::GetDlgItem(dlg->Hwnd(), IDC_NAME)), name);
        EXPECT_EQ(CommandBroadcasts().back(), "admin:ping " + name);
        EXPECT_EQ(::GetFocus(), ::GetDlgItem(dlg->Hwnd(), IDC_MESSAGE));
    }
    EXPECT_EQ(sheetsSeen, 2);
}

TEST_F(OptionsCommandTest, CancelStillTakesUpTheSettingsAgain) {
    const std::size_t pings = CommandBroadcasts().size();
    RunOptions(IDC_OPTIONS, [&] {
        ::SetWindowTextA(PageItem(IDC_USERNAME), "Not Kept");
        PropSheet_PressButton(Sheet(), PSBTN_CANCEL);
    });
    EXPECT_EQ(sheetsSeen, 1);
    EXPECT_EQ(registry.FindValue("Software\\Pellandor\\Mivlet", "Username")->bytes, std::string("guest") + '\0');
    EXPECT_EQ(CommandBroadcasts().size(), pings + 1);
    EXPECT_EQ(CommandBroadcasts().back().rfind("admin:ping ", 0), 0u);
}

TEST_F(OptionsCommandTest, OptionsWhileTheSheetIsOpenDoesNothing) {
    RunOptions(IDC_OPTIONS, [&] {
        const HWND first = Sheet();
        ::SendMessageA(dlg->Hwnd(), WM_COMMAND, ID_OPTIONS, 0);
        EXPECT_EQ(Sheet(), first);
        PropSheet_PressButton(first, PSBTN_CANCEL);
    });
    EXPECT_EQ(sheetsSeen, 1);
}

TEST_F(OptionsCommandTest, TheEndOfTheProgramWhileTheSheetIsOpenEndsItsLoopCleanly) {
    const struct {
        const char* what;
        std::function<void(HWND)> end;
    } cases[] = {
        {"the tray's Exit", [](HWND chat) { ::SendMessageA(chat, WM_COMMAND, ID_APP_EXIT, 0); }},
        {"WM_CLOSE from outside", [](HWND chat) { ::SendMessageA(chat, WM_CLOSE, 0, 0); }},
        {"the close box", [](HWND chat) { ::SendMessageA(chat, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        // Obeyed at the chat window's next receive tick, which runs in the
        // sheet's loop.
        {"a remote quit",
         [this](HWND) {
             dlg->modulePath = "\\\\office\\apps\\mivlet.exe";
             office.Send("*", "mivletcmd", "admin:\r\nquit", true);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (!dlg || !dlg->Exists()) {
            dlg = StartCopy(lab2Host, "Lab2", chatSettings);
            ASSERT_TRUE(dlg && dlg->Exists());
            dlg->SetOptionsDialog(&options);
        }
        dlg->SetQuitOnDestroy(true);
        const std::size_t writes = CommandBroadcasts().size();
        const HWND chat = dlg->Hwnd();
        RunOptions(IDC_OPTIONS, [&] { c.end(chat); });
        EXPECT_FALSE(dlg->Exists());
        EXPECT_FALSE(::IsWindow(chat));
        const std::vector<std::string> after = CommandBroadcasts();
        ASSERT_EQ(after.size(), writes + 1) << "the exit notice, and no ping after it";
        EXPECT_EQ(after.back(), "ping-appexit");
        // The program's own loop still gets its WM_QUIT.
        MSG quit{};
        EXPECT_TRUE(::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        dlg.reset();
    }
}

}  // namespace
