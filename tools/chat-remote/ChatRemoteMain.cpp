// chat-remote: drives the running Mivlet chat window of this session from
// outside, for end-to-end tests, benchmarks and screenshots.
//
//   chat-remote to                        the To: entries, "* " before the selected one
//   chat-remote select TEXT               selects the To: entry TEXT
//   chat-remote send TEXT [--to ENTRY] [--time]
//                                         types TEXT and presses Send!; --time prints the
//                                         wall-clock time taken just before the press
//   chat-remote history                   the history's text
//   chat-remote show                      brings the chat window up
//   chat-remote hide                      hides it, as Escape does
//   chat-remote state                     hidden, minimised, maximised or shown, and the
//                                         window's rectangle: left top right bottom
//   chat-remote box                       the text of a message box titled "Mivlet" that
//                                         shows without a chat window (exit 1 when none)
//
// Texts, given and printed, are UTF-8.
//
// Exit codes: 0 done, 1 no chat window, 2 usage, 3 no such To: entry,
// 4 the window did not finish the send in time.

#include <windows.h>

#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tools/chat-remote/MessageBoxText.h"
#include "tools/chat-remote/RemoteChatWindow.h"
#include "util/win32/WideText.h"
#include "tools/chat-remote/WallClock.h"

namespace {

enum EExit { kOk = 0, kNoWindow = 1, kUsage = 2, kNoEntry = 3, kNoAnswer = 4 };

// Long enough for a 20,480-character message to go out in all its datagrams.
constexpr UINT kSendTimeoutMs = 10000;

constexpr char kUsageText[] =
    "usage: chat-remote to\n"
    "       chat-remote select TEXT\n"
    "       chat-remote send TEXT [--to ENTRY] [--time]\n"
    "       chat-remote history\n"
    "       chat-remote show\n"
    "       chat-remote hide\n"
    "       chat-remote state\n"
    "       chat-remote box\n";

int Usage() {
    std::cerr << kUsageText;
    return kUsage;
}

struct CSendOptions {
    std::string text;
    std::optional<std::string> to;
    bool time = false;
};

std::optional<CSendOptions> ParseSend(const std::vector<std::string>& arguments) {
    CSendOptions options;
    bool haveText = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--time") {
            options.time = true;
        } else if (arguments[i] == "--to" && i + 1 < arguments.size()) {
            options.to = arguments[++i];
        } else if (!haveText) {
            options.text = arguments[i];
            haveText = true;
        } else {
            return std::nullopt;
        }
    }
    if (!haveText) return std::nullopt;
    return options;
}

int ListTo(const CRemoteChatWindow& window) {
    for (const CToEntry& entry : window.ToEntries()) std::cout << (entry.selected ? "* " : "  ") << entry.text << "\n";
    return kOk;
}

int Select(const CRemoteChatWindow& window, const std::string& text) {
    if (window.SelectTo(text)) return kOk;
    std::cerr << "chat-remote: no To: entry \"" << text << "\"\n";
    return kNoEntry;
}

int Send(const CRemoteChatWindow& window, const CSendOptions& options) {
    if (options.to) {
        if (const int selected = Select(window, *options.to); selected != kOk) return selected;
    }
    window.SetMessageText(options.text);
    const std::string pressed = WallClockText();
    if (!window.ClickSend(kSendTimeoutMs)) {
        std::cerr << "chat-remote: the chat window did not finish the send in time\n";
        return kNoAnswer;
    }
    if (options.time) std::cout << pressed << "\n";
    return kOk;
}

// Lines end in LF alone, for the scripts on the other side of the pipe.
int PrintHistory(const CRemoteChatWindow& window) {
    std::string text = window.HistoryText();
    std::string lines;
    lines.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            lines += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            lines += text[i];
        }
    }
    std::cout << lines;
    return kOk;
}

int Show(const CRemoteChatWindow& window) {
    window.Show();
    return kOk;
}

int PrintMessageBox() {
    const std::optional<std::string> text = FindMivletMessageBoxText();
    if (!text) return kNoWindow;
    std::cout << *text << "\n";
    return kOk;
}

int Run(const std::string& command, const std::vector<std::string>& arguments) {
    if (command == "box") return arguments.empty() ? PrintMessageBox() : Usage();
    const bool known = command == "to" || command == "select" || command == "send" || command == "history" ||
                       command == "show" || command == "hide" || command == "state";
    if (!known) return Usage();
    const std::optional<CSendOptions> send = command == "send" ? ParseSend(arguments) : std::nullopt;
    if (command == "send" && !send) return Usage();
    if (command == "select" && arguments.size() != 1) return Usage();
    if (command != "send" && command != "select" && !arguments.empty()) return Usage();

    const std::optional<CRemoteChatWindow> window = CRemoteChatWindow::Find();
    if (!window) {
        std::cerr << "chat-remote: no running Mivlet chat window\n";
        return kNoWindow;
    }
    if (command == "to") return ListTo(*window);
    if (command == "select") return Select(*window, arguments[0]);
    if (command == "send") return Send(*window, *send);
    if (command == "history") return PrintHistory(*window);
    if (command == "hide") {
        window->Hide();
        return kOk;
    }
    if (command == "state") {
        std::cout << window->State() << "\n";
        return kOk;
    }
    return Show(*window);
}

// The arguments in UTF-8, from the wide command line: the C runtime's own
// are in the ANSI code page, which has no room for most of what a message
// can hold. The output is UTF-8 too.
std::vector<std::string> Utf8Arguments() {
    int count = 0;
    const std::unique_ptr<LPWSTR, decltype(&::LocalFree)> wide(::CommandLineToArgvW(::GetCommandLineW(), &count),
                                                               &::LocalFree);
    std::vector<std::string> arguments;
    for (int i = 0; wide && i < count; ++i) arguments.push_back(Narrow(wide.get()[i]));
    return arguments;
}

}  // namespace

int main() {
    // No CR before each LF from the C runtime.
    ::_setmode(::_fileno(stdout), _O_BINARY);
    const std::vector<std::string> arguments = Utf8Arguments();
    if (arguments.size() < 2) return Usage();
    const int code = Run(arguments[1], std::vector<std::string>(arguments.begin() + 2, arguments.end()));
    std::cout.flush();
    return code;
}
