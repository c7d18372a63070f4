#include "messaging/CommandDispatcher.h"

#include <utility>

#include "messaging/CommandText.h"
#include "messaging/LocalComputerName.h"
#include "util/AsciiText.h"

int DispatchCommand(CMessageRecord& record, CCommandContext* context) {
    auto command = ParseCommand(record);
    if (!command) return 0;
    // A sender field that cannot name a computer commands nothing: no peer,
    // no reply, no quit.
    const bool available = context && context->IsAvailable() && CanBeComputerName(record.computer);
    const bool fromHere = available && EqualsNoCaseAscii(record.computer, context->LocalComputer());
    const std::string& verb = command->verb;

    if (EqualsNoCaseAscii(verb, kQuitVerb)) {
        // Only copies started from a share on the asking computer obey.
        if (available && !fromHere &&
            StartsWithNoCaseAscii(context->ModulePath(), "\\\\" + record.computer + "\\"))
            context->Exit();
    } else if (EqualsNoCaseAscii(verb, kPingVerb)) {
        if (available && !fromHere && !command->argument.empty() && !record.computer.empty()) {
            record.user = std::move(command->argument);
            context->Peers().ApplyPing(record, record.user);
        }
    } else if (EqualsNoCaseAscii(verb, kExitNoticeVerb)) {
        if (available && !fromHere) context->Peers().ApplyExit(record.computer);
    } else if (EqualsNoCaseAscii(verb, kVersionVerb)) {
        if (available) context->SendVersionReply(record.computer);
    } else if (EqualsNoCaseAscii(verb, kReceivedVerb)) {
        if (available && !fromHere) context->ReceiptArrived(record.computer, command->argument);
    } else {
        return 0;
    }
    return 1;
}
