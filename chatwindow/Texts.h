#pragma once
// Fixed texts the user sees. Sentences are separated by two spaces.

#include <string>

#include "platform/DatagramCarrier.h"

inline constexpr char kAppTitle[] = "Mivlet";
inline constexpr char kSupportEmail[] = "support@pellandor.example";
// Written upwards along the side caption bar, and on its button.
inline constexpr char kCaptionBarText[] = "Mivlet  -  messages across the office";
inline constexpr char kHelpButtonCaption[] = "&Help";

inline std::string MailslotFailureText() {
    return std::string("Mivlet could not create the mailslot to send and receive messages.  Make sure all hidden "
                       "instances of Mivlet are closed, and try again.  You may need to restart your computer.  "
                       "If this problem persists, send an e-mail to ") +
           kSupportEmail + ".";
}

// Another program holds the UDP port: closing copies of Mivlet would not help.
inline std::string PortInUseText(unsigned port) {
    const std::string number = std::to_string(port);
    return "Mivlet could not open UDP port " + number +
           " because another program is using it.  Close that program, or choose another port for every computer "
           "with the UdpPort setting.";
}
// A second user's copy on a computer that several users share at once (a
// terminal server): the first user's copy holds the mailslot and the port,
// and it serves the whole computer.
inline constexpr char kAnotherUsersCopyText[] =
    "Mivlet already runs for another user of this computer.  One copy of Mivlet serves the whole computer, so it "
    "cannot run for you as well.";

// Why the endpoint could not be opened, as the user is told at start. The
// name is taken only by a copy that the single-copy check at start could
// not see: one of another user's session.
inline std::string OpenFailureText(EOpenResult result, unsigned udpPort) {
    switch (result) {
    case EOpenResult::NameTaken: return kAnotherUsersCopyText;
    case EOpenResult::PortInUse: return PortInUseText(udpPort);
    default: break;
    }
    return MailslotFailureText();
}

inline std::string SendFailureText() {
    return std::string("Mivlet was unable to send your message.  Try sending the message again.  If rebooting your "
                       "computer doesn't work, contact the Pellandor at ") +
           kSupportEmail + ".";
}

inline constexpr char kUserNameCaption[] = "Mivlet User Name";
inline constexpr char kUserNamePrompt[] = "Please enter your name";
inline constexpr char kUserNameCancelledText[] =
    "Since Mivlet requires a user name to function, it will be using your Windows login.";
