#pragma once
// Opening a link of the history, a file name selected in it, or a target of
// the Help menu: the shell first, then the web browser registered for ".htm"
// pages with the text appended to its command, and a message naming the
// text when nothing could be started, so that the user can use it by hand.
// What comes from a message passes PlanOpen first (chattext/OpenLinkRule.h):
// one click opens web and mail addresses only. Everything reaches the
// system through the shell and registry seams.

#include <string>
#include <string_view>

#include "chattext/OpenLinkRule.h"
#include "platform/RegistryApi.h"
#include "platform/ShellApi.h"

// What the opener needs of the program's windows.
class COpenerHost {
public:
    virtual ~COpenerHost() = default;
    // The program's main window, the owner of what the shell shows; none
    // while it does not exist.
    virtual WindowRef MainWindow() = 0;
    // A message box with an OK button, titled and iconed as all of the
    // program's boxes.
    virtual void ShowMessage(const std::string& text) = 0;
    // A Yes/No box with the warning icon and No the default: true on Yes.
    virtual bool Ask(const std::string& question) = 0;
};

// Begins with two backslashes: a path on another computer.
bool IsNetworkPath(std::string_view text);
// The message for a text that nothing could open: the mail text for
// "mailto:" (that exact case) with the address alone, the network path text,
// or the web browser text with the whole text.
std::string OpenLinkFailureText(std::string_view text);
// The browser's command template cut at its first "%1" in double quotes, or
// else at its first "%1", followed by a space and the text; a template
// without "%1" is kept whole.
std::string BrowserCommandLine(std::string_view commandTemplate, std::string_view text);

class CLinkOpener {
public:
    CLinkOpener(CShellApi& shell, CRegistryApi& registry, COpenerHost& host)
        : m_shell(shell), m_registry(registry), m_host(host) {}
    CLinkOpener(const CLinkOpener&) = delete;
    CLinkOpener& operator=(const CLinkOpener&) = delete;

    // True when a program was started for the text. A network path that does
    // not exist is never handed to the shell. With `showErrors`, a failure
    // ends with the message of OpenLinkFailureText.
    bool OpenLink(const std::string& text, bool showErrors);
    // The shell with the main window as owner, then the browser registered
    // for ".htm" pages.
    bool OpenWithBrowser(const std::string& text);

    // A link clicked in the history, in a message from `sender`: the rule
    // of PlanOpen, then OpenLink for what may be opened. True when
    // something was started.
    bool OpenMessageLink(const std::string& text, const std::string& sender);
    // The history menu's Open on a stripped selection from a message of
    // `sender`: the same rule, then the shell with `owner` as the owner;
    // a failure says so with OpenSelectionFailureText.
    bool OpenSelectedName(const std::string& text, const std::string& sender, WindowRef owner);

    CShellApi& Shell() { return m_shell; }
    COpenerHost& Host() { return m_host; }

    // Longest registry text read: the file type's name and the command.
    static constexpr std::size_t kMaxRegistryText = 260;

private:
    COpenPlan Plan(const std::string& text, EOpenOrigin origin, const std::string& sender);
    // Shows a refused program's folder when the user asks for it.
    void OfferFolder(const COpenPlan& plan);

    // The default value of a key under HKEY_CLASSES_ROOT, up to its first
    // zero byte; empty when the key or the value is missing or too long.
    std::string ReadClassesDefault(const std::string& path);

    CShellApi& m_shell;
    CRegistryApi& m_registry;
    COpenerHost& m_host;
};
