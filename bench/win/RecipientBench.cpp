// The To: list refresh over a real sorted drop-down list under Wine, with
// 1000 alive peers: the first fill, a refresh that changes nothing, one in
// which 50 peers announce new names, one in which all fall silent, and one
// over peers that are all gone. Prints figures; times nothing
// against a limit.

#include <windows.h>

#include <cstdio>
#include <string>

#include "bench/win/Stopwatch.h"
#include "chatwindow/ComboRecipientList.h"
#include "chatwindow/RecipientList.h"
#include "messaging/MessageRecord.h"
#include "messaging/PeerTable.h"
#include "util/win32/Handles.h"
#include "util/win32/WideText.h"

namespace {

constexpr int kPeers = 1000;
constexpr int kRenames = 50;
constexpr std::uint32_t kNow = 957744000;

struct CWindowTraits {
    using Type = HWND;
    static Type Invalid() { return nullptr; }
    static void Close(Type window) { ::DestroyWindow(window); }
};
using CUniqueWindow = CUniqueHandle<CWindowTraits>;

void Ping(CPeerTable& peers, int peer, const std::string& user) {
    CMessageRecord record;
    record.computer = "Pc" + std::to_string(peer);
    record.time = kNow;
    peers.ApplyPing(record, user);
}

std::string UserName(int peer, int round) { return "User " + std::to_string(peer) + " r" + std::to_string(round); }

// A fresh table of every peer, pinged once, and the list with "(All Users)"
// only, selected.
void StartOver(CPeerTable& peers, HWND combo) {
    peers = CPeerTable();
    for (int p = 0; p < kPeers; ++p) Ping(peers, p, UserName(p, 0));
    ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(kAllUsersEntry).c_str()));
    ::SendMessageW(combo, CB_SETCURSEL, 0, 0);
}

}  // namespace

int main() {
    // Hidden, as the list of a window that is not shown still does all the
    // work of sorting and searching.
    CUniqueWindow frame(::CreateWindowExW(0, L"STATIC", L"recipient_bench", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                                          nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr));
    if (!frame) {
        std::fprintf(stderr, "recipient_bench: the window could not be created\n");
        return 1;
    }
    const HWND combo = ::CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_SORT, 10,
                                         10, 300, 200, frame.Get(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!combo) {
        std::fprintf(stderr, "recipient_bench: the combo box could not be created\n");
        return 1;
    }
    CComboRecipientList list(combo);
    CPeerTable peers;

    constexpr int kFills = 5;
    double fillMs = 0;
    for (int n = 0; n < kFills; ++n) {
        StartOver(peers, combo);
        const CStopwatch start;
        RefreshRecipientList(peers, kNow, list);
        fillMs += start.Milliseconds();
    }
    std::printf("%d alive peers, list of %d entries\n", kPeers, list.Count());
    std::printf("  first fill (%d adds): %.2f ms (mean of %d)\n", kPeers, fillMs / kFills, kFills);

    constexpr int kSteady = 20;
    const CStopwatch steadyStart;
    for (int n = 0; n < kSteady; ++n) RefreshRecipientList(peers, kNow, list);
    std::printf("  steady refresh (nothing changes): %.2f ms (mean of %d)\n", steadyStart.Milliseconds() / kSteady,
                kSteady);

    constexpr int kRenameRounds = 10;
    double renameMs = 0;
    for (int round = 1; round <= kRenameRounds; ++round) {
        for (int r = 0; r < kRenames; ++r) {
            const int peer = ((round - 1) * kRenames + r) % kPeers;
            Ping(peers, peer, UserName(peer, round));
        }
        const CStopwatch start;
        RefreshRecipientList(peers, kNow, list);
        renameMs += start.Milliseconds();
    }
    std::printf("  refresh with %d renames: %.2f ms (mean of %d), list of %d entries\n", kRenames,
                renameMs / kRenameRounds, kRenameRounds, list.Count());

    // Every peer falls silent at once (as the forged names of a flood do
    // 15 seconds after it): the refresh that removes them all, and the
    // refreshes after, over a table of peers that are all gone.
    constexpr std::uint32_t kSilent = CPeerRecord::kAliveSeconds;
    const CStopwatch expiryStart;
    RefreshRecipientList(peers, kNow + kSilent, list);
    std::printf("  refresh in which all %d fall silent: %.2f ms, list of %d entries\n", kPeers,
                expiryStart.Milliseconds(), list.Count());
    const CStopwatch goneStart;
    for (int n = 0; n < kSteady; ++n) RefreshRecipientList(peers, kNow + kSilent + 1, list);
    std::printf("  refresh over %d silent peers: %.2f ms (mean of %d)\n", kPeers,
                goneStart.Milliseconds() / kSteady, kSteady);
    return 0;
}
