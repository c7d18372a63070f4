#include "tools/peer/RawDatagramTap.h"

#include "messaging/LossNotice.h"

EReceiveResult CRawDatagramTap::Receive(CReceivedDatagram& datagram) {
    const EReceiveResult result = Inner().Receive(datagram);
    if (result == EReceiveResult::Datagram && m_seen) m_seen(datagram);
    return result;
}

std::string FormatRawDatagramLine(const CReceivedDatagram& datagram) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string line = "hex ";
    line += datagram.from ? FormatInetAddress(datagram.from) : "-";
    line += ' ';
    for (const char c : datagram.bytes) {
        const auto byte = static_cast<unsigned char>(c);
        line += kDigits[byte >> 4];
        line += kDigits[byte & 0x0F];
    }
    return line;
}
