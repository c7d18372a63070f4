#include "messaging/PartialMessage.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "messaging/CommandText.h"
#include "messaging/Datagram.h"
#include "util/AsciiText.h"

namespace {

// Offset of the first zero byte at or after `from`, or `size` when none.
std::size_t FindZero(const char* data, std::size_t size, std::size_t from) {
    if (from >= size) return size;
    const void* zero = std::memchr(data + from, 0, size - from);
    return zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - data) : size;
}

void AppendBounded(std::string& text, std::string_view chunk) {
    constexpr std::size_t kMax = CPartialMessageTable::kMaxMessageBytes;
    const std::string_view taken = chunk.substr(0, kMax - std::min(text.size(), kMax));
    // The string would double its room past the limit (reserve doubles as
    // well), so the text moves to a new string of the room wanted: what a
    // sender that never ends its message makes us hold is the limit, not
    // up to twice it.
    const std::size_t needed = text.size() + taken.size();
    if (needed > text.capacity()) {
        std::string grown;
        grown.reserve(std::min(std::max(needed, 2 * text.capacity()), kMax));
        grown.append(text);
        text.swap(grown);
    }
    text.append(taken);
}

// A joined text without the separator can only come from a foreign program:
// it is kept whole as the text, with an empty user name, so nothing is lost.
// Nor is a text split whose beginning, and with it the user name, was lost.
void SplitUserAndText(std::string_view joined, CMessageRecord& record) {
    const std::size_t at = joined.find(kUserTextSeparator);
    if (at == std::string_view::npos || joined.substr(0, kMissingPartMarker.size()) == kMissingPartMarker) {
        record.text = joined;
        return;
    }
    record.user = joined.substr(0, at);
    record.text = joined.substr(at + kUserTextSeparator.size());
}

// A message's first chunk carries the user-name field and the separator.
bool StartsMessage(std::string_view chunk) {
    const std::size_t at = chunk.find(kUserTextSeparator);
    return at != std::string_view::npos && at <= kMaxUserFieldBytes;
}

// Whether `next` is the sequence field that follows `last`: five digits
// each, counting on by one and from 99999 to 00000. Anything else, such as
// a field of another length, is a gap.
bool Follows(std::string_view last, std::string_view next) {
    const auto before = ReadSequenceField(last);
    const auto after = ReadSequenceField(next);
    return before && after && (*before + 1) % kSequenceModulus == *after;
}

// `sequence` is the first datagram's field of a message that arrived whole.
void AppendRecord(std::string_view key, std::string_view joined, bool incomplete, std::string_view sequence,
                  std::uint32_t now, std::vector<CMessageRecord>& records) {
    CMessageRecord record;
    record.computer = key;
    record.time = now;
    if (!incomplete) record.sequence = sequence;
    if (!record.computer.empty() && record.computer.back() == kBroadcastMark) {
        record.broadcast = 1;
        record.computer.pop_back();
    }
    SplitUserAndText(joined, record);
    // A command with a part missing is not the command its sender gave.
    if (incomplete && record.user == kCommandMarker) return;
    records.push_back(std::move(record));
}

// The partial text, ended where its end was lost.
void AppendCut(std::string_view key, std::string& text, std::uint32_t now, std::vector<CMessageRecord>& records) {
    std::string joined = std::move(text);
    text = std::string();
    joined.append(kMissingPartMarker);
    AppendRecord(key, joined, true, {}, now, records);
}

}  // namespace

// One datagram whose sender key is `key`, applied to that key's entry.
EDatagramResult CPartialMessageTable::ApplyTo(CPartialMessage& entry, std::string_view key, const char* data,
                                              std::size_t size, std::uint32_t now,
                                              std::vector<CMessageRecord>& records) {
    const bool continued = size >= 2 && data[size - 1] == '\0' && data[size - 2] == '\0';

    const std::size_t senderEnd = FindZero(data, size, 1);
    if (senderEnd >= size) return EDatagramResult::Malformed;

    const std::size_t sequenceStart = senderEnd + 1;
    const std::size_t sequenceEnd = FindZero(data, size, sequenceStart);
    const std::string_view sequence(data + sequenceStart, sequenceEnd - sequenceStart);
    if (sequence == entry.lastSequence) return EDatagramResult::Repeat;
    const bool known = !entry.lastSequence.empty();
    const bool follows = Follows(entry.lastSequence, sequence);
    entry.lastSequence = sequence;

    // The sequence field's terminator is looked for from its second byte on.
    const std::size_t chunkZero = FindZero(data, size, sequenceStart + 1);
    if (chunkZero >= size) return EDatagramResult::Malformed;
    const std::size_t chunkStart = chunkZero + 1;
    const std::string_view chunk(data + chunkStart, FindZero(data, size, chunkStart) - chunkStart);
    const bool starts = StartsMessage(chunk);

    if (!entry.text.empty() && !follows) {
        if (starts) {
            AppendCut(key, entry.text, now, records);  // its end was lost; this is a message of its own
        } else {
            AppendBounded(entry.text, kMissingPartMarker);  // a part in the middle was lost
        }
    } else if (entry.text.empty() && !starts && (known ? entry.cut || !follows : continued)) {
        // Its beginning was lost. From a key not heard before, a message of
        // one datagram without the separator is a foreign program's, whole.
        AppendBounded(entry.text, kMissingPartMarker);
    }
    entry.cut = false;

    if (continued) {
        if (entry.text.empty()) entry.firstSequence = sequence;
        AppendBounded(entry.text, chunk);
        return EDatagramResult::Applied;
    }
    // Most messages are one datagram: nothing to join.
    if (entry.text.empty()) {
        AppendRecord(key, chunk.substr(0, kMaxMessageBytes), false, sequence, now, records);
    } else {
        std::string joined = std::move(entry.text);
        entry.text = std::string();
        AppendBounded(joined, chunk);
        const bool incomplete = joined.find(kMissingPartMarker) != std::string::npos;
        AppendRecord(key, joined, incomplete, entry.firstSequence, now, records);
    }
    return EDatagramResult::Applied;
}

