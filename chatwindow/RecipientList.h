#pragma once
// The To: list as the peer table sees it. The list itself is a sorted
// drop-down list whose item texts are the only key; this interface is what
// the refresh needs of it, so that the rules run the same over the real
// combo box and over a list in memory.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "messaging/PeerTable.h"

inline constexpr char kAllUsersEntry[] = "(All Users)";

class CRecipientList {
public:
    static constexpr int kNone = -1;
    virtual ~CRecipientList() = default;
    // Indexes of the entry equal to `text`, or of the first one that begins
    // with it, both without regard to case; kNone when there is none.
    virtual int FindExact(std::string_view text) const = 0;
    virtual int FindPrefix(std::string_view text) const = 0;
    // True only when FindExact would find `text`; false when unsure. It
    // lets the refresh leave the entries that stay as they are without a
    // search, which the control makes through the whole list.
    virtual bool SurelyContains(std::string_view text) const { return FindExact(text) != kNone; }
    // True only when no entry with this very text was added and left; a
    // peer gone long ago then needs no search for an entry to remove.
    virtual bool SurelyLacks(std::string_view text) const { return FindExact(text) == kNone; }
    // Inserts in sorted place and tells where.
    virtual int Add(std::string_view text) = 0;
    virtual void Delete(int index) = 0;
    virtual int Selection() const = 0;
    virtual void Select(int index) = 0;
};

// The peer whose entry was selected when it left the list. A laptop waking,
// a network blip or one forged exit notice takes a peer out for a moment:
// should it come back soon while the user has chosen nothing else, it is
// selected again, so that the next message goes where the user meant.
struct CLostSelection {
    static constexpr std::int64_t kKeepSeconds = 60;
    std::string computer;     // empty when there is none to bring back
    std::uint32_t since = 0;  // when its entry went, seconds

    // The user chose an entry, or a shown message moved the selection.
    void Clear() { computer.clear(); }
};

// Brings the list in line with the peer table, peer by peer in table order:
// alive peers get an entry (renamed when a new user name is pending), gone
// ones lose theirs, pending names become the current ones, and whenever the
// selection is lost it moves to the entry just touched or "(All Users)".
// A selected peer that left is remembered in `lost` and selected again when
// it comes back within kKeepSeconds while "(All Users)" is still selected.
// Stops after `maxChanges` entries were added or removed and returns false:
// each change searches the control, and thousands at once (the forged names
// of a flood falling silent together) would hold the window for seconds.
// The next refresh goes on where the list still differs.
bool RefreshRecipientList(CPeerTable& peers, std::uint32_t now, CRecipientList& list, CLostSelection& lost,
                          std::size_t maxChanges = SIZE_MAX);
// The same for a list whose selection nobody brings back (benchmarks).
bool RefreshRecipientList(CPeerTable& peers, std::uint32_t now, CRecipientList& list,
                          std::size_t maxChanges = SIZE_MAX);

// A sorted list in memory, as the drop-down list control keeps it.
class CMemoryRecipientList : public CRecipientList {
public:
    int FindExact(std::string_view text) const override;
    int FindPrefix(std::string_view text) const override;
    int Add(std::string_view text) override;
    void Delete(int index) override;
    int Selection() const override { return m_selection; }
    void Select(int index) override;

    const std::vector<std::string>& Entries() const { return m_entries; }
    std::string SelectedText() const { return m_selection == kNone ? std::string() : m_entries[m_selection]; }

private:
    std::vector<std::string> m_entries;
    int m_selection = kNone;
};
