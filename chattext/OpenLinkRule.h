#pragma once
// What a link or a name from a message may start, decided before anything is
// opened. Every line of the history was written by some computer of the
// network under a name nobody checks, so one click opens only web and mail
// addresses. Any other target is named to the user, with the computer it
// came from, and opened only on a Yes; a program or a script is never
// started from the history: its folder is offered instead, where the user
// can look at it and start it by hand.

#include <string>
#include <string_view>

struct COpenPlan {
    enum class EStep {
        OpenAtOnce,     // a web or mail address, clicked
        AskFirst,       // open `target` only when the user answers Yes to `question`
        RefuseProgram,  // never opened; on Yes to `question`, `programPath` is shown in its folder
    };
    EStep step = EStep::AskFirst;
    std::string target;       // what the shell is given
    std::string question;     // Yes/No, No the default
    std::string programPath;  // RefuseProgram: the file as a path; empty when it has none
};

// A click on a link, or the history menu's Open on a selected name.
enum class EOpenOrigin { LinkClick, OpenCommand };

// The extensions of programs and scripts that the shell runs rather than
// opens, beyond those the system lists in PATHEXT.
inline constexpr std::string_view kProgramExtensions =
    ".exe;.com;.bat;.cmd;.scr;.pif;.msi;.msp;.mst;.lnk;.url;.ps1;.psm1;.vbs;.vbe;.js;.jse;.wsf;.wsh;.hta;.cpl;"
    ".jar;.msc;.reg;.inf;.scf;.sct;.chm;.appref-ms;.application;.settingcontent-ms;.library-ms;.search-ms";

// `sender` is the computer of the message that holds the target (empty when
// not known); `pathExt` is PATHEXT as the system has it.
COpenPlan PlanOpen(std::string_view target, EOpenOrigin origin, std::string_view sender, std::string_view pathExt);

// The path a "file:" URL or a path names, as the shell would read it
// (escapes decoded, slashes turned into backslashes); empty for a URL of any
// other scheme.
std::string FilePathOf(std::string_view target);
// Whether the shell would run the file `path` names: its extension, read as
// Windows reads a file name (trailing dots and blanks dropped, a stream name
// after ":" ignored), is one of kProgramExtensions or of `pathExt`.
bool IsProgramPath(std::string_view path, std::string_view pathExt);
