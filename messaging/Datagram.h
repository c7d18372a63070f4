#pragma once
// The datagram format shared by every copy:
//   sender [*] NUL sequence(5 digits) NUL chunk NUL [NUL]
// The second trailing NUL marks a chunk that further chunks of the same
// message follow.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
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

// The sequence field of a `sequence` below kSequenceModulus: five digits,
// "%05i".
std::string FormatSequenceField(std::int32_t sequence);

// The number of a sequence field as copies write it (five digits); nothing
// for any other field.
std::optional<std::int32_t> ReadSequenceField(std::string_view field);

// The fields of a datagram as a receiver reads them: the sender field ends
// at the first zero byte from offset 1 on, the sequence field at the next
// (looked for from its second byte on), the chunk at the zero byte after
// it. Nothing when a field has no end within the bytes.
struct CDatagramFields {
    std::string_view sender;  // with the broadcast mark of a datagram to all computers
    std::string_view sequence;
    std::string_view chunk;
    bool continued = false;   // further chunks of the same message follow
};
std::optional<CDatagramFields> ReadDatagramFields(std::string_view bytes);

// Writes one datagram into `buffer` (at least kMaxDatagramSize bytes, zeroed
// first) and returns its size. The caller keeps the sizes within the budget.
std::size_t FormatDatagram(char* buffer, std::string_view sender, bool broadcast,
                           std::int32_t sequence, std::string_view chunk, bool continued);
