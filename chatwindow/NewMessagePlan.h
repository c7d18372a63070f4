#pragma once
// What the chat window does to come to the user, decided before anything is
// shown: for a batch of new messages (the reaction "OnNewMessage" names)
// and for the plain requests to show it (the tray icon, "&Chat!", a second
// start). The window acts on the plan.

// The choices of "OnNewMessage", in the order of the General page's list.
enum class ENewMessageReaction { FlashTaskbar = 0, PopUp = 1, Nothing = 2 };

// What the window is like when a batch arrives.
struct CNewMessageState {
    bool defaultToLastSender = true;  // "DefaultToLastSender"
    bool playSound = false;           // "PlaySnd"
    bool chatInFront = false;         // the chat window or a modal window of it is in front
};

struct CNewMessagePlan {
    bool selectSender = false;  // the To: list follows the sender, whatever else happens
    bool playSound = false;
    bool activate = false;      // go on with the activation below, for a new message
};

CNewMessagePlan PlanNewMessage(const CNewMessageState& state);

struct CActivationState {
    bool newMessage = false;      // a reaction to new messages, not a request to show
    bool ready = false;           // start-up has finished
    bool passwordFocused = false; // the user types into a password box somewhere
    bool modalOpen = false;       // Options, About, a message box or the prompt is over the chat
    bool visible = false;
    ENewMessageReaction reaction = ENewMessageReaction::FlashTaskbar;
    // The user is typing into another program (see PopUpGuard): a pop-up
    // would take the rest of the typing.
    bool typingElsewhere = false;
};

struct CActivationPlan {
    bool retryLater = false;       // nothing now; the retry timer asks again
    bool done = true;              // what the request answers when nothing must be retried
    bool showMinimised = false;    // on the taskbar, without the focus
    bool startFlashing = false;
    bool show = false;             // shown without taking the activation
    bool focusMessageBox = false;
    bool bringForward = false;     // the chat window, or the modal window over it, to the front
};

CActivationPlan PlanActivation(const CActivationState& state);
