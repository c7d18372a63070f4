// The notification-area icon of the real chat window, over a recorded
// notification area: what the shell is asked, the clicks, the menu, and the
// icon coming back after the taskbar is re-created.

#include <cstring>
#include <cwchar>
#include <string>

#include "ChatDlgFixture.h"
#include "MenuWatch.h"
#include "chatwindow/TrayIcon.h"
#include "resources/ResourceIds.h"

namespace {

constexpr UINT kCallback = WM_USER + 10;
constexpr DesktopWindow kEditor = 0xE0E0;

class TrayIconTest : public ChatDlgTest {
protected:
    // An event as the shell tells it in version 4: the event and the icon's
    // id in lParam, the place the menu belongs in wParam.
    void Click(UINT event, UINT id = IDR_MAINMENU) {
        ::SendMessageW(dlg->Hwnd(), kCallback, MAKEWPARAM(40, 30), MAKELPARAM(event, id));
    }
    bool Visible() const { return ::IsWindowVisible(dlg->Hwnd()) != FALSE; }
};

TEST_F(TrayIconTest, StartUpAddsTheSmallIconWithTheTipFromTheStringTable) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_EQ(shell.calls.size(), 2u);
    const NOTIFYICONDATAW& data = shell.calls[0].data;
    EXPECT_EQ(shell.calls[0].command, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(data.cbSize, static_cast<DWORD>(sizeof(NOTIFYICONDATAW))) << "the layout version 4 needs";
    EXPECT_EQ(shell.calls[1].command, static_cast<DWORD>(NIM_SETVERSION));
    EXPECT_EQ(shell.calls[1].data.uVersion, static_cast<UINT>(NOTIFYICON_VERSION_4));
    EXPECT_EQ(dlg->TrayIcon()->Version(), static_cast<UINT>(NOTIFYICON_VERSION_4));
    EXPECT_EQ(data.hWnd, dlg->Hwnd());
    EXPECT_EQ(data.uID, static_cast<UINT>(IDR_MAINMENU));
    EXPECT_EQ(data.uFlags, static_cast<UINT>(NIF_ICON | NIF_TIP | NIF_MESSAGE));
    EXPECT_EQ(data.uCallbackMessage, kCallback);
    EXPECT_NE(data.hIcon, nullptr);
    EXPECT_STREQ(data.szTip, L"Mivlet");
    EXPECT_TRUE(dlg->TrayIcon()->IsShown());
}

TEST_F(TrayIconTest, ARecreatedTaskbarGetsTheIconBackWithTheSameTip) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ::SendMessageW(dlg->Hwnd(), TaskbarCreatedMessage(), 0, 0);
    ASSERT_EQ(shell.calls.size(), 4u);
    EXPECT_EQ(shell.calls[2].command, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(shell.calls[2].data.hIcon, shell.calls[0].data.hIcon);
    EXPECT_STREQ(shell.calls[2].data.szTip, L"Mivlet");
    EXPECT_EQ(shell.calls[2].data.uFlags, shell.calls[0].data.uFlags);
    EXPECT_EQ(shell.calls[3].command, static_cast<DWORD>(NIM_SETVERSION)) << "the new taskbar is told the version too";
}

TEST_F(TrayIconTest, AnIconWhoseAddFailedIsNeitherAddedAgainNorRemoved) {
    shell.answer = false;
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_FALSE(dlg->TrayIcon()->IsShown());
    shell.answer = true;
    ::SendMessageW(dlg->Hwnd(), TaskbarCreatedMessage(), 0, 0);
    dlg.reset();
    EXPECT_EQ(shell.calls.size(), 1u) << "no add after the failed one, and nothing to remove";
}

TEST_F(TrayIconTest, TheIconGoesWithTheChatWindowAndItsChangesAreModifications) {
    ASSERT_NO_FATAL_FAILURE(Start());
    CTrayIcon& icon = *dlg->TrayIcon();
    const HICON other = ::LoadIconA(nullptr, MAKEINTRESOURCEA(32516));  // IDI_INFORMATION
    EXPECT_TRUE(icon.SetIcon(other, "Mivlet - 2 new messages"));
    EXPECT_EQ(shell.calls.back().command, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_STREQ(shell.calls.back().data.szTip, L"Mivlet - 2 new messages");
    icon.SetIcon(other, "Привет, Ника \xF0\x9F\x98\x80");
    EXPECT_STREQ(shell.calls.back().data.szTip, L"Привет, Ника \U0001F600") << "the tip in Unicode";

    // A tip longer than the first layout's 64 units keeps its terminator,
    // and is not cut inside a character (an emoji takes two units).
    const struct {
        std::string tip;
        std::size_t kept;
    } longTips[] = {{std::string(100, 'x'), 63u}, {std::string(62, 'x') + "\xF0\x9F\x98\x80", 62u}};
    for (const auto& c : longTips) {
        icon.SetIcon(other, c.tip.c_str());
        EXPECT_EQ(std::wcslen(shell.calls.back().data.szTip), c.kept) << c.tip;
    }

    EXPECT_TRUE(icon.SetIcon(IDI_SMALLICON));
    EXPECT_STREQ(shell.calls.back().data.szTip, L"Mivlet") << "the tip is read afresh";

    const std::size_t before = shell.calls.size();
    dlg.reset();
    ASSERT_EQ(shell.calls.size(), before + 1);
    EXPECT_EQ(shell.calls.back().command, static_cast<DWORD>(NIM_DELETE));
}

TEST_F(TrayIconTest, RemovingAnIconThatIsNotShownAsksTheShellNothing) {
    CTestShell own;
    CMemoryDesktop ownDesktop;
    {
        CTrayIcon icon(IDR_MAINMENU, ownDesktop, own.Call());
        EXPECT_TRUE(icon.SetIcon(0u));
    }
    EXPECT_TRUE(own.calls.empty());
}

TEST_F(TrayIconTest, APressOrADoubleClickShowsTheChatWindowAndAReleaseDoesNot) {
    ASSERT_NO_FATAL_FAILURE(Start());
    // NIN_SELECT follows the press of the same click; Enter on the icon,
    // chosen from the keyboard, is NIN_KEYSELECT.
    const struct {
        UINT event;
        bool shows;
    } cases[] = {{WM_LBUTTONUP, false},    {WM_MOUSEMOVE, false}, {WM_LBUTTONDOWN, true},
                 {WM_LBUTTONDBLCLK, true}, {NIN_SELECT, false},   {NIN_KEYSELECT, true}};
    for (const auto& c : cases) {
        dlg->ShowChat(false, false);
        Click(c.event);
        EXPECT_EQ(Visible(), c.shows) << c.event;
    }
    // Another icon's id is not this icon's.
    dlg->ShowChat(false, false);
    Click(WM_LBUTTONDOWN, IDR_MAINMENU + 1);
    EXPECT_FALSE(Visible());
}

// A shell without version 4 keeps the first version's messages: the id in
// wParam, the mouse message in lParam, the menu on a right button release.
TEST_F(TrayIconTest, AShellThatRefusesVersion4GetsTheFirstVersionsMessages) {
    bool refuse = true;
    dlg = CreateCopy(lab2Host, "Lab2", settings);
    dlg->SetNotifyIconCall([&](DWORD command, NOTIFYICONDATAW& data) {
        shell.calls.push_back({command, data});
        return !(refuse && command == NIM_SETVERSION);
    });
    dlg->FinishStartUp();
    EXPECT_EQ(dlg->TrayIcon()->Version(), 0u);
    ::SendMessageW(dlg->Hwnd(), kCallback, IDR_MAINMENU, WM_LBUTTONDOWN);
    EXPECT_TRUE(Visible());
    dlg->ShowChat(false, false);
    ::SendMessageW(dlg->Hwnd(), kCallback, IDR_MAINMENU, NIN_KEYSELECT);
    EXPECT_FALSE(Visible()) << "no keyboard events in the first version";
    CMenuWatch watch([](HWND) { ::EndMenu(); });
    ::SendMessageW(dlg->Hwnd(), kCallback, IDR_MAINMENU, WM_RBUTTONUP);
    EXPECT_TRUE(watch.Seen());
}

// A right click while the window is hidden: the menu with "&Chat!" as its
// default item, the window stays hidden, and the program that was in front
// gets the foreground back.
TEST_F(TrayIconTest, TheMenuLeavesTheHiddenWindowHiddenAndGivesTheForegroundBack) {
    ASSERT_NO_FATAL_FAILURE(Start());
    desktop.foreground = kEditor;
    UINT defaultItem = 0;
    bool readyInMenu = true;
    CMenuWatch watch([&](HWND menu) {
        const HMENU shown = reinterpret_cast<HMENU>(::SendMessageW(menu, MN_GETHMENU, 0, 0));
        defaultItem = ::GetMenuDefaultItem(shown, FALSE, 0);
        readyInMenu = dlg->IsReady();
        ::EndMenu();
    });
    Click(WM_CONTEXTMENU);
    EXPECT_TRUE(watch.Seen());
    EXPECT_EQ(defaultItem, static_cast<UINT>(ID_CHAT));
    EXPECT_TRUE(readyInMenu) << "the ready flag is back before the menu opens";
    EXPECT_TRUE(dlg->IsReady());
    EXPECT_FALSE(Visible());
    ASSERT_EQ(desktop.foregroundRequests.size(), 2u);
    EXPECT_EQ(desktop.foregroundRequests[0].window, Chat());
    EXPECT_EQ(desktop.foregroundRequests[1].window, kEditor);
}

TEST_F(TrayIconTest, ExitFromTheMenuEndsTheProgramWithTheExitNoticeAndRemovesTheIcon) {
    ASSERT_NO_FATAL_FAILURE(Start());
    CMenuWatch watch([](HWND menu) { CMenuWatch::Choose(menu, 'X'); });
    Click(WM_CONTEXTMENU);  // a right click, the menu key or Shift+F10 on the icon
    ASSERT_TRUE(watch.Seen());
    EXPECT_TRUE(PumpUntil([&] { return !dlg->Exists(); }));
    EXPECT_EQ(CommandBroadcasts().back(), "ping-appexit");
    dlg.reset();
    EXPECT_EQ(shell.calls.back().command, static_cast<DWORD>(NIM_DELETE));
}

}  // namespace
