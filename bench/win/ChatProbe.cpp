// chat_probe SECONDS [PERIOD_MS]: asks the running chat window of this
// session, every PERIOD_MS (default 100) for SECONDS, whether it is Mivlet
// (the query a second start makes), and prints one line per probe:
//
//   UNIX_TIME REPLY_MS ANSWERED WORKING_SET_KB PRIVATE_KB
//
// REPLY_MS is the time SendMessageTimeout took; ANSWERED is 0 when the
// window gave no answer within 10 s. The memory is the window's process's,
// from GetProcessMemoryInfo (0 when it cannot be read). For the flood
// benchmark: what a user would feel of the window while the network floods
// it, and whether its memory stays bounded.

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <optional>

#include "bench/win/Stopwatch.h"
#include "chatwindow/RegisteredMessages.h"
#include "tools/chat-remote/WallClock.h"
#include "util/win32/Handles.h"

namespace {

constexpr UINT kAnswerTimeoutMs = 10000;

struct CMemory {
    SIZE_T workingSet = 0;
    SIZE_T privateBytes = 0;
};

CMemory ReadMemory(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!process ||
        !::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
        return {};
    return {counters.WorkingSetSize, counters.PrivateUsage};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: chat_probe SECONDS [PERIOD_MS]\n");
        return 2;
    }
    const double seconds = std::atof(argv[1]);
    const DWORD period = argc == 3 ? static_cast<DWORD>(std::atoi(argv[2])) : 100;

    const HWND window = FindRunningChatWindow();
    if (!window) {
        std::fprintf(stderr, "chat_probe: no running Mivlet chat window\n");
        return 1;
    }
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    const CHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));

    const CStopwatch run;
    for (long probe = 0;; ++probe) {
        const double due = static_cast<double>(probe) * period;
        if (due >= seconds * 1000.0) break;
        const double early = due - run.Milliseconds();
        if (early > 0) ::Sleep(static_cast<DWORD>(early));

        const std::string when = WallClockText();
        const CStopwatch reply;
        DWORD_PTR answer = 0;
        const bool answered = ::SendMessageTimeoutW(window, IsMivletApplicationMessage(), kIsMivletQuery, 0,
                                                    SMTO_NORMAL, kAnswerTimeoutMs, &answer) != 0 &&
                              static_cast<LRESULT>(answer) == kIsMivletReply;
        const double replyMs = reply.Milliseconds();
        const CMemory memory = ReadMemory(process.Get());
        std::printf("%s %.3f %d %llu %llu\n", when.c_str(), replyMs, answered ? 1 : 0,
                    static_cast<unsigned long long>(memory.workingSet / 1024),
                    static_cast<unsigned long long>(memory.privateBytes / 1024));
        std::fflush(stdout);
    }
    return 0;
}
