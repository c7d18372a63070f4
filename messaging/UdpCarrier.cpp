#include "messaging/UdpCarrier.h"

#include <algorithm>
#include <array>
#include <chrono>

#include "messaging/AnswerPlan.h"
#include "messaging/Datagram.h"
#include "messaging/LocalComputerName.h"
#include "util/AsciiText.h"

namespace {

// The sender field and the sequence field: what tells one datagram from
// another of the same computer.
std::string HeadOf(const CDatagramFields& fields) {
    return std::string(fields.sender) + '\0' + std::string(fields.sequence);
}

constexpr std::size_t PathIndex(CReceivedDatagram::EPath path) {
    return path == CReceivedDatagram::EPath::Mailslot ? 0 : 1;
}

}  // namespace

CUdpCarrier::CUdpCarrier(CDatagramSocketApi& sockets, CClock& clock, COptions options, CDatagramCarrier* mailslots)
    : m_sockets(sockets),
      m_clock(clock),
      m_options(options),
      m_mailslots(mailslots),
      m_lookups(sockets, clock, options.backgroundLookups) {}

CUdpCarrier::~CUdpCarrier() { Close(); }

void CUdpCarrier::Close() {
    m_stop = true;
    if (m_reader.joinable()) m_reader.join();
    m_stop = false;
    if (!m_open) return;
    m_open = false;
    m_socket.Close();
    if (m_mailslots) m_mailslots->Close();
    std::lock_guard<std::mutex> lock(m_mutex);
    CQueuedDatagram ignored;
    while (m_queue.Pop(ignored)) {
    }
}

void CUdpCarrier::SetExtraTargets(std::vector<std::string> targets) {
    m_extraTargets = std::move(targets);
    for (const std::string& target : m_extraTargets) m_lookups.Find(target, 0);
}

EOpenResult CUdpCarrier::Open() {
    if (m_open) return EOpenResult::Opened;
    if (!m_receiving) return EOpenResult::Failed;
    if (m_answersOnly) {
        // A port the system picks: the messenger's port stays free for the
        // copy on this computer.
        EOpenSocket opened = EOpenSocket::Failed;
        m_socket = CSocket(m_sockets, m_sockets.OpenUdpSocket(0, &opened));
        m_open = m_socket.IsValid();
        return m_open ? EOpenResult::Opened : EOpenResult::Failed;
    }
    // A second copy on this computer fails here, at the mailslot's name, as
    // it always did; a copy whose port another program holds, at the port.
    if (m_mailslots) {
        const EOpenResult mailslot = m_mailslots->Open();
        if (mailslot != EOpenResult::Opened) return mailslot;
    }
    EOpenSocket result = EOpenSocket::Failed;
    m_socket = CSocket(m_sockets, m_sockets.OpenUdpSocket(m_options.port, &result));
    if (!m_socket.IsValid()) return result == EOpenSocket::PortInUse ? EOpenResult::PortInUse : EOpenResult::Failed;
    m_open = true;
    if (m_options.readerThread) m_reader = std::thread([this] { ReaderLoop(); });
    return EOpenResult::Opened;
}

bool CUdpCarrier::EnsureSocket() {
    if (m_socket.IsValid()) return true;
    if (m_receiving) return false;  // a receiving carrier sends on its bound socket only
    EOpenSocket result = EOpenSocket::Failed;
    m_socket = CSocket(m_sockets, m_sockets.OpenUdpSocket(0, &result));
    return m_socket.IsValid();
}

// ---- receiving ----

