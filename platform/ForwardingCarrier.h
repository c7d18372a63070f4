#pragma once
// A carrier that hands every call to another one: the base of carriers
// that look at some of the traffic (a tap, a counter) and leave the rest
// to the carrier they wrap, which the caller keeps alive.

#include "platform/DatagramCarrier.h"

class CForwardingCarrier : public CDatagramCarrier {
public:
    explicit CForwardingCarrier(CDatagramCarrier& inner) : m_inner(inner) {}

    EOpenResult Open() override { return m_inner.Open(); }
    bool IsOpen() const override { return m_inner.IsOpen(); }
    void Close() override { m_inner.Close(); }
    ESendResult Send(const CDatagramTarget& target, std::string_view datagram) override {
        return m_inner.Send(target, datagram);
    }
    bool HasDatagrams() override { return m_inner.HasDatagrams(); }
    EReceiveResult Receive(CReceivedDatagram& datagram) override { return m_inner.Receive(datagram); }
    std::uint32_t ChunkPauseMs(const CDatagramTarget& target) const override { return m_inner.ChunkPauseMs(target); }
    bool WaitForDatagram(std::uint32_t timeoutMs) override { return m_inner.WaitForDatagram(timeoutMs); }
    bool NotifyOnArrival(std::function<void()> signal) override { return m_inner.NotifyOnArrival(std::move(signal)); }
    bool NotifyWindowOnArrival(std::uintptr_t window, std::uint32_t message) override {
        return m_inner.NotifyWindowOnArrival(window, message);
    }
    std::vector<CDroppedFromSource> TakeDropped() override { return m_inner.TakeDropped(); }

protected:
    CDatagramCarrier& Inner() { return m_inner; }

private:
    CDatagramCarrier& m_inner;
};
