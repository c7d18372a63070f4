#pragma once
// Name look-ups for the UDP carrier, remembered, and never longer than the
// caller can wait: the resolver of an office network may take seconds for
// a name it does not know, and the carrier runs on the window's thread. In
// the background mode each look-up runs on a thread of its own, and one
// that outlasts the wait finishes there, for the next send to use.

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/Clock.h"
#include "platform/DatagramSocketApi.h"
#include "util/LruMap.h"

class CNameLookups {
public:
    // A name that resolved is looked up again after this; one that did not,
    // after the longer time, so that a name that is wrong costs a look-up
    // every few minutes instead of at every message.
    static constexpr std::uint32_t kLifetimeMs = 30000;
    static constexpr std::uint32_t kFailedLifetimeMs = 5 * 60 * 1000;
    static constexpr std::size_t kMaxNames = 256;
    // Look-ups running at once, at most; a name beyond them counts as not
    // resolving for now.
    static constexpr std::size_t kMaxRunning = 8;

    // `background` false: every look-up runs at once on the caller's thread
    // (for tests, whose resolver answers at once).
    CNameLookups(CDatagramSocketApi& sockets, CClock& clock, bool background);
    ~CNameLookups();
    CNameLookups(const CNameLookups&) = delete;
    CNameLookups& operator=(const CNameLookups&) = delete;

    // The addresses of `name`, empty when it does not resolve (yet). Starts
    // a look-up when none is fresh, and waits for it at most `waitMs`.
    std::vector<InetAddress> Find(const std::string& name, std::uint32_t waitMs);
    // Look-ups made, for tests.
    std::size_t Started() const { return m_started; }

private:
    struct CPending {
        std::mutex mutex;
        std::condition_variable finished;
        bool done = false;
        std::vector<InetAddress> addresses;
    };
    struct CEntry {
        std::vector<InetAddress> addresses;
        std::uint32_t tick = 0;
        std::shared_ptr<CPending> pending;  // while a look-up runs
    };

    void Start(CEntry& entry, const std::string& name);
    // Takes over a finished look-up's result; true when there is none running.
    bool Settle(CEntry& entry, std::uint32_t waitMs);
    std::size_t Running();

    CDatagramSocketApi& m_sockets;
    CClock& m_clock;
    bool m_background;
    CLruMap<CEntry> m_entries{kMaxNames};  // by lower-cased name
    std::vector<std::thread> m_threads;
    std::vector<std::shared_ptr<CPending>> m_running;
    std::size_t m_started = 0;
};
