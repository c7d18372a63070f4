// Opening links and the history's Open item, through the shell and registry
// seams: nothing is started.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chattext/OpenLink.h"
#include "chattext/OpenSelection.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/MemoryShell.h"

namespace {

constexpr WindowRef kMainWindow = 0x1234;
constexpr char kBrowser[] = "\"C:\\Program Files\\Browser\\browser.exe\"";
const std::string kWebMessage =
    "Mivlet could not find a web browser on your computer.  You can visit this site at\r\n";
const std::string kMailMessage =
    "Mivlet could not find a mail program installed on your computer.  You can send an e-mail to this address "
    "at\r\n";
const std::string kNetworkMessage =
    "Mivlet could not find the network path\r\nspecified.  Please verify the path and try again.";

class CRecordingHost : public COpenerHost {
public:
    WindowRef MainWindow() override { return kMainWindow; }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    bool Ask(const std::string& question) override {
        questions.push_back(question);
        return answer;
    }
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    bool answer = true;
};

struct CLinkCase {
    const char* name;
    std::string text;
    bool shellOpens;                  // the shell can open the text
    bool pathExists;                  // FindFirstFile finds it
    const char* commandTemplate;      // the browser registered for ".htm"; null: none
    bool commandRuns;
    bool opened;                      // OpenLink's result
    std::vector<std::string> shellAsked;
    std::vector<std::string> commandLines;
    std::string message;              // empty: none
};

class OpenLinkTest : public ::testing::TestWithParam<CLinkCase> {};

TEST_P(OpenLinkTest, EachBranch) {
    const CLinkCase& c = GetParam();
    CMemoryShell shell;
    CMemoryRegistry registry;
    CRecordingHost host;
    if (c.shellOpens) shell.AllowOpen(c.text);
    if (c.pathExists) shell.AddPath(c.text);
    shell.SetCommandsRun(c.commandRuns);
    if (c.commandTemplate) {
        registry.PutClassesString(".htm", "", "htmlfile");
        registry.PutClassesString("htmlfile\\shell\\open\\command", "", c.commandTemplate);
    }
    CLinkOpener opener(shell, registry, host);

    EXPECT_EQ(opener.OpenLink(c.text, true), c.opened);
    std::vector<std::string> asked;
    for (const auto& open : shell.Opens()) {
        asked.push_back(open.target);
        EXPECT_EQ(open.owner, kMainWindow) << "the main window owns what the shell shows";
    }
    EXPECT_EQ(asked, c.shellAsked);
    EXPECT_EQ(shell.CommandLines(), c.commandLines);
    if (c.message.empty())
        EXPECT_TRUE(host.messages.empty());
    else
        EXPECT_EQ(host.messages, std::vector<std::string>{c.message});
    EXPECT_EQ(registry.OpenKeys(), 0u) << "every key it opened is closed";
}

const std::string kSite = "http://intranet/helpdesk";
const std::string kShare = "\\\\Lab2\\Shared\\plan.doc";

INSTANTIATE_TEST_SUITE_P(
    Branches, OpenLinkTest,
    ::testing::Values(
        CLinkCase{"ShellOpensTheAddress", kSite, true, false, nullptr, true, true, {kSite}, {}, ""},
        CLinkCase{"ShellFailsTheBrowserRuns", kSite, false, false, "\"C:\\Program Files\\Browser\\browser.exe\" \"%1\"",
                  true, true, {kSite}, {std::string(kBrowser) + "  " + kSite}, ""},
        CLinkCase{"UnquotedPlaceholder", kSite, false, false, "browser.exe -url %1 -new", true, true, {kSite},
                  {"browser.exe -url  " + kSite}, ""},
        CLinkCase{"NoPlaceholderAppendsAtTheEnd", kSite, false, false, "browser.exe -new", true, true, {kSite},
                  {"browser.exe -new " + kSite}, ""},
        CLinkCase{"NoBrowserRegistered", kSite, false, false, nullptr, true, false, {kSite}, {}, kWebMessage + kSite},
        CLinkCase{"BrowserDoesNotStart", kSite, false, false, "browser.exe \"%1\"", false, false, {kSite},
                  {"browser.exe  " + kSite}, kWebMessage + kSite},
        CLinkCase{"MailtoWithoutMailProgram", "mailto:ann@lab.example", false, false, nullptr, true, false,
                  {"mailto:ann@lab.example"}, {}, kMailMessage + "ann@lab.example"},
        CLinkCase{"MailtoInCapitalsIsAWebText", "MAILTO:ann@lab.example", false, false, nullptr, true, false,
                  {"MAILTO:ann@lab.example"}, {}, kWebMessage + "MAILTO:ann@lab.example"},
        CLinkCase{"NetworkPathThatExists", kShare, true, true, nullptr, true, true, {kShare}, {}, ""},
        CLinkCase{"NetworkPathThatExistsButNothingOpensIt", kShare, false, true, nullptr, true, false, {kShare}, {},
                  kNetworkMessage},
        CLinkCase{"NetworkPathThatDoesNotExistNeverReachesTheShell", kShare, true, false, "browser.exe \"%1\"", true,
                  false, {}, {}, kNetworkMessage}),
    [](const ::testing::TestParamInfo<CLinkCase>& info) { return std::string(info.param.name); });

TEST(OpenLink, WithoutErrorsShownAFailureIsSilent) {
    CMemoryShell shell;
    CMemoryRegistry registry;
    CRecordingHost host;
    CLinkOpener opener(shell, registry, host);
    EXPECT_FALSE(opener.OpenLink("http://nowhere", false));
    EXPECT_FALSE(opener.OpenLink("\\\\Nowhere\\share", false));
    EXPECT_TRUE(host.messages.empty());
}

TEST(OpenLink, ARegisteredTextTooLongForItsBufferCountsAsNoBrowser) {
    CMemoryShell shell;
    CMemoryRegistry registry;
    CRecordingHost host;
    registry.PutClassesString(".htm", "", "htmlfile");
    registry.PutClassesString("htmlfile\\shell\\open\\command", "", std::string(300, 'b') + " \"%1\"");
    CLinkOpener opener(shell, registry, host);
    EXPECT_FALSE(opener.OpenLink("http://site", true));
    EXPECT_TRUE(shell.CommandLines().empty());
}

// Links and names from a message: what reaches the shell for each answer.
class MessageOpenTest : public ::testing::Test {
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
};

TEST_F(MessageOpenTest, AWebAddressOpensWithOneClickAndNoQuestion) {
    shell.AllowOpen(kSite);
    EXPECT_TRUE(opener.OpenMessageLink(kSite, "LAB2"));
    EXPECT_EQ(Opened(), std::vector<std::string>{kSite});
    EXPECT_TRUE(host.questions.empty());
}

TEST_F(MessageOpenTest, AnyOtherLinkOpensOnlyOnYes) {
    const std::string link = "file://Lab2/Shared/plan.doc";
    shell.AddPath(kShare);
    shell.AllowOpen(kShare);
    host.answer = false;
    EXPECT_FALSE(opener.OpenMessageLink(link, "LAB2"));
    EXPECT_TRUE(Opened().empty());
    EXPECT_TRUE(shell.PathsAsked().empty()) << "not even looked at: that would reach LAB2";
    EXPECT_TRUE(host.messages.empty());
    ASSERT_EQ(host.questions.size(), 1u);

    host.answer = true;
    EXPECT_TRUE(opener.OpenMessageLink(link, "LAB2"));
    EXPECT_EQ(Opened(), std::vector<std::string>{kShare}) << "the path the user was shown";

    // On Yes the design's messages still tell what could not be opened.
    EXPECT_FALSE(opener.OpenMessageLink("file://NOWHERE/share/a.txt", "LAB2"));
    EXPECT_EQ(host.messages, std::vector<std::string>{kNetworkMessage});
}

TEST_F(MessageOpenTest, AProgramIsNeverOpenedItsFolderShownOnYes) {
    const std::string program = "\\\\LAB2\\Shared\\update.exe";
    shell.AllowOpen("file:" + program);
    shell.AllowOpen(program);
    for (const bool yes : {false, true}) {
        host.answer = yes;
        EXPECT_FALSE(opener.OpenMessageLink("file:" + program, "LAB2"));
        EXPECT_FALSE(opener.OpenSelectedName(program, "LAB2", kMainWindow));
    }
    EXPECT_TRUE(Opened().empty());
    EXPECT_TRUE(shell.CommandLines().empty());
    EXPECT_EQ(host.questions.size(), 4u);
    EXPECT_EQ(shell.FoldersShown(), (std::vector<std::string>{program, program}));

    // Without a folder to show, it is only said.
    EXPECT_FALSE(opener.OpenSelectedName("update.exe", "LAB2", kMainWindow));
    EXPECT_EQ(host.questions.size(), 4u);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find("is a program or a script"), std::string::npos);
}

