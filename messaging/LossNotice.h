#pragma once
// What the history tells of a source whose messages its carrier's fair
// share dropped under a flood: "1,234 messages from 10.0.0.7 were not
// shown." Only chat messages count; pings and chunks are not the user's.

#include <optional>
#include <string>

#include "messaging/MessageRecord.h"
#include "platform/DatagramCarrier.h"

std::string FormatInetAddress(InetAddress address);

// The notice for `dropped` at `time`; nothing when no chat message was lost.
std::optional<CMessageRecord> MakeLossNotice(const CDroppedFromSource& dropped, std::uint32_t time);
