#pragma once
// A look at the datagrams themselves, as they came off the wire, before
// they are joined and read: "listen --hex" prints each one, so that a test
// can see the bytes a copy sends (the code page, or the mark and UTF-8).

#include <functional>
#include <string>
#include <string_view>

#include "platform/DatagramCarrier.h"

class CRawDatagramTap final : public CDatagramCarrier {
public:
    using SeenFunction = std::function<void(const CReceivedDatagram&)>;
    // `seen` (may be empty) gets every datagram that `inner` hands over.
    CRawDatagramTap(CDatagramCarrier& inner, SeenFunction seen) : m_inner(inner), m_seen(std::move(seen)) {}

    EOpenResult Open() override { return m_inner.Open(); }
    bool IsOpen() const override { return m_inner.IsOpen(); }
    void Close() override { m_inner.Close(); }
    ESendResult Send(const CDatagramTarget& target, std::string_view datagram) override {
        return m_inner.Send(target, datagram);
    }
    bool HasDatagrams() override { return m_inner.HasDatagrams(); }
    EReceiveResult Receive(CReceivedDatagram& datagram) override;
    std::uint32_t ChunkPauseMs(const CDatagramTarget& target) const override { return m_inner.ChunkPauseMs(target); }
    bool WaitForDatagram(std::uint32_t timeoutMs) override { return m_inner.WaitForDatagram(timeoutMs); }
    bool NotifyOnArrival(std::function<void()> signal) override { return m_inner.NotifyOnArrival(std::move(signal)); }
    std::vector<CDroppedFromSource> TakeDropped() override { return m_inner.TakeDropped(); }

private:
    CDatagramCarrier& m_inner;
    SeenFunction m_seen;
};

// "hex 10.1.0.2 4c6162322a00..." : the sender's address ("-" when the
// carrier cannot tell) and every byte in two lower-case hex digits.
std::string FormatRawDatagramLine(const CReceivedDatagram& datagram);
