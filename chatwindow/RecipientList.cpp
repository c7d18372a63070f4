#include "chatwindow/RecipientList.h"

#include <algorithm>

#include "util/AsciiText.h"

namespace {

// The control sorts without regard to case.
bool LessNoCase(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return AsciiToLower(x) < AsciiToLower(y); });
}

// One peer's part of the refresh; returns the index to select should the
// list have lost its selection.
int RefreshPeer(CPeerRecord& peer, std::uint32_t now, CRecipientList& list) {
    int remembered = list.FindExact(peer.GetPeerListText(false));
    if (!peer.IsAlive(now)) {
        if (remembered != CRecipientList::kNone) {
            list.Delete(remembered);
            remembered = list.FindPrefix(kAllUsersEntry);
        }
    } else if (remembered == CRecipientList::kNone) {
        remembered = list.Add(peer.GetPeerListText(!peer.pendingUser.empty()));
    } else if (!peer.pendingUser.empty()) {
        list.Delete(remembered);
        remembered = list.Add(peer.GetPeerListText(true));
    }
    if (!peer.pendingUser.empty()) {
        peer.user = std::move(peer.pendingUser);
        peer.pendingUser.clear();
    }
    return remembered;
}

}  // namespace

void RefreshRecipientList(CPeerTable& peers, std::uint32_t now, CRecipientList& list) {
    for (CPeerRecord& peer : peers.Peers()) {
        const int remembered = RefreshPeer(peer, now, list);
        if (list.Selection() == CRecipientList::kNone && remembered != CRecipientList::kNone) list.Select(remembered);
    }
}

int CMemoryRecipientList::FindExact(std::string_view text) const {
    for (std::size_t i = 0; i < m_entries.size(); ++i)
        if (EqualsNoCaseAscii(m_entries[i], text)) return static_cast<int>(i);
    return kNone;
}

int CMemoryRecipientList::FindPrefix(std::string_view text) const {
    for (std::size_t i = 0; i < m_entries.size(); ++i)
        if (StartsWithNoCaseAscii(m_entries[i], text)) return static_cast<int>(i);
    return kNone;
}

int CMemoryRecipientList::Add(std::string_view text) {
    const auto at = std::upper_bound(m_entries.begin(), m_entries.end(), text,
                                     [](std::string_view t, const std::string& e) { return LessNoCase(t, e); });
    const int index = static_cast<int>(at - m_entries.begin());
    m_entries.insert(at, std::string(text));
    if (m_selection != kNone && m_selection >= index) ++m_selection;
    return index;
}

void CMemoryRecipientList::Delete(int index) {
    if (index < 0 || index >= static_cast<int>(m_entries.size())) return;
    m_entries.erase(m_entries.begin() + index);
    // Like the control: the selected entry gone, nothing is selected.
    if (m_selection == index)
        m_selection = kNone;
    else if (m_selection > index)
        --m_selection;
}

void CMemoryRecipientList::Select(int index) {
    m_selection = (index >= 0 && index < static_cast<int>(m_entries.size())) ? index : kNone;
}
