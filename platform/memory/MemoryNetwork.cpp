#include "platform/memory/MemoryNetwork.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "platform/MailslotPath.h"
#include "util/AsciiText.h"

// ---- CMemoryComputer ----

bool CMemoryComputer::Fail(std::uint32_t error) {
    m_lastError = error;
    return false;
}

CMemoryComputer::Queue* CMemoryComputer::FindMailslot(std::string_view name) {
    auto found = m_mailslots.find(LowerAscii(name));
    return found == m_mailslots.end() ? nullptr : &found->second;
}

const CMemoryComputer::CHandleObject* CMemoryComputer::FindHandle(PlatformHandle handle) const {
    auto found = m_handles.find(handle);
    return found == m_handles.end() ? nullptr : &found->second;
}

void CMemoryComputer::DeliverRaw(std::string_view mailslot, std::string bytes) {
    if (Queue* queue = FindMailslot(mailslot)) queue->push_back(std::move(bytes));
}

std::size_t CMemoryComputer::PendingDatagrams(std::string_view mailslot) const {
    auto found = m_mailslots.find(LowerAscii(mailslot));
    return found == m_mailslots.end() ? 0 : found->second.size();
}

PlatformHandle CMemoryComputer::CreateMailslotServer(const std::string& path, std::uint32_t, std::uint32_t) {
    const auto parsed = ParseMailslotPath(path);
    if (!parsed || parsed->host != ".") {
        Fail(kErrorBadNetPath);
        return kInvalidPlatformHandle;
    }
    if (m_mailslots.count(parsed->name)) {
        Fail(kErrorAlreadyExists);
        return kInvalidPlatformHandle;
    }
    Queue& queue = m_mailslots[parsed->name];
    const PlatformHandle handle = m_nextHandle++;
    m_handles[handle] = CHandleObject{true, parsed->name, ".", &queue};
    m_lastError = 0;
    return handle;
}

bool CMemoryComputer::GetMailslotInfo(PlatformHandle mailslot, std::uint32_t* nextSize,
                                      std::uint32_t* messageCount) {
    const CHandleObject* object = FindHandle(mailslot);
    if (!object || !object->server) return Fail(kErrorInvalidHandle);
    if (m_failMailslotInfo > 0) {
        --m_failMailslotInfo;
        return Fail(kErrorNetWriteFault);
    }
    const Queue& queue = *object->queue;
    if (nextSize) *nextSize = queue.empty() ? kMailslotNoMessage : static_cast<std::uint32_t>(queue.front().size());
    if (messageCount) *messageCount = static_cast<std::uint32_t>(queue.size());
    return true;
}

bool CMemoryComputer::ReadFile(PlatformHandle file, void* buffer, std::uint32_t toRead, std::uint32_t* bytesRead) {
    if (bytesRead) *bytesRead = 0;
    const CHandleObject* object = FindHandle(file);
    if (!object || !object->server) return Fail(kErrorInvalidHandle);
    Queue& queue = *object->queue;
    if (queue.empty()) return Fail(kErrorSemTimeout);
    const std::string& datagram = queue.front();
    // Windows refuses a buffer that is too small and keeps the message (Wine
    // cuts it instead); the endpoint always reads with the announced size.
    if (toRead < datagram.size()) return Fail(kErrorInsufficientBuffer);
    std::size_t count = datagram.size();
    if (m_shortReads > 0 && count > 0) {
        --m_shortReads;
        --count;
    }
    std::memcpy(buffer, datagram.data(), count);
    queue.pop_front();
    if (bytesRead) *bytesRead = static_cast<std::uint32_t>(count);
    return true;
}

