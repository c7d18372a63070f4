#include "chatwindow/RecipientList.h"

#include <algorithm>

#include "util/AsciiText.h"

namespace {

// The control sorts without regard to case.
bool LessNoCase(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return AsciiToLower(x) < AsciiToLower(y); });
}

// The entry to select should the list have lost its selection: an index,
// or an entry that stayed as it was, looked up only when it is needed.
struct CRemembered {
    int index = CRecipientList::kNone;
    std::string unchangedEntry;
    bool allUsers = false;  // an entry was removed: "(All Users)"
    int changes = 0;        // entries added or removed

    int Resolve(const CRecipientList& list) const {
        if (allUsers) return list.FindPrefix(kAllUsersEntry);
        return unchangedEntry.empty() ? index : list.FindExact(unchangedEntry);
    }
};

// One peer's part of the refresh.
CRemembered RefreshPeer(CPeerRecord& peer, std::uint32_t now, CRecipientList& list, CLostSelection& lost) {
    CRemembered remembered;
    const std::string shown = peer.GetPeerListText(false);
    const bool alive = peer.IsAlive(now);
    if (alive && peer.pendingUser.empty() && list.SurelyContains(shown)) {
        remembered.unchangedEntry = shown;
        return remembered;
    }
    remembered.index = !alive && list.SurelyLacks(shown) ? CRecipientList::kNone : list.FindExact(shown);
    if (!alive) {
        if (remembered.index != CRecipientList::kNone) {
            if (list.Selection() == remembered.index) {
                lost.computer = peer.computer;
                lost.since = now;
            }
            list.Delete(remembered.index);
            remembered.index = CRecipientList::kNone;
            remembered.allUsers = true;
            remembered.changes = 1;
        }
    } else if (remembered.index == CRecipientList::kNone) {
        remembered.index = list.Add(peer.GetPeerListText(!peer.pendingUser.empty()));
        remembered.changes = 1;
        if (!lost.computer.empty() && EqualsNoCaseAscii(lost.computer, peer.computer)) {
            if (list.Selection() == list.FindPrefix(kAllUsersEntry)) list.Select(remembered.index);
            lost.Clear();
        }
    } else if (!peer.pendingUser.empty()) {
        list.Delete(remembered.index);
        remembered.index = list.Add(peer.GetPeerListText(true));
        remembered.changes = 2;
    }
    if (!peer.pendingUser.empty()) {
        peer.user = std::move(peer.pendingUser);
        peer.pendingUser.clear();
    }
    return remembered;
}

}  // namespace

bool RefreshRecipientList(CPeerTable& peers, std::uint32_t now, CRecipientList& list, std::size_t maxChanges) {
    CLostSelection none;
    return RefreshRecipientList(peers, now, list, none, maxChanges);
}

bool RefreshRecipientList(CPeerTable& peers, std::uint32_t now, CRecipientList& list, CLostSelection& lost,
                          std::size_t maxChanges) {
    // A clock set back counts as time gone by, too.
    const std::int64_t lostFor = static_cast<std::int64_t>(now) - static_cast<std::int64_t>(lost.since);
    if (!lost.computer.empty() && (lostFor < 0 || lostFor >= CLostSelection::kKeepSeconds)) lost.Clear();
    std::size_t changes = 0;
    for (CPeerRecord& peer : peers.Peers()) {
        if (changes >= maxChanges) return false;
        const CRemembered remembered = RefreshPeer(peer, now, list, lost);
        changes += static_cast<std::size_t>(remembered.changes);
        if (list.Selection() != CRecipientList::kNone) continue;
        const int index = remembered.Resolve(list);
        if (index != CRecipientList::kNone) list.Select(index);
    }
    return true;
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
