#include "chattext/ShownMessages.h"

std::string ComposeHistoryLine(std::string_view prefix, std::string_view text) {
    std::string line;
    line.reserve(prefix.size() + text.size() + 2);
    line.append(prefix).append(text).append("\r\n");
    return line;
}

void CShownMessages::Append(const CMessageRecord& record) {
    m_entries.push_back(CShownMessage{record, 0});
    m_totalLength += record.displayLength;
}

void CShownMessages::DropOldest() {
    if (m_entries.empty()) return;
    m_totalLength -= m_entries.front().record.displayLength;
    m_entries.pop_front();
}

void CShownMessages::Clear() {
    m_entries.clear();
    m_totalLength = 0;
}

void CShownMessages::SetDisplayLength(std::size_t index, std::int32_t displayLength) {
    CMessageRecord& record = m_entries[index].record;
    m_totalLength += static_cast<std::int64_t>(displayLength) - record.displayLength;
    record.displayLength = displayLength;
}

const CShownMessage* CShownMessages::At(std::int64_t position) const {
    if (position < 0) return nullptr;
    for (const CShownMessage& entry : m_entries) {
        if (position < entry.span) return &entry;
        position -= entry.span;
    }
    return nullptr;
}
