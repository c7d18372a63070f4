#pragma once
// What a running copy needs to take part in the conversation of its
// network: its endpoint, the table of the other copies, the presence ping,
// the receive step and the answers to other copies' commands. The chat
// window and the windowless peer each own one and differ only in how they
// show what arrives and in what ending the program means.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "messaging/CommandDispatcher.h"
#include "messaging/Mailslot.h"
#include "messaging/PeerTable.h"
#include "messaging/ReceiptTracker.h"
#include "messaging/ReceiveTick.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/DatagramCarrier.h"
#include "util/BuildInfo.h"

// Every copy's mailslot has this name; mailslot names ignore letter case.
inline constexpr char kMailslotName[] = "Mivlet";

// What the program that runs a session decides for the commands of other
// copies.
class CSessionHost {
public:
    virtual ~CSessionHost() = default;
    // False once the program is ending: commands then do nothing.
    virtual bool IsAvailable() = 0;
    // The program's own executable path, normalised (lower case, no
    // trailing backslash); a remote quit is obeyed only from the computer
    // that shares it.
    virtual std::string ModulePath() = 0;
    // Ends the program as its Exit command does.
    virtual void Exit() = 0;
};

class CMessagingSession final : public CCommandContext {
public:
    using ShowFunction = std::function<void(const CMessageRecord&)>;

    // Opens the endpoint at once; `build` is what the version reply tells.
    // Texts in and out are UTF-8; on the wire they take the form of
    // messaging/WireText.h, in `codePage`.
    CMessagingSession(CDatagramCarrier& carrier, CClock& clock, const CCodePage& codePage, std::string localComputer,
                      CBuildInfo build, CSessionHost& host);
    CMessagingSession(const CMessagingSession&) = delete;
    CMessagingSession& operator=(const CMessagingSession&) = delete;

    bool IsOpen() const { return m_endpoint.IsOpen(); }
    CMailslot& Endpoint() { return m_endpoint; }
    const CCodePage& CodePage() const { return m_codePage; }
    const CPeerTable& PeerTable() const { return m_peers; }
    // The peers' clock: the seconds that arriving records are stamped with.
    std::uint32_t Now() { return m_clock.Now(); }

    // Announces `user` to all computers.
    bool SendPing(const std::string& user);
    // Tells all computers that this copy ends.
    bool SendExitNotice();
    // One message as the user sends it; see CMailslot::Send. A direct chat
    // message to another computer then waits for its receipt.
    bool Send(const std::string& target, const std::string& sender, const std::string& text);
    const CReceiptTracker& Receipts() const { return m_receipts; }

    // At most this many datagrams are read in one receive step, so that a
    // flood cannot hold the program for long; the rest wait in the carrier,
    // whose queue is bounded, for the next step.
    static constexpr std::size_t kMaxDatagramsPerStep = 64;
    // Nor more than this many chat messages to show: showing one costs the
    // chat window some 2 ms under Wine once its history is full, pings and
    // chunks cost next to nothing.
    static constexpr std::size_t kMaxShownPerStep = 8;

    // Reads the endpoint once: peers are renewed, chat records with text go
    // to `show` in order, commands are carried out, and the direct messages
    // shown are confirmed to their senders. What the carrier dropped of a
    // flood goes to `show` first, as a notice record; the messages of this
    // copy whose receipt did not come in time go last, as notices too.
    // Nothing when no record arrived; otherwise the last sender of the batch.
    std::optional<CLastSender> Receive(const ShowFunction& show);
    // More datagrams wait than the last step took.
    bool HasMore() { return m_endpoint.HasMessages(); }

    // CCommandContext
    bool IsAvailable() override { return m_host.IsAvailable(); }
    CPeerTable& Peers() override { return m_peers; }
    const std::string& LocalComputer() override { return m_endpoint.LocalComputer(); }
    void SendVersionReply(const std::string& computer) override;
    void ReceiptArrived(const std::string& computer, const std::string& sequence) override;
    std::string ModulePath() override { return m_host.ModulePath(); }
    void Exit() override { m_host.Exit(); }

private:
    // Whether `record`, just shown, is a message its sender waits to have
    // confirmed, from a computer a reply may go to.
    bool NeedsReceipt(const CMessageRecord& record) const;

    CDatagramCarrier& m_carrier;
    CClock& m_clock;
    const CCodePage& m_codePage;
    CSessionHost& m_host;
    CBuildInfo m_build;
    CMailslot m_endpoint;
    CPeerTable m_peers;
    CReceiptTracker m_receipts;
};
