// A setting that a policy sets: its page shows the policy's value with the
// control greyed and the note below, and OK does not store it as the
// user's own.

#include <string>

#include "tests/app/OptionsFixture.h"

namespace {

using OptionsPolicyTest = OptionsFixture;

const std::string kPolicyPath = "Software\\Policies\\Pellandor\\Mivlet";
constexpr ERegistryRoot kMachine = ERegistryRoot::LocalMachine;
constexpr ERegistryRoot kUser = ERegistryRoot::CurrentUser;

bool ReadOnly(HWND edit) { return (::GetWindowLongA(edit, GWL_STYLE) & ES_READONLY) != 0; }

bool NoteShown(const CPropertyPage& page) {
    const HWND note = ::GetDlgItem(page.Hwnd(), IDC_POLICYNOTE);
    return note && (::GetWindowLongA(note, GWL_STYLE) & WS_VISIBLE) != 0;
}

TEST_F(OptionsPolicyTest, GeneralGreysWhatAPolicySetsAndStoresOnlyTheRest) {
    const struct {
        const char* value;
        int control;
        ERegistryRoot root;
    } cases[] = {
        {"DefaultToLastSender", IDC_LASTSENDER, kMachine},
        {"PromptOnAllUsers", IDC_PROMPTALLUSERS, kUser},
        {"PlaySnd", IDC_PLAYSOUND, kMachine},
        {"LogMessages", IDC_LOGMESSAGES, kUser},
    };
    const int boxes[] = {IDC_LASTSENDER, IDC_PROMPTALLUSERS, IDC_PLAYSOUND, IDC_LOGMESSAGES};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        registry.RemoveKey(kMachine, kPolicyPath);
        registry.RemoveKey(kUser, kPolicyPath);
        for (const char* name : {"DefaultToLastSender", "PromptOnAllUsers", "PlaySnd", "LogMessages"})
            registry.PutDword(kMainPath, name, 0);
        // "reg add" without a type: the policy's 1 is text.
        registry.PutString(c.root, kPolicyPath, c.value, "1");
        ASSERT_NO_FATAL_FAILURE(Open());
        const CGeneralPage& page = sheet->General();
        for (const int box : boxes) {
            const bool locked = box == c.control;
            EXPECT_EQ(::IsWindowEnabled(Item(page, box)) == FALSE, locked) << box;
            EXPECT_EQ(SendItem(page, box, BM_GETCHECK), locked ? BST_CHECKED : BST_UNCHECKED) << box;
        }
        EXPECT_TRUE(NoteShown(page));
        EXPECT_TRUE(::IsWindowEnabled(Item(page, IDC_USERNAME)));
        for (const int box : boxes) Click(page, box);  // a greyed box takes no click
        PressOk();
        for (const char* name : {"DefaultToLastSender", "PromptOnAllUsers", "PlaySnd", "LogMessages"})
            EXPECT_EQ(StoredDword(kMainPath, name), std::string(name) == c.value ? 0u : 1u)
                << name << ": the policy's value is not made the user's own";
        sheet.reset();
    }
}

TEST_F(OptionsPolicyTest, NameAndReactionSetByPolicyAreShownGreyedAndTheFocusMovesOn) {
    registry.PutString(kMainPath, "Username", "Kel");
    registry.PutString(kMachine, kPolicyPath, "Username", "Front Desk");
    registry.PutDword(kUser, kPolicyPath, "OnNewMessage", 1);
    registry.PutDword(kMainPath, "OnNewMessage", 2);
    ASSERT_NO_FATAL_FAILURE(Open());
    const CGeneralPage& page = sheet->General();
    EXPECT_EQ(WindowText(Item(page, IDC_USERNAME)), "Front Desk");
    EXPECT_FALSE(::IsWindowEnabled(Item(page, IDC_USERNAME)));
    EXPECT_EQ(SendItem(page, IDC_ONNEWMESSAGE, CB_GETCURSEL), 1);
    EXPECT_FALSE(::IsWindowEnabled(Item(page, IDC_ONNEWMESSAGE)));
    EXPECT_NE(::GetFocus(), Item(page, IDC_USERNAME));
    EXPECT_TRUE(::IsWindowEnabled(::GetFocus()));
    PressOk();
    EXPECT_EQ(StoredString(kMainPath, "Username"), "Kel");
    EXPECT_EQ(StoredDword(kMainPath, "OnNewMessage"), 2u);
}

