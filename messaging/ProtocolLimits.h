#pragma once
// The protocol's limits and timings, in one place; what follows from them is
// derived here too.

#include <cstddef>
#include <cstdint>
#include <string_view>

// ---- Messages arriving whole -------------------------------------------
// The reassembly of a message's chunks: how long a partial text waits, how
// much of it is kept, and what stands where text is missing.

// The longest message text a copy produces: a user name of at most 25
// characters (the user-name field of a command or a version reply is
// shorter), ">", TAB and at most 20,480 characters of text.
inline constexpr std::size_t kMaxUserFieldBytes = 25;
inline constexpr std::size_t kMaxMessageTextBytes = 20480;
inline constexpr std::size_t kMaxJoinedMessageBytes = kMaxUserFieldBytes + 2 + kMaxMessageTextBytes;

// The partial texts of all senders together. A copy sends one message at a
// time, so a hundred computers each sending the longest message to one
// receiver at once fit; a flood of endless messages from forged names
// cannot make a receiver hold more.
inline constexpr std::size_t kMaxPartialTextsBytes = 100 * kMaxJoinedMessageBytes;

// A partial text whose next chunk has not come for this long is shown with
// what arrived. A sender writes the chunks of one message back to back
// (75 ms apart on mailslots), so this is many times the longest pause.
inline constexpr std::uint32_t kPartialTextWaitMs = 5000;

// Stands in a shown message where a chunk did not arrive.
inline constexpr std::string_view kMissingPartMarker = "[part of this message did not arrive]";
// ---- end of messages arriving whole --------------------------------------
