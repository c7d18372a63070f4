// The real chat window's shape: its smallest size, the controls following a
// resize, the gripper, the label that must not be clipped, and the place it
// keeps between runs.

#include "ChatDlgFixture.h"
#include "resources/ResourceIds.h"

namespace {

RECT ClientRectOf(HWND dialog, int id) {
    RECT rect{};
    const HWND control = ::GetDlgItem(dialog, id);
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT WindowRect(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

class WindowLayoutTest : public ChatDlgTest {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(Start()); }
    RECT Control(int id) const { return ClientRectOf(dlg->Hwnd(), id); }
    RECT Client() const {
        RECT client{};
        ::GetClientRect(dlg->Hwnd(), &client);
        return client;
    }
};

TEST_F(WindowLayoutTest, FirstStartGivesTheDefaultSizeAndTheTemplateIsTheSmallest) {
    const RECT window = WindowRect(dlg->Hwnd());
    const SIZE minimum = dlg->MinimumTrackSize();
    EXPECT_GT(minimum.cx, 0);
    EXPECT_GT(minimum.cy, 0);
    EXPECT_EQ(window.right - window.left, std::max<LONG>(468, minimum.cx));
    EXPECT_EQ(window.bottom - window.top, std::max<LONG>(413, minimum.cy));

    MINMAXINFO info{};
    ::SendMessageA(dlg->Hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, minimum.cx);
    EXPECT_EQ(info.ptMinTrackSize.y, minimum.cy);
}

TEST_F(WindowLayoutTest, ControlsFollowTheWindowAndKeepTheirMargins) {
    dlg->ShowChat(true, false);
    for (const SIZE size : {SIZE{700, 520}, SIZE{520, 430}, SIZE{900, 700}}) {
        ::SetWindowPos(dlg->Hwnd(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        const RECT client = Client();
        for (int id : {IDC_OPTIONS, IDC_SEND, IDC_TO, IDC_HISTORY}) EXPECT_EQ(Control(id).right, client.right - 10) << id;
        EXPECT_EQ(Control(IDC_MESSAGE).bottom, client.bottom - 11);
        EXPECT_EQ(Control(IDC_SEND).top, Control(IDC_MESSAGE).top);
        EXPECT_EQ(Control(IDC_HISTORY).bottom + 7, Control(IDC_TO).top);
        EXPECT_EQ(Control(IDC_CAPTIONBAR).bottom, client.bottom - 3);
        // The drop-down list keeps room to open.
        RECT dropped{};
        ::SendDlgItemMessageA(dlg->Hwnd(), IDC_TO, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
        EXPECT_GT(dropped.bottom - dropped.top, 3 * (Control(IDC_TO).bottom - Control(IDC_TO).top));
    }
}

TEST_F(WindowLayoutTest, MinimisingMovesNothingAndKeepsTheMaximisedFlag) {
    dlg->ShowChat(true, false);
    const RECT history = Control(IDC_HISTORY);
    ::ShowWindow(dlg->Hwnd(), SW_MINIMIZE);
    EXPECT_EQ(Control(IDC_HISTORY).right, history.right);
    EXPECT_EQ(Control(IDC_HISTORY).bottom, history.bottom);
    ::ShowWindow(dlg->Hwnd(), SW_RESTORE);
    dlg->ShowChat(false, false);
    EXPECT_FALSE(settings.position.maximised);
}

// Each label shows its whole text in the dialog's font, whatever font Wine
// finds, and still ends before the control it labels.
TEST_F(WindowLayoutTest, LabelsAreNotClippedAndEndBeforeTheirControls) {
    dlg->ShowChat(true, false);
    const struct {
        int label, control;
        const char* text;
    } rows[] = {{IDC_MESSAGELABEL, IDC_MESSAGE, "&Go Mivlet:"}, {IDC_TOLABEL, IDC_TO, "&To:"},
                {IDC_NAMELABEL, IDC_NAME, "Your Name:"}};
    for (const auto& row : rows) {
        const HWND label = ::GetDlgItem(dlg->Hwnd(), row.label);
        CWindowDc dc(label);
        const HGDIOBJ old = ::SelectObject(dc.Get(), reinterpret_cast<HGDIOBJ>(::SendMessageA(label, WM_GETFONT, 0, 0)));
        RECT text{};
        ::DrawTextA(dc.Get(), row.text, -1, &text, DT_CALCRECT | DT_SINGLELINE);
        ::SelectObject(dc.Get(), old);
        RECT client{};
        ::GetClientRect(label, &client);
        EXPECT_LE(text.right, client.right) << row.text << ": the label is " << client.right << " pixels wide";
        EXPECT_LT(Control(row.label).right, Control(row.control).left) << row.text;
    }
}

TEST_F(WindowLayoutTest, TheGripperResizesUnlessTheWindowIsMaximised) {
    dlg->ShowChat(true, false);
    RECT window = WindowRect(dlg->Hwnd());
    POINT corner{Client().right - 2, Client().bottom - 2};
    ::ClientToScreen(dlg->Hwnd(), &corner);
    const LPARAM inGripper = MAKELPARAM(corner.x, corner.y);
    POINT middle{Client().right / 2, Client().bottom / 2};
    ::ClientToScreen(dlg->Hwnd(), &middle);
    // A point of the client area that no control covers: the margin below
    // the message box.
    POINT margin{Client().right / 2, Client().bottom - 4};
    ::ClientToScreen(dlg->Hwnd(), &margin);

    EXPECT_EQ(::SendMessageA(dlg->Hwnd(), WM_NCHITTEST, 0, inGripper), HTBOTTOMRIGHT);
    EXPECT_EQ(::SendMessageA(dlg->Hwnd(), WM_NCHITTEST, 0, MAKELPARAM(margin.x, margin.y)), HTCLIENT);
    EXPECT_EQ(::SendMessageA(dlg->Hwnd(), WM_NCHITTEST, 0, MAKELPARAM(window.left + 1, window.top + 1)), HTTOPLEFT);

    ::ShowWindow(dlg->Hwnd(), SW_MAXIMIZE);
    RECT client = Client();
    corner = {client.right - 2, client.bottom - 2};
    ::ClientToScreen(dlg->Hwnd(), &corner);
    EXPECT_EQ(::SendMessageA(dlg->Hwnd(), WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y)), HTCLIENT);
}

// Logoff and shutdown: a session that goes on changes nothing; one that
// ends goes the exit path, notice and window position included.
TEST_F(WindowLayoutTest, TheEndOfTheSessionEndsTheWindowAsExitDoes) {
    dlg->ShowChat(true, false);
    ::SetWindowPos(dlg->Hwnd(), nullptr, 70, 30, 600, 460, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(::SendMessageA(dlg->Hwnd(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    ::SendMessageA(dlg->Hwnd(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);  // another program said no
    EXPECT_TRUE(dlg->Exists());
    EXPECT_EQ(CommandBroadcasts().back().rfind("admin:ping", 0), 0u);

    ::SendMessageA(dlg->Hwnd(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_FALSE(dlg->Exists());
    EXPECT_EQ(CommandBroadcasts().back(), "ping-appexit");
    EXPECT_EQ(settings.position, (CWindowPosition{70, 30, 600, 460, false}));
}

// Moved and resized, ended, started again: the same place and size.
TEST_F(WindowLayoutTest, AMovedAndResizedWindowComesBackWhereItWas) {
    dlg->ShowChat(true, false);
    ::SetWindowPos(dlg->Hwnd(), nullptr, 60, 40, 610, 470, SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT placed = WindowRect(dlg->Hwnd());
    dlg->ExitProgram();
    EXPECT_EQ(settings.position, (CWindowPosition{60, 40, 610, 470, false}));
    dlg.reset();

    ASSERT_NO_FATAL_FAILURE(Start());
    const RECT restored = WindowRect(dlg->Hwnd());
    EXPECT_EQ(restored.left, placed.left);
    EXPECT_EQ(restored.top, placed.top);
    EXPECT_EQ(restored.right, placed.right);
    EXPECT_EQ(restored.bottom, placed.bottom);
    EXPECT_FALSE(::IsWindowVisible(dlg->Hwnd())) << "restored, not shown";
}

TEST_F(WindowLayoutTest, AMaximisedWindowIsStoredWithItsRestoredPlaceAndComesBackMaximised) {
    dlg->ShowChat(true, false);
    ::SetWindowPos(dlg->Hwnd(), nullptr, 70, 50, 500, 420, SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(dlg->Hwnd(), SW_MAXIMIZE);
    dlg->ShowChat(false, false);  // hiding saves
    dlg->ExitProgram();
    EXPECT_EQ(settings.position, (CWindowPosition{70, 50, 500, 420, true}));
    dlg.reset();

    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_FALSE(::IsZoomed(dlg->Hwnd()));
    ::SendMessageA(dlg->Hwnd(), WM_COMMAND, ID_CHAT, 0);
    EXPECT_TRUE(::IsZoomed(dlg->Hwnd())) << "maximised when first shown";
    ::ShowWindow(dlg->Hwnd(), SW_RESTORE);
    const RECT restored = WindowRect(dlg->Hwnd());
    EXPECT_EQ(restored.left, 70);
    EXPECT_EQ(restored.right - restored.left, 500);
}

TEST_F(WindowLayoutTest, AStoredPlaceOffEveryScreenIsCentredWithItsSize) {
    for (const CWindowPosition stored : {CWindowPosition{-2000, 40, 520, 440, false},
                                         CWindowPosition{30, 5000, 520, 440, false},
                                         CWindowPosition{::GetSystemMetrics(SM_CXSCREEN), 10, 520, 440, false}}) {
        dlg.reset();
        settings.position = stored;
        ASSERT_NO_FATAL_FAILURE(Start());
        RECT work{};
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        const RECT window = WindowRect(dlg->Hwnd());
        EXPECT_EQ(window.right - window.left, 520);
        EXPECT_EQ(window.bottom - window.top, 440);
        EXPECT_EQ(window.left, work.left + (work.right - work.left - 520) / 2) << stored.x << "," << stored.y;
        EXPECT_EQ(window.top, work.top + (work.bottom - work.top - 440) / 2) << stored.x << "," << stored.y;
    }
}

TEST_F(WindowLayoutTest, AStoredSizeBelowTheTemplatesGivesTheTemplatesSize) {
    dlg.reset();
    settings.position = {100, 100, 50, 40, false};
    ASSERT_NO_FATAL_FAILURE(Start());
    const RECT window = WindowRect(dlg->Hwnd());
    EXPECT_EQ(window.right - window.left, dlg->MinimumTrackSize().cx);
    EXPECT_EQ(window.bottom - window.top, dlg->MinimumTrackSize().cy);
}

}  // namespace
