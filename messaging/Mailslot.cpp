#include "messaging/Mailslot.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "messaging/Datagram.h"
#include "platform/ErrorCodes.h"
#include "util/AsciiText.h"

CMailslot::CMailslot(CMailslotApi& api, const char* name, std::string localComputer)
    : m_api(api), m_localComputer(std::move(localComputer)) {
    if (name && *name) m_name = name;
    Create();
}

bool CMailslot::Create() {
    if (m_name.empty()) return false;
    if (IsOpen()) return true;
    const std::string path = MakePath("", m_name.c_str());
    m_handle = CPlatformHandle(m_api, m_api.CreateMailslotServer(path, 0, 0));
    m_takenByAnotherCopy = !IsOpen() && m_api.GetLastError() == kErrorAlreadyExists;
    return IsOpen();
}

bool CMailslot::HasMessages() {
    std::uint32_t count = 0;
    if (!m_api.GetMailslotInfo(m_handle.Get(), nullptr, &count)) return false;
    return count != 0;
}

bool CMailslot::ReadDatagram(char* buffer, std::uint32_t capacity, std::uint32_t* bytesRead) {
    std::uint32_t nextSize = 0;
    if (!m_api.GetMailslotInfo(m_handle.Get(), &nextSize, nullptr)) return false;
    if (nextSize == kMailslotNoMessage) return true;
    return m_api.ReadFile(m_handle.Get(), buffer, std::min(capacity, nextSize), bytesRead);
}

std::string CMailslot::MakePath(const char* computer, const char* name) const {
    return MakePath(computer, name, m_localComputer);
}

std::string CMailslot::MakePath(const char* computer, const char* name, const std::string& localComputer) {
    if (!computer || !name) return {};
    if (!*computer || EqualsNoCaseAscii(computer, localComputer)) return std::string("\\\\.\\mailslot\\") + name;
    return std::string("\\\\") + computer + "\\mailslot\\" + name;
}

namespace {

// Errors after which another open of the same path cannot succeed: Wine has
// no remote mailslots (the path is not found), and current Windows refuses
// them unless re-enabled. Retrying those would block the user-interface
// thread for the whole window at every presence ping.
bool IsLastingOpenError(std::uint32_t error) {
    return error == kErrorPathNotFound || error == kErrorRemoteMailslotsDeprecated;
}

}  // namespace

bool CMailslot::OpenTarget(const std::string& path, bool retry, CPlatformHandle& target) {
    const std::uint32_t start = m_api.GetTickCount();
    for (;;) {
        target = CPlatformHandle(m_api, m_api.OpenForWrite(path));
        if (target.IsValid()) return true;
        if (!retry || IsLastingOpenError(m_api.GetLastError())) return false;
        const std::uint32_t now = m_api.GetTickCount();
        const std::uint32_t deadline = start + kOpenRetryWindowMs;
        // Gives up, too, when the tick count wrapped since the start.
        if (deadline > now + kOpenRetryWindowMs || now >= deadline) return false;
    }
}

bool CMailslot::WriteDatagram(PlatformHandle target, const char* data, std::uint32_t size) {
    std::uint32_t written = 0;
    m_api.SetLastError(0);
    const bool good = m_api.WriteFile(target, data, size, &written) && written != 0 && m_api.GetLastError() == 0;
    if (!good) {
        m_api.Sleep(kRewriteDelayMs);
        written = 0;
        m_api.WriteFile(target, data, size, &written);
    }
    return written == size;
}

bool CMailslot::Send(const char* target, const char* userName, const char* text, bool retry) {
    if (!target || !userName || !text) return false;

    const std::string path = MakePath(target, m_name.c_str());
    const bool broadcast = std::strcmp(target, "*") == 0;
    std::string remaining = std::string(userName) + std::string(kUserTextSeparator) + text;

    // The wire needs a sender field, and room for a chunk beside it.
    if (m_localComputer.empty() || m_localComputer.size() > kMaxDatagramSize / 2) return false;
    const std::size_t budget = ChunkBudget(m_localComputer.size(), broadcast);

    std::array<char, kMaxDatagramSize> buffer{};
    while (!remaining.empty()) {
        CPlatformHandle handle;
        if (!OpenTarget(path, retry, handle)) return false;

        const bool continued = remaining.size() > budget;
        const std::size_t chunkLength = continued ? budget - 1 : remaining.size();
        m_sequence = (m_sequence + 1) % kSequenceModulus;
        const std::size_t size = FormatDatagram(buffer.data(), m_localComputer, broadcast, m_sequence,
                                                std::string_view(remaining).substr(0, chunkLength), continued);
        remaining.erase(0, chunkLength);

        if (!WriteDatagram(handle.Get(), buffer.data(), static_cast<std::uint32_t>(size))) return false;
        handle.Close();
        if (continued) m_api.Sleep(kChunkPacingMs);
    }
    return true;
}

bool CMailslot::Receive(std::vector<CMessageRecord>& records, std::size_t maxDatagrams) {
    return Receive(records, maxDatagrams, nullptr, SIZE_MAX);
}

bool CMailslot::Receive(std::vector<CMessageRecord>& records, std::size_t maxDatagrams,
                        const std::function<bool(const CMessageRecord&)>& counts, std::size_t maxCounted) {
    if (!IsOpen()) return false;
    std::size_t counted = 0;
    const std::uint32_t now = m_api.GetTime();
    for (std::size_t taken = 0; taken < maxDatagrams; ++taken) {
        // One look per datagram: on the UDP carrier each look also drains
        // the socket. A look that fails counts as an empty mailslot, as in
        // HasMessages.
        std::uint32_t size = kMailslotNoMessage, count = 0;
        if (!m_api.GetMailslotInfo(m_handle.Get(), &size, &count) || count == 0) return true;
        if (size == kMailslotNoMessage) return false;
        if (taken == 0) records.reserve(records.size() + std::min<std::size_t>(count, maxDatagrams));

        if (m_readBuffer.size() <= size) m_readBuffer.resize(static_cast<std::size_t>(size) + 1);
        std::uint32_t read = 0;
        if (!m_api.ReadFile(m_handle.Get(), m_readBuffer.data(), size, &read) || read != size) return false;

        const std::size_t before = records.size();
        if (m_partial.Apply(m_readBuffer.data(), size, now, records) == EDatagramResult::Malformed) return false;
        if (counts && records.size() > before && counts(records.back()) && ++counted >= maxCounted) return true;
    }
    return true;
}
