#pragma once
// The answering peer: every chat message that reaches it runs a command of
// the user's, and what the command prints goes back to the sender as a
// direct message. A chat bot, or a colleague on a test LAN who answers.
//
// Network text never reaches a shell or a command line: the command gets
// the message on its standard input and in MIVLET_COMPUTER, MIVLET_USER,
// MIVLET_TEXT and MIVLET_BROADCAST. What a sender can make it do is bounded:
// one command runs at a time with a time-out, at most kMaxQueued messages
// wait behind it, each sender has at most `perSender` answers in
// `senderWindowMs`, and an answer is cut at the size of a direct message.
// Answers go only where a version reply would go: to a computer heard from.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "messaging/MessageRecord.h"
#include "messaging/PeerTable.h"
#include "tools/peer/CommandRunner.h"

// As much as the chat window lets a user type into one message.
inline constexpr std::size_t kMaxAnswerBytes = 20480;

struct CAnswerOptions {
    std::string program;              // as CCommandLauncher::FindProgram gave it
    std::vector<std::string> arguments;  // the first is the command as the user named it
    std::uint32_t timeoutMs = 10000;
    bool broadcasts = false;          // answer messages to all users too
    int perSender = 5;
    std::uint32_t senderWindowMs = 10000;
};

class CAnswerer {
public:
    static constexpr std::size_t kMaxQueued = 16;
    // Senders remembered for the rate limit; a flood of made-up computer
    // names cannot grow the table past this.
    static constexpr std::size_t kMaxSenders = 1024;

    // Sends `text` to `computer` as a direct message; true when sent.
    using SendFunction = std::function<bool(const std::string& computer, const std::string& text)>;
    // One line about what happened to a message (refused, failed, answered).
    using ReportFunction = std::function<void(const std::string& line)>;

    // `peers` is the table of the node that receives the messages.
    CAnswerer(CAnswerOptions options, CCommandLauncher& launcher, const CPeerTable& peers, std::string localComputer,
              SendFunction send, ReportFunction report);

    // A message has arrived at `nowMs` (any millisecond clock that wraps).
    void OnMessage(const CMessageRecord& record, std::uint32_t nowMs);
    // Moves the running command on, sends its answer when it has ended and
    // starts the next one.
    void Step(std::uint32_t nowMs);
    bool IsBusy() const { return m_running != nullptr || !m_queue.empty(); }

    // The text a command's output is sent as: line feeds become the chat's
    // CR LF, zero bytes go, trailing line breaks go, and it is cut at
    // kMaxAnswerBytes (before a CR LF that the cut would split).
    static std::string AnswerText(const std::string& output);

private:
    bool TakeRateToken(const std::string& sender, std::uint32_t nowMs);
    void StartNext();
    void Finish(const CCommandOutcome& outcome);
    static std::string Who(const CMessageRecord& record);

    CAnswerOptions m_options;
    CCommandLauncher& m_launcher;
    const CPeerTable& m_peers;
    std::string m_localComputer;
    SendFunction m_send;
    ReportFunction m_report;
    std::deque<CMessageRecord> m_queue;
    std::unique_ptr<CRunningCommand> m_running;
    CMessageRecord m_current;
    std::map<std::string, std::deque<std::uint32_t>> m_answered;  // by lower-cased computer: times of answers
};