const CPartialMessage* CPartialMessageTable::Find(std::string_view key) const {
    const auto found = m_entries.find(key);
    return found == m_entries.end() ? nullptr : &*found->second.entry;
}

void CPartialMessageTable::Touch(CSlot& slot) {
    CUseOrder& belongs = slot.entry->text.empty() ? m_idle : m_collecting;
    belongs.splice(belongs.end(), *slot.list, slot.entry);
    slot.list = &belongs;
}

CPartialMessageTable::CSlot& CPartialMessageTable::FindOrAdd(std::string_view key) {
    if (const auto found = m_entries.find(key); found != m_entries.end()) return found->second;

    if (m_entries.size() < kMaxEntries) {
        m_idle.push_back(CPartialMessage{std::string{key}, {}, {}});
        const auto entry = std::prev(m_idle.end());
        return m_entries.emplace(entry->key, CSlot{&m_idle, entry}).first->second;
    }
    // The entry that makes room is taken over by the new key, list node
    // and index node alike: a stream of new keys allocates nothing.
    CUseOrder& oldest = m_idle.empty() ? m_collecting : m_idle;
    auto index = m_entries.extract(oldest.front().key);
    const auto entry = oldest.begin();
    m_idle.splice(m_idle.end(), oldest, entry);
    entry->key.assign(key);
    m_textBytes -= entry->text.size();
    entry->text = std::string();  // gives back what a long message had collected
    entry->cut = false;
    entry->lastSequence.clear();
    index.key() = entry->key;
    index.mapped() = CSlot{&m_idle, entry};
    return m_entries.insert(std::move(index)).position->second;
}

EDatagramResult CPartialMessageTable::Apply(const char* data, std::size_t size, std::uint32_t now,
                                            std::uint32_t ticks, std::vector<CMessageRecord>& records) {
    const std::string_view key(data, FindZero(data, size, 0));
    CSlot& slot = FindOrAdd(key);
    CPartialMessage& entry = *slot.entry;
    const std::size_t before = entry.text.size();
    const EDatagramResult result = ApplyTo(entry, key, data, size, now, records);
    m_textBytes = m_textBytes - before + entry.text.size();
    entry.lastTick = ticks;
    Touch(slot);
    // The entry just used is the newest, so another one is cut: none holds
    // more than kMaxMessageBytes, far below the total.
    while (m_textBytes > kMaxTextBytes && m_collecting.size() > 1) CutOldest();
    return result;
}

void CPartialMessageTable::CutOldest() {
    CPartialMessage& oldest = m_collecting.front();
    m_textBytes -= oldest.text.size();
    oldest.text = std::string();
    oldest.cut = true;
    Touch(m_entries.find(oldest.key)->second);
}

std::size_t CPartialMessageTable::ExpireWaiting(std::uint32_t now, std::uint32_t ticks, std::size_t maxRecords,
                                                std::vector<CMessageRecord>& records) {
    const std::size_t before = records.size();
    // Entries are in the order of their last datagram: the front waits longest.
    for (std::size_t ended = 0; ended < maxRecords && !m_collecting.empty(); ++ended) {
        CPartialMessage& oldest = m_collecting.front();
        if (ticks - oldest.lastTick < kPartialTextWaitMs) break;
        m_textBytes -= oldest.text.size();
        AppendCut(oldest.key, oldest.text, now, records);
        oldest.cut = true;
        Touch(m_entries.find(oldest.key)->second);
    }
    return records.size() - before;
}
