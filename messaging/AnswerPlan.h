#pragma once
// Where the UDP carrier sends an answer to a datagram (a receipt): back to
// the address and port the datagram came from, or to the sending computer's
// own endpoint as every other datagram to it goes. A program that only
// sends (mivlet-peer send) sends from a port of its own, since the copy on
// its computer holds the messenger's port, and hears its receipt only
// there. The source of a datagram is as untrusted as its bytes: the answer
// goes back to it only where a direct message to that computer would go
// anyway, so that a forged source cannot make a copy send to a third party.

#include <cstdint>

#include "platform/DatagramCarrier.h"

struct CAnswerPlan {
    enum class EWay {
        ToComputer,  // to the computer's endpoint, as any datagram to it
        ToSource,    // back to `to`, the address and port the datagram came from
    };
    EWay way = EWay::ToComputer;
    CDatagramSource to;
};

struct CAnswerFacts {
    CDatagramSource source;        // where the datagram answered came from; zero when unknown
    InetAddress learnt = 0;        // the address learnt for its sender's computer name; 0 when none
    std::uint16_t ownPort = 0;     // the port every copy receives on
    bool sourceCanBeComputer = false;  // CanBeOtherComputersAddress(source.address)
};

CAnswerPlan PlanAnswer(const CAnswerFacts& facts);
