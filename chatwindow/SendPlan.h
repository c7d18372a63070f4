#pragma once
// What Send! does with a cleaned, non-empty text, decided before anything
// is shown or sent: the window acts on the plan.

#include <cstdint>
#include <string>
#include <string_view>

#include "messaging/PeerTable.h"
#include "platform/CodePage.h"

inline constexpr char kTooLongForAllUsersText[] = "Messages sent to all users need to be under 3,000 characters.";
inline constexpr char kConfirmAllUsersText[] =
    "Are you sure you want to send this to all users?\n\nYou can turn off this prompt in the Options dialog.";
inline constexpr char kTooLongText[] = "This message is too long to send.  Shorten it and send it again.";
inline constexpr char kPeerGoneText[] =
    "The target computer has been removed from your list.  This was because the computer stopped responding "
    "or because it is no longer running Mivlet.";

struct CSendPlan {
    enum class EStep {
        Quit,               // the local command "quit"
        ClearHistory,       // the local command "cls"
        TooLongForAllUsers, // refused with its message
        TooLong,            // to one computer, past what receivers keep of a message; refused
        PeerGone,           // refresh the list, then refuse with its message
        Send,
    };
    EStep step = EStep::Send;
    std::string target;          // "*" or a computer name
    std::string sender;          // the user name, or the command marker
    bool askFirst = false;       // all users with "PromptOnAllUsers" on
    bool appendOwn = false;      // show the own message once it is sent
};

// `recipient` is the To: list's text. A peer is looked up by its list text
// with its current user name; a text that matches no peer is taken as a
// computer name itself. The limits count the bytes the text takes on the
// wire in `codePage`, so a text that fitted before fits still, while one
// with characters outside the page takes more room.
CSendPlan PlanSend(std::string_view text, std::string_view recipient, const CPeerTable& peers, std::uint32_t now,
                   const std::string& userName, bool promptOnAllUsers, const CCodePage& codePage);
