#include "platform/memory/MemoryNetwork.h"

#include <optional>

#include "util/AsciiText.h"

// ---- CMemoryComputer ----

void CMemoryComputer::DeliverRaw(std::string bytes) {
    if (m_open) m_queue.push_back(std::move(bytes));
}

void CMemoryComputer::Close() {
    m_open = false;
    m_queue.clear();
}

EOpenResult CMemoryComputer::Open() {
    if (m_open) return EOpenResult::NameTaken;
    m_open = true;
    return EOpenResult::Opened;
}

ESendResult CMemoryComputer::Send(const CDatagramTarget& target, std::string_view datagram) {
    bool ready = true;
    bool lasting = false;
    switch (target.kind) {
    case CDatagramTarget::EKind::ThisComputer: ready = m_open; break;
    case CDatagramTarget::EKind::AllComputers: ready = !m_failBroadcasts, lasting = m_failBroadcasts; break;
    case CDatagramTarget::EKind::Computer: {
        const CMemoryComputer* computer = m_network.FindComputer(target.computer);
        ready = computer && !computer->IsUnreachable();
        break;
    }
    }
    if (ready && m_failSends > 0) {
        --m_failSends;
        ready = false;
    }
    if (!ready) {
        m_network.Advance(m_network.SendFailureCostMs());
        return lasting ? ESendResult::Unreachable : ESendResult::NotReady;
    }

    std::optional<EWriteFault> fault;
    if (!m_writeFaults.empty()) {
        fault = m_writeFaults.front();
        m_writeFaults.pop_front();
    }
    if (fault == EWriteFault::Fail) return ESendResult::Incomplete;
    if (fault == EWriteFault::Short) return ESendResult::Partial;
    m_network.Deliver(*this, target, std::string(datagram));
    return fault == EWriteFault::SucceedWithLastError ? ESendResult::Incomplete : ESendResult::Sent;
}

EReceiveResult CMemoryComputer::Receive(CReceivedDatagram& datagram) {
    if (m_queue.empty()) return EReceiveResult::Empty;
    if (m_failReceives > 0) {
        --m_failReceives;
        m_queue.pop_front();
        return EReceiveResult::Failed;
    }
    datagram.bytes = std::move(m_queue.front());
    datagram.path = CReceivedDatagram::EPath::Mailslot;
    datagram.from = 0;
    m_queue.pop_front();
    return EReceiveResult::Datagram;
}

bool CMemoryComputer::WaitForDatagram(std::uint32_t timeoutMs) {
    if (m_queue.empty()) m_network.Advance(timeoutMs);
    return !m_queue.empty();
}

// ---- CMemoryNetwork ----

CMemoryNetwork::CMemoryNetwork(std::uint32_t startTick, std::uint32_t startTime, std::uint32_t sendFailureCostMs)
    : m_startTick(startTick), m_startTime(startTime), m_sendFailureCostMs(sendFailureCostMs) {}

CMemoryComputer& CMemoryNetwork::AddComputer(std::string name) {
    m_computers.push_back(std::make_unique<CMemoryComputer>(*this, std::move(name)));
    return *m_computers.back();
}

CMemoryComputer* CMemoryNetwork::FindComputer(std::string_view name) {
    for (auto& computer : m_computers)
        if (EqualsNoCaseAscii(computer->Name(), name)) return computer.get();
    return nullptr;
}

std::uint32_t CMemoryNetwork::Ticks() {
    Advance(m_tickCountStep);
    return TickCount();
}

void CMemoryNetwork::Sleep(std::uint32_t milliseconds) {
    m_sleeps.push_back(milliseconds);
    Advance(milliseconds);
}

void CMemoryNetwork::Deliver(const CMemoryComputer& from, const CDatagramTarget& target, std::string bytes) {
    m_writes.push_back(CWrite{from.Name(), target, bytes});
    for (auto& computer : m_computers) {
        bool addressed = false;
        switch (target.kind) {
        case CDatagramTarget::EKind::AllComputers:
            addressed = computer.get() == &from || !computer->IsUnreachable();
            break;
        case CDatagramTarget::EKind::ThisComputer: addressed = computer.get() == &from; break;
        case CDatagramTarget::EKind::Computer: addressed = EqualsNoCaseAscii(computer->Name(), target.computer); break;
        }
        if (addressed) computer->DeliverRaw(bytes);
    }
}
