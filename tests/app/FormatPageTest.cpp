// The Format page: its choices, the example drawn with what is pending, and
// what OK stores and draws again.

#include <cstring>
#include <string>
#include <vector>

#include "platform/codepage/CodePage1252.h"
#include "app/RegistryChatSettings.h"
#include "chattext/FormatChoices.h"
#include "platform/stdio/StdioFileApi.h"
#include "settings/FontSettings.h"
#include "tests/app/OptionsFixture.h"
#include "tests/chatwindow/ChatDlgFixture.h"

namespace {

class FormatPageTest : public OptionsFixture {
protected:
    void OpenFormat() {
        ASSERT_NO_FATAL_FAILURE(Open());
        ShowPage(COptionsSheet::kFormatPage);
        ASSERT_EQ(sheet->ActivePage(), &sheet->Format());
    }
    CFormatPage& Page() const { return sheet->Format(); }
    HWND Example() const { return Page().Example().Hwnd(); }
    std::string ExampleText() const { return Page().Example().GetTextRange(CHARRANGE{0, -1}); }
    int Selected() const { return static_cast<int>(SendItem(Page(), IDC_PREFIXLIST, CB_GETCURSEL)); }
    CHARFORMATW ExampleFormat(LONG first, LONG last) const {
        CHARRANGE range{first, last};
        ::SendMessageA(Example(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        CHARFORMATW format{};
        format.cbSize = sizeof format;
        ::SendMessageA(Example(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        return format;
    }
    // EM_SETBKGNDCOLOR answers with the colour it replaces.
    COLORREF ExampleBackground() const {
        const auto color = static_cast<COLORREF>(::SendMessageA(Example(), EM_SETBKGNDCOLOR, 0, RGB(9, 9, 9)));
        ::SendMessageA(Example(), EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(color));
        return color;
    }
};

const std::string kFirstText = "Thanks.  Hey, also check out " + std::string(kSampleAddress) + ".";
const std::string kSecondText = "Ho, Golfers!  Bring your gulf clubs to the awards ceremony on Saturday.";

TEST_F(FormatPageTest, ShowsTheChoicesAndTheSamplesWithTheStoredPrefix) {
    ASSERT_NO_FATAL_FAILURE(OpenFormat());
    ASSERT_EQ(SendItem(Page(), IDC_PREFIXLIST, CB_GETCOUNT), 7);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(ListText(Page(), IDC_PREFIXLIST, i, true), kPrefixChoices[i].shown);
    EXPECT_EQ(Selected(), 1) << "the default code is the second";
    EXPECT_EQ(ExampleText(), "Owen Pardee 9:42> " + kFirstText + "\rRT Hollis (to all users) 13:34> " + kSecondText + "\r");
    EXPECT_TRUE(ExampleFormat(0, 5).dwEffects & CFE_BOLD) << "the prefix font by default";
    EXPECT_FALSE(ExampleFormat(20, 25).dwEffects & CFE_BOLD);
    EXPECT_EQ(::SendMessageA(Example(), EM_GETFIRSTVISIBLELINE, 0, 0), 0) << "the view stays at the top";
    EXPECT_EQ(ExampleBackground(), system.QuerySystemColor(ESystemColor::Window));
    EXPECT_FALSE(Page().Example().IsContextMenuEnabled());
    wchar_t className[32] = {};
    ::GetClassNameW(Example(), className, 32);
    EXPECT_STREQ(className, L"RichEdit20W");
}

TEST_F(FormatPageTest, AChoiceRedrawsTheExampleAndIsStoredOnlyOnOk) {
    ASSERT_NO_FATAL_FAILURE(OpenFormat());
    SelectInCombo(Page(), IDC_PREFIXLIST, 6);
    EXPECT_EQ(ExampleText().substr(0, 35), "Owen Pardee @ Lathe 10/28/05 9:42> ");
    EXPECT_EQ(StoredString(kMainPath, "Prefix"), "<none>");
    PressOk();
    EXPECT_EQ(StoredString(kMainPath, "Prefix"), kPrefixChoices[6].code);
}

TEST_F(FormatPageTest, AStoredCodeOfItsOwnSelectsNothingAndStaysOnOk) {
    registry.PutString(kMainPath, "Prefix", "c: ");
    ASSERT_NO_FATAL_FAILURE(OpenFormat());
    EXPECT_EQ(Selected(), -1);
    EXPECT_EQ(ExampleText().substr(0, 7), "Lathe: ");
    PressOk();
    EXPECT_EQ(StoredString(kMainPath, "Prefix"), "c: ");
}

TEST_F(FormatPageTest, AChosenFontShowsAtOnceAndIsStoredOnOk) {
    registry.PutDword(kGeneralFontPath, "Mask", CFM_FACE);
    registry.PutString(kGeneralFontPath, "FaceName", "Tahoma");
    std::vector<std::string> offered;
    ui.chooseFont = [&](CHOOSEFONTW& choice) {
        offered.push_back(Narrow(choice.lpLogFont->lfFaceName));
        EXPECT_EQ(choice.Flags & (CF_SCREENFONTS | CF_EFFECTS), static_cast<DWORD>(CF_SCREENFONTS | CF_EFFECTS));
        std::wcscpy(choice.lpLogFont->lfFaceName, L"Courier New");
        choice.lpLogFont->lfWeight = FW_NORMAL;
        choice.lpLogFont->lfItalic = TRUE;
        choice.iPointSize = 120;
        choice.rgbColors = RGB(0, 0, 128);
        return true;
    };
    ASSERT_NO_FATAL_FAILURE(OpenFormat());
    Click(Page(), IDC_PREFIXFONT);
    EXPECT_EQ(offered, std::vector<std::string>{"Tahoma"}) << "the face the prefix is drawn in: the message's";
    CHARFORMATW prefix = ExampleFormat(0, 5);
    EXPECT_STREQ(Narrow(prefix.szFaceName).c_str(), "Courier New");
    EXPECT_EQ(prefix.dwEffects & (CFE_BOLD | CFE_ITALIC), static_cast<DWORD>(CFE_ITALIC));
    EXPECT_EQ(prefix.yHeight, 240);
    EXPECT_EQ(prefix.crTextColor, RGB(0, 0, 128));
    EXPECT_STREQ(Narrow(ExampleFormat(20, 25).szFaceName).c_str(), "Tahoma") << "the message keeps its own face";
    EXPECT_TRUE(registry.ValueNames(kPrefixFontPath).empty()) << "nothing stored before OK";

    // Cancel in the font dialog changes nothing; the dialog keeps its state.
    ui.chooseFont = [&](CHOOSEFONTW& choice) {
        offered.push_back(Narrow(choice.lpLogFont->lfFaceName));
        return false;
    };
    Click(Page(), IDC_PREFIXFONT);
    EXPECT_EQ(offered.back(), "Courier New");
    EXPECT_STREQ(Narrow(ExampleFormat(0, 5).szFaceName).c_str(), "Courier New");

    PressOk();
    CCharFormat stored;
    ReadFontSetting(store.PrefixFont(), stored, nullptr, true);
    EXPECT_STREQ(stored.szFaceName, "Courier New");
    EXPECT_EQ(stored.yHeight, 240);
    EXPECT_EQ(stored.dwEffects & kCfmEffects, kCfeItalic);
    ReadFontSetting(store.GeneralFont(), stored, nullptr, false);
    EXPECT_STREQ(stored.szFaceName, "Tahoma");
}

TEST_F(FormatPageTest, TheBackgroundFollowsTheColourDialogAndIsStoredOnOk) {
    std::vector<COLORREF> offered;
    COLORREF answer = RGB(10, 20, 30);
    bool ok = true;
    ui.chooseColor = [&](CHOOSECOLORW& choice) {
        offered.push_back(choice.rgbResult);
        EXPECT_EQ(choice.lpCustColors[0], system.QuerySystemColor(ESystemColor::Window));
        EXPECT_EQ(choice.lpCustColors[8], system.QuerySystemColor(ESystemColor::ButtonFace));
        EXPECT_EQ(choice.lpCustColors[1], RGB(255, 255, 255));
        choice.rgbResult = answer;
        return ok;
    };
    ASSERT_NO_FATAL_FAILURE(OpenFormat());
    Click(Page(), IDC_BACKGROUND);
    EXPECT_EQ(ExampleBackground(), RGB(10, 20, 30));
    // Cancel after an earlier OK keeps the earlier colour.
    ok = false;
    answer = RGB(99, 99, 99);
    Click(Page(), IDC_BACKGROUND);
    EXPECT_EQ(ExampleBackground(), RGB(10, 20, 30));
    EXPECT_EQ(offered, (std::vector<COLORREF>{system.QuerySystemColor(ESystemColor::Window), RGB(10, 20, 30)}));
    EXPECT_EQ(StoredString(kMainPath, "ChatTextBackground"), "<none>");
    PressOk();
    EXPECT_EQ(StoredString(kMainPath, "ChatTextBackground"), std::to_string(RGB(10, 20, 30)));
}

TEST_F(FormatPageTest, TheFontDialogComesUpFromThePendingFontAndReportsItBack) {
    // The real dialog, ended from a timer with OK as soon as it is up.
    registry.PutDword(kPrefixFontPath, "Mask", kCfmEffects | kCfmSize | kCfmFace | kCfmColor);
    registry.PutDword(kPrefixFontPath, "Effects", kCfeBold | kCfeUnderline);
    registry.PutDword(kPrefixFontPath, "Height", 200);
    registry.PutDword(kPrefixFontPath, "Color", RGB(128, 0, 0));
    registry.PutString(kPrefixFontPath, "FaceName", "DejaVu Sans");  // one that this Wine has
    ui.chooseFont = [](CHOOSEFONTW& choice) { return COptionsUi().ChooseFont(choice); };
    ASSERT_NO_FATAL_FAILURE(OpenFormat());
    const CCharFormat before = Page().PendingPrefixFormat();
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR, DWORD) {
        if (const HWND dialog = ::FindWindowA("#32770", "Font")) ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    Click(Page(), IDC_PREFIXFONT);
    ::KillTimer(nullptr, timer);
    ASSERT_EQ(ui.fontDialogs, 1);
    const CCharFormat& after = Page().PendingPrefixFormat();
    EXPECT_STREQ(after.szFaceName, before.szFaceName);
    EXPECT_EQ(after.yHeight, before.yHeight);
    EXPECT_EQ(after.dwEffects & kCfmEffects, before.dwEffects & kCfmEffects);
    EXPECT_EQ(after.crTextColor, before.crTextColor);
}

// Nothing stored: each dialog opens on the face and the pixel height the
// example draws its part in, and OK without a change keeps both (the dialog
// may round the size to one the font has, 8.25 points to 8, both 11 pixels).
TEST_F(FormatPageTest, WithNoFontStoredTheDialogsOpenOnTheFontsTheExampleShows) {
    struct COffered {
        std::string face;
        LONG height;
    };
    std::vector<COffered> offered;
    ui.chooseFont = [&](CHOOSEFONTW& choice) {
        offered.push_back({Narrow(choice.lpLogFont->lfFaceName), choice.lpLogFont->lfHeight});
        return COptionsUi().ChooseFont(choice);
    };
    ASSERT_NO_FATAL_FAILURE(OpenFormat());
    const CHARFORMATW prefixDrawn = ExampleFormat(0, 5);
    const CHARFORMATW messageDrawn = ExampleFormat(20, 25);
    ASSERT_NE(prefixDrawn.szFaceName[0], L'\0');
    ASSERT_GT(prefixDrawn.yHeight, 0);
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR, DWORD) {
        if (const HWND dialog = ::FindWindowA("#32770", "Font")) ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    Click(Page(), IDC_PREFIXFONT);
    Click(Page(), IDC_MESSAGEFONT);
    ::KillTimer(nullptr, timer);
    ASSERT_EQ(offered.size(), 2u);
    const int dpi = [] {
        const HDC screen = ::GetDC(nullptr);
        const int found = ::GetDeviceCaps(screen, LOGPIXELSY);
        ::ReleaseDC(nullptr, screen);
        return found;
    }();
    const auto pixels = [dpi](LONG twips) { return ::MulDiv(twips, dpi, 1440); };
    const struct {
        const char* which;
        const CHARFORMATW& drawn;
        const COffered& offered;
        const CCharFormat& after;
        LONG first, last;
    } cases[] = {{"prefix", prefixDrawn, offered[0], Page().PendingPrefixFormat(), 0, 5},
                 {"message", messageDrawn, offered[1], Page().PendingMessageFormat(), 20, 25}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.offered.face, Narrow(c.drawn.szFaceName)) << c.which;
        EXPECT_EQ(-c.offered.height, pixels(c.drawn.yHeight)) << c.which;
        EXPECT_EQ(c.after.szFaceName, Narrow(c.drawn.szFaceName)) << c.which;
        EXPECT_EQ(pixels(c.after.yHeight), pixels(c.drawn.yHeight)) << c.which;
        const CHARFORMATW now = ExampleFormat(c.first, c.last);
        EXPECT_STREQ(now.szFaceName, c.drawn.szFaceName) << c.which << ": the example still draws the same";
        EXPECT_EQ(pixels(now.yHeight), pixels(c.drawn.yHeight)) << c.which;
    }
    EXPECT_TRUE(Page().PendingPrefixFormat().dwEffects & kCfeBold);
    EXPECT_FALSE(Page().PendingMessageFormat().dwEffects & kCfeBold);
}

// The chat window's history over the same store: OK on the page draws it
// again with the stored prefix and fonts.
class FormatPageHistoryTest : public ChatDlgTest {
protected:
    CMemoryRegistry registry;
    CSettingsStore store{registry};
    CMemorySystem system;
    CStdioFileApi files;
    const CCodePage1252 codePage;
    CRegistryChatSettings chatSettings{store, files, system, codePage};
    CScriptedUi ui;
    COptionsContext context{store, system, files, zone, ui, nullptr};
};

TEST_F(FormatPageHistoryTest, OkDrawsTheChatHistoryAgainWithTheNewPrefixAndFonts) {
    dlg = StartCopy(lab2Host, "Lab2", chatSettings);
    ASSERT_TRUE(dlg && dlg->Exists());
    dlg->History().AppendMessage(Record("kel", "Hi", true, kNineOhFive, "Lab2"));
    dlg->History().AppendMessage(Record("ann", "Ho", false, kNineOhFive, "Office"));
    ASSERT_EQ(HistoryText(), "kel (to all users) 9:05> Hi\rann 9:05> Ho\r");
    context.history = &dlg->History();
    ui.chooseFont = [](CHOOSEFONTW& choice) {
        std::wcscpy(choice.lpLogFont->lfFaceName, L"Courier New");
        choice.iPointSize = 100;
        return true;
    };

    for (const bool ok : {false, true}) {
        COptionsSheet options(context);
        ASSERT_TRUE(options.Create(dlg->Hwnd(), COptionsSheet::kFormatPage));
        const HWND combo = ::GetDlgItem(options.Format().Hwnd(), IDC_PREFIXLIST);
        ::SendMessageA(combo, CB_SETCURSEL, 6, 0);
        ::SendMessageA(options.Format().Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_PREFIXLIST, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(combo));
        ::SendMessageA(::GetDlgItem(options.Format().Hwnd(), IDC_MESSAGEFONT), BM_CLICK, 0, 0);
        PropSheet_PressButton(options.Hwnd(), ok ? PSBTN_OK : PSBTN_CANCEL);
        Pump(100);  // the sheet posts the button's command to itself
        ASSERT_TRUE(options.IsDone());
        if (!ok) {
            EXPECT_EQ(HistoryText(), "kel (to all users) 9:05> Hi\rann 9:05> Ho\r") << "Cancel";
        }
    }
    EXPECT_EQ(HistoryText(), "kel @ Lab2 (to all users) 5/8/00 9:05> Hi\rann @ Office 5/8/00 9:05> Ho\r");
    EXPECT_STREQ(Narrow(FormatOf(39, 41).szFaceName).c_str(), "Courier New");
    EXPECT_EQ(FormatOf(39, 41).yHeight, 200);
    EXPECT_TRUE(FormatOf(0, 3).dwEffects & CFE_BOLD);
}

}  // namespace
