#include "platform/win32/Win32MailslotCarrier.h"

#include <windows.h>
#include "util/win32/WideText.h"

namespace {

// Current Windows refuses remote mailslots unless they are enabled again.
constexpr DWORD kErrorRemoteMailslotsDeprecated = 3025;

// Errors after which another open of the same path cannot succeed: Wine has
// no remote mailslots (the path is not found), and current Windows refuses
// them. Retrying those would block the window for the whole retry window
// at every presence ping.
bool IsLastingOpenError(DWORD error) {
    return error == ERROR_PATH_NOT_FOUND || error == kErrorRemoteMailslotsDeprecated;
}

class CWriteHandle {
public:
    explicit CWriteHandle(const std::string& path)
        : m_handle(::CreateFileW(Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~CWriteHandle() {
        if (m_handle != INVALID_HANDLE_VALUE) ::CloseHandle(m_handle);
    }
    CWriteHandle(const CWriteHandle&) = delete;
    CWriteHandle& operator=(const CWriteHandle&) = delete;
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};

}  // namespace

CWin32MailslotCarrier::~CWin32MailslotCarrier() { Close(); }

void CWin32MailslotCarrier::Close() {
    if (m_mailslot) ::CloseHandle(m_mailslot);
    m_mailslot = nullptr;
}

std::string CWin32MailslotCarrier::PathOf(const CDatagramTarget& target) const {
    switch (target.kind) {
    case CDatagramTarget::EKind::AllComputers: return "\\\\*\\mailslot\\" + m_name;
    case CDatagramTarget::EKind::Computer: return "\\\\" + target.computer + "\\mailslot\\" + m_name;
    case CDatagramTarget::EKind::ThisComputer: break;
    }
    return "\\\\.\\mailslot\\" + m_name;
}

EOpenResult CWin32MailslotCarrier::Open() {
    if (m_mailslot) return EOpenResult::Opened;
    // Any message size; reads never wait.
    const HANDLE mailslot = ::CreateMailslotW(Widen(PathOf(CDatagramTarget::This())).c_str(), 0, 0, nullptr);
    if (mailslot == INVALID_HANDLE_VALUE)
        return ::GetLastError() == ERROR_ALREADY_EXISTS ? EOpenResult::NameTaken : EOpenResult::Failed;
    m_mailslot = mailslot;
    return EOpenResult::Opened;
}

ESendResult CWin32MailslotCarrier::Send(const CDatagramTarget& target, std::string_view datagram) {
    // A mailslot client must share reading with the server: without it the
    // open of a local mailslot fails with a sharing violation.
    const CWriteHandle file(PathOf(target));
    if (file.Get() == INVALID_HANDLE_VALUE)
        return IsLastingOpenError(::GetLastError()) ? ESendResult::Unreachable : ESendResult::NotReady;
    DWORD written = 0;
    ::SetLastError(0);
    const BOOL ok = ::WriteFile(file.Get(), datagram.data(), static_cast<DWORD>(datagram.size()), &written, nullptr);
    // A write that reports success but wrote nothing or left an error
    // behind counts as failed: the network redirector reports some failures
    // that way, and a second write may go through.
    if (!ok || written == 0 || ::GetLastError() != 0) return ESendResult::Incomplete;
    return written == datagram.size() ? ESendResult::Sent : ESendResult::Partial;
}

bool CWin32MailslotCarrier::HasDatagrams() {
    DWORD count = 0;
    return m_mailslot && ::GetMailslotInfo(m_mailslot, nullptr, nullptr, &count, nullptr) && count != 0;
}

EReceiveResult CWin32MailslotCarrier::Receive(CReceivedDatagram& datagram) {
    DWORD next = 0, count = 0;
    if (!m_mailslot || !::GetMailslotInfo(m_mailslot, nullptr, &next, &count, nullptr)) return EReceiveResult::Failed;
    if (count == 0) return EReceiveResult::Empty;
    if (next == MAILSLOT_NO_MESSAGE) return EReceiveResult::Failed;
    datagram.bytes.resize(next);
    DWORD read = 0;
    if (!::ReadFile(m_mailslot, datagram.bytes.data(), next, &read, nullptr) || read != next)
        return EReceiveResult::Failed;
    datagram.path = CReceivedDatagram::EPath::Mailslot;
    datagram.from = 0;
    return EReceiveResult::Datagram;
}

bool CWin32MailslotCarrier::WaitForDatagram(std::uint32_t timeoutMs) {
    const DWORD start = ::GetTickCount();
    while (!HasDatagrams()) {
        if (::GetTickCount() - start >= timeoutMs) return false;
        ::Sleep(10);
    }
    return true;
}
