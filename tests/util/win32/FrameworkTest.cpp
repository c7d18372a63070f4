// The window framework's own rules: owners close each handle exactly once,
// every message box gets an icon and the program's window in front as its
// owner, and subclasses see a window's messages first, in a chain, for as
// long as both they and the window live.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "util/win32/Handles.h"
#include "util/win32/MessageBox.h"
#include "util/win32/Subclass.h"

namespace {

std::vector<int> g_closed;

struct CCountingTraits {
    using Type = int;
    static Type Invalid() { return 0; }
    static void Close(Type handle) { g_closed.push_back(handle); }
};
using CCounted = CUniqueHandle<CCountingTraits>;

TEST(HandleOwner, ClosesEachHandleOnceThroughMovesAndResets) {
    g_closed.clear();
    {
        CCounted first(1);
        CCounted second(std::move(first));
        EXPECT_FALSE(first);
        CCounted third(3);
        third = std::move(second);  // 3 goes now, 1 lives on in `third`
        EXPECT_EQ(g_closed, std::vector<int>{3});
        third = std::move(third);   // self-move keeps the handle
        third.Reset(4);             // 1 goes
        EXPECT_EQ(third.Release(), 4);
    }
    EXPECT_EQ(g_closed, (std::vector<int>{3, 1}));  // 4 was released, not closed
}

// Nested selections put back what each replaced, in reverse order; a null
// object selects nothing and puts nothing back.
TEST(HandleOwner, GdiSelectionsPutBackWhatTheyReplaced) {
    const CMemoryDc dc(::CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    const HGDIOBJ stockBitmap = ::GetCurrentObject(dc.Get(), OBJ_BITMAP);
    const HGDIOBJ stockFont = ::GetCurrentObject(dc.Get(), OBJ_FONT);
    const CBitmap bitmap(::CreateCompatibleBitmap(dc.Get(), 4, 4));
    const CFont font(::CreateFontA(-12, 0, 0, 0, 0, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
    {
        const CGdiSelection image(dc.Get(), bitmap.Get());
        {
            const CGdiSelection text(dc.Get(), font.Get());
            const CGdiSelection none(dc.Get(), nullptr);
            EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_BITMAP), bitmap.Get());
            EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_FONT), font.Get());
        }
        EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_FONT), stockFont);
        EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_BITMAP), bitmap.Get());
    }
    EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_BITMAP), stockBitmap);
}

TEST(HandleOwner, OwnsRealKernelHandles) {
    CHandle mutex(::CreateMutexA(nullptr, FALSE, nullptr));
    ASSERT_TRUE(mutex);
    const HANDLE raw = mutex.Get();
    CHandle moved(std::move(mutex));
    moved.Reset();
    DWORD flags = 0;
    EXPECT_FALSE(::GetHandleInformation(raw, &flags));  // closed, once
}

TEST(ShowMessageBox, AddsTheExclamationIconOnlyWhenNoneIsNamed) {
    const struct {
        UINT style, shown;
    } cases[] = {
        {MB_OK, MB_OK | MB_ICONEXCLAMATION},
        {MB_YESNO, MB_YESNO | MB_ICONEXCLAMATION},
        {MB_OKCANCEL | MB_DEFBUTTON2, MB_OKCANCEL | MB_DEFBUTTON2 | MB_ICONEXCLAMATION},
        {MB_OK | MB_ICONINFORMATION, MB_OK | MB_ICONINFORMATION},
        {MB_YESNO | MB_ICONQUESTION, MB_YESNO | MB_ICONQUESTION},
        {MB_ICONSTOP, MB_ICONSTOP},
    };
    for (const auto& c : cases) EXPECT_EQ(AddDefaultIcon(c.style), c.shown) << c.style;
}

std::string EditText(HWND edit) {
    char text[64] = {};
    ::GetWindowTextA(edit, text, sizeof text);
    return text;
}

