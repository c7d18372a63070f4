#pragma once
// The system's own mailslots as a carrier: this computer's mailslot of one
// name, written to on one computer by "\\NAME\mailslot\name", on all by
// "\\*\mailslot\name" and on this one by "\\.\mailslot\name".

#include <string>

#include "platform/DatagramCarrier.h"

class CWin32MailslotCarrier final : public CDatagramCarrier {
public:
    // A mailslot is read on a timer, every 50 ms: the chunks of a message
    // are written this far apart so that the reader keeps up.
    static constexpr std::uint32_t kChunkPauseMs = 75;

    explicit CWin32MailslotCarrier(std::string name) : m_name(std::move(name)) {}
    ~CWin32MailslotCarrier() override;
    CWin32MailslotCarrier(const CWin32MailslotCarrier&) = delete;
    CWin32MailslotCarrier& operator=(const CWin32MailslotCarrier&) = delete;

    // The path of the mailslot on `target`.
    std::string PathOf(const CDatagramTarget& target) const;

    EOpenResult Open() override;
    bool IsOpen() const override { return m_mailslot != nullptr; }
    void Close() override;
    ESendResult Send(const CDatagramTarget& target, std::string_view datagram) override;
    bool HasDatagrams() override;
    EReceiveResult Receive(CReceivedDatagram& datagram) override;
    std::uint32_t ChunkPauseMs(const CDatagramTarget&) const override { return kChunkPauseMs; }
    // A mailslot cannot be waited on: this looks every 10 ms.
    bool WaitForDatagram(std::uint32_t timeoutMs) override;

private:
    std::string m_name;
    void* m_mailslot = nullptr;  // the server handle; this object is its one owner
};
