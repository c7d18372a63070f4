#pragma once
// The history's own list of the messages it shows, oldest first, with the
// running sum of their display lengths. The history trims by this sum, never
// by measuring its control's text, so the arithmetic lives here, free of the
// platform.

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "messaging/MessageRecord.h"

// The line that the history shows for a message: prefix, text, CR LF.
std::string ComposeHistoryLine(std::string_view prefix, std::string_view text);

struct CShownMessage {
    CMessageRecord record;  // record.displayLength: the composed line's length, CR LF counted as two
    std::int32_t span = 0;  // characters the control holds for the line (it may store a line end as one)
};

class CShownMessages {
public:
    void Append(const CMessageRecord& record);
    // Whether the oldest message has to go for the sum to fit `limit` (equal
    // fits). The newest message always stays, even when it is longer than
    // the limit on its own: it is the one the control shows, and the list and
    // the control must hold the same messages.
    bool MustTrim(std::int64_t limit) const { return m_entries.size() > 1 && m_totalLength > limit; }
    void DropOldest();
    void Clear();

    // Gives an entry a new display length (after a prefix change) or span.
    void SetDisplayLength(std::size_t index, std::int32_t displayLength);
    void SetSpan(std::size_t index, std::int32_t span) { m_entries[index].span = span; }

    std::int64_t TotalLength() const { return m_totalLength; }
    std::size_t Size() const { return m_entries.size(); }
    bool Empty() const { return m_entries.empty(); }
    const CShownMessage& operator[](std::size_t index) const { return m_entries[index]; }
    const CShownMessage& Oldest() const { return m_entries.front(); }
    const CShownMessage& Newest() const { return m_entries.back(); }
    // The message whose line holds the control's character `position`, by
    // the spans; null past the end.
    const CShownMessage* At(std::int64_t position) const;

private:
    std::deque<CShownMessage> m_entries;
    std::int64_t m_totalLength = 0;
};
