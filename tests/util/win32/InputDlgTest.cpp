// The one-line prompt in this process: modeless, so that each test drives it
// with the messages that typing, pasting and the buttons send, and modal
// through InputBox, driven from its owner while the modal loop idles.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "util/win32/InputDlg.h"
#include "resources/ResourceIds.h"
#include "util/win32/WideText.h"

namespace {

constexpr char kCaption[] = "Mivlet User Name";
constexpr char kPrompt[] = "Please enter your name";
constexpr int kNameLimit = 25;

std::string WindowText(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return NarrowBuffer(text, 256);
}

struct CSelection {
    DWORD start = 0, end = 0;
    bool operator==(const CSelection& other) const { return start == other.start && end == other.end; }
};

std::ostream& operator<<(std::ostream& out, const CSelection& s) { return out << s.start << ".." << s.end; }

CSelection SelectionOf(HWND edit) {
    CSelection s;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&s.start), reinterpret_cast<LPARAM>(&s.end));
    return s;
}

// What typing does: replaces the selection, with undo and notifications.
void TypeInto(HWND edit, const std::string& text) {
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

class InputDlgTest : public ::testing::Test {
protected:
    void Open(const std::string& initial, bool allowTabs = false, int maxLength = kNameLimit) {
        dlg = std::make_unique<CInputDlg>(kCaption, kPrompt, initial, maxLength, allowTabs);
        ASSERT_TRUE(dlg->CreateModeless(nullptr));
    }
    HWND Edit() const { return dlg->Item(IDC_INPUTTEXT); }
    std::string EditText() const { return WindowText(Edit()); }
    bool OkEnabled() const { return IsWindowEnabled(dlg->Item(IDOK)) != FALSE; }
    void Select(DWORD start, DWORD end) const { SendMessageA(Edit(), EM_SETSEL, start, end); }
    // Runs what the window manager posted (the close box's IDCANCEL) as the
    // program's message loop would, until nothing is left.
    void Pump() const {
        MSG message{};
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (dlg->Exists() && IsDialogMessageA(dlg->Hwnd(), &message)) continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    void Type(const std::string& text) const { TypeInto(Edit(), text); }
    void Command(int id) const { SendMessageA(dlg->Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

    std::unique_ptr<CInputDlg> dlg;
};

TEST_F(InputDlgTest, InitialisationReplacesThePlaceholders) {
    Open("guest");
    EXPECT_EQ(WindowText(dlg->Hwnd()), kCaption);
    EXPECT_EQ(WindowText(dlg->Item(IDC_INPUTPROMPT)), std::string(kPrompt) + ":");
    EXPECT_EQ(EditText(), "guest");
    EXPECT_EQ(SendMessageW(Edit(), EM_GETLIMITTEXT, 0, 0), 2 * kNameLimit) << "room for 25 characters of two units";
    EXPECT_TRUE(OkEnabled());
    EXPECT_EQ(GetWindowLongA(Edit(), GWL_STYLE) & ES_AUTOHSCROLL, ES_AUTOHSCROLL);
}

// The limit counts characters: an emoji (two UTF-16 units) is one, and is
// never cut in two.
TEST_F(InputDlgTest, TheLimitCountsCharactersOfEveryScript) {
    const std::string emoji = "\xF0\x9F\x98\x80";
    const std::string han = "\xE6\x9D\x8E";
    const auto times = [](const std::string& text, int count) {
        std::string repeated;
        for (int i = 0; i < count; ++i) repeated += text;
        return repeated;
    };
    const struct {
        std::string typed, kept;
    } cases[] = {
        {times("a", 30), times("a", 25)},
        {times(han, 30), times(han, 25)},
        {times(emoji, 30), times(emoji, 25)},
        {times("a", 24) + emoji + "b", times("a", 24) + emoji},
        {"\xD0\x9D\xD0\xB8\xD0\xBA\xD0\xB0 " + emoji, "\xD0\x9D\xD0\xB8\xD0\xBA\xD0\xB0 " + emoji},
    };
    for (const auto& c : cases) {
        Open("");
        Type(c.typed);
        EXPECT_EQ(EditText(), c.kept) << c.typed;
        Command(IDOK);
        EXPECT_EQ(dlg->Result(), c.kept) << c.typed;
    }
}

TEST_F(InputDlgTest, OkIsOfferedExactlyWhileTheTrimmedTextIsNotEmpty) {
    const struct {
        std::string text;
        bool allowTabs, enabled;
    } cases[] = {
        {"", false, false},
        {"   ", false, false},
        {"\t \r\n", false, false},
        {"\t \r\n", true, false},
        {"\v\f", false, false},
        {" a ", false, true},
        {"a", false, true},
        {"\ta\t", true, true},
        {"\xA0", false, true},  // no ASCII space
    };
    for (const auto& c : cases) {
        SCOPED_TRACE('"' + c.text + '"');
        Open(c.text, c.allowTabs);
        EXPECT_EQ(OkEnabled(), c.enabled) << "as the initial text";
        Select(0, -1);
        Type("x");
        ASSERT_TRUE(OkEnabled());
        Select(0, -1);
        Type(c.text);
        EXPECT_EQ(OkEnabled(), c.enabled) << "as typed";
    }
}

TEST_F(InputDlgTest, TypedTabsBecomeSpacesAndTheCaretStaysAfterThem) {
    const struct {
        std::string initial;
        DWORD start, end;
        std::string typed, text;
        DWORD caret;
    } cases[] = {
        {"", 0, 0, "\t", " ", 1},
        {"abcdef", 2, 4, "\t", "ab ef", 3},
        {"abcdef", 3, 3, "x\ty\t", "abcx y def", 7},
        {"abcdef", 0, 6, "\t\t", "  ", 2},
        {"abcdef", 6, 6, "\t", "abcdef ", 7},
        {std::string(24, 'n'), 24, 24, "\t", std::string(24, 'n') + " ", 25},  // right at the limit
    };
    for (const auto& c : cases) {
        SCOPED_TRACE('"' + c.initial + "\" + \"" + c.typed + '"');
        Open(c.initial);
        Select(c.start, c.end);
        Type(c.typed);
        EXPECT_EQ(EditText(), c.text);
        EXPECT_EQ(SelectionOf(Edit()), (CSelection{c.caret, c.caret}));
    }
}

TEST_F(InputDlgTest, TabsInTheInitialOrAnySetTextBecomeSpacesWithTheSelectionOfTheSameTextWithout) {
    Open("\tAnn\tLee");
    EXPECT_EQ(EditText(), " Ann Lee");
    const CSelection initial = SelectionOf(Edit());
    SetWindowTextA(Edit(), "Kel\tB");
    EXPECT_EQ(EditText(), "Kel B");
    const CSelection withTab = SelectionOf(Edit());

    Open(" Ann Lee");
    EXPECT_EQ(SelectionOf(Edit()), initial);
    SetWindowTextA(Edit(), "Kel B");
    EXPECT_EQ(SelectionOf(Edit()), withTab);
}

TEST_F(InputDlgTest, PastedTabsBecomeSpacesInTheMiddleOfTheText) {
    Open("AnnLee");
    ASSERT_TRUE(OpenClipboard(dlg->Hwnd()));
    EmptyClipboard();
    const char pasted[] = "\t\tB.\t";
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof pasted);
    ASSERT_NE(memory, nullptr);
    memcpy(GlobalLock(memory), pasted, sizeof pasted);
    GlobalUnlock(memory);
    if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);  // owned by the clipboard once set
    CloseClipboard();

    Select(3, 3);
    SendMessageA(Edit(), WM_PASTE, 0, 0);
    EXPECT_EQ(EditText(), "Ann  B. Lee");
    EXPECT_EQ(SelectionOf(Edit()), (CSelection{8, 8}));
}

TEST_F(InputDlgTest, TabsStayWhenAllowed) {
    Open("a\tb", true);
    EXPECT_EQ(EditText(), "a\tb");
    Select(1, 1);
    Type("\t");
    EXPECT_EQ(EditText(), "a\t\tb");
    EXPECT_EQ(SelectionOf(Edit()), (CSelection{2, 2}));
    Command(IDOK);
    EXPECT_TRUE(dlg->Confirmed());
    EXPECT_EQ(dlg->Result(), "a\t\tb");
}

TEST_F(InputDlgTest, TypingStopsAtTheLimit) {
    Open("");
    Type(std::string(30, 'x'));
    EXPECT_EQ(EditText(), std::string(kNameLimit, 'x'));
}

TEST_F(InputDlgTest, OkClosesWithTheTrimmedTextOnlyWhenSomethingIsLeft) {
    const struct {
        std::string text;
        bool allowTabs, confirmed;
        std::string result;
    } cases[] = {
        {"  Kel  ", false, true, "Kel"},
        {"\t Ann\tLee \r\n", false, true, "Ann Lee"},
        {"\tAnn\tLee\t", true, true, "Ann\tLee"},
        {"", false, false, ""},
        {"   ", false, false, ""},
        {"\t\t", true, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE('"' + c.text + '"');
        Open("", c.allowTabs);
        Type(c.text);
        Command(IDOK);
        EXPECT_EQ(dlg->Confirmed(), c.confirmed);
        EXPECT_EQ(dlg->Result(), c.result);
        EXPECT_EQ(dlg->Exists(), !c.confirmed) << "stays open when nothing is left";
    }
}

TEST_F(InputDlgTest, CancelButtonEscAndTheCloseBoxCloseUnconfirmed) {
    const struct {
        const char* what;
        void (*cancel)(HWND dialog, HWND edit);
    } cases[] = {
        {"Cancel button", [](HWND dialog, HWND) { SendMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0); }},
        {"Esc",
         [](HWND dialog, HWND edit) {
             MSG key{edit, WM_KEYDOWN, VK_ESCAPE, 0x00010001, 0, {}};
             EXPECT_TRUE(IsDialogMessageA(dialog, &key));
         }},
        {"close box", [](HWND dialog, HWND) { SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Open("Kel");
        c.cancel(dlg->Hwnd(), Edit());
        Pump();
        EXPECT_FALSE(dlg->Exists());
        EXPECT_FALSE(dlg->Confirmed());
        EXPECT_EQ(dlg->Result(), "");
    }
}

// The owner of a modal prompt, which acts on it each time its modal loop
// has nothing left to do (WM_ENTERIDLE), one step per time; when the steps
// run out the prompt is ended so that a fault cannot hang the test.
class COwner {
public:
    using Step = std::function<void(HWND dialog)>;

    explicit COwner(std::vector<Step> steps) : m_steps(std::move(steps)) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &WindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kClassName;
        RegisterClassA(&windowClass);  // fails harmlessly once registered
        m_window = CreateWindowA(kClassName, "owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        SetWindowLongPtrA(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    COwner(const COwner&) = delete;
    COwner& operator=(const COwner&) = delete;
    ~COwner() { DestroyWindow(m_window); }

    HWND Hwnd() const { return m_window; }
    std::size_t StepsTaken() const { return m_next; }

private:
    static constexpr char kClassName[] = "MivletTestOwner";

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* owner = reinterpret_cast<COwner*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (owner && message == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX) {
            owner->OnIdle(reinterpret_cast<HWND>(lParam));
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    void OnIdle(HWND dialog) {
        if (m_next < m_steps.size())
            m_steps[m_next++](dialog);
        else
            EndDialog(dialog, IDABORT);
    }

    std::vector<Step> m_steps;
    std::size_t m_next = 0;
    HWND m_window = nullptr;
};

COwner::Step TypeAndPress(std::string typed, int button) {
    return [typed = std::move(typed), button](HWND dialog) {
        const HWND edit = GetDlgItem(dialog, IDC_INPUTTEXT);
        SendMessageA(edit, EM_SETSEL, 0, -1);
        TypeInto(edit, typed);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    };
}

TEST(InputBox, ShowsTheNamePromptModallyOverItsOwner) {
    struct {
        std::string caption, prompt, text;
        LRESULT limit = 0;
        bool ownerEnabled = true, ownedByOwner = false;
    } seen;
    HWND ownerWindow = nullptr;
    COwner owner({[&](HWND dialog) {
                      seen.caption = WindowText(dialog);
                      seen.prompt = WindowText(GetDlgItem(dialog, IDC_INPUTPROMPT));
                      seen.text = WindowText(GetDlgItem(dialog, IDC_INPUTTEXT));
                      seen.limit = SendDlgItemMessageA(dialog, IDC_INPUTTEXT, EM_GETLIMITTEXT, 0, 0);
                      seen.ownerEnabled = IsWindowEnabled(ownerWindow) != FALSE;
                      seen.ownedByOwner = GetWindow(dialog, GW_OWNER) == ownerWindow;
                  },
                  TypeAndPress("  Kel\tB ", IDOK)});
    ownerWindow = owner.Hwnd();
    std::string result = "old";
    EXPECT_TRUE(InputBox(kCaption, kPrompt, result, "guest", kNameLimit, false, owner.Hwnd()));
    EXPECT_EQ(result, "Kel B");
    EXPECT_EQ(owner.StepsTaken(), 2u);
    EXPECT_EQ(seen.caption, kCaption);
    EXPECT_EQ(seen.prompt, std::string(kPrompt) + ":");
    EXPECT_EQ(seen.text, "guest");
    EXPECT_EQ(seen.limit, 2 * kNameLimit);
    EXPECT_FALSE(seen.ownerEnabled) << "modal";
    EXPECT_TRUE(seen.ownedByOwner);
    EXPECT_TRUE(IsWindowEnabled(owner.Hwnd())) << "enabled again";
}

TEST(InputBox, AnswersFalseAndKeepsTheResultUnlessConfirmed) {
    const struct {
        const char* what;
        std::vector<COwner::Step> steps;
    } cases[] = {
        {"Cancel", {TypeAndPress("Kel", IDCANCEL)}},
        {"OK refused, then Cancel", {TypeAndPress("  \t ", IDOK), TypeAndPress("Kel", IDCANCEL)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        COwner owner(c.steps);
        std::string result = "old";
        EXPECT_FALSE(InputBox(kCaption, kPrompt, result, "guest", kNameLimit, false, owner.Hwnd()));
        EXPECT_EQ(result, "old");
        EXPECT_EQ(owner.StepsTaken(), c.steps.size());
    }
}

}  // namespace
