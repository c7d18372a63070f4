#pragma once
// A copy of the messenger without a window: it takes part through a
// messaging session, ticking and pinging on its own clock as the chat
// window's timers do.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "messaging/MessagingSession.h"
#include "util/BuildInfo.h"

class CPeerNode final : private CSessionHost {
public:
    using ShowFunction = CMessagingSession::ShowFunction;
    static constexpr std::uint32_t kReceivePeriodMs = 50;
    static constexpr std::uint32_t kPingPeriodMs = 1000;

    CPeerNode(CDatagramCarrier& carrier, CClock& clock, const CCodePage& codePage, std::string localComputer,
              std::string user, CBuildInfo build);

    bool IsOpen() const { return m_session.IsOpen(); }
    CMailslot& Endpoint() { return m_session.Endpoint(); }

    bool Ping() { return m_session.SendPing(m_user); }
    // One message, its texts UTF-8, without waiting for a receipt.
    bool SendText(const std::string& target, std::string_view sender, std::string_view text);
    bool SendExitNotice() { return m_session.SendExitNotice(); }
    // One receive tick: records with text go to `show`.
    void ReceiveTick(const ShowFunction& show);
    // Ticks and pings (the first ping at once) for `milliseconds`, or until
    // `stop` returns true.
    void Run(std::uint32_t milliseconds, const ShowFunction& show, const std::function<bool()>& stop = {});

    const CPeerTable& Peers() const { return m_session.PeerTable(); }
    // The recipient-list texts of the peers alive now, in table order.
    std::vector<std::string> AlivePeerTexts();

private:
    // CSessionHost: a peer never ends on a command, and is never started
    // from a share.
    bool IsAvailable() override { return true; }
    std::string ModulePath() override { return {}; }
    void Exit() override {}

    CClock& m_clock;
    std::string m_user;
    CMessagingSession m_session;
};
