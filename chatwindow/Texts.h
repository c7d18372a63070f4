#pragma once
// Fixed texts the user sees. Sentences are separated by two spaces.

#include <string>

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

// A second user's copy on a computer that several users share at once (a
// terminal server): the first user's copy holds the mailslot and the port,
// and it serves the whole computer.
inline constexpr char kAnotherUsersCopyText[] =
    "Mivlet already runs for another user of this computer.  One copy of Mivlet serves the whole computer, so it "
    "cannot run for you as well.";

inline std::string SendFailureText() {
    return std::string("Mivlet was unable to send your message.  Try sending the message again.  If rebooting your "
                       "computer doesn't work, contact the Pellandor at ") +
           kSupportEmail + ".";
}

inline constexpr char kUserNameCaption[] = "Mivlet User Name";
inline constexpr char kUserNamePrompt[] = "Please enter your name";
inline constexpr char kUserNameCancelledText[] =
    "Since Mivlet requires a user name to function, it will be using your Windows login.";
