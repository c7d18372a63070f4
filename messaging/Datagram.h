#pragma once
// The datagram format shared by every copy:
//   sender [*] NUL sequence(5 digits) NUL chunk NUL [NUL]
// The second trailing NUL marks a chunk that further chunks of the same
// message follow.

#include <cstddef>
#include <cstdint>
#include <string_view>

inline constexpr std::size_t kMaxDatagramSize = 350;
// Bytes of every datagram that are not the sender field or the chunk: the
// three zero bytes and the five sequence digits, plus the continuation mark.
inline constexpr std::size_t kDatagramOverhead = 8;
inline constexpr std::size_t kChunkBudgetBase = 342;  // kMaxDatagramSize - kDatagramOverhead
inline constexpr std::int32_t kSequenceModulus = 100000;
inline constexpr char kBroadcastMark = '*';
inline constexpr std::string_view kUserTextSeparator = ">\t";

// The most chunk bytes a last datagram from `sender` may carry; a continued
// one carries one byte less, so that every datagram fits in 350 bytes.
inline std::size_t ChunkBudget(std::size_t senderLength, bool broadcast) {
    return kChunkBudgetBase - (broadcast ? 1 : 0) - senderLength;
}

// Writes one datagram into `buffer` (at least kMaxDatagramSize bytes, zeroed
// first) and returns its size. The caller keeps the sizes within the budget.
std::size_t FormatDatagram(char* buffer, std::string_view sender, bool broadcast,
                           std::int32_t sequence, std::string_view chunk, bool continued);
