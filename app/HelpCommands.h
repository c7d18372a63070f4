#pragma once
// The Help menu's commands: the About box, the read-me page written from the
// program's HTML resource to the temporary folder and opened, the web site
// and a mail to support, each opened through the link opener.

#include <string>

#include "chattext/OpenLink.h"
#include "chatwindow/HelpCommands.h"

inline constexpr char kWebSiteAddress[] = "https://www.pellandor.example/mivlet/";
inline constexpr char kReadMeFileName[] = "Mivlet Read Me.htm";

// The message when the read-me page could not be written.
std::string ReadMeFailureText(const std::string& path, const std::string& error);

class CProgramHelp final : public CHelpCommands {
public:
    explicit CProgramHelp(CLinkOpener& opener) : m_opener(opener) {}

    void ShowAbout(HWND parent) override;
    // Writes the page over any earlier copy, then opens it; a page that
    // cannot be written is reported and not opened.
    void ViewReadMe() override;
    void VisitWebSite() override;
    void EmailSupport() override;

    // The temporary folder without its trailing backslash, and the page's
    // name; empty when the system names no temporary folder.
    static std::string ReadMePath();

private:
    CLinkOpener& m_opener;
};
