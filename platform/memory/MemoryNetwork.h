#pragma once
// An in-memory network of virtual computers with one virtual clock, standing
// in for the operating system behind CMailslotApi in tests. Nothing here
// waits in real time: Sleep and failed opens move the virtual clock.

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ErrorCodes.h"
#include "platform/MailslotApi.h"

class CMemoryNetwork;

// What the next write of a computer does instead of succeeding plainly.
enum class EWriteFault {
    None,                   // written plainly; lets a test fault a later write of a message
    Fail,                   // WriteFile returns false, nothing delivered
    SucceedWithLastError,   // delivered and reported whole, but the last error is left non-zero
    Short,                  // reported as a partial write, nothing delivered
};


class CMemoryComputer final : public CMailslotApi {
public:
    CMemoryComputer(CMemoryNetwork& network, std::string name) : m_network(network), m_name(std::move(name)) {}

    const std::string& Name() const { return m_name; }

    // Fault injection.
    void SetUnreachable(bool unreachable) { m_unreachable = unreachable; }
    bool IsUnreachable() const { return m_unreachable; }
    void QueueWriteFault(EWriteFault fault) { m_writeFaults.push_back(fault); }
    void FailNextOpens(int count) { m_failOpens += count; }
    // Makes every broadcast open fail with `error` (0: succeed), as on a
    // system without remote mailslots.
    void FailBroadcastOpens(std::uint32_t error) { m_broadcastOpenError = error; }
    void FailNextMailslotInfo() { ++m_failMailslotInfo; }
    void ShortenNextRead() { ++m_shortReads; }

    // Puts raw bytes into one of this computer's mailslots, as if written.
    void DeliverRaw(std::string_view mailslot, std::string bytes);
    std::size_t PendingDatagrams(std::string_view mailslot) const;
    // Every Sleep this computer made, in order.
    const std::vector<std::uint32_t>& Sleeps() const { return m_sleeps; }
    std::size_t OpenHandles() const { return m_handles.size(); }

    // CMailslotApi
    PlatformHandle CreateMailslotServer(const std::string& path, std::uint32_t maxMessageSize,
                                  std::uint32_t readTimeoutMs) override;
    bool GetMailslotInfo(PlatformHandle mailslot, std::uint32_t* nextSize, std::uint32_t* messageCount) override;
    bool ReadFile(PlatformHandle file, void* buffer, std::uint32_t toRead, std::uint32_t* bytesRead) override;
    PlatformHandle OpenForWrite(const std::string& path) override;
    bool WriteFile(PlatformHandle file, const void* data, std::uint32_t size, std::uint32_t* bytesWritten) override;
    bool CloseHandle(PlatformHandle handle) override;
    std::uint32_t GetLastError() override { return m_lastError; }
    void SetLastError(std::uint32_t error) override { m_lastError = error; }
    std::uint32_t GetTickCount() override;
    void Sleep(std::uint32_t milliseconds) override;
    std::uint32_t GetTime() override;

private:
    friend class CMemoryNetwork;

    using Queue = std::deque<std::string>;
    struct CHandleObject {
        bool server = false;       // a mailslot's server (read) handle
        std::string mailslot;      // lower-cased mailslot name
        std::string targetHost;    // for a writer: ".", "*" or a computer name
        Queue* queue = nullptr;    // a server's own datagrams; the map's nodes stay put
    };

    Queue* FindMailslot(std::string_view name);
    const CHandleObject* FindHandle(PlatformHandle handle) const;
    bool Fail(std::uint32_t error);

    CMemoryNetwork& m_network;
    std::string m_name;
    bool m_unreachable = false;
    std::uint32_t m_lastError = 0;
    std::map<std::string, Queue> m_mailslots;  // by lower-cased name
    std::map<PlatformHandle, CHandleObject> m_handles;
    PlatformHandle m_nextHandle = 0x100;
    std::deque<EWriteFault> m_writeFaults;
    int m_failOpens = 0;
    std::uint32_t m_broadcastOpenError = 0;
    int m_failMailslotInfo = 0;
    int m_shortReads = 0;
    std::vector<std::uint32_t> m_sleeps;
};

class CMemoryNetwork {
public:
    // The virtual clock starts at `startTick` (GetTickCount) and `startTime`
    // (seconds since 1970); a failed open costs `openFailureCostMs`.
    explicit CMemoryNetwork(std::uint32_t startTick = 1000, std::uint32_t startTime = 957744000,
                            std::uint32_t openFailureCostMs = 1);

    CMemoryComputer& AddComputer(std::string name);
    CMemoryComputer* FindComputer(std::string_view name);

    std::uint32_t TickCount() const { return static_cast<std::uint32_t>(m_startTick + m_elapsedMs); }
    std::uint32_t Time() const { return static_cast<std::uint32_t>(m_startTime + m_elapsedMs / 1000); }
    void Advance(std::uint64_t milliseconds) { m_elapsedMs += milliseconds; }
    std::uint32_t OpenFailureCostMs() const { return m_openFailureCostMs; }
    // Lets every GetTickCount move the clock on, for code that spins on it.
    void SetTickCountStep(std::uint32_t milliseconds) { m_tickCountStep = milliseconds; }
    std::uint32_t TickCountStep() const { return m_tickCountStep; }

    // Every datagram that reached at least the wire, in order.
    struct CWrite {
        std::string from;
        std::string targetHost;
        std::string bytes;
    };
    const std::vector<CWrite>& Writes() const { return m_writes; }

private:
    friend class CMemoryComputer;
    void Deliver(const CMemoryComputer& from, const std::string& targetHost, const std::string& mailslot,
                 std::string bytes);

    std::vector<std::unique_ptr<CMemoryComputer>> m_computers;
    std::uint64_t m_startTick;
    std::uint64_t m_startTime;
    std::uint64_t m_elapsedMs = 0;
    std::uint32_t m_openFailureCostMs;
    std::uint32_t m_tickCountStep = 0;
    std::vector<CWrite> m_writes;
};
