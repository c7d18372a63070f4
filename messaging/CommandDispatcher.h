#pragma once
// Acting on the control commands that other copies send.

#include <string>

#include "messaging/MessageRecord.h"
#include "messaging/PeerTable.h"

// What the dispatcher needs of the program that received the command.
class CCommandContext {
public:
    virtual ~CCommandContext() = default;
    // False once the program's window is gone: commands then do nothing.
    virtual bool IsAvailable() = 0;
    virtual CPeerTable& Peers() = 0;
    virtual const std::string& LocalComputer() = 0;
    // Sends the build-date sentence to `computer`.
    virtual void SendVersionReply(const std::string& computer) = 0;
    // A receipt from `computer` for the message whose first datagram was
    // numbered `sequence`.
    virtual void ReceiptArrived(const std::string& computer, const std::string& sequence) = 0;
    // The program's own executable path, normalised (lower case, no
    // trailing backslash).
    virtual std::string ModulePath() = 0;
    // Ends the program as its Exit command does.
    virtual void Exit() = 0;
};

// 1 when the record's verb is one of "ping", "ping-appexit", "version",
// "quit" and "received" (whether or not it had an effect), else 0. A ping's record gets the
// announced user name as its user. `context` may be null.
int DispatchCommand(CMessageRecord& record, CCommandContext* context);
