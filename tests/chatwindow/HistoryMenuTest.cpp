// The history's right-click menu, its Open command, its own keys and its
// links, in the real chat dialog; the shell is the in-memory one except where
// a test says otherwise.

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "platform/win32/Win32ShellApi.h"
#include "resources/ResourceIds.h"
#include "tests/chatwindow/ChatDlgFixture.h"
#include "tests/chatwindow/MenuProbe.h"

namespace {

class HistoryMenuTest : public ChatDlgTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(Start());
        dlg->ShowChat(true, false);
        ::SetForegroundWindow(dlg->Hwnd());
        ::SetFocus(::GetDlgItem(dlg->Hwnd(), IDC_MESSAGE));
    }
    void Show(const std::string& text) { dlg->History().AppendMessage(Record("guest", text)); }
    // Selects `part` of the history's text, at its first occurrence.
    void SelectText(const std::string& part) {
        const auto at = static_cast<LONG>(HistoryText().find(part));
        ASSERT_GE(at, 0) << part;
        CHARRANGE range{at, at + static_cast<LONG>(part.size())};
        ::SendMessageA(History(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    }
    void SelectRange(LONG first, LONG last) {
        CHARRANGE range{first, last};
        ::SendMessageA(History(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    }
    // A right button press in the history. The menu opens on the press and
    // its own loop takes the release.
    void RightClick() { ::SendMessageA(History(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 10)); }
    // The menu asked for from the keyboard (Shift+F10, the menu key).
    void KeyboardMenu() {
        ::SendMessageA(dlg->Hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(History()), MAKELPARAM(-1, -1));
    }
    void PressWithControl(WPARAM key) {
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[VK_CONTROL] = 0x80;
        ::SetKeyboardState(keys);
        ::SendMessageA(History(), WM_KEYDOWN, key, 1);
        keys[VK_CONTROL] = 0;
        ::SetKeyboardState(keys);
    }
    static std::string ClipboardText() {
        if (!::OpenClipboard(nullptr)) return "(no clipboard)";
        std::string text;
        if (const HANDLE data = ::GetClipboardData(CF_TEXT)) {
            if (const auto* chars = static_cast<const char*>(::GlobalLock(data))) {
                text = chars;
                ::GlobalUnlock(data);
            }
        }
        ::CloseClipboard();
        return text;
    }
    static void SetClipboardText(const std::string& text) {
        ASSERT_TRUE(::OpenClipboard(nullptr));
        ::EmptyClipboard();
        const HGLOBAL data = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
        std::memcpy(::GlobalLock(data), text.c_str(), text.size() + 1);
        ::GlobalUnlock(data);
        ::SetClipboardData(CF_TEXT, data);
        ::CloseClipboard();
    }
};

// Items as "text" with "(grey)" after a greyed one; separators as "-".
std::vector<std::string> Describe(const CMenuProbe& probe) {
    std::vector<std::string> items;
    for (const auto& item : probe.items)
        items.push_back(item.separator ? "-" : item.text + (item.greyed ? " (grey)" : ""));
    return items;
}

TEST_F(HistoryMenuTest, ItemsAndGreyingFollowTheSelectionAndTheText) {
    const struct {
        const char* name;
        std::vector<std::string> messages;
        std::string select;  // empty: nothing; "*": everything
        std::vector<std::string> items;
    } cases[] = {
        {"empty history", {}, "", {"&Copy (grey)", "Se&lect All (grey)", "Clea&r All (grey)", "-", "&Open \"\" (grey)"}},
        {"text, nothing selected", {"Hi"}, "", {"&Copy (grey)", "Se&lect All", "Clea&r All", "-", "&Open \"\" (grey)"}},
        {"a path between quotes and blanks", {"look in \"C:\\Temp\\\" please"}, " \"C:\\Temp\\\" ",
         {"&Copy", "Se&lect All", "Clea&r All", "-", "&Open \"C:\\Temp\""}},
        {"thirty characters on one line", {"abcdefghijklmnopqrstuvwxyz1234"}, "abcdefghijklmnopqrstuvwxyz1234",
         {"&Copy", "Se&lect All", "Clea&r All", "-", "&Open \"abcdefghijklmnopqrstuv...\""}},
        {"a selection across two lines", {"first", "second"}, "first\rguest",
         {"&Copy", "Se&lect All", "Clea&r All", "-", "&Open \"\" (grey)"}},
        // Measured by the control's own count, in which a line end is one
        // character: with everything selected there is nothing more to select.
        {"everything, over several lines", {"one", "two", "three"}, "*",
         {"&Copy", "Se&lect All (grey)", "Clea&r All", "-", "&Open \"\" (grey)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dlg->History().ClearAll();
        for (const auto& message : c.messages) Show(message);
        if (c.select == "*")
            SelectRange(0, -1);
        else if (!c.select.empty())
            SelectText(c.select);
        else
            SelectRange(0, 0);
        ::SetFocus(::GetDlgItem(dlg->Hwnd(), IDC_MESSAGE));

        CMenuProbe probe;
        RightClick();
        ASSERT_TRUE(probe.shown);
        EXPECT_EQ(Describe(probe), c.items);
        EXPECT_EQ(::GetFocus(), History()) << "the history takes the focus";
    }
}

TEST_F(HistoryMenuTest, FromTheKeyboardTheMenuOpensBesideTheEndOfTheSelection) {
    for (int i = 0; i < 3; ++i) Show("line " + std::to_string(i));
    SelectText("line 1");
    const CHARRANGE selection = Selection();

    CMenuProbe probe;
    KeyboardMenu();
    ASSERT_TRUE(probe.shown);

    CHARFORMATW format{};
    format.cbSize = sizeof format;
    ::SendMessageA(History(), EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    const HDC screen = ::GetDC(nullptr);
    const LONG height = ::GetDeviceCaps(screen, LOGPIXELSY) * format.yHeight / 1440;
    ::ReleaseDC(nullptr, screen);
    POINTL end{};
    ::SendMessageA(History(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&end), selection.cpMax);
    POINT expected{end.x + std::max<LONG>(height / 4, 5), end.y + height / 2};
    ::ClientToScreen(History(), &expected);
    EXPECT_EQ(probe.place.left, expected.x);
    EXPECT_EQ(probe.place.top, expected.y);
}

TEST_F(HistoryMenuTest, CommandsChosenInTheMenuCopySelectAndClear) {
    Show("first");
    Show("second");
    SelectText("second");
    {
        CMenuProbe probe('c');
        RightClick();
        ASSERT_TRUE(probe.shown);
    }
    EXPECT_EQ(ClipboardText(), "second");
    {
        CMenuProbe probe('l');
        RightClick();
        ASSERT_TRUE(probe.shown);
    }
    EXPECT_EQ(dlg->History().SelectedText(), HistoryText());
    {
        CMenuProbe probe('r');
        RightClick();
        ASSERT_TRUE(probe.shown);
    }
    EXPECT_EQ(HistoryText(), "");
    EXPECT_TRUE(dlg->History().ShownMessages().Empty());
}

TEST_F(HistoryMenuTest, OpenHandsTheWholeSelectedNameToTheShellWithTheHistoryAsOwner) {
    const std::string path = "C:\\Projects\\Quarterly planning\\budget-2026.xls";
    Show("the sheet is at \"" + path + "\"");
    linkShell.AllowOpen(path);
    SelectText("\"" + path + "\"");
    {
        CMenuProbe probe('o');
        RightClick();
        ASSERT_TRUE(probe.shown);
        EXPECT_EQ(probe.items.back().text, "&Open \"C:\\Projects\\Quarterly ...\"");
    }
    ASSERT_EQ(linkShell.Opens().size(), 1u);
    EXPECT_EQ(linkShell.Opens()[0].target, path);
    EXPECT_EQ(linkShell.Opens()[0].owner, reinterpret_cast<WindowRef>(History()));
    EXPECT_TRUE(openerHost.messages.empty());
    ASSERT_EQ(openerHost.questions.size(), 1u) << "asked first";
    EXPECT_NE(openerHost.questions[0].find("from Office:\r\n\r\n" + path + "\r\n"), std::string::npos)
        << openerHost.questions[0];

    Show("and C:\\nothing\\here.txt");
    SelectText("C:\\nothing\\here.txt");
    ::SetFocus(::GetDlgItem(dlg->Hwnd(), IDC_MESSAGE));
    dlg->History().OnMenuCommand(ID_HISTORY_OPEN);
    EXPECT_EQ(openerHost.messages, std::vector<std::string>{"Could not open \"C:\\nothing\\here.txt\"!"});
    EXPECT_EQ(::GetFocus(), History());

    // Blanks and quotes only, or more than one line: nothing that the shell
    // could be given as one name, and nothing is said either.
    Show("last");
    for (const std::string& selected : {std::string(" \""), std::string("here.txt\rguest")}) {
        SelectText(selected);
        dlg->History().OnMenuCommand(ID_HISTORY_OPEN);
    }
    EXPECT_EQ(linkShell.Opens().size(), 2u);
    EXPECT_EQ(openerHost.messages.size(), 1u);
}

// The real shell under Wine, with names inside the test's Wine prefix only:
// a batch file that would leave a mark if it ran, and a file that is not
// there.
TEST_F(HistoryMenuTest, OpenWithTheRealShell) {
    char folder[MAX_PATH] = {};
    ASSERT_GT(::GetTempPathA(MAX_PATH, folder), 0u);
    const std::string batch = std::string(folder) + "mivlet-open-test.bat";
    const std::string mark = std::string(folder) + "mivlet-open-test.ran";
    ::DeleteFileA(mark.c_str());
    std::ofstream(batch) << "@echo ran> \"" << mark << "\"\r\n";
    CWin32ShellApi realShell;
    CLinkOpener realOpener(realShell, classes, openerHost);
    dlg->History().SetOpener(&realOpener);

    openerHost.answer = false;  // no Explorer either
    Show("run " + batch);
    SelectText(batch);
    dlg->History().OnMenuCommand(ID_HISTORY_OPEN);
    ASSERT_EQ(openerHost.questions.size(), 1u);
    EXPECT_NE(openerHost.questions[0].find("is a program or a script"), std::string::npos);
    Pump(1500);
    EXPECT_EQ(::GetFileAttributesA(mark.c_str()), INVALID_FILE_ATTRIBUTES) << "the batch file ran";
    EXPECT_TRUE(openerHost.messages.empty());

    openerHost.answer = true;
    const std::string missing = std::string(folder) + "no-such-file-for-mivlet.txt";
    Show("or " + missing);
    SelectText(missing);
    dlg->History().OnMenuCommand(ID_HISTORY_OPEN);
    EXPECT_EQ(openerHost.messages, std::vector<std::string>{"Could not open \"" + missing + "\"!"});
    dlg->History().SetOpener(&opener);
    ::DeleteFileA(batch.c_str());
    ::DeleteFileA(mark.c_str());
}

TEST_F(HistoryMenuTest, ControlKeysSelectAllCopyAndCutButNeverPaste) {
    Show("alpha");
    Show("beta");
    ::SetFocus(::GetDlgItem(dlg->Hwnd(), IDC_MESSAGE));
    PressWithControl('A');
    EXPECT_EQ(::GetFocus(), History());
    EXPECT_EQ(dlg->History().SelectedText(), HistoryText());

    SelectText("beta");
    PressWithControl('C');
    EXPECT_EQ(ClipboardText(), "beta");

    SetClipboardText("pasted");
    SelectRange(0, 0);
    PressWithControl('V');
    EXPECT_EQ(HistoryText(), "guest 9:05> alpha\rguest 9:05> beta\r");

    SelectText("alpha");
    PressWithControl('X');
    EXPECT_EQ(HistoryText(), "guest 9:05> alpha\rguest 9:05> beta\r") << "the history is read-only";
}

TEST_F(HistoryMenuTest, WithTheMenuSwitchedOffNothingShowsAndNothingOpens) {
    Show("C:\\Temp");
    dlg->History().EnableContextMenu(false);
    SelectText("C:\\Temp");
    ::SetFocus(::GetDlgItem(dlg->Hwnd(), IDC_MESSAGE));
    CMenuProbe probe;
    RightClick();
    EXPECT_EQ(::GetFocus(), History()) << "the click still puts the focus in the history";
    KeyboardMenu();
    Pump(100);
    EXPECT_FALSE(probe.shown);
    dlg->History().OnMenuCommand(ID_HISTORY_OPEN);
    EXPECT_TRUE(linkShell.Opens().empty());
}

TEST_F(HistoryMenuTest, AClickOnALinkOpensItThroughTheOpenerOwnedByTheMainWindow) {
    Show("see http://intranet/helpdesk today");
    const auto at = static_cast<LONG>(HistoryText().find("http://intranet/helpdesk"));
    linkShell.AllowOpen("http://intranet/helpdesk");
    ENLINK link{};
    link.nmhdr.hwndFrom = History();
    link.nmhdr.idFrom = IDC_HISTORY;
    link.nmhdr.code = EN_LINK;
    link.msg = WM_LBUTTONDOWN;
    link.chrg = CHARRANGE{at, at + 24};
    ::SendMessageA(dlg->Hwnd(), WM_NOTIFY, IDC_HISTORY, reinterpret_cast<LPARAM>(&link));
    EXPECT_EQ(::GetWindowLongPtrA(dlg->Hwnd(), DWLP_MSGRESULT), 1) << "the click does not move the caret";
    ASSERT_EQ(linkShell.Opens().size(), 1u);
    EXPECT_EQ(linkShell.Opens()[0].target, "http://intranet/helpdesk");
    EXPECT_EQ(linkShell.Opens()[0].owner, reinterpret_cast<WindowRef>(dlg->Hwnd()));
    EXPECT_TRUE(openerHost.questions.empty()) << "a web address opens with one click";
}

// Any other link is asked about, naming the computer of the message it is
// in; a program is never opened.
TEST_F(HistoryMenuTest, AClickOnAnyOtherLinkAsksNamingTheSender) {
    dlg->History().AppendMessage(Record("guest", "notes at file://Lab3/pub/notes.txt", false, kNineOhFive, "Lab3"));
    dlg->History().AppendMessage(Record("guest", "and file://Lab4/pub/update.exe", false, kNineOhFive, "Lab4"));
    linkShell.AllowOpen("\\\\Lab3\\pub\\notes.txt");
    linkShell.AddPath("\\\\Lab3\\pub\\notes.txt");
    const auto click = [&](const std::string& url) {
        const auto at = static_cast<LONG>(HistoryText().find(url));
        ASSERT_GE(at, 0);
        ENLINK link{};
        link.nmhdr.hwndFrom = History();
        link.nmhdr.idFrom = IDC_HISTORY;
        link.nmhdr.code = EN_LINK;
        link.msg = WM_LBUTTONDOWN;
        link.chrg = CHARRANGE{at, at + static_cast<LONG>(url.size())};
        ::SendMessageA(dlg->Hwnd(), WM_NOTIFY, IDC_HISTORY, reinterpret_cast<LPARAM>(&link));
    };
    openerHost.answer = false;
    click("file://Lab3/pub/notes.txt");
    EXPECT_TRUE(linkShell.Opens().empty());
    openerHost.answer = true;
    click("file://Lab3/pub/notes.txt");
    click("file://Lab4/pub/update.exe");
    ASSERT_EQ(openerHost.questions.size(), 3u);
    EXPECT_NE(openerHost.questions[0].find("in a message from Lab3:"), std::string::npos) << openerHost.questions[0];
    EXPECT_NE(openerHost.questions[2].find("in a message from Lab4, is a program"), std::string::npos);
    ASSERT_EQ(linkShell.Opens().size(), 1u);
    EXPECT_EQ(linkShell.Opens()[0].target, "\\\\Lab3\\pub\\notes.txt");
    EXPECT_EQ(linkShell.FoldersShown(), std::vector<std::string>{"\\\\Lab4\\pub\\update.exe"});
}

// The control's own link detection, and a click from the mouse on the
// address in the newest line (the line whose formats went in last).
TEST_F(HistoryMenuTest, TheNewestLinesLinkIsMarkedAndAClickOnItOpensIt) {
    Show("older line");
    Show("see http://intranet/helpdesk today");
    const std::string address = "http://intranet/helpdesk";
    const auto at = static_cast<LONG>(HistoryText().find(address));
    const auto end = at + static_cast<LONG>(address.size());
    const CHARFORMATW link = FormatOf(at + 1, end - 1);
    EXPECT_TRUE((link.dwMask & CFM_LINK) && (link.dwEffects & CFE_LINK)) << "the newest line's address is a link";
    EXPECT_FALSE(FormatOf(0, 5).dwEffects & CFE_LINK);
    SelectRange(0, 0);

    linkShell.AllowOpen(address);
    POINTL point{};
    ::SendMessageA(History(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&point), at + 4);
    const LPARAM where = MAKELPARAM(point.x + 2, point.y + 4);
    ::SendMessageA(History(), WM_MOUSEMOVE, 0, where);
    ::SendMessageA(History(), WM_LBUTTONDOWN, MK_LBUTTON, where);
    ::SendMessageA(History(), WM_LBUTTONUP, 0, where);
    ASSERT_EQ(linkShell.Opens().size(), 1u);
    EXPECT_EQ(linkShell.Opens()[0].target, address);
}

// Read with a call given its room in bytes; characters outside the code
// page come back as its default character, one byte each here.
TEST_F(HistoryMenuTest, SelectedTextOfCharactersBeyondAscii) {
    const std::wstring wide = L"Gr\u00fc\u00dfe \u65e5\u672c \u00e9t\u00e9";
    SETTEXTEX set{ST_DEFAULT, 1200 /* CP_UNICODE */};
    ::SendMessageW(History(), EM_SETTEXTEX, reinterpret_cast<WPARAM>(&set), reinterpret_cast<LPARAM>(wide.c_str()));
    SelectRange(0, -1);
    EXPECT_EQ(dlg->History().SelectedText(), Narrow(wide)) << "every character, none of them as \"?\"";
}

TEST_F(HistoryMenuTest, HelpCommandsGoToTheProgramAndAboutComesOverTheShownWindowOnce) {
    dlg->ShowChat(false, false);
    ASSERT_FALSE(::IsWindowVisible(dlg->Hwnd()));
    // The About box of the test: a modal window over the chat window, in
    // which a second About is asked for.
    help.onAbout = [this](HWND parent) {
        EXPECT_TRUE(::IsWindowVisible(parent)) << "the chat window is shown first";
        CDialog box(IDD_INPUT);
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR id, DWORD) {
            ::KillTimer(nullptr, id);
            ::SendMessageA(GetChatDlg()->Hwnd(), WM_COMMAND, ID_APP_ABOUT, 0);
            ::EndDialog(::GetLastActivePopup(GetChatDlg()->Hwnd()), IDCANCEL);
        });
        box.RunModal(parent);
        ::KillTimer(nullptr, timer);
    };
    ::SendMessageA(dlg->Hwnd(), WM_COMMAND, ID_APP_ABOUT, 0);
    EXPECT_EQ(help.calls, std::vector<std::string>{"about"});
    EXPECT_EQ(help.aboutParents, std::vector<HWND>{dlg->Hwnd()});
    EXPECT_TRUE(::IsWindowVisible(dlg->Hwnd())) << "and stays shown";

    for (const int command : {ID_VIEW_README, ID_VISIT_WEBSITE, ID_EMAIL_SUPPORT})
        ::SendMessageA(dlg->Hwnd(), WM_COMMAND, static_cast<WPARAM>(command), 0);
    EXPECT_EQ(help.calls, (std::vector<std::string>{"about", "readme", "website", "email"}));
}

}  // namespace
