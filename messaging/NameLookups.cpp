#include "messaging/NameLookups.h"

#include <algorithm>
#include <chrono>

#include "util/AsciiText.h"

namespace {

// How long the end of the program waits for look-ups still running before
// it leaves them to the end of the process.
constexpr auto kExitWait = std::chrono::seconds(2);

}  // namespace

CNameLookups::CNameLookups(CDatagramSocketApi& sockets, CClock& clock, bool background)
    : m_sockets(sockets), m_clock(clock), m_background(background) {}

CNameLookups::~CNameLookups() {
    const auto deadline = std::chrono::steady_clock::now() + kExitWait;
    for (std::size_t i = 0; i < m_threads.size(); ++i) {
        CPending& pending = *m_running[i];
        std::unique_lock<std::mutex> lock(pending.mutex);
        const bool done = pending.finished.wait_until(lock, deadline, [&] { return pending.done; });
        lock.unlock();
        if (done)
            m_threads[i].join();
        else
            m_threads[i].detach();
    }
}

std::size_t CNameLookups::Running() {
    // Threads whose look-up finished are joined here, so that they do not
    // pile up over the life of the program.
    for (std::size_t i = 0; i < m_threads.size();) {
        bool done;
        {
            std::lock_guard<std::mutex> lock(m_running[i]->mutex);
            done = m_running[i]->done;
        }
        if (done) {
            m_threads[i].join();
            m_threads.erase(m_threads.begin() + static_cast<std::ptrdiff_t>(i));
            m_running.erase(m_running.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
    return m_threads.size();
}

void CNameLookups::Start(CEntry& entry, const std::string& name) {
    ++m_started;
    entry.tick = m_clock.Ticks();
    if (!m_background) {
        entry.addresses = m_sockets.Resolve(name);
        return;
    }
    if (Running() >= kMaxRunning) {
        entry.addresses.clear();
        return;
    }
    auto pending = std::make_shared<CPending>();
    entry.pending = pending;
    CDatagramSocketApi& sockets = m_sockets;
    m_threads.emplace_back([pending, name, &sockets] {
        std::vector<InetAddress> addresses = sockets.Resolve(name);
        std::lock_guard<std::mutex> lock(pending->mutex);
        pending->addresses = std::move(addresses);
        pending->done = true;
        pending->finished.notify_all();
    });
    m_running.push_back(std::move(pending));
}

bool CNameLookups::Settle(CEntry& entry, std::uint32_t waitMs) {
    if (!entry.pending) return true;
    CPending& pending = *entry.pending;
    std::unique_lock<std::mutex> lock(pending.mutex);
    if (!pending.finished.wait_for(lock, std::chrono::milliseconds(waitMs), [&] { return pending.done; }))
        return false;
    entry.addresses = pending.addresses;
    entry.tick = m_clock.Ticks();
    lock.unlock();
    entry.pending.reset();
    return true;
}

std::vector<InetAddress> CNameLookups::Find(const std::string& name, std::uint32_t waitMs) {
    const std::string key = LowerAscii(name);
    CEntry* entry = m_entries.Find(key);
    if (!entry) {
        m_entries.Put(key, CEntry{});
        entry = m_entries.Find(key);
        Start(*entry, name);
    } else if (!entry->pending) {
        const std::uint32_t lifetime = entry->addresses.empty() ? kFailedLifetimeMs : kLifetimeMs;
        if (m_clock.Ticks() - entry->tick >= lifetime) Start(*entry, name);
    }
    // A look-up still running counts as one that found nothing yet; the
    // addresses it had before, if any, stay in use meanwhile.
    Settle(*entry, waitMs);
    return entry->addresses;
}
