#pragma once
// A copy of the messenger without a window: it drains its endpoint, keeps
// the peer table, answers version requests and pings every second, as the
// chat dialog's timers do.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "messaging/CommandDispatcher.h"
#include "messaging/Mailslot.h"
#include "messaging/PeerTable.h"
#include "util/BuildInfo.h"

class CPeerNode final : public CCommandContext {
public:
    using ShowFunction = std::function<void(const CMessageRecord&)>;
    static constexpr std::uint32_t kReceivePeriodMs = 50;
    static constexpr std::uint32_t kPingPeriodMs = 1000;

    CPeerNode(CMailslotApi& api, std::string localComputer, std::string user, CBuildInfo build);

    bool IsOpen() const { return m_endpoint.IsOpen(); }
    CMailslot& Endpoint() { return m_endpoint; }

    bool Ping();
    bool SendExitNotice();
    // One receive tick: records with text go to `show`.
    void ReceiveTick(const ShowFunction& show);
    // Ticks and pings (the first ping at once) for `milliseconds`, or until
    // `stop` returns true.
    void Run(std::uint32_t milliseconds, const ShowFunction& show, const std::function<bool()>& stop = {});

    // The recipient-list texts of the peers alive now, in table order.
    std::vector<std::string> AlivePeerTexts();

    // CCommandContext
    bool IsAvailable() override { return true; }
    CPeerTable& Peers() override { return m_peers; }
    const std::string& LocalComputer() override { return m_localComputer; }
    void SendVersionReply(const std::string& computer) override;
    std::string ModulePath() override { return {}; }  // never started from a share
    void Exit() override {}

private:
    CMailslotApi& m_api;
    std::string m_localComputer;
    std::string m_user;
    CBuildInfo m_build;
    CMailslot m_endpoint;
    CPeerTable m_peers;
};