void CUdpCarrier::ReadSocket(std::size_t most, bool signalArrival) {
    // One reader at a time, so that a source's datagrams stay in their
    // order. A caller that finds the thread at it waits for its burst,
    // which is short, and so finds its datagrams queued.
    const std::lock_guard<std::mutex> reading(m_readMutex);
    std::array<char, kMaxUdpDatagram + 1> buffer;
    for (std::size_t i = 0; i < most; ++i) {
        std::size_t size = 0;
        InetAddress from = 0;
        std::uint16_t fromPort = 0;
        const EReceive got =
            m_sockets.ReceiveFrom(m_socket.Get(), buffer.data(), buffer.size(), &size, &from, &fromPort);
        if (got == EReceive::None || got == EReceive::Error) return;
        // One byte more than the limit fits the buffer, so a datagram that
        // fills it is over the limit even when the backend cannot tell.
        if (got == EReceive::Truncated || size > kMaxUdpDatagram) continue;
        std::function<void()> signal;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (signalArrival && m_queue.Empty()) signal = m_signal;
            m_queue.Push(std::string(buffer.data(), size), from, m_clock.Ticks(), fromPort);
        }
        m_arrived.notify_all();
        if (signal) signal();
    }
}

// Without a reader thread the caller's reads empty the socket, so that the
// fair share is kept among all that arrived; bounded, so that a flood that
// never stops does not hold the caller. With one, the caller reads what
// has just arrived as well: the thread's wake-up and its notice cost a
// datagram on a quiet network some milliseconds that the caller, woken by
// the system itself, need not wait.
void CUdpCarrier::Poll() {
    if (!m_open) return;
    constexpr std::size_t kCallersShare = 16;
    ReadSocket(m_options.readerThread ? kCallersShare : 4 * CFairDatagramQueue::kCapacity, false);
}

void CUdpCarrier::ReaderLoop() {
    // Short waits, so that the end of the program is not held up.
    constexpr std::uint32_t kWaitMs = 100;
    constexpr std::size_t kBurst = 16;
    while (!m_stop) {
        if (m_sockets.WaitReadable(m_socket.Get(), kWaitMs)) ReadSocket(kBurst, true);
        // The system's list of interfaces takes a while to read (some
        // milliseconds under Wine): here, not while a datagram waits.
        RefreshInterfaces(false);
    }
}

bool CUdpCarrier::HasDatagrams() {
    if (m_mailslots && m_mailslots->HasDatagrams()) return true;
    Poll();
    std::lock_guard<std::mutex> lock(m_mutex);
    return !m_queue.Empty();
}

bool CUdpCarrier::TakeQueued(CReceivedDatagram& datagram) {
    CQueuedDatagram queued;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_queue.Pop(queued)) return false;
    }
    datagram.bytes = std::move(queued.bytes);
    datagram.path = CReceivedDatagram::EPath::Network;
    datagram.from = queued.from;
    datagram.fromPort = queued.fromPort;
    return true;
}

// On a network where remote mailslots still work, a newer copy's datagram
// to all computers comes both through the mailslot and over UDP. The two
// need not arrive back to back, so each path remembers its last datagrams.
bool CUdpCarrier::IsRepeatFromOtherPath(const CReceivedDatagram& datagram) {
    if (!m_mailslots) return false;
    const auto fields = ReadDatagramFields(datagram.bytes);
    if (!fields) return false;
    const std::string head = HeadOf(*fields);
    const std::size_t own = PathIndex(datagram.path);
    std::deque<std::string>& other = m_recent[1 - own];
    if (const auto found = std::find(other.begin(), other.end(), head); found != other.end()) {
        other.erase(found);  // each copy matches once
        return true;
    }
    m_recent[own].push_back(head);
    if (m_recent[own].size() > kRecentPerPath) m_recent[own].pop_front();
    return false;
}

EReceiveResult CUdpCarrier::Receive(CReceivedDatagram& datagram) {
    for (;;) {
        EReceiveResult got = EReceiveResult::Empty;
        if (m_mailslots && m_mailslots->HasDatagrams()) {
            got = m_mailslots->Receive(datagram);
            if (got == EReceiveResult::Failed) return got;
        }
        if (got == EReceiveResult::Empty) {
            Poll();
            if (!TakeQueued(datagram)) return EReceiveResult::Empty;
        }
        // Both copies teach: the one over UDP tells where the sender is.
        Learn(datagram);
        if (IsRepeatFromOtherPath(datagram)) continue;
        return EReceiveResult::Datagram;
    }
}

