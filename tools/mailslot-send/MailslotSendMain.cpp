// mailslot-send: writes one chat message into this computer's "Mivlet"
// mailslot as if another computer had sent it, for demonstrations and
// screenshots of a running Mivlet. Nothing leaves the computer.
//
//   mailslot-send COMPUTER USER TEXT [all] [SEQUENCE]
//
// "all" marks the message as sent to all users. Short texts only: one
// datagram.

#include <windows.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "messaging/Datagram.h"
#include "messaging/MessagingSession.h"
#include "platform/win32/Win32MailslotCarrier.h"
#include "util/win32/Handles.h"
#include "util/win32/WideText.h"

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: mailslot-send COMPUTER USER TEXT [all] [SEQUENCE]\n");
        return 2;
    }
    const bool broadcast = argc > 4 && std::strcmp(argv[4], "all") == 0;
    const int sequence = argc > 5 ? std::atoi(argv[5]) : 1;
    const std::string joined = std::string(argv[2]).append(kUserTextSeparator).append(argv[3]);
    if (joined.size() > ChunkBudget(std::strlen(argv[1]), broadcast)) {
        std::fprintf(stderr, "mailslot-send: the text is too long for one datagram\n");
        return 2;
    }
    std::array<char, kMaxDatagramSize> buffer{};
    const std::size_t size = FormatDatagram(buffer.data(), argv[1], broadcast, sequence, joined, false);

    const std::string path = CWin32MailslotCarrier(kMailslotName).PathOf(CDatagramTarget::This());
    const CWin32FileHandle slot(::CreateFileW(Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!slot || !::WriteFile(slot.Get(), buffer.data(), static_cast<DWORD>(size), &written, nullptr) ||
        written != size) {
        std::fprintf(stderr, "mailslot-send: no running Mivlet to write to (error %lu)\n", ::GetLastError());
        return 1;
    }
    return 0;
}
