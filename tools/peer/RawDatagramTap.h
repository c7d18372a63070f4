#pragma once
// A look at the datagrams themselves, as they came off the wire, before
// they are joined and read: "listen --hex" prints each one, so that a test
// can see the bytes a copy sends (the code page, or the mark and UTF-8).

#include <functional>
#include <string>
#include <string_view>

#include "platform/ForwardingCarrier.h"

class CRawDatagramTap final : public CForwardingCarrier {
public:
    using SeenFunction = std::function<void(const CReceivedDatagram&)>;
    // `seen` (may be empty) gets every datagram that `inner` hands over.
    CRawDatagramTap(CDatagramCarrier& inner, SeenFunction seen) : CForwardingCarrier(inner), m_seen(std::move(seen)) {}

    EReceiveResult Receive(CReceivedDatagram& datagram) override;

private:
    SeenFunction m_seen;
};

// "hex 10.1.0.2 4c6162322a00..." : the sender's address ("-" when the
// carrier cannot tell) and every byte in two lower-case hex digits.
std::string FormatRawDatagramLine(const CReceivedDatagram& datagram);