void CUdpCarrier::RefreshInterfaces(bool onlyWhenUnread) {
    {
        std::lock_guard<std::mutex> lock(m_interfacesMutex);
        if (m_interfacesRead && (onlyWhenUnread || m_clock.Ticks() - m_interfacesTick < kInterfacesLifetimeMs))
            return;
    }
    std::vector<CInterfaceAddress> fresh = m_sockets.Interfaces();
    std::lock_guard<std::mutex> lock(m_interfacesMutex);
    m_interfaces = std::move(fresh);
    m_interfacesTick = m_clock.Ticks();
    m_interfacesRead = true;
}

std::vector<CInterfaceAddress> CUdpCarrier::Interfaces() {
    // With a reader thread, the thread keeps the list fresh; the first use
    // reads it at once.
    RefreshInterfaces(m_options.readerThread && m_open);
    std::lock_guard<std::mutex> lock(m_interfacesMutex);
    return m_interfaces;
}

// Asked for every datagram: the list is looked at where it is, not copied.
bool CUdpCarrier::CanBeOtherComputersAddress(InetAddress address) {
    RefreshInterfaces(m_options.readerThread && m_open);
    std::lock_guard<std::mutex> lock(m_interfacesMutex);
    return ::CanBeOtherComputersAddress(address, m_interfaces);
}

// Many networks have no name resolution for workstations: the address a
// computer's own datagrams come from is where datagrams for it go. The
// source address of a datagram is as untrusted as its bytes: one that
// would reach many computers, or this one, teaches nothing.
void CUdpCarrier::Learn(const CReceivedDatagram& datagram) {
    const auto fields = ReadDatagramFields(datagram.bytes);
    if (!fields) return;
    std::string_view sender = fields->sender;
    if (!sender.empty() && sender.back() == kBroadcastMark) sender.remove_suffix(1);
    if (!CanBeComputerName(sender)) return;
    const std::string key = LowerAscii(sender);
    if (datagram.path == CReceivedDatagram::EPath::Mailslot) {
        // Only a computer never heard over UDP is answered through its
        // mailslot: an older copy, which hears nothing else.
        if (!m_learned.Find(key)) m_learned.Put(key, CLearned{0, true});
        return;
    }
    if (!CanBeOtherComputersAddress(datagram.from)) return;
    m_learned.Put(key, CLearned{datagram.from, false});
}

const CUdpCarrier::CLearned* CUdpCarrier::LearnedOf(const std::string& computer) const {
    return m_learned.Find(LowerAscii(computer));
}

std::vector<CDroppedFromSource> CUdpCarrier::TakeDropped() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_queue.TakeDropped(m_clock.Ticks(), kDropQuietMs, kDropOverdueMs);
}

bool CUdpCarrier::WaitForDatagram(std::uint32_t timeoutMs) {
    if (HasDatagrams()) return true;
    if (m_options.readerThread) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return !m_queue.Empty(); });
        return !m_queue.Empty();
    }
    if (m_open) m_sockets.WaitReadable(m_socket.Get(), timeoutMs);
    return HasDatagrams();
}

bool CUdpCarrier::NotifyWindowOnArrival(std::uintptr_t window, std::uint32_t message) {
    return m_open && m_sockets.NotifyWhenReadable(m_socket.Get(), window, message);
}

bool CUdpCarrier::NotifyOnArrival(std::function<void()> signal) {
    if (!m_options.readerThread) return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_signal = std::move(signal);
    return true;
}

// ---- sending ----

std::uint32_t CUdpCarrier::ChunkPauseMs(const CDatagramTarget& target) const {
    // The mailslot's reader reads on a timer and needs the pause; a socket
    // is read as datagrams arrive and has a buffer of its own.
    const std::uint32_t mailslotPause = m_mailslots ? m_mailslots->ChunkPauseMs(target) : 0;
    switch (target.kind) {
    case CDatagramTarget::EKind::AllComputers: return BroadcastsThroughMailslots() ? mailslotPause : 0;
    case CDatagramTarget::EKind::ThisComputer: return mailslotPause;
    case CDatagramTarget::EKind::Computer: break;
    }
    const CLearned* learned = LearnedOf(target.computer);
    return learned && learned->address == 0 && learned->overMailslot ? mailslotPause : 0;
}

