#pragma once
#include <cstdint>
#include <string>

#include "platform/InetAddress.h"

// One complete message, as received or as shown in the history.
struct CMessageRecord {
    std::string computer;           // sender's computer, without the broadcast "*"
    std::string user;               // user-name field: a user, "mivletcmd", or a replying computer
    std::string text;               // message text after the ">" TAB separator
    std::int32_t broadcast = 0;     // 1 when sent to all computers
    std::uint32_t time = 0;         // seconds since 1970, receiver's clock
    std::int32_t displayLength = 0; // characters the message takes in the history; set there
    bool notice = false;            // a report of this program's own, shown without a prefix
    // The five-digit sequence field of the message's first datagram, which
    // its receipt names; empty when a part of the message did not arrive.
    std::string sequence;
    // Where the datagram that completed the message came from over the
    // network; zero for one read from a mailslot and for reports.
    CDatagramSource source;
};
