// The chat history under Wine: the cost of one AppendMessage once the
// history is at its 65,536-character limit (every append then trims), of
// the appends of a receive step made together, and of a Rerender of the
// full history. Prints figures; times nothing against a limit.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/win/Stopwatch.h"
#include "chattext/TimeZone.h"
#include "chatwindow/ChatDlg.h"
#include "platform/codepage/CodePage1252.h"
#include "platform/memory/MemoryDesktop.h"
#include "platform/memory/MemoryNetwork.h"

namespace {

CMessageRecord Message(int i, std::size_t length) {
    CMessageRecord record;
    record.computer = "Office";
    record.user = "guest";
    record.text = std::to_string(i) + " " + std::string(length, 'x');
    record.broadcast = i % 2;
    record.time = 957744000 + static_cast<std::uint32_t>(i);
    return record;
}

}  // namespace

int main() {
    ::LoadLibraryW(L"RICHED20.DLL");
    ::LoadLibraryW(L"RICHED32.DLL");
    CMemoryNetwork net;
    CMemoryComputer& host = net.AddComputer("Lab2");
    CDefaultChatSettings settings;
    CFixedTimeZone zone;
    CMemoryDesktop desktop;
    const CCodePage1252 codePage;
    CChatDlg dlg(host, net, codePage, "Lab2", settings, zone, desktop);
    if (!dlg.CreateModeless(nullptr)) {
        std::fprintf(stderr, "history_bench: the chat dialog could not be created\n");
        return 1;
    }
    // Without a desktop shell the notification area would keep every call
    // waiting for its time-out; the benchmark needs no icon.
    dlg.SetNotifyIconCall([](DWORD, NOTIFYICONDATAW&) { return true; });
    dlg.FinishStartUp();
    dlg.ShowChat(true, false);
    CChatTextCtrl& history = dlg.History();

    for (std::size_t length : {80u, 400u}) {
        history.ClearAll();
        int i = 0;
        while (history.ShownMessages().TotalLength() + static_cast<std::int64_t>(length) + 40 <=
               CChatDlg::kHistoryTextLimit)
            history.AppendMessage(Message(i++, length));
        const std::size_t full = history.ShownMessages().Size();

        constexpr int kAppends = 300;
        const CStopwatch appends;
        for (int n = 0; n < kAppends; ++n) history.AppendMessage(Message(i++, length));
        const double appendMs = appends.Milliseconds() / kAppends;

        // As a receive step appends: eight messages at once.
        constexpr int kBatch = 8;
        const CStopwatch batches;
        for (int n = 0; n < kAppends / kBatch; ++n) {
            std::vector<CMessageRecord> batch;
            for (int b = 0; b < kBatch; ++b) batch.push_back(Message(i++, length));
            history.AppendMessages(batch);
        }
        const double batchMs = batches.Milliseconds() / (kAppends / kBatch * kBatch);

        // The same with the user in the history: no caret move, no scrolling.
        ::SetForegroundWindow(dlg.Hwnd());
        ::SetFocus(history.Hwnd());
        const CStopwatch focusedAppends;
        for (int n = 0; n < kAppends; ++n) history.AppendMessage(Message(i++, length));
        const double focusedMs = focusedAppends.Milliseconds() / kAppends;
        ::SetFocus(nullptr);

        constexpr int kRerenders = 10;
        const CStopwatch rerenders;
        for (int n = 0; n < kRerenders; ++n) history.Rerender(nullptr, nullptr, n % 2 ? "c u H:nn> " : "");
        const double rerenderMs = rerenders.Milliseconds() / kRerenders;

        std::printf("text of %zu characters, %zu messages at the limit (%lld characters):\n", length,
                    history.ShownMessages().Size(),
                    static_cast<long long>(history.ShownMessages().TotalLength()));
        std::printf("  AppendMessage with trimming: %.3f ms per message (%d appends, full at %zu)\n", appendMs,
                    kAppends, full);
        std::printf("  AppendMessages, %d at once (as a receive step): %.3f ms per message\n", kBatch, batchMs);
        std::printf("  the same with the history focused (no scrolling): %.3f ms per message\n", focusedMs);
        std::printf("  Rerender of the full history: %.1f ms (mean of %d)\n", rerenderMs, kRerenders);
    }

    // One message of the longest a computer can send, of words and of one
    // letter over and over: the control wraps it as it goes in.
    for (const char* filler : {"lorem ipsum dolor ", "l"}) {
        history.ClearAll();
        CMessageRecord record = Message(0, 0);
        while (record.text.size() < 20480) record.text += filler;
        record.text.resize(20480);
        constexpr int kLongAppends = 5;
        const CStopwatch longAppends;
        for (int n = 0; n < kLongAppends; ++n) history.AppendMessage(record);
        std::printf("a message of 20,480 characters (\"%s\" over and over): %.1f ms per message (mean of %d)\n",
                    filler, longAppends.Milliseconds() / kLongAppends, kLongAppends);
    }
    return 0;
}