TEST_F(MessageOpenTest, TheOpenCommandAsksThenOpensWithTheGivenOwner) {
    const std::string path = "C:\\Temp\\plan.doc";
    shell.AllowOpen(path);
    host.answer = false;
    EXPECT_FALSE(opener.OpenSelectedName(path, "LAB2", 0x99));
    EXPECT_TRUE(Opened().empty());

    host.answer = true;
    EXPECT_TRUE(opener.OpenSelectedName(path, "LAB2", 0x99));
    ASSERT_EQ(shell.Opens().size(), 1u);
    EXPECT_EQ(shell.Opens()[0].owner, WindowRef{0x99});

    EXPECT_FALSE(opener.OpenSelectedName("C:\\Temp\\gone.txt", "LAB2", 0x99));
    EXPECT_EQ(host.messages, std::vector<std::string>{"Could not open \"C:\\Temp\\gone.txt\"!"});
    EXPECT_EQ(host.questions.size(), 3u);
}

TEST_F(MessageOpenTest, TheSystemsProgramExtensionsCount) {
    shell.SetProgramExtensions(".EXE;.RUNME");
    shell.AllowOpen("C:\\Temp\\x.runme");
    EXPECT_FALSE(opener.OpenSelectedName("C:\\Temp\\x.runme", "LAB2", kMainWindow));
    EXPECT_TRUE(Opened().empty());
}

