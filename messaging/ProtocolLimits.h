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
// shorter), ">", TAB and at most 20,480 bytes of text. A name in the code
// page is a byte a character; one that is not goes as UTF-8 after the
// three bytes of the mark, at most four bytes a character.
inline constexpr std::size_t kMaxUserNameCharacters = 25;
inline constexpr std::size_t kMaxUserFieldBytes = 3 + 4 * kMaxUserNameCharacters;
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

// ---- Delivery receipts ---------------------------------------------------
// A copy that shows a direct message answers "admin:received NNNNN" (the
// sequence field of the message's first datagram), once and without retry.
// The sender tells the user of a message that got no receipt from a
// computer that has confirmed before; older copies never confirm, so
// nothing is said of messages to them.

// How long a message waits for its receipt. The receiver shows a message
// within its receive tick (50 ms) of the last chunk, and answers at once, so
// the wait is many times that; on a carrier that paces chunks (mailslots are
// read only every 50 ms, each chunk 75 ms apart) the receiver is slower to
// answer and the wait longer.
inline constexpr std::uint32_t kReceiptWaitMs = 3000;
inline constexpr std::uint32_t kReceiptWaitPacedMs = 5000;

// Messages waiting for a receipt at most; past it the one sent longest ago
// is given up without a report. A user sends a message every few seconds,
// a script far fewer than this within one wait.
inline constexpr std::size_t kMaxPendingReceipts = 256;
// Computers remembered as ones that confirm, at most: the peer table's own
// bound, so every computer of the To: list fits; the one that confirmed
// longest ago makes room.
inline constexpr std::size_t kMaxConfirmingComputers = 4096;

// A receipt goes back to the port its message came from (see AnswerPlan.h)
// only from this port on: below it are the ports of system services, and
// the system gives a program that sends without a port of its own one far
// above it.
inline constexpr std::uint16_t kLowestAnswerPort = 1024;

// The report shown after "Lab3".
inline constexpr std::string_view kNotConfirmedText = " did not confirm that your message arrived.";
// ---- end of delivery receipts ----------------------------------------------
