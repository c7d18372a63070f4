// The About box and the Help commands in this process, from the program's
// own templates and resources; what they open goes to the in-memory shell.

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/AboutDlg.h"
#include "app/HelpCommands.h"
#include "messaging/LongDate.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/MemoryShell.h"
#include "resources/ResourceIds.h"
#include "resources/Version.h"
#include "util/BuildInfo.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

std::string WindowText(HWND window) {
    char text[2048] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string FileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(AboutBox, TellsNameVersionReleaseDateAndSupportAddress) {
    const std::vector<std::string> lines = Lines(AboutBoxText(CBuildInfo{"Mar 3 2031", "1.0.0", "Dec 12 2000"}));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "Mivlet version 1.0.0");
    EXPECT_FALSE(lines[1].empty()) << "the legal notice";
    EXPECT_EQ(lines[2], "Date released is December 12, 2000.") << "the release date, not the build's";
    EXPECT_EQ(lines[3], "");
    EXPECT_NE(lines[4].find("support@pellandor.example"), std::string::npos);
}

class AboutDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(about.CreateModeless(nullptr));
        ::ShowWindow(about.Hwnd(), SW_SHOW);
        ::SetForegroundWindow(about.Hwnd());
    }
    HWND Text() const { return about.Item(IDC_ABOUTTEXT); }
    std::pair<DWORD, DWORD> Selection() const {
        DWORD start = 0, end = 0;
        ::SendMessageA(Text(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return {start, end};
    }
    // The dialog manager's own move of the focus, as Tab makes it.
    void FocusByKeyboard(HWND control) const {
        ::SendMessageA(about.Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    }

    CAboutDlg about;
};

TEST_F(AboutDlgTest, ShowsItsPictureAndTheLinesOfThisBuild) {
    EXPECT_EQ(WindowText(about.Hwnd()), "About Mivlet");
    EXPECT_EQ(WindowText(Text()), AboutBoxText(ThisBuild()));
    EXPECT_EQ(Lines(WindowText(Text()))[0], "Mivlet version " MIVLET_VERSION_TEXT);
    EXPECT_EQ(Lines(WindowText(Text()))[2], "Date released is " + MakeLongDate(MIVLET_RELEASE_DATE) + ".");
    EXPECT_EQ(WindowText(about.Item(IDCANCEL)), "&Close");

    HWND picture = nullptr;
    for (HWND child = ::GetWindow(about.Hwnd(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if ((::GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP) picture = child;
    ASSERT_NE(picture, nullptr);
    const auto bitmap = reinterpret_cast<HBITMAP>(::SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP info{};
    ASSERT_TRUE(::GetObjectA(bitmap, sizeof info, &info));
    EXPECT_EQ(info.bmWidth, 281);
    EXPECT_EQ(info.bmHeight, 73);
}

TEST_F(AboutDlgTest, TabbingIntoTheTextKeepsItsSelectionInsteadOfSelectingAll) {
    EXPECT_EQ(::GetFocus(), about.Item(IDCANCEL)) << "Close has the focus first";
    FocusByKeyboard(Text());
    EXPECT_EQ(::GetFocus(), Text());
    EXPECT_EQ(Selection(), std::make_pair(DWORD{0}, DWORD{0}));

    ::SendMessageA(Text(), EM_SETSEL, 7, 14);
    FocusByKeyboard(about.Item(IDCANCEL));
    FocusByKeyboard(Text());
    EXPECT_EQ(Selection(), std::make_pair(DWORD{7}, DWORD{14}));
}

TEST_F(AboutDlgTest, CloseEndsTheBox) {
    ::SendMessageA(about.Hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_FALSE(about.Exists());
}

class CRecordingHost : public COpenerHost {
public:
    WindowRef MainWindow() override { return kNoWindow; }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    bool Ask(const std::string& question) override {
        questions.push_back(question);
        return answer;
    }
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    bool answer = true;
};

class HelpCommandsTest : public ::testing::Test {
protected:
    std::vector<std::string> Opened() const {
        std::vector<std::string> targets;
        for (const auto& open : shell.Opens()) targets.push_back(open.target);
        return targets;
    }

    CMemoryShell shell;
    CMemoryRegistry registry;
    CRecordingHost host;
    CLinkOpener opener{shell, registry, host};
    CProgramHelp help{opener};
};

TEST_F(HelpCommandsTest, ViewReadMeWritesThePageToTheTemporaryFolderAndOpensIt) {
    char folder[MAX_PATH] = {};
    ASSERT_GT(::GetTempPathA(MAX_PATH, folder), 0u);
    std::string expected(folder);
    if (expected.back() == '\\') expected.pop_back();
    expected += "\\Mivlet Read Me.htm";
    ASSERT_EQ(CProgramHelp::ReadMePath(), expected);
    shell.AllowOpen(expected);

    help.ViewReadMe();
    const std::string page = FileText(expected);
    std::size_t at = 0;
    for (const char* heading : {"Welcome", "Installation", "Sending and Receiving Messages", "Customizing",
                                "Tips and Tricks", "Using Hyperlinks", "Contact Information"}) {
        at = page.find(std::string(">") + heading + "</h2>", at);
        EXPECT_NE(at, std::string::npos) << heading;
    }
    EXPECT_EQ(Opened(), std::vector<std::string>{expected});

    // Run again, it writes the same page over what is there and opens it again.
    std::ofstream(expected, std::ios::binary) << "changed";
    help.ViewReadMe();
    EXPECT_EQ(FileText(expected), page);
    EXPECT_EQ(Opened(), (std::vector<std::string>{expected, expected}));
    EXPECT_TRUE(host.messages.empty());
    ::DeleteFileA(expected.c_str());
}

TEST_F(HelpCommandsTest, APageThatCannotBeWrittenIsReportedWithItsNameAndNotOpened) {
    char saved[MAX_PATH] = {};
    const DWORD savedLength = ::GetEnvironmentVariableA("TMP", saved, MAX_PATH);
    ::SetEnvironmentVariableA("TMP", "C:\\no-such-folder-for-mivlet\\");
    help.ViewReadMe();
    ::SetEnvironmentVariableA("TMP", savedLength ? saved : nullptr);

    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].rfind("Mivlet could not write the read-me page\r\n"
                                     "C:\\no-such-folder-for-mivlet\\Mivlet Read Me.htm\r\n",
                                     0),
              0u)
        << host.messages[0];
    EXPECT_TRUE(shell.Opens().empty());
}

TEST_F(HelpCommandsTest, WebSiteAndSupportMailGoThroughTheOpener) {
    help.VisitWebSite();
    help.EmailSupport();
    EXPECT_EQ(Opened(), (std::vector<std::string>{"https://www.pellandor.example/mivlet/",
                                                   "mailto:support@pellandor.example"}));
    // No program for either: the messages name what the user can use by hand.
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_NE(host.messages[0].find("\r\nhttps://www.pellandor.example/mivlet/"), std::string::npos);
    EXPECT_NE(host.messages[1].find("e-mail to this address at\r\nsupport@pellandor.example"), std::string::npos);
}

}  // namespace