TEST_F(OptionsPolicyTest, WithoutPoliciesNothingIsGreyedAndNoNoteShows) {
    ASSERT_NO_FATAL_FAILURE(Open());
    for (const CPropertyPage* page : std::initializer_list<const CPropertyPage*>{&sheet->General(), &sheet->Format(),
                                                                                &sheet->QuickKeys()}) {
        ShowPage(page == &sheet->General() ? 0 : page == &sheet->Format() ? 1 : 2);
        EXPECT_FALSE(NoteShown(*page));
    }
    for (const int id : {IDC_USERNAME, IDC_ONNEWMESSAGE, IDC_PLAYSOUND, IDC_LASTSENDER, IDC_PROMPTALLUSERS,
                         IDC_LOGMESSAGES})
        EXPECT_TRUE(::IsWindowEnabled(Item(sheet->General(), id))) << id;
    for (const int id : {IDC_PREFIXLIST, IDC_BACKGROUND, IDC_PREFIXFONT, IDC_MESSAGEFONT})
        EXPECT_TRUE(::IsWindowEnabled(Item(sheet->Format(), id))) << id;
    EXPECT_FALSE(ReadOnly(Item(sheet->QuickKeys(), IDC_QUICKKEYTEXT)));
}

TEST_F(OptionsPolicyTest, FormatGreysThePrefixAndTheFontThatPoliciesSet) {
    registry.PutString(kMainPath, "Prefix", "u> ");
    registry.PutString(kMachine, kPolicyPath, "Prefix", "H:nn u> ");
    registry.PutDword(kUser, kPolicyPath + "\\PrefixFont", "Mask", 1);
    ASSERT_NO_FATAL_FAILURE(Open(COptionsSheet::kFormatPage));
    const CFormatPage& page = sheet->Format();
    EXPECT_FALSE(::IsWindowEnabled(Item(page, IDC_PREFIXLIST)));
    EXPECT_FALSE(::IsWindowEnabled(Item(page, IDC_PREFIXFONT)));
    EXPECT_TRUE(::IsWindowEnabled(Item(page, IDC_MESSAGEFONT)));
    EXPECT_TRUE(::IsWindowEnabled(Item(page, IDC_BACKGROUND)));
    EXPECT_TRUE(NoteShown(page));
    PressOk();
    EXPECT_EQ(StoredString(kMainPath, "Prefix"), "u> ");
    EXPECT_TRUE(registry.ValueNames(kPrefixFontPath).empty()) << "the policy's font is not stored as the user's";
    EXPECT_FALSE(registry.ValueNames(kGeneralFontPath).empty());
}

TEST_F(OptionsPolicyTest, QuickKeySetByPolicyIsReadOnlyWhileTheOthersStayEditable) {
    registry.PutString(kQuickKeysPath, "F3", "mine");
    registry.PutString(kMachine, kPolicyPath + "\\QuickKeys", "F3", "Call the help desk on 4711");
    ASSERT_NO_FATAL_FAILURE(Open(COptionsSheet::kQuickKeysPage));
    const CQuickKeysPage& page = sheet->QuickKeys();
    const HWND edit = Item(page, IDC_QUICKKEYTEXT);
    EXPECT_TRUE(NoteShown(page));
    EXPECT_EQ(ListText(page, IDC_QUICKKEYLIST, 1), "F3\tCall the help desk on 4711");
    EXPECT_FALSE(ReadOnly(edit)) << "F2 is the user's";
    Type(page, IDC_QUICKKEYTEXT, "hello");
    Key(edit, VK_F3);
    EXPECT_TRUE(ReadOnly(edit));
    EXPECT_EQ(::GetFocus(), edit) << "the box keeps the focus, so the keys still move";
    Key(edit, VK_DOWN);
    EXPECT_FALSE(ReadOnly(edit)) << "F4";
    PressOk();
    EXPECT_EQ(StoredString(kQuickKeysPath, "F2"), "hello");
    EXPECT_EQ(StoredString(kQuickKeysPath, "F3"), "mine");
}

}  // namespace
