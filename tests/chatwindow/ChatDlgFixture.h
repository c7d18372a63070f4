#pragma once
// The real chat dialog over the in-memory network, created in this process
// under Wine: Lab2 runs the dialog, Office is another computer that sends.

#include <windows.h>

#include <richedit.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "chattext/OpenLink.h"
#include "chattext/TimeZone.h"
#include "chatwindow/ChatDlg.h"
#include "chatwindow/ComboRecipientList.h"
#include "chatwindow/HelpCommands.h"
#include "messaging/Mailslot.h"
#include "platform/codepage/CodePage1252.h"
#include "platform/memory/MemoryDesktop.h"
#include "platform/memory/MemoryNetwork.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/MemoryShell.h"
#include "util/win32/Dialog.h"
#include "resources/ResourceIds.h"
#include "util/win32/WideText.h"

class CTestSettings : public CDefaultChatSettings {
public:
    std::string prefixCode = "u[ (to all users)] H:nn> ";
    std::string userName = "guest";
    bool userNameUnset = false;
    std::optional<CHARFORMATW> messageFont;
    std::vector<std::string> logged;

    std::string PrefixCode() override { return prefixCode; }
    void ReadMessageFormat(CHARFORMATW& format, const CHARFORMATW* source) override {
        CDefaultChatSettings::ReadMessageFormat(format, source ? source : messageFont ? &*messageFont : nullptr);
    }
    void LogLine(std::string_view line, bool& headerPending) override {
        logged.emplace_back(line);
        headerPending = false;
    }
    bool promptOnAllUsers = false;
    bool defaultToLastSender = true;
    std::map<int, std::string> quickKeys;
    std::vector<std::string> storedNames;

    std::string CurrentUserName(bool* unset) override {
        if (unset) *unset = userNameUnset;
        return userName;
    }
    void SetCurrentUserName(const std::string& name) override {
        storedNames.push_back(name);
        userName = name;
        userNameUnset = false;
    }
    bool PromptOnAllUsers() override { return promptOnAllUsers; }
    bool DefaultToLastSender() override { return defaultToLastSender; }
    std::string QuickKeyText(int number) override {
        const auto found = quickKeys.find(number);
        return found == quickKeys.end() ? std::string() : found->second;
    }

    ENewMessageReaction onNewMessage = ENewMessageReaction::FlashTaskbar;
    bool playSound = false;
    CWindowPosition position;
    ENewMessageReaction OnNewMessage() override { return onNewMessage; }
    bool PlaySound() override { return playSound; }
    CWindowPosition WindowPosition() override { return position; }
    void SetWindowPosition(const CWindowPosition& stored) override { position = stored; }
};

// The chat dialog with its message boxes, name prompt and own path replaced:
// boxes are recorded and answered from `answer`.
class CTestChatDlg : public CChatDlg {
public:
    using CChatDlg::CChatDlg;

    struct CShownBox {
        std::string text;
        UINT style;
    };
    std::vector<CShownBox> boxes;
    int answer = IDOK;
    std::vector<std::string> promptsOffered;
    std::optional<std::string> promptAnswer;  // nothing: the prompt is cancelled
    std::function<void()> whilePrompting;     // runs while the prompt is open
    std::string modulePath = "c:\\program files\\mivlet\\mivlet.exe";

protected:
    int ShowMessage(const std::string& text, UINT style) override {
        boxes.push_back({text, style});
        return answer;
    }
    bool PromptForUserName(const std::string& offered, std::string& entered) override {
        promptsOffered.push_back(offered);
        if (whilePrompting) whilePrompting();
        if (promptAnswer) entered = *promptAnswer;
        return promptAnswer.has_value();
    }
    std::string ModulePath() override { return modulePath; }
    // The Help menu's commands are recorded here on their way to the test's
    // Help commands (CTestHelp), which open nothing.
    bool OnCommand(int id, int code, HWND control) override {
        switch (id) {
        case ID_VIEW_README:
        case ID_APP_ABOUT:
        case ID_VISIT_WEBSITE:
        case ID_EMAIL_SUPPORT: helpCommands.push_back(id); break;
        default: break;
        }
        return CChatDlg::OnCommand(id, code, control);
    }

public:
    std::vector<int> helpCommands;
};

// The notification area as the chat dialogs of a test see it: every call
// recorded, each answered with `answer`.
struct CTestShell {
    struct CCall {
        DWORD command;
        NOTIFYICONDATAW data;
    };
    std::vector<CCall> calls;
    bool answer = true;

    CNotifyIconCall Call() {
        return [this](DWORD command, NOTIFYICONDATAW& data) {
            calls.push_back({command, data});
            return answer;
        };
    }
};

