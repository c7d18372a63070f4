#pragma once
// The real chat dialog over the in-memory network, created in this process
// under Wine: Lab2 runs the dialog, Office is another computer that sends.

#include <windows.h>

#include <richedit.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "chattext/TimeZone.h"
#include "chatwindow/ChatDlg.h"
#include "messaging/Mailslot.h"
#include "platform/memory/MemoryNetwork.h"
#include "util/win32/Dialog.h"

class CTestSettings : public CDefaultChatSettings {
public:
    std::string prefixCode = "u[ (to all users)] H:nn> ";
    std::string userName = "guest";
    bool userNameUnset = false;
    std::optional<CHARFORMATA> messageFont;
    std::vector<std::string> logged;

    std::string PrefixCode() override { return prefixCode; }
    void ReadMessageFormat(CHARFORMATA& format, const CHARFORMATA* source) override {
        CDefaultChatSettings::ReadMessageFormat(format, source ? source : messageFont ? &*messageFont : nullptr);
    }
    void LogLine(std::string_view line, bool& headerPending) override {
        logged.emplace_back(line);
        headerPending = false;
    }
    std::string CurrentUserName(bool* unset) override {
        if (unset) *unset = userNameUnset;
        return userName;
    }
};

class ChatDlgTest : public ::testing::Test {
protected:
    // 2000-05-08 09:05:00 UTC on the virtual clock, shown in UTC.
    static constexpr std::uint32_t kNineOhFive = 957744000 + 9 * 3600 + 5 * 60;

    ChatDlgTest() : net(1000, kNineOhFive) {}
    // What the program's start-up loads: the template's "RICHEDIT" class and
    // the history's "RichEdit20A". Kept loaded for the whole test program.
    static void SetUpTestSuite() {
        ::LoadLibraryA("RICHED20.DLL");
        ::LoadLibraryA("RICHED32.DLL");
    }
    ~ChatDlgTest() override { dlg.reset(); }

    // Creates the dialog as the program does, hidden, start-up finished.
    void Start() {
        dlg = std::make_unique<CChatDlg>(lab2Host, "Lab2", settings, zone);
        if (!dlg->CreateModeless(nullptr)) FAIL() << "the chat dialog was not created";
        ::ShowWindow(dlg->Hwnd(), SW_HIDE);
        dlg->UseTrayIcon(false);
        dlg->FinishStartUp();
    }

    // Runs the message loop as the program does until `done` or the time-out.
    template <typename Predicate>
    bool PumpUntil(Predicate done, DWORD timeoutMs = 3000) {
        const DWORD start = ::GetTickCount();
        for (;;) {
            MSG message;
            while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (dlg && PreTranslateForDialog(*dlg, message)) continue;
                ::TranslateMessage(&message);
                ::DispatchMessageA(&message);
            }
            if (done()) return true;
            if (::GetTickCount() - start > timeoutMs) return false;
            ::Sleep(5);
        }
    }
    void Pump(DWORD milliseconds) {
        PumpUntil([] { return false; }, milliseconds);
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
    CHARFORMATA FormatOf(LONG first, LONG last) const {
        CHARRANGE range{first, last};
        ::SendMessageA(History(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        CHARFORMATA format{};
        format.cbSize = sizeof format;
        ::SendMessageA(History(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        return format;
    }
    CHARRANGE Selection() const {
        CHARRANGE range{};
        ::SendMessageA(History(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
        return range;
    }
    std::string Title() const {
        char title[64] = {};
        ::GetWindowTextA(dlg->Hwnd(), title, sizeof title);
        return title;
    }
    // What Lab2 wrote to all computers as the command user, in order.
    std::vector<std::string> CommandBroadcasts() const {
        std::vector<std::string> texts;
        for (const auto& write : net.Writes()) {
            if (write.from != "Lab2" || write.targetHost != "*") continue;
            const std::string marker = std::string("mivletcmd>\t");
            const auto at = write.bytes.find(marker);
            if (at != std::string::npos) texts.push_back(write.bytes.substr(at + marker.size()).c_str());
        }
        return texts;
    }

    CMemoryNetwork net;
    CMemoryComputer& lab2Host = net.AddComputer("Lab2");
    CMemoryComputer& officeHost = net.AddComputer("Office");
    CMailslot office{officeHost, "Mivlet", "Office"};
    CFixedTimeZone zone{0};
    CTestSettings settings;
    std::unique_ptr<CChatDlg> dlg;
};