TEST(OpenSelection, StripsQuotesBlanksAndTrailingSlashes) {
    const struct {
        std::string selected;
        std::string stripped;
    } cases[] = {
        {" \"C:\\Temp\\\" ", "C:\\Temp"},
        {"\r\n\t\\\\Lab2\\Shared/\r\n", "\\\\Lab2\\Shared"},
        {"plan.doc", "plan.doc"},
        {"\"  \"", ""},
        {"one\rtwo", "one\rtwo"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(StripSelection(c.selected), c.stripped) << c.selected;
}

std::string Repeat(const std::string& unit, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += unit;
    return text;
}

TEST(OpenSelection, ItemTextNamesTheSelectionUpToTheLabelLimit) {
    const struct {
        std::string stripped;
        std::string item;
        bool openable;
    } cases[] = {
        {"C:\\Temp", "&Open \"C:\\Temp\"", true},
        {std::string(25, 'x'), "&Open \"" + std::string(25, 'x') + "\"", true},
        {"abcdefghijklmnopqrstuvwxyz1234", "&Open \"abcdefghijklmnopqrstuv...\"", true},
        {"Tom & Jerry.txt", "&Open \"Tom && Jerry.txt\"", true},
        // Characters, not bytes: 25 Cyrillic letters fit, 26 are cut between two of them.
        {Repeat("\xD0\x96", 25), "&Open \"" + Repeat("\xD0\x96", 25) + "\"", true},
        {Repeat("\xD0\x96", 26), "&Open \"" + Repeat("\xD0\x96", 22) + "...\"", true},
        {"first\rsecond", "&Open \"\"", false},
        {"", "&Open \"\"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OpenItemText(c.stripped, 25), c.item) << c.stripped;
        EXPECT_EQ(IsOpenableSelection(c.stripped), c.openable) << c.stripped;
    }
    EXPECT_EQ(OpenSelectionFailureText("C:\\nothing.txt"), "Could not open \"C:\\nothing.txt\"!");
}

}  // namespace