// What the opener shows and whom it names as the main window.
class CTestOpenerHost : public COpenerHost {
public:
    HWND mainWindow = nullptr;
    std::vector<std::string> messages;

    std::vector<std::string> questions;
    bool answer = true;  // to every question

    WindowRef MainWindow() override { return reinterpret_cast<WindowRef>(mainWindow); }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    bool Ask(const std::string& question) override {
        questions.push_back(question);
        return answer;
    }
};

// The Help commands as the chat window hands them on, recorded.
class CTestHelp : public CHelpCommands {
public:
    std::vector<std::string> calls;
    std::vector<HWND> aboutParents;
    std::function<void(HWND)> onAbout;  // runs in place of the About box

    void ShowAbout(HWND parent) override {
        calls.push_back("about");
        aboutParents.push_back(parent);
        if (onAbout) onAbout(parent);
    }
    void ViewReadMe() override { calls.push_back("readme"); }
    void VisitWebSite() override { calls.push_back("website"); }
    void EmailSupport() override { calls.push_back("email"); }
};

class ChatDlgTest : public ::testing::Test {
protected:
    // 2000-05-08 09:05:00 UTC on the virtual clock, shown in UTC.
    static constexpr std::uint32_t kNineOhFive = 957744000 + 9 * 3600 + 5 * 60;

    ChatDlgTest() : net(1000, kNineOhFive) {}
    // What the program's start-up loads: the template's "RICHEDIT" class and
    // the history's "RichEdit20W". Kept loaded for the whole test program.
    static void SetUpTestSuite() {
        ::LoadLibraryW(L"RICHED20.DLL");
        ::LoadLibraryW(L"RICHED32.DLL");
    }
    ~ChatDlgTest() override { dlg.reset(); }

    // Creates the dialog as the program does, hidden, start-up finished.
    void Start() { dlg = StartCopy(lab2Host, "Lab2", settings); }

    std::unique_ptr<CTestChatDlg> StartCopy(CMemoryComputer& host, const std::string& computer,
                                            CChatSettings& copySettings) {
        auto copy = CreateCopy(host, computer, copySettings);
        if (copy->Exists()) copy->FinishStartUp();
        return copy;
    }
    // The window made and hidden, start-up not finished yet.
    std::unique_ptr<CTestChatDlg> CreateCopy(CMemoryComputer& host, const std::string& computer,
                                             CChatSettings& copySettings) {
        auto copy = std::make_unique<CTestChatDlg>(host, net, codePage, computer, copySettings, zone, desktop);
        if (!copy->CreateModeless(nullptr)) {
            ADD_FAILURE() << "the chat dialog of " << computer << " was not created";
            return copy;
        }
        ::ShowWindow(copy->Hwnd(), SW_HIDE);
        copy->SetNotifyIconCall(shell.Call());
        copy->UseHelp(help, opener);
        if (!openerHost.mainWindow) openerHost.mainWindow = copy->Hwnd();
        return copy;
    }
    DesktopWindow Chat() const { return reinterpret_cast<DesktopWindow>(dlg->Hwnd()); }

    // Runs the message loop as the program does until `done` or the time-out.
    template <typename Predicate>
    bool PumpUntil(Predicate done, DWORD timeoutMs = 3000) {
        const DWORD start = ::GetTickCount();
        for (;;) {
            MSG message;
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (dlg && PreTranslateForDialog(*dlg, message)) continue;
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
            if (done()) return true;
            if (::GetTickCount() - start > timeoutMs) return false;
            ::Sleep(5);
        }
    }
    void Pump(DWORD milliseconds) {
        PumpUntil([] { return false; }, milliseconds);
    }

    // A tick of one of the dialog's timers, at once and in order.
    static void Tick(CChatDlg& copy, UINT_PTR timer) { ::SendMessageW(copy.Hwnd(), WM_TIMER, timer, 0); }
    void Tick(UINT_PTR timer) { Tick(*dlg, timer); }

