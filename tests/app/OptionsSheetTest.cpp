// The Options sheet and its General and QuickKeys pages, driven by messages.

#include <cstring>
#include <optional>

#include "settings/IntSettings.h"
#include "settings/QuickKeySettings.h"
#include "settings/UserName.h"
#include "tests/app/OptionsFixture.h"

namespace {

using OptionsSheetTest = OptionsFixture;

constexpr int kApplyButton = 0x3021;  // the sheet's own id for "Apply"

TEST_F(OptionsSheetTest, HasThreePagesInOrderOpensOnGeneralAndHasNoApplyButton) {
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_EQ(WindowText(Sheet()), "Options");
    const HWND tabs = PropSheet_GetTabControl(Sheet());
    ASSERT_EQ(TabCtrl_GetItemCount(tabs), 3);
    const char* names[] = {"General", "Format", "QuickKeys"};
    for (int i = 0; i < 3; ++i) {
        char text[32] = {};
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        ::SendMessageA(tabs, TCM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        EXPECT_STREQ(text, names[i]);
    }
    EXPECT_EQ(sheet->ActivePage(), &sheet->General());
    EXPECT_EQ(sheet->Format().Hwnd(), nullptr) << "made when first shown";
    const HWND apply = ::GetDlgItem(Sheet(), kApplyButton);
    EXPECT_TRUE(!apply || !::IsWindowVisible(apply));
}

TEST_F(OptionsSheetTest, GeneralShowsEachStoredValueAndOkStoresWhatItShows) {
    struct CStored {
        const char* name;
        std::optional<std::int32_t> lastSender, prompt, sound, log, reaction;
    };
    const struct {
        CStored stored;
        bool lastSender, prompt, sound, log;
        int reaction;
    } cases[] = {
        {{"Kel", {}, {}, {}, {}, {}}, true, true, false, false, 0},  // the defaults
        {{"Ann Lee", 0, 0, 1, 1, 1}, false, false, true, true, 1},
        {{"  Bo\tB  ", 1, 1, 0, 0, 2}, true, true, false, false, 2},
        {{"x", 7, -1, 2, 0, 5}, true, true, true, false, -1},  // any value but 0 is on; no such reaction
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.name);
        registry.PutString(kMainPath, "Username", c.stored.name);
        const std::pair<const char*, std::optional<std::int32_t>> ints[] = {
            {"DefaultToLastSender", c.stored.lastSender}, {"PromptOnAllUsers", c.stored.prompt},
            {"PlaySnd", c.stored.sound}, {"LogMessages", c.stored.log}, {"OnNewMessage", c.stored.reaction}};
        for (const auto& [name, value] : ints) {
            if (value) registry.PutDword(kMainPath, name, static_cast<std::uint32_t>(*value));
            else store.Main().DeleteValue(name);
        }
        ASSERT_NO_FATAL_FAILURE(Open());
        const CGeneralPage& page = sheet->General();
        EXPECT_EQ(WindowText(Item(page, IDC_USERNAME)), CleanUserName(c.stored.name));
        EXPECT_EQ(SendItem(page, IDC_USERNAME, EM_GETLIMITTEXT), 2 * 25) << "25 characters of up to two units";
        EXPECT_EQ(SendItem(page, IDC_LASTSENDER, BM_GETCHECK), c.lastSender);
        EXPECT_EQ(SendItem(page, IDC_PROMPTALLUSERS, BM_GETCHECK), c.prompt);
        EXPECT_EQ(SendItem(page, IDC_PLAYSOUND, BM_GETCHECK), c.sound);
        EXPECT_EQ(SendItem(page, IDC_LOGMESSAGES, BM_GETCHECK), c.log);
        EXPECT_EQ(SendItem(page, IDC_ONNEWMESSAGE, CB_GETCURSEL), c.reaction);
        ASSERT_EQ(SendItem(page, IDC_ONNEWMESSAGE, CB_GETCOUNT), 3);
        EXPECT_EQ(ListText(page, IDC_ONNEWMESSAGE, 0, true), "Flash Taskbar");
        EXPECT_EQ(ListText(page, IDC_ONNEWMESSAGE, 1, true), "Pop Up Dialog");
        EXPECT_EQ(ListText(page, IDC_ONNEWMESSAGE, 2, true), "Do Nothing");

        // Every box the other way round, the name replaced, and OK.
        for (const int box : {IDC_LASTSENDER, IDC_PROMPTALLUSERS, IDC_PLAYSOUND, IDC_LOGMESSAGES}) Click(page, box);
        SendItem(page, IDC_USERNAME, EM_SETSEL, 0, -1);
        Type(page, IDC_USERNAME, " New Name ");
        PressOk();
        EXPECT_TRUE(sheet->IsDone());
        EXPECT_EQ(StoredString(kMainPath, "Username"), " New Name ") << "stored as typed";
        EXPECT_EQ(StoredDword(kMainPath, "DefaultToLastSender"), c.lastSender ? 0u : 1u);
        EXPECT_EQ(StoredDword(kMainPath, "PromptOnAllUsers"), c.prompt ? 0u : 1u);
        EXPECT_EQ(StoredDword(kMainPath, "PlaySnd"), c.sound ? 0u : 1u);
        EXPECT_EQ(StoredDword(kMainPath, "LogMessages"), c.log ? 0u : 1u);
        // A reaction the list does not have stays as it was.
        const std::optional<std::uint32_t> reaction =
            c.reaction >= 0 ? std::optional<std::uint32_t>(c.reaction)
                            : (c.stored.reaction ? std::optional<std::uint32_t>(*c.stored.reaction) : std::nullopt);
        EXPECT_EQ(StoredDword(kMainPath, "OnNewMessage"), reaction);
        sheet.reset();
    }
}

TEST_F(OptionsSheetTest, AnEmptiedNameIsStoredEmpty) {
    registry.PutString(kMainPath, "Username", "Kel");
    ASSERT_NO_FATAL_FAILURE(Open());
    ::SetWindowTextA(Item(sheet->General(), IDC_USERNAME), "");
    PressOk();
    EXPECT_EQ(StoredString(kMainPath, "Username"), "");
}

TEST_F(OptionsSheetTest, TabsTypedOrPastedIntoTheNameBecomeSpacesWithTheCaretAfterThem) {
    const struct {
        const char* initial;
        int start, end;
        const char* typed;
        const char* text;
        DWORD caret;
    } cases[] = {
        {"Kel", 3, 3, "\tB", "Kel B", 5},
        {"Kel", 0, 0, "\t", " Kel", 1},
        {"Kel Bo", 3, 4, "\t\t", "Kel  Bo", 5},
        {"Kel", 1, 1, "a\tb", "Ka bel", 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        registry.PutString(kMainPath, "Username", c.initial);
        ASSERT_NO_FATAL_FAILURE(Open());
        const CGeneralPage& page = sheet->General();
        SendItem(page, IDC_USERNAME, EM_SETSEL, static_cast<WPARAM>(c.start), c.end);
        Type(page, IDC_USERNAME, c.typed);
        EXPECT_EQ(WindowText(Item(page, IDC_USERNAME)), c.text);
        DWORD start = 0, end = 0;
        SendItem(page, IDC_USERNAME, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, c.caret);
        EXPECT_EQ(end, c.caret);
        sheet.reset();
    }
}

TEST_F(OptionsSheetTest, ViewIsEnabledExactlyWhileLogIsTicked) {
    for (const std::uint32_t stored : {0u, 1u}) {
        registry.PutDword(kMainPath, "LogMessages", stored);
        ASSERT_NO_FATAL_FAILURE(Open());
        const CGeneralPage& page = sheet->General();
        const auto viewEnabled = [&] { return ::IsWindowEnabled(Item(page, IDC_VIEWLOG)) != FALSE; };
        EXPECT_EQ(viewEnabled(), stored == 1) << "right after the page opens";
        Click(page, IDC_LOGMESSAGES);
        EXPECT_EQ(viewEnabled(), stored == 0);
        Click(page, IDC_LOGMESSAGES);
        EXPECT_EQ(viewEnabled(), stored == 1);
        sheet.reset();
    }
}

TEST_F(OptionsSheetTest, ViewOpensTheLogThroughTheShellThenNotepadThenSaysItCannot) {
    using Opened = std::vector<CScriptedUi::COpened>;
    const Opened shell{{"c:\\windows\\mivlet.log", ""}};
    const Opened both{{"c:\\windows\\mivlet.log", ""}, {"notepad.exe", "\"c:\\windows\\mivlet.log\""}};
    const struct {
        std::vector<bool> results;
        Opened opened;
        bool message;
    } cases[] = {
        {{true}, shell, false},
        {{false, true}, both, false},
        {{false, false}, both, true},
    };
    registry.PutDword(kMainPath, "LogMessages", 1);
    for (const auto& c : cases) {
        ui = CScriptedUi();
        ui.openResults = c.results;
        ASSERT_NO_FATAL_FAILURE(Open());
        Click(sheet->General(), IDC_VIEWLOG);
        EXPECT_EQ(ui.opened, c.opened);
        EXPECT_EQ(ui.messages, c.message ? std::vector<std::string>{kLogNotOpenedText} : std::vector<std::string>{});
        sheet.reset();
    }
    EXPECT_EQ(std::string(kLogNotOpenedText).find(".  It might"), 32u);
}

TEST_F(OptionsSheetTest, ViewOpensTheLogWhereAStandardUsersCopyWritesIt) {
    registry.PutDword(kMainPath, "LogMessages", 1);
    files.refusedFolders = {"c:\\windows"};
    system.SetLocalAppDataFolder("C:\\Users\\Kel\\AppData\\Local");
    ui.openResults = {true};
    ASSERT_NO_FATAL_FAILURE(Open());
    Click(sheet->General(), IDC_VIEWLOG);
    EXPECT_EQ(ui.opened,
              (std::vector<CScriptedUi::COpened>{{"C:\\Users\\Kel\\AppData\\Local\\Mivlet\\mivlet.log", ""}}));
}

TEST_F(OptionsSheetTest, CancelStoresNothingOnAnyPage) {
    registry.PutString(kMainPath, "Username", "Kel");
    registry.PutString(kQuickKeysPath, "F3", "hello");
    const std::vector<std::string> before = Snapshot();
    ui.chooseColor = [](CHOOSECOLORW& choice) {
        choice.rgbResult = RGB(1, 2, 3);
        return true;
    };
    ASSERT_NO_FATAL_FAILURE(Open());
    Click(sheet->General(), IDC_PLAYSOUND);
    Type(sheet->General(), IDC_USERNAME, "more");
    ShowPage(COptionsSheet::kFormatPage);
    SelectInCombo(sheet->Format(), IDC_PREFIXLIST, 6);
    Click(sheet->Format(), IDC_BACKGROUND);
    ShowPage(COptionsSheet::kQuickKeysPage);
    ::SetWindowTextA(Item(sheet->QuickKeys(), IDC_QUICKKEYTEXT), "changed");
    PressCancel();
    EXPECT_TRUE(sheet->IsDone());
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(registry.Flushes(), 0);
}

TEST_F(OptionsSheetTest, OkRightAwayStoresOnlyWhatTheGeneralPageHolds) {
    ASSERT_NO_FATAL_FAILURE(Open());
    PressOk();
    EXPECT_TRUE(registry.ValueNames(kQuickKeysPath).empty());
    EXPECT_EQ(registry.Flushes(), 0);
    EXPECT_TRUE(registry.ValueNames(kGeneralFontPath).empty());
    EXPECT_TRUE(registry.ValueNames(kPrefixFontPath).empty());
    EXPECT_EQ(StoredString(kMainPath, "Prefix"), "<none>");
    EXPECT_EQ(StoredString(kMainPath, "ChatTextBackground"), "<none>");
    EXPECT_EQ(registry.ValueNames(kMainPath),
              (std::vector<std::string>{"DefaultToLastSender", "LogMessages", "OnNewMessage", "PlaySnd",
                                        "PromptOnAllUsers", "Username"}));
}

class QuickKeysTest : public OptionsFixture {
protected:
    void OpenQuickKeys() {
        ASSERT_NO_FATAL_FAILURE(Open());
        ShowPage(COptionsSheet::kQuickKeysPage);
        ASSERT_EQ(sheet->ActivePage(), &sheet->QuickKeys());
    }
    const CQuickKeysPage& Page() const { return sheet->QuickKeys(); }
    HWND Edit() const { return Item(Page(), IDC_QUICKKEYTEXT); }
    std::string Row(int index) const { return ListText(Page(), IDC_QUICKKEYLIST, index); }
    int Selected() const { return static_cast<int>(SendItem(Page(), IDC_QUICKKEYLIST, LB_GETCURSEL)); }
    std::string Label() const { return WindowText(Item(Page(), IDC_QUICKKEYLABEL)); }
    bool AllSelected() const {
        DWORD start = 1, end = 0;
        ::SendMessageA(Edit(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return start == 0 && end == static_cast<DWORD>(::GetWindowTextLengthA(Edit()));
    }
};

TEST_F(QuickKeysTest, ShowsARowPerKeyWithItsTextOrNoneAndTheFirstInTheBox) {
    registry.PutString(kQuickKeysPath, "F2", "Good morning");
    registry.PutString(kQuickKeysPath, "F7", "tab\there");
    registry.PutString(kQuickKeysPath, "F12", "(none)");
    ASSERT_NO_FATAL_FAILURE(OpenQuickKeys());
    ASSERT_EQ(SendItem(Page(), IDC_QUICKKEYLIST, LB_GETCOUNT), 11);
    const char* rows[] = {"F2\tGood morning", "F3\t(none)", "F4\t(none)", "F5\t(none)",  "F6\t(none)", "F7\ttab\there",
                          "F8\t(none)",       "F9\t(none)", "F10\t(none)", "F11\t(none)", "F12\t(none)"};
    for (int i = 0; i < 11; ++i) EXPECT_EQ(Row(i), rows[i]);
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(Label(), "&F2:");
    EXPECT_EQ(WindowText(Edit()), "Good morning");
    EXPECT_TRUE(AllSelected());
    EXPECT_EQ(::GetFocus(), Edit());
    const LONG style = ::GetWindowLongA(Item(Page(), IDC_QUICKKEYLIST), GWL_STYLE);
    EXPECT_EQ(style & (LBS_USETABSTOPS | LBS_NOTIFY | WS_TABSTOP), LBS_USETABSTOPS | LBS_NOTIFY);
}

TEST_F(QuickKeysTest, FunctionKeysSelectTheirRowsAndArrowsMoveWhileTheFocusStaysInTheBox) {
    for (int key = 2; key <= 12; ++key) registry.PutString(kQuickKeysPath, "F" + std::to_string(key), "text " + std::to_string(key));
    ASSERT_NO_FATAL_FAILURE(OpenQuickKeys());
    // The page keys move as far as the list pages (-1: up, -2: down).
    const struct {
        WPARAM key;
        UINT message;
        int row;
    } steps[] = {
        {VK_F7, WM_KEYDOWN, 5},   {VK_DOWN, WM_KEYDOWN, 6},  {VK_UP, WM_KEYDOWN, 5},    {VK_F10, WM_SYSKEYDOWN, 8},
        {VK_F12, WM_KEYDOWN, 10}, {VK_PRIOR, WM_KEYDOWN, -1}, {VK_NEXT, WM_KEYDOWN, -2}, {VK_F2, WM_KEYDOWN, 0},
        {VK_F11, WM_SYSKEYDOWN, 9},
    };
    int before = 0;
    for (const auto& step : steps) {
        Key(::GetFocus(), step.key, step.message);
        const int row = Selected();
        if (step.row == -1)
            EXPECT_LT(row, before) << step.key;
        else if (step.row == -2)
            EXPECT_GT(row, before) << step.key;
        else
            EXPECT_EQ(row, step.row) << step.key;
        before = row;
        const std::string number = std::to_string(row + 2);
        EXPECT_EQ(Label(), "&F" + number + ":") << step.key;
        EXPECT_EQ(WindowText(Edit()), "text " + number) << step.key;
        EXPECT_TRUE(AllSelected()) << step.key;
        EXPECT_EQ(::GetFocus(), Edit()) << step.key;
    }
    // F1 is not a QuickKey; the page leaves it alone.
    Key(Edit(), VK_F1);
    EXPECT_EQ(Selected(), 9);

    // A click in the list moves the focus there; the keys work there too.
    ::SetFocus(Item(Page(), IDC_QUICKKEYLIST));
    Key(Item(Page(), IDC_QUICKKEYLIST), VK_F4);
    EXPECT_EQ(Selected(), 2);
    EXPECT_EQ(::GetFocus(), Edit());
}

TEST_F(QuickKeysTest, EditingARowAndOkStoresEveryKeyAndFlushesOnce) {
    registry.PutString(kQuickKeysPath, "F3", "old three");
    registry.PutString(kQuickKeysPath, "F4", "old four");
    ASSERT_NO_FATAL_FAILURE(OpenQuickKeys());
    Key(Edit(), VK_F3);
    Type(Page(), IDC_QUICKKEYTEXT, "new three");
    EXPECT_EQ(Row(1), "F3\tnew three");
    EXPECT_EQ(Selected(), 1);

    // An emptied box shows "(none)", selected, so that typing replaces it.
    Key(Edit(), VK_F4);
    ::SetWindowTextA(Edit(), "");
    EXPECT_EQ(WindowText(Edit()), "(none)");
    EXPECT_TRUE(AllSelected());
    EXPECT_EQ(Row(2), "F4\t(none)");

    // A text of exactly "(none)" cannot be kept.
    Key(Edit(), VK_F5);
    ::SetWindowTextA(Edit(), "(none)");
    Key(Edit(), VK_F6);
    Type(Page(), IDC_QUICKKEYTEXT, "six");
    Type(Page(), IDC_QUICKKEYTEXT, "\t");
    EXPECT_EQ(Row(4), "F6\tsix\t");

    PressOk();
    EXPECT_EQ(registry.Flushes(), 1);
    const std::vector<std::pair<std::string, std::string>> stored = {
        {"F2", ""}, {"F3", "new three"}, {"F4", ""},  {"F5", ""},  {"F6", "six\t"}, {"F7", ""},
        {"F8", ""}, {"F9", ""},          {"F10", ""}, {"F11", ""}, {"F12", ""}};
    for (const auto& [name, text] : stored) EXPECT_EQ(StoredString(kQuickKeysPath, name), text) << name;
}

// Longer than the 512 characters that this Wine's ANSI list-box thunk can
// copy: one stored by an administrator, one pasted into the box.
TEST_F(QuickKeysTest, TextsLongerThanTheListCanHandBackAreShownEditedAndStoredWhole) {
    const std::string stored(700, 's');
    const std::string pasted = std::string(600, 'p') + "!";
    registry.PutString(kQuickKeysPath, "F3", stored);
    ASSERT_NO_FATAL_FAILURE(OpenQuickKeys());
    EXPECT_EQ(Row(1), "F3\t" + stored);
    Key(Edit(), VK_F3);
    EXPECT_EQ(WindowText(Edit()), stored);
    Key(Edit(), VK_F4);
    Type(Page(), IDC_QUICKKEYTEXT, pasted);
    EXPECT_EQ(Page().RowText(4), pasted);
    EXPECT_EQ(Row(2), "F4\t" + pasted);
    Key(Edit(), VK_UP);
    Key(Edit(), VK_DOWN);
    EXPECT_EQ(WindowText(Edit()), pasted);
    PressOk();
    EXPECT_EQ(StoredString(kQuickKeysPath, "F3"), stored);
    EXPECT_EQ(StoredString(kQuickKeysPath, "F4"), pasted);
}

// The sheet as the program runs it: modal, in its own loop. Steps run from
// a timer of a window of their own while the loop idles; when they run out,
// Cancel ends the sheet, so no test waits for ever.
class CSteps {
public:
    using Step = std::function<void()>;
    explicit CSteps(std::vector<Step> steps) : m_steps(std::move(steps)) {
        m_window = ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        ::SetWindowLongPtrA(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        ::SetTimer(m_window, 1, 50, &Tick);
    }
    CSteps(const CSteps&) = delete;
    CSteps& operator=(const CSteps&) = delete;
    ~CSteps() { ::DestroyWindow(m_window); }
    std::size_t Taken() const { return m_next; }
    std::function<void()> whenDone;

private:
    static void CALLBACK Tick(HWND window, UINT, UINT_PTR, DWORD) {
        auto* self = reinterpret_cast<CSteps*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self->m_next < self->m_steps.size())
            self->m_steps[self->m_next++]();
        else if (self->whenDone)
            self->whenDone();
    }
    std::vector<Step> m_steps;
    std::size_t m_next = 0;
    HWND m_window = nullptr;
};

// The sheet as the program opens it: the first key typed goes after the
// name rather than over it.
TEST_F(OptionsSheetTest, TheNameBoxOpensWithTheCaretAfterTheNameNotTheNameSelected) {
    registry.PutString(kMainPath, "Username", "Kel");
    sheet = std::make_unique<COptionsSheet>(context);
    std::pair<DWORD, DWORD> selection{99, 99};
    HWND focus = nullptr;
    CSteps steps({[&] {
                      const HWND name = Item(sheet->General(), IDC_USERNAME);
                      focus = ::GetFocus() == name ? name : nullptr;
                      ::SendMessageA(name, EM_GETSEL, reinterpret_cast<WPARAM>(&selection.first),
                                     reinterpret_cast<LPARAM>(&selection.second));
                  },
                  [&] { PressCancel(); }});
    sheet->RunModal(nullptr, COptionsSheet::kGeneralPage);
    EXPECT_TRUE(focus) << "the name box has the focus";
    EXPECT_EQ(selection, (std::pair<DWORD, DWORD>{3, 3}));
}

TEST_F(QuickKeysTest, TheModalLoopGivesThePageItsKeysF10Included) {
    registry.PutString(kQuickKeysPath, "F10", "ten");
    sheet = std::make_unique<COptionsSheet>(context);
    std::vector<std::string> seen;
    const auto post = [&](WPARAM key, UINT message) {
        return [&, key, message] { ::PostMessageA(::GetFocus(), message, key, 1); };
    };
    CSteps steps({post(VK_F10, WM_SYSKEYDOWN), post(VK_F10, WM_SYSKEYUP),
                  [&] { seen.push_back(WindowText(Edit())); },
                  post(VK_DOWN, WM_KEYDOWN),
                  [&] { seen.push_back(WindowText(Item(Page(), IDC_QUICKKEYLABEL))); },
                  [&] { PressOk(); }});
    steps.whenDone = [&] { PressCancel(); };
    EXPECT_EQ(sheet->RunModal(nullptr, COptionsSheet::kQuickKeysPage), IDOK);
    EXPECT_EQ(seen, (std::vector<std::string>{"ten", "&F11:"}));
    EXPECT_EQ(steps.Taken(), 6u);
    EXPECT_FALSE(sheet->Hwnd());
}

}  // namespace