ESendResult CUdpCarrier::SendTo(InetAddress address, std::string_view datagram) {
    return SendTo(address, m_options.port, datagram);
}

ESendResult CUdpCarrier::SendTo(InetAddress address, std::uint16_t port, std::string_view datagram) {
    if (!EnsureSocket()) return ESendResult::Unreachable;
    return m_sockets.SendTo(m_socket.Get(), address, port, datagram.data(), datagram.size()) ? ESendResult::Sent
                                                                                             : ESendResult::Incomplete;
}

ESendResult CUdpCarrier::SendToAll(std::string_view datagram) {
    std::vector<InetAddress> targets;
    for (const CInterfaceAddress& own : Interfaces())
        if (own.broadcasts) targets.push_back(own.Broadcast());
    // With no interface to broadcast on, this computer is still one of
    // "all computers".
    if (targets.empty()) targets = {kLoopbackAddress};
    for (const std::string& extra : m_extraTargets) {
        const std::vector<InetAddress> addresses = m_lookups.Find(extra, 0);
        if (!addresses.empty() && std::find(targets.begin(), targets.end(), addresses.front()) == targets.end())
            targets.push_back(addresses.front());
    }
    // A broadcast that reaches some of its addresses is sent: the others
    // may be interfaces that are down.
    bool sent = false;
    for (InetAddress target : targets) sent = SendTo(target, datagram) == ESendResult::Sent || sent;

    if (BroadcastsThroughMailslots()) {
        const ESendResult mailslot = m_mailslots->Send(CDatagramTarget::All(), datagram);
        // Tried once and refused (Wine, current Windows): not again until
        // the program starts anew.
        if (mailslot == ESendResult::Unreachable) m_mailslotBroadcasts = false;
        sent = sent || mailslot == ESendResult::Sent;
    }
    return sent ? ESendResult::Sent : ESendResult::Incomplete;
}

ESendResult CUdpCarrier::SendToComputer(const CDatagramTarget& target, std::string_view datagram) {
    const std::string& computer = target.computer;
    const CLearned* learned = LearnedOf(computer);
    if (target.answerTo.port != 0) {
        CAnswerFacts facts;
        facts.source = target.answerTo;
        facts.learnt = learned ? learned->address : 0;
        facts.ownPort = m_options.port;
        facts.sourceCanBeComputer = CanBeOtherComputersAddress(target.answerTo.address);
        const CAnswerPlan plan = PlanAnswer(facts);
        if (plan.way == CAnswerPlan::EWay::ToSource) return SendTo(plan.to.address, plan.to.port, datagram);
    }
    if (learned) {
        if (learned->address != 0) return SendTo(learned->address, datagram);
        if (learned->overMailslot && m_mailslots) return m_mailslots->Send(CDatagramTarget::Computer(computer), datagram);
    }
    const std::vector<InetAddress> addresses = m_lookups.Find(computer, kLookupWaitMs);
    // Nowhere to go is final, as for a remote mailslot that cannot be
    // found: trying again within the same send finds nothing more.
    if (addresses.empty()) return ESendResult::Unreachable;
    // One address only: a datagram sent twice would be shown twice unless
    // the two copies arrived back to back.
    return SendTo(addresses.front(), datagram);
}

ESendResult CUdpCarrier::Send(const CDatagramTarget& target, std::string_view datagram) {
    switch (target.kind) {
    case CDatagramTarget::EKind::AllComputers: return SendToAll(datagram);
    case CDatagramTarget::EKind::Computer: return SendToComputer(target, datagram);
    case CDatagramTarget::EKind::ThisComputer: break;
    }
    if (m_mailslots) return m_mailslots->Send(target, datagram);
    return SendTo(kLoopbackAddress, datagram);
}
