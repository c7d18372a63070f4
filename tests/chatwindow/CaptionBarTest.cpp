// The side caption bar in the real chat window: its place, its image that
// only grows, the button's states under the mouse, and the Help menu that
// the button, F1 and Alt+H open beside it.

#include "ChatDlgFixture.h"
#include "MenuWatch.h"
#include "resources/ResourceIds.h"

namespace {

constexpr RECT kButton{2, 4, 18, 49};

class CaptionBarTest : public ChatDlgTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(Start());
        dlg->ShowChat(true, false);
    }
    HWND Bar() const { return dlg->CaptionBar().Hwnd(); }
    void Resize(int width, int height) {
        ::SetWindowPos(dlg->Hwnd(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // Opens the menu with `open`, and records where it showed and how the
    // button was drawn meanwhile; `key` chooses an item, 0 closes it.
    struct COpened {
        bool seen = false;
        RECT menu{};
        CCaptionBar::EButtonState state = CCaptionBar::kNoState;
    };
    template <typename Open>
    COpened OpenMenu(Open open, char key = 0) {
        COpened opened;
        CMenuWatch watch([&](HWND menu) {
            ::GetWindowRect(menu, &opened.menu);
            opened.state = dlg->CaptionBar().ButtonState();
            if (key)
                CMenuWatch::Choose(menu, key);
            else
                ::EndMenu();
        });
        open();
        Pump(50);
        opened.seen = watch.Seen();
        return opened;
    }
    void PressKey(WPARAM key, bool alt) {
        const LPARAM context = alt ? (1 << 29) : 0;
        ::PostMessageA(::GetDlgItem(dlg->Hwnd(), IDC_MESSAGE), alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, context);
        Pump(30);
    }
};

TEST_F(CaptionBarTest, TakesThePlaceholdersPlaceAndFollowsTheWindowsHeight) {
    ASSERT_EQ(::GetDlgItem(dlg->Hwnd(), IDC_CAPTIONBAR), Bar());
    char className[32] = {};
    ::GetClassNameA(Bar(), className, sizeof className);
    EXPECT_STREQ(className, "MivletCaptionBar");
    RECT bar{};
    ::GetWindowRect(Bar(), &bar);
    ::MapWindowPoints(nullptr, dlg->Hwnd(), reinterpret_cast<POINT*>(&bar), 2);
    RECT client{};
    ::GetClientRect(dlg->Hwnd(), &client);
    EXPECT_EQ(bar.left, 4);
    EXPECT_EQ(bar.top, 4);
    EXPECT_EQ(bar.right, 24);
    EXPECT_EQ(bar.bottom, client.bottom - 3);
    EXPECT_FALSE(::GetWindowLongA(Bar(), GWL_STYLE) & WS_TABSTOP);
}

TEST_F(CaptionBarTest, TheImageGrowsWithTheBarAndIsKeptWhenItShrinks) {
    Resize(500, 450);
    RECT client{};
    ::GetClientRect(Bar(), &client);
    EXPECT_EQ(dlg->CaptionBar().ImageSize().cy, client.bottom);
    EXPECT_EQ(dlg->CaptionBar().ImageSize().cx, 20);

    Resize(500, 650);
    ::GetClientRect(Bar(), &client);
    const LONG tall = client.bottom;
    EXPECT_EQ(dlg->CaptionBar().ImageSize().cy, tall);

    Resize(500, 460);
    EXPECT_EQ(dlg->CaptionBar().ImageSize().cy, tall) << "a shorter bar keeps the larger image";
}

TEST_F(CaptionBarTest, TheButtonRisesUnderThePointerAndFlattensWhenItLeaves) {
    EXPECT_EQ(dlg->CaptionBar().ButtonState(), CCaptionBar::kFlat);
    ::SendMessageA(Bar(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 20));
    EXPECT_EQ(::GetCapture(), Bar()) << "held, to learn when the pointer leaves";
    EXPECT_EQ(dlg->CaptionBar().ButtonState(), CCaptionBar::kRaised);
    ::SendMessageA(Bar(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 120));
    EXPECT_NE(::GetCapture(), Bar());
    EXPECT_EQ(dlg->CaptionBar().ButtonState(), CCaptionBar::kFlat);
}

// F1, Alt+H and a click on the button: the Help menu opens to the right of
// the button, which is drawn pressed while the menu is open.
TEST_F(CaptionBarTest, F1AltHAndTheButtonOpenTheHelpMenuBesideTheBar) {
    RECT bar{};
    ::GetWindowRect(Bar(), &bar);
    struct CWay {
        const char* what;
        std::function<void()> open;
    };
    const CWay ways[] = {
        {"F1", [&] { PressKey(VK_F1, false); }},
        {"Alt+H", [&] { PressKey('H', true); }},
        {"click", [&] { ::PostMessageA(Bar(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20)); Pump(30); }},
        {"Space on the button, which Tab reaches", [&] {
             const HWND button = dlg->CaptionBar().ButtonWindow();
             ::SetForegroundWindow(dlg->Hwnd());
             ::SetFocus(button);
             ASSERT_EQ(::GetFocus(), button);
             ::SendMessageA(button, WM_KEYDOWN, VK_SPACE, 0x00390001);
             ::SendMessageA(button, WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001));
             Pump(30);
         }},
    };
    for (const CWay& way : ways) {
        ::SendMessageA(Bar(), WM_LBUTTONUP, 0, MAKELPARAM(10, 20));
        const COpened opened = OpenMenu(way.open);
        ASSERT_TRUE(opened.seen) << way.what;
        EXPECT_EQ(opened.menu.left, kButton.right + bar.left + 3) << way.what;
        EXPECT_EQ(opened.menu.top, kButton.top + bar.top - 3) << way.what;
        EXPECT_EQ(opened.state, CCaptionBar::kSunken) << way.what;
        EXPECT_EQ(dlg->CaptionBar().ButtonState(), CCaptionBar::kFlat) << way.what;
    }
}

// A system push button, so that the system's own accessible object names it
// "Help" with the role of a push button (this Wine's oleacc has no accessible
// objects for buttons to ask).
TEST_F(CaptionBarTest, TheHelpButtonIsATabStopPushButtonNamedHelp) {
    const HWND button = dlg->CaptionBar().ButtonWindow();
    ASSERT_TRUE(button);
    char className[32] = {}, text[32] = {};
    ::GetClassNameA(button, className, sizeof className);
    ::GetWindowTextA(button, text, sizeof text);
    EXPECT_EQ(::lstrcmpiA(className, "Button"), 0);
    EXPECT_STREQ(text, "&Help");
    EXPECT_TRUE(::GetWindowLongA(button, GWL_STYLE) & WS_TABSTOP);
    RECT rect{};
    ::GetWindowRect(button, &rect);
    ::MapWindowPoints(nullptr, Bar(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_TRUE(::EqualRect(&rect, &kButton));

}

// The press that closes the open menu (the button held down) does not open
// it again.
TEST_F(CaptionBarTest, APressWhileTheButtonWasHeldDoesNotOpenTheMenu) {
    ::SendMessageA(Bar(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, 20));
    const COpened opened =
        OpenMenu([&] { ::PostMessageA(Bar(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20)); Pump(200); });
    EXPECT_FALSE(opened.seen);
    ::SendMessageA(Bar(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 120));
}

TEST_F(CaptionBarTest, ACommandChosenFromTheMenuReachesTheChatWindow) {
    const COpened opened = OpenMenu([&] { PressKey(VK_F1, false); }, 'W');  // "Visit &Web Site"
    ASSERT_TRUE(opened.seen);
    Pump(50);
    EXPECT_EQ(dlg->helpCommands, std::vector<int>{ID_VISIT_WEBSITE});
}

}  // namespace
