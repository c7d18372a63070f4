#include "chatwindow/NewMessagePlan.h"

// The selection follows the sender whatever else happens; the sound and
// the reaction only when the user is not looking at the chat already.
CNewMessagePlan PlanNewMessage(const CNewMessageState& state) {
    CNewMessagePlan plan;
    plan.selectSender = state.defaultToLastSender;
    if (state.chatInFront) return plan;
    plan.playSound = state.playSound;
    plan.activate = true;
    return plan;
}

CActivationPlan PlanActivation(const CActivationState& state) {
    CActivationPlan plan;
    // Nobody typing a password anywhere is interrupted by a pop-up.
    if (state.newMessage && (!state.ready || state.passwordFocused)) {
        plan.retryLater = true;
        plan.done = false;
        return plan;
    }
    if (!state.ready && !state.modalOpen) return plan;
    if (state.newMessage && state.reaction == ENewMessageReaction::FlashTaskbar) {
        plan.showMinimised = !state.modalOpen && !state.visible;
        plan.startFlashing = true;
        return plan;
    }
    // "Do Nothing", and any value the list does not know.
    if (state.newMessage && state.reaction != ENewMessageReaction::PopUp) return plan;
    if (state.newMessage && state.typingElsewhere) {
        plan.retryLater = true;
        plan.done = false;
        return plan;
    }
    // A modal window open over the chat keeps its focus and comes forward
    // itself.
    plan.show = !state.modalOpen;
    plan.focusMessageBox = !state.modalOpen;
    plan.bringForward = true;
    return plan;
}