    static std::vector<std::string> ToEntries(const CChatDlg& copy) {
        CComboRecipientList list(::GetDlgItem(copy.Hwnd(), IDC_TO));
        std::vector<std::string> entries;
        for (int i = 0; i < list.Count(); ++i) entries.push_back(list.Text(i));
        return entries;
    }
    std::vector<std::string> ToEntries() const { return ToEntries(*dlg); }
    std::string SelectedTo() const { return CComboRecipientList(::GetDlgItem(dlg->Hwnd(), IDC_TO)).SelectedText(); }
    void SelectTo(const std::string& entry) const {
        ::SendDlgItemMessageW(dlg->Hwnd(), IDC_TO, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                              reinterpret_cast<LPARAM>(Widen(entry).c_str()));
    }
    std::string MessageBoxText() const {
        wchar_t text[4096] = {};
        ::GetDlgItemTextW(dlg->Hwnd(), IDC_MESSAGE, text, 4096);
        return NarrowBuffer(text, 4096);
    }
    // Types `text` and presses Send!.
    void SendTyped(const std::string& text) {
        ::SetDlgItemTextW(dlg->Hwnd(), IDC_MESSAGE, Widen(text).c_str());
        ::SendMessageW(dlg->Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_SEND, BN_CLICKED), 0);
    }
    static void Ping(CMailslot& from, const std::string& user) {
        from.Send("*", "mivletcmd", ("admin:ping " + user).c_str(), true);
    }

    // A write's target as a mailslot path would name it: "*", "." or the computer.
    static std::string TargetText(const CDatagramTarget& target) {
        switch (target.kind) {
        case CDatagramTarget::EKind::AllComputers: return "*";
        case CDatagramTarget::EKind::ThisComputer: return ".";
        case CDatagramTarget::EKind::Computer: break;
        }
        return target.computer;
    }

    // What `from` wrote, one "target user>\ttext" per datagram (every short
    // message is one datagram: sender NUL sequence NUL chunk NUL).
    std::vector<std::string> WritesFrom(const std::string& from) const {
        std::vector<std::string> texts;
        for (const auto& write : net.Writes()) {
            if (write.from != from) continue;
            const auto first = write.bytes.find('\0');
            const auto second = first == std::string::npos ? first : write.bytes.find('\0', first + 1);
            if (second == std::string::npos) continue;
            texts.push_back(TargetText(write.target) + " " + write.bytes.substr(second + 1).c_str());
        }
        return texts;
    }
    // The same without the presence pings.
    std::vector<std::string> MessagesFrom(const std::string& from) const {
        std::vector<std::string> texts;
        for (std::string& text : WritesFrom(from))
            if (text.find("mivletcmd>\tadmin:ping ") == std::string::npos) texts.push_back(std::move(text));
        return texts;
    }

    CMessageRecord Record(std::string user, std::string text, bool broadcast = false,
                          std::uint32_t time = kNineOhFive, std::string computer = "Office") const {
        CMessageRecord record;
        record.computer = std::move(computer);
        record.user = std::move(user);
        record.text = std::move(text);
        record.broadcast = broadcast ? 1 : 0;
        record.time = time;
        return record;
    }

    HWND History() const { return dlg->History().Hwnd(); }
    // The control's text as it keeps it: each line end one carriage return.
    std::string HistoryText() const { return dlg->History().GetTextRange(CHARRANGE{0, -1}); }
    CHARFORMATW FormatOf(LONG first, LONG last) const {
        CHARRANGE range{first, last};
        ::SendMessageW(History(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        CHARFORMATW format{};
        format.cbSize = sizeof format;
        ::SendMessageW(History(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        return format;
    }
    CHARRANGE Selection() const {
        CHARRANGE range{};
        ::SendMessageW(History(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
        return range;
    }
    std::string Title() const {
        wchar_t title[64] = {};
        ::GetWindowTextW(dlg->Hwnd(), title, 64);
        return NarrowBuffer(title, 64);
    }
    // What Lab2 wrote to all computers as the command user, in order.
    std::vector<std::string> CommandBroadcasts() const {
        std::vector<std::string> texts;
        for (const auto& write : net.Writes()) {
            if (write.from != "Lab2" || write.target.kind != CDatagramTarget::EKind::AllComputers) continue;
            const std::string marker = std::string("mivletcmd>\t");
            const auto at = write.bytes.find(marker);
            if (at != std::string::npos) texts.push_back(write.bytes.substr(at + marker.size()).c_str());
        }
        return texts;
    }

    CMemoryNetwork net;
    const CCodePage1252 codePage;
    CMemoryComputer& lab2Host = net.AddComputer("Lab2");
    CMemoryComputer& officeHost = net.AddComputer("Office");
    CMailslot office{officeHost, net, "Office"};
    CFixedTimeZone zone{0};
    // Nothing in front unless a test says otherwise; the foreground is
    // granted to whoever asks.
    CMemoryDesktop desktop;
    CTestShell shell;
    CTestSettings settings;
    CMemoryShell linkShell;
    CMemoryRegistry classes;
    CTestOpenerHost openerHost;
    CLinkOpener opener{linkShell, classes, openerHost};
    CTestHelp help;
    std::unique_ptr<CTestChatDlg> dlg;
};
