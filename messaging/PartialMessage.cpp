#include "messaging/PartialMessage.h"

#include <algorithm>
#include <cstring>
#include <string_view>

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
    const std::size_t room = CPartialMessageTable::kMaxMessageBytes - std::min(text.size(), CPartialMessageTable::kMaxMessageBytes);
    text.append(chunk.substr(0, room));
}

// A joined text without the separator can only come from a foreign program:
// it is kept whole as the text, with an empty user name, so nothing is lost.
void SplitUserAndText(std::string_view joined, CMessageRecord& record) {
    const std::size_t at = joined.find(kUserTextSeparator);
    if (at == std::string_view::npos) {
        record.text = joined;
        return;
    }
    record.user = joined.substr(0, at);
    record.text = joined.substr(at + kUserTextSeparator.size());
}

// One datagram whose sender key is `key`, applied to that key's entry.
EDatagramResult ApplyTo(CPartialMessage& entry, std::string_view key, const char* data, std::size_t size,
                        std::uint32_t now, std::vector<CMessageRecord>& records) {
    const bool continued = size >= 2 && data[size - 1] == '\0' && data[size - 2] == '\0';

    const std::size_t senderEnd = FindZero(data, size, 1);
    if (senderEnd >= size) return EDatagramResult::Malformed;

    const std::size_t sequenceStart = senderEnd + 1;
    const std::size_t sequenceEnd = FindZero(data, size, sequenceStart);
    const std::string_view sequence(data + sequenceStart, sequenceEnd - sequenceStart);
    if (sequence == entry.lastSequence) return EDatagramResult::Repeat;
    entry.lastSequence = sequence;

    // The sequence field's terminator is looked for from its second byte on.
    const std::size_t chunkZero = FindZero(data, size, sequenceStart + 1);
    if (chunkZero >= size) return EDatagramResult::Malformed;
    const std::size_t chunkStart = chunkZero + 1;
    const std::string_view chunk(data + chunkStart, FindZero(data, size, chunkStart) - chunkStart);

    if (continued) {
        AppendBounded(entry.text, chunk);
        return EDatagramResult::Applied;
    }

    CMessageRecord record;
    record.computer = key;
    record.time = now;
    if (!record.computer.empty() && record.computer.back() == kBroadcastMark) {
        record.broadcast = 1;
        record.computer.pop_back();
    }
    std::string joined = std::move(entry.text);
    entry.text.clear();
    AppendBounded(joined, chunk);
    SplitUserAndText(joined, record);
    records.push_back(std::move(record));
    return EDatagramResult::Applied;
}

}  // namespace

const CPartialMessage* CPartialMessageTable::Find(std::string_view key) const {
    const auto found = m_entries.find(LowerAscii(key));
    return found == m_entries.end() ? nullptr : &*found->second.entry;
}

void CPartialMessageTable::Touch(CSlot& slot) {
    CUseOrder& belongs = slot.entry->text.empty() ? m_idle : m_collecting;
    belongs.splice(belongs.end(), *slot.list, slot.entry);
    slot.list = &belongs;
}

CPartialMessageTable::CSlot& CPartialMessageTable::FindOrAdd(std::string_view key) {
    std::string lowered = LowerAscii(key);
    if (const auto found = m_entries.find(lowered); found != m_entries.end()) return found->second;

    if (m_entries.size() >= kMaxEntries) {
        CUseOrder& oldest = m_idle.empty() ? m_collecting : m_idle;
        m_entries.erase(LowerAscii(oldest.front().key));
        oldest.pop_front();
    }
    m_idle.push_back(CPartialMessage{std::string{key}, {}, {}});
    const auto entry = std::prev(m_idle.end());
    return m_entries.emplace(std::move(lowered), CSlot{&m_idle, entry}).first->second;
}

EDatagramResult CPartialMessageTable::Apply(const char* data, std::size_t size, std::uint32_t now,
                                            std::vector<CMessageRecord>& records) {
    const std::string_view key(data, FindZero(data, size, 0));
    CSlot& slot = FindOrAdd(key);
    const EDatagramResult result = ApplyTo(*slot.entry, key, data, size, now, records);
    Touch(slot);
    return result;
}
