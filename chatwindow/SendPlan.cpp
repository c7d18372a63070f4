#include "chatwindow/SendPlan.h"

#include "chatwindow/RecipientList.h"
#include "messaging/TypedText.h"
#include "messaging/CommandText.h"
#include "messaging/ProtocolLimits.h"
#include "messaging/WireText.h"
#include "util/AsciiText.h"

CSendPlan PlanSend(std::string_view text, std::string_view recipient, const CPeerTable& peers, std::uint32_t now,
                   const std::string& userName, bool promptOnAllUsers, const CCodePage& codePage) {
    using EStep = CSendPlan::EStep;
    CSendPlan plan;
    auto stopAt = [&plan](EStep step) {
        plan.step = step;
        return plan;
    };

    const CPeerRecord* peer = nullptr;
    if (recipient == kAllUsersEntry) {
        plan.target = kAllUsersTarget;
    } else {
        for (const CPeerRecord& p : peers.Peers())
            if (EqualsNoCaseAscii(p.GetPeerListText(false), recipient)) {
                peer = &p;
                break;
            }
        plan.target = peer ? peer->computer : std::string(recipient);
    }

    if (EqualsNoCaseAscii(text, "quit")) return stopAt(EStep::Quit);
    if (EqualsNoCaseAscii(text, "cls")) return stopAt(EStep::ClearHistory);

    const bool command = IsCommandText(text);
    plan.sender = command ? kCommandMarker : userName;

    const std::size_t wireBytes = WireTextBytes(codePage, plan.sender, text);
    if (plan.target == kAllUsersTarget) {
        if (wireBytes >= kMaxAllUsersTextBytes) return stopAt(EStep::TooLongForAllUsers);
        plan.askFirst = promptOnAllUsers;
        return plan;  // the own broadcast comes back through the mailslot
    }
    if (wireBytes > kMaxMessageTextBytes) return stopAt(EStep::TooLong);
    if (peer && !peer->IsAlive(now)) return stopAt(EStep::PeerGone);
    plan.appendOwn = !command;
    return plan;
}
