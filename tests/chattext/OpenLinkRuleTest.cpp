// What a link or a selected name from a message may start: the plan for
// every kind of target, and the questions the user is asked.

#include <gtest/gtest.h>

#include <string>

#include "chattext/OpenLinkRule.h"

namespace {

using EStep = COpenPlan::EStep;
constexpr char kPathExt[] = ".COM;.EXE;.BAT;.CMD;.VBS;.VBE;.JS;.JSE;.WSF;.WSH;.MSC;.PY";

struct CPlanCase {
    const char* target;
    EOpenOrigin origin;
    EStep step;
    std::string opened;       // the plan's target, for what may be opened
    std::string programPath;  // RefuseProgram: the file shown in its folder
};

constexpr auto kClick = EOpenOrigin::LinkClick;
constexpr auto kOpen = EOpenOrigin::OpenCommand;

TEST(OpenLinkRule, EachKindOfTarget) {
    const CPlanCase cases[] = {
        // Web and mail addresses open with one click, whatever they point at.
        {"http://intranet/helpdesk", kClick, EStep::OpenAtOnce, "http://intranet/helpdesk", ""},
        {"HTTPS://intranet/setup.exe", kClick, EStep::OpenAtOnce, "HTTPS://intranet/setup.exe", ""},
        {"mailto:ann@lab.example", kClick, EStep::OpenAtOnce, "mailto:ann@lab.example", ""},
        // ...but the Open command on one asks, as for every selected name.
        {"http://intranet/helpdesk", kOpen, EStep::AskFirst, "http://intranet/helpdesk", ""},
        // Other schemes reach protocol handlers: asked.
        {"ftp://lab2/pub/notes.txt", kClick, EStep::AskFirst, "ftp://lab2/pub/notes.txt", ""},
        {"ms-settings:network", kClick, EStep::AskFirst, "ms-settings:network", ""},
        {"news:comp.lang", kClick, EStep::AskFirst, "news:comp.lang", ""},
        // A file URL becomes the path the shell would read, and is asked.
        {"file:\\\\LAB2\\share\\notes.txt", kClick, EStep::AskFirst, "\\\\LAB2\\share\\notes.txt", ""},
        {"file://LAB2/share/my%20notes.txt", kClick, EStep::AskFirst, "\\\\LAB2\\share\\my notes.txt", ""},
        {"file:///C:/Temp/plan.doc", kClick, EStep::AskFirst, "C:\\Temp\\plan.doc", ""},
        // A name without an extension is given to the shell as a folder,
        // which it does not try program extensions on.
        {"file://LAB2/share", kClick, EStep::AskFirst, "\\\\LAB2\\share\\", ""},
        {"\\\\LAB2\\share\\update", kOpen, EStep::AskFirst, "\\\\LAB2\\share\\update\\", ""},
        {"C:\\Temp", kOpen, EStep::AskFirst, "C:\\Temp\\", ""},
        {"C:", kOpen, EStep::AskFirst, "C:", ""},
        {"C:\\Temp\\plan.doc", kOpen, EStep::AskFirst, "C:\\Temp\\plan.doc", ""},
        // Programs and scripts, by the fixed list and by PATHEXT, in any
        // case and in the disguises Windows reads through.
        {"file:\\\\LAB2\\share\\update.exe", kClick, EStep::RefuseProgram, "", "\\\\LAB2\\share\\update.exe"},
        {"file://LAB2/share/update%2Eexe", kClick, EStep::RefuseProgram, "", "\\\\LAB2\\share\\update.exe"},
        {"file://LAB2/share/update.exe?x=1", kClick, EStep::RefuseProgram, "", "\\\\LAB2\\share\\update.exe"},
        {"file://LAB2/share/update.exe#top", kClick, EStep::RefuseProgram, "", "\\\\LAB2\\share\\update.exe"},
        {"file:///C:/Users/Public/run.BAT", kClick, EStep::RefuseProgram, "", "C:\\Users\\Public\\run.BAT"},
        {"\\\\LAB2\\share\\Setup.MSI", kOpen, EStep::RefuseProgram, "", "\\\\LAB2\\share\\Setup.MSI"},
        {"\\\\LAB2\\share\\update.exe.", kOpen, EStep::RefuseProgram, "", "\\\\LAB2\\share\\update.exe."},
        {"\\\\LAB2\\share\\update.exe  ", kOpen, EStep::RefuseProgram, "", "\\\\LAB2\\share\\update.exe  "},
        {"\\\\LAB2\\share\\notes.txt:evil.exe", kOpen, EStep::RefuseProgram, "", "\\\\LAB2\\share\\notes.txt:evil.exe"},
        {"\\\\LAB2\\share\\update.exe:stream", kOpen, EStep::RefuseProgram, "", "\\\\LAB2\\share\\update.exe:stream"},
        {"C:\\Temp\\tool.py", kOpen, EStep::RefuseProgram, "", "C:\\Temp\\tool.py"},
        {"C:\\Temp\\report.hta", kOpen, EStep::RefuseProgram, "", "C:\\Temp\\report.hta"},
        {"C:\\Temp\\shortcut.lnk", kOpen, EStep::RefuseProgram, "", "C:\\Temp\\shortcut.lnk"},
        {"C:\\Temp\\app.jar", kOpen, EStep::RefuseProgram, "", "C:\\Temp\\app.jar"},
        {"C:run.cmd", kOpen, EStep::RefuseProgram, "", "C:run.cmd"},
        // No folder to show: said, but nothing offered.
        {"update.exe", kOpen, EStep::RefuseProgram, "", ""},
        // Looks like a program only before the last dot.
        {"\\\\LAB2\\share\\update.exe.txt", kOpen, EStep::AskFirst, "\\\\LAB2\\share\\update.exe.txt", ""},
    };
    for (const CPlanCase& c : cases) {
        SCOPED_TRACE(c.target);
        const COpenPlan plan = PlanOpen(c.target, c.origin, "LAB2", kPathExt);
        EXPECT_EQ(plan.step, c.step);
        if (c.step != EStep::RefuseProgram) {
            EXPECT_EQ(plan.target, c.opened);
        }
        EXPECT_EQ(plan.programPath, c.programPath);
        EXPECT_EQ(plan.step == EStep::OpenAtOnce, plan.question.empty());
    }
}

TEST(OpenLinkRule, TheQuestionsNameTheTargetAndTheSender) {
    const COpenPlan share = PlanOpen("file://LAB2/share/notes.txt", kClick, "LAB2", "");
    EXPECT_EQ(share.question,
              "This link came in a message from LAB2:\r\n\r\n\\\\LAB2\\share\\notes.txt\r\n\r\n"
              "Opening it also gives that computer your network logon.  Anyone on the network can send a message "
              "under any computer's name.  Open it only if you expected it.\r\n\r\nOpen it?");

    const COpenPlan local = PlanOpen("C:\\Temp\\plan.doc", kOpen, "", "");
    EXPECT_EQ(local.question,
              "This name came in a message from another computer:\r\n\r\nC:\\Temp\\plan.doc\r\n\r\n"
              "Anyone on the network can send a message under any computer's name.  Open it only if you expected "
              "it.\r\n\r\nOpen it?");

    const COpenPlan program = PlanOpen("file:\\\\LAB2\\share\\update.exe", kClick, "LAB3", "");
    EXPECT_EQ(program.question,
              "\"\\\\LAB2\\share\\update.exe\", in a message from LAB3, is a program or a script.  Mivlet never "
              "starts one from a message.  Anyone on the network can send a message under any computer's name."
              "\r\n\r\nShow the folder that holds it?  You can look at it there, and start it yourself if you trust "
              "it.");

    const COpenPlan bare = PlanOpen("update.exe", kOpen, "LAB3", "");
    EXPECT_EQ(bare.question.find("Show the folder"), std::string::npos) << "nothing to offer";
}

TEST(OpenLinkRule, FilePathsOfUrlsAndPaths) {
    const struct {
        const char* target;
        const char* path;
    } cases[] = {
        {"file:\\\\HOST\\share\\a.txt", "\\\\HOST\\share\\a.txt"},
        {"FILE://HOST/share/a%41.txt", "\\\\HOST\\share\\aA.txt"},
        {"file:///D:/x/y", "D:\\x\\y"},
        {"file:/D:/x", "D:\\x"},
        {"file:D:\\x", "D:\\x"},
        {"file://HOST/100%.txt", "\\\\HOST\\100%.txt"},  // not an escape: kept
        {"file://HOST/a%2", "\\\\HOST\\a%2"},
        {"\\\\HOST\\share", "\\\\HOST\\share"},
        {"C:\\x", "C:\\x"},
        {"http://host/a.exe", ""},
        {"ms-settings:display", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(FilePathOf(c.target), c.path) << c.target;
}

TEST(OpenLinkRule, PathExtExtendsTheListInAnyCaseAndSpacing) {
    EXPECT_TRUE(IsProgramPath("C:\\a.tool", ".COM; .Tool ;.EXE"));
    EXPECT_FALSE(IsProgramPath("C:\\a.tool", ".COM;.EXE"));
    EXPECT_FALSE(IsProgramPath("C:\\a.", ";;"));
    EXPECT_FALSE(IsProgramPath("C:\\folder.exe\\notes", ""));
}

}  // namespace
