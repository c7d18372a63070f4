#include "tools/peer/Answerer.h"

#include <algorithm>
#include <utility>

#include "messaging/TypedText.h"
#include "util/AsciiText.h"
#include "util/Utf8Text.h"

CAnswerer::CAnswerer(CAnswerOptions options, CCommandLauncher& launcher, const CPeerTable& peers,
                     std::string localComputer, SendFunction send, ReportFunction report)
    : m_options(std::move(options)),
      m_launcher(launcher),
      m_peers(peers),
      m_localComputer(std::move(localComputer)),
      m_send(std::move(send)),
      m_report(std::move(report)) {}

std::string CAnswerer::Who(const CMessageRecord& record) { return record.computer + " (" + record.user + ")"; }

bool CAnswerer::TakeRateToken(const std::string& sender, std::uint32_t nowMs) {
    const std::uint32_t window = m_options.senderWindowMs;
    auto expired = [&](std::uint32_t stamp) { return nowMs - stamp >= window; };
    const std::string key = LowerAscii(sender);
    auto found = m_answered.find(key);
    if (found == m_answered.end()) {
        if (m_answered.size() >= kMaxSenders) {
            for (auto it = m_answered.begin(); it != m_answered.end();)
                it = it->second.empty() || expired(it->second.back()) ? m_answered.erase(it) : std::next(it);
            if (m_answered.size() >= kMaxSenders) return false;
        }
        found = m_answered.emplace(key, std::deque<std::uint32_t>()).first;
    }
    std::deque<std::uint32_t>& stamps = found->second;
    while (!stamps.empty() && expired(stamps.front())) stamps.pop_front();
    if (static_cast<int>(stamps.size()) >= m_options.perSender) return false;
    stamps.push_back(nowMs);
    return true;
}

void CAnswerer::OnMessage(const CMessageRecord& record, std::uint32_t nowMs) {
    if (record.text.empty() || EqualsNoCaseAscii(record.computer, m_localComputer)) return;
    if (record.broadcast && !m_options.broadcasts) return;
    // The sender field is made up as easily as a version request's: "*"
    // (the field "**") would make the answer a broadcast under this user's
    // name, and an unknown name send it off the network.
    if (!m_peers.IsReplyTarget(record.computer, m_localComputer)) {
        m_report(Who(record) + ": not answered, no computer of that name has been heard from");
        return;
    }
    if (m_queue.size() >= kMaxQueued) {
        m_report(Who(record) + ": not answered, " + std::to_string(kMaxQueued) + " messages are waiting already");
        return;
    }
    if (!TakeRateToken(record.computer, nowMs)) {
        m_report(Who(record) + ": not answered, more than " + std::to_string(m_options.perSender) +
                 " messages in " + std::to_string(m_options.senderWindowMs / 1000) + " s");
        return;
    }
    m_queue.push_back(record);
}

void CAnswerer::Step(std::uint32_t /*nowMs*/) {
    if (m_running) {
        const auto outcome = m_running->Poll();
        if (!outcome) return;
        m_running.reset();
        Finish(*outcome);
    }
    if (!m_queue.empty()) StartNext();
}

void CAnswerer::StartNext() {
    m_current = std::move(m_queue.front());
    m_queue.pop_front();
    // Unix programs read lines that end in a line feed.
    std::string text = m_current.text;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) text.erase(at, 1);
    const CEnvironment environment = {
        {"MIVLET_COMPUTER", m_current.computer},
        {"MIVLET_USER", m_current.user},
        {"MIVLET_TEXT", text},
        {"MIVLET_BROADCAST", m_current.broadcast ? "1" : "0"},
    };
    m_running = m_launcher.Start(m_options.program, m_options.arguments, environment, text + "\n",
                                 m_options.timeoutMs, kMaxAnswerBytes);
    if (!m_running) {
        m_report(Who(m_current) + ": the command could not be started");
        StartNext();
    }
}

void CAnswerer::Finish(const CCommandOutcome& outcome) {
    const std::string who = Who(m_current);
    switch (outcome.end) {
    case CCommandOutcome::EEnd::CouldNotStart:
        m_report(who + ": the command could not be started: " + outcome.error);
        return;
    case CCommandOutcome::EEnd::TimedOut:
        m_report(who + ": the command ran longer than " + std::to_string(m_options.timeoutMs) +
                 " ms and was ended; nothing was sent");
        return;
    case CCommandOutcome::EEnd::Exited:
        break;
    }
    if (outcome.exitCode != 0) {
        m_report(who + ": the command exited with code " + std::to_string(outcome.exitCode) + "; nothing was sent");
        return;
    }
    const std::string answer = AnswerText(outcome.output);
    if (answer.empty()) {
        m_report(who + ": the command printed nothing; nothing was sent");
        return;
    }
    if (!m_send(m_current.computer, answer)) {
        m_report(who + ": the answer could not be sent");
        return;
    }
    m_report(who + ": answered with " + std::to_string(CountUtf8Characters(answer)) + " characters" +
             (outcome.cut ? ", cut at " + std::to_string(kMaxAnswerBytes) : std::string()));
}

std::string CAnswerer::AnswerText(const std::string& output) {
    // A command prints UTF-8, as mivlet-peer does; what is not reads as
    // U+FFFD, and the cut never splits a character.
    const std::string valid = ValidUtf8(output);
    std::string text;
    text.reserve(std::min(valid.size(), kMaxAnswerBytes) + 64);
    for (std::size_t i = 0; i < valid.size();) {
        const char c = valid[i];
        const std::size_t length = ReadUtf8(valid, i).length;
        if (c == '\0' || (c == '\r' && i + 1 < valid.size() && valid[i + 1] == '\n')) {
            ++i;
            continue;
        }
        const std::string_view piece = c == '\n' ? std::string_view("\r\n") : std::string_view(valid).substr(i, length);
        if (text.size() + piece.size() > kMaxAnswerBytes) break;
        text += piece;
        i += length;
    }
    return CleanTypedText(text);
}