PlatformHandle CMemoryComputer::OpenForWrite(const std::string& path) {
    const auto parsed = ParseMailslotPath(path);
    bool opened = false;
    if (parsed) {
        if (parsed->host == ".")
            opened = FindMailslot(parsed->name) != nullptr;
        else if (parsed->host == "*")
            opened = m_broadcastOpenError == 0;  // a broadcast open never checks who listens
        else if (const CMemoryComputer* target = m_network.FindComputer(parsed->host))
            opened = !target->IsUnreachable();
    }
    if (opened && m_failOpens > 0) {
        --m_failOpens;
        opened = false;
    }
    if (!opened) {
        m_network.Advance(m_network.OpenFailureCostMs());
        if (parsed && parsed->host == "*" && m_broadcastOpenError != 0)
            Fail(m_broadcastOpenError);
        else
            Fail(parsed && parsed->host == "." ? kErrorFileNotFound : kErrorBadNetPath);
        return kInvalidPlatformHandle;
    }
    const PlatformHandle handle = m_nextHandle++;
    m_handles[handle] = CHandleObject{false, parsed->name, parsed->host};
    m_lastError = 0;
    return handle;
}

bool CMemoryComputer::WriteFile(PlatformHandle file, const void* data, std::uint32_t size,
                                std::uint32_t* bytesWritten) {
    if (bytesWritten) *bytesWritten = 0;
    const CHandleObject* object = FindHandle(file);
    if (!object || object->server) return Fail(kErrorInvalidHandle);

    std::optional<EWriteFault> fault;
    if (!m_writeFaults.empty()) {
        fault = m_writeFaults.front();
        m_writeFaults.pop_front();
    }
    if (fault == EWriteFault::Fail) return Fail(kErrorNetWriteFault);
    if (fault == EWriteFault::Short) {
        if (bytesWritten) *bytesWritten = size / 2;
        return true;
    }
    m_network.Deliver(*this, object->targetHost, object->mailslot,
                      std::string(static_cast<const char*>(data), size));
    if (bytesWritten) *bytesWritten = size;
    if (fault == EWriteFault::SucceedWithLastError) m_lastError = kErrorNetWriteFault;
    return true;
}

bool CMemoryComputer::CloseHandle(PlatformHandle handle) {
    auto found = m_handles.find(handle);
    if (found == m_handles.end()) return Fail(kErrorInvalidHandle);
    // Closing the server handle deletes the mailslot with what it still holds.
    if (found->second.server) m_mailslots.erase(found->second.mailslot);
    m_handles.erase(found);
    return true;
}

std::uint32_t CMemoryComputer::GetTickCount() {
    m_network.Advance(m_network.TickCountStep());
    return m_network.TickCount();
}

void CMemoryComputer::Sleep(std::uint32_t milliseconds) {
    m_sleeps.push_back(milliseconds);
    m_network.Advance(milliseconds);
}

std::uint32_t CMemoryComputer::GetTime() { return m_network.Time(); }

// ---- CMemoryNetwork ----

CMemoryNetwork::CMemoryNetwork(std::uint32_t startTick, std::uint32_t startTime, std::uint32_t openFailureCostMs)
    : m_startTick(startTick), m_startTime(startTime), m_openFailureCostMs(openFailureCostMs) {}

CMemoryComputer& CMemoryNetwork::AddComputer(std::string name) {
    m_computers.push_back(std::make_unique<CMemoryComputer>(*this, std::move(name)));
    return *m_computers.back();
}

CMemoryComputer* CMemoryNetwork::FindComputer(std::string_view name) {
    for (auto& computer : m_computers)
        if (EqualsNoCaseAscii(computer->Name(), name)) return computer.get();
    return nullptr;
}

void CMemoryNetwork::Deliver(const CMemoryComputer& from, const std::string& targetHost,
                             const std::string& mailslot, std::string bytes) {
    m_writes.push_back(CWrite{from.Name(), targetHost, bytes});
    for (auto& computer : m_computers) {
        const bool addressed = targetHost == "*" ? (computer.get() == &from || !computer->IsUnreachable())
                             : targetHost == "." ? computer.get() == &from
                                                 : EqualsNoCaseAscii(computer->Name(), targetHost);
        if (addressed) computer->DeliverRaw(mailslot, bytes);
    }
}