TEST(WindowSubclass, SeesMessagesFirstInAChainAndGoesWithItsObjectOrItsWindow) {
    const HWND edit = ::CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr,
                                        ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(edit);
    std::vector<std::string> seen;
    {
        CWindowSubclass first, last;
        ASSERT_TRUE(first.Install(edit, [&](UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
            if (message != WM_CHAR) return std::nullopt;
            seen.push_back("first " + std::string(1, static_cast<char>(wParam)));
            if (wParam == 'x') return 0;  // taken: the edit box never sees it
            return std::nullopt;
        }));
        ASSERT_TRUE(last.Install(edit, [&](UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
            if (message != WM_CHAR) return std::nullopt;
            seen.push_back("last " + std::string(1, static_cast<char>(wParam)));
            if (wParam == 'u') return last.CallNext(message, 'U', lParam);  // passed on changed
            return std::nullopt;
        }));
        for (const char typed : {'a', 'x', 'u'}) ::SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(typed), 1);
        EXPECT_EQ(EditText(edit), "aU");
        EXPECT_EQ(seen, (std::vector<std::string>{"last a", "first a", "last x", "first x", "last u", "first U"}));

        // Installing again replaces rather than adds, and puts it in front.
        ASSERT_TRUE(first.Install(edit, [&](UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (message == WM_CHAR) seen.push_back("again");
            return std::nullopt;
        }));
        seen.clear();
        ::SendMessageA(edit, WM_CHAR, 'b', 1);
        EXPECT_EQ(seen, (std::vector<std::string>{"again", "last b"}));
    }
    seen.clear();
    ::SendMessageA(edit, WM_CHAR, 'c', 1);
    EXPECT_TRUE(seen.empty()) << "removed with their objects";
    EXPECT_EQ(EditText(edit), "aUbc");

    CWindowSubclass outliving;
    ASSERT_TRUE(outliving.Install(edit, [](UINT, WPARAM, LPARAM) { return std::optional<LRESULT>(); }));
    ::DestroyWindow(edit);
    EXPECT_FALSE(outliving.IsInstalled()) << "removed with the window";
    EXPECT_FALSE(outliving.Install(edit, [](UINT, WPARAM, LPARAM) { return std::optional<LRESULT>(); }));
}

// A top-level window of this program; hidden unless asked.
HWND MakeWindow(const char* title, HWND owner = nullptr, bool visible = false) {
    return ::CreateWindowExA(0, "STATIC", title, WS_POPUP | WS_CAPTION | (visible ? WS_VISIBLE : 0), 10, 10, 200,
                             100, owner, nullptr, ::GetModuleHandleA(nullptr), nullptr);
}

// Shows a box through ShowMessageBox(window) and reports, from inside its
// loop, its owner and whether `watched` was enabled while it was open.
struct CBoxSeen {
    HWND owner = nullptr;
    bool watchedEnabled = true;
};
CBoxSeen ShowAndLook(HWND window, HWND watched) {
    static CBoxSeen* s_seen = nullptr;
    static HWND s_watched = nullptr;
    CBoxSeen seen;
    s_seen = &seen;
    s_watched = watched;
    ::SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        const HWND box = ::FindWindowA("#32770", "Mivlet");
        if (!box || !::IsWindowVisible(box)) return;
        ::KillTimer(nullptr, id);
        s_seen->owner = ::GetWindow(box, GW_OWNER);
        s_seen->watchedEnabled = ::IsWindowEnabled(s_watched) != FALSE;
        ::EndDialog(box, IDOK);
    });
    ShowMessageBox(window, "owned", MB_OK);
    return seen;
}

// Another program may be active: the box still belongs to the program's
// window, or to the modal window open over it, and that window is disabled
// while the box is open.
TEST(ShowMessageBox, IsOwnedByTheWindowInFrontOfTheGivenOneWhateverIsActive) {
    const HWND chat = MakeWindow("chat");
    const HWND child = ::CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, chat, nullptr, nullptr, nullptr);
    const HWND elsewhere = MakeWindow("another program", nullptr, true);
    ::SetActiveWindow(elsewhere);

    CBoxSeen seen = ShowAndLook(child, chat);
    EXPECT_EQ(seen.owner, chat);
    EXPECT_FALSE(seen.watchedEnabled) << "the window behind the box is not usable";
    EXPECT_TRUE(::IsWindowEnabled(chat)) << "and usable again afterwards";

    // A modal window open over the chat window owns the box.
    const HWND modal = MakeWindow("options", chat, true);
    ::EnableWindow(chat, FALSE);
    ::SetActiveWindow(modal);
    ASSERT_EQ(::GetLastActivePopup(chat), modal);
    seen = ShowAndLook(chat, modal);
    EXPECT_EQ(seen.owner, modal);
    EXPECT_FALSE(seen.watchedEnabled);
    EXPECT_EQ(MessageBoxOwner(nullptr), nullptr);

    for (HWND window : {modal, elsewhere, chat}) ::DestroyWindow(window);
}

}  // namespace
