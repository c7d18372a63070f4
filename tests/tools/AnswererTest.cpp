// The answering peer's rules, over a launcher whose commands end when the
// test says so.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tools/peer/Answerer.h"

namespace {

struct CStarted {
    std::string program;
    std::vector<std::string> arguments;
    std::map<std::string, std::string> environment;
    std::string input;
    std::uint32_t timeoutMs = 0;
    std::size_t maxOutput = 0;
    std::shared_ptr<std::optional<CCommandOutcome>> outcome;
};

class CFakeLauncher final : public CCommandLauncher {
public:
    std::optional<std::string> FindProgram(const std::string& name) override { return "/bin/" + name; }
    std::unique_ptr<CRunningCommand> Start(const std::string& program, const std::vector<std::string>& arguments,
                                           const CEnvironment& environment, const std::string& input,
                                           std::uint32_t timeoutMs, std::size_t maxOutput) override {
        CStarted started{program, arguments, {}, input, timeoutMs, maxOutput,
                         std::make_shared<std::optional<CCommandOutcome>>()};
        for (const auto& [name, value] : environment) started.environment[name] = value;
        if (endAtOnce) *started.outcome = *endAtOnce;
        starts.push_back(started);
        return std::make_unique<CCommand>(started.outcome);
    }
    // The command started last ends with `outcome`.
    void End(CCommandOutcome outcome) { *starts.back().outcome = std::move(outcome); }

    std::vector<CStarted> starts;
    std::optional<CCommandOutcome> endAtOnce;

private:
    class CCommand final : public CRunningCommand {
    public:
        explicit CCommand(std::shared_ptr<std::optional<CCommandOutcome>> outcome) : m_outcome(std::move(outcome)) {}
        std::optional<CCommandOutcome> Poll() override { return *m_outcome; }

    private:
        std::shared_ptr<std::optional<CCommandOutcome>> m_outcome;
    };
};

CCommandOutcome Printed(std::string output, int exitCode = 0) {
    CCommandOutcome outcome;
    outcome.output = std::move(output);
    outcome.exitCode = exitCode;
    return outcome;
}

CMessageRecord Message(const std::string& computer, const std::string& text, bool broadcast = false) {
    CMessageRecord record;
    record.computer = computer;
    record.user = "kel";
    record.text = text;
    record.broadcast = broadcast ? 1 : 0;
    return record;
}

class AnswererTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* computer : {"Lab2", "Lab3", "Lab4"}) Heard(computer);
    }
    // The node has had a ping from `computer`.
    void Heard(const std::string& computer) {
        CMessageRecord ping = Message(computer, "admin:ping ann");
        peers.ApplyPing(ping, "ann");
    }
    CAnswerer& Make(bool broadcasts = false) {
        CAnswerOptions options;
        options.program = "/bin/fortune";
        options.arguments = {"fortune", "-s"};
        options.timeoutMs = 3000;
        options.broadcasts = broadcasts;
        answerer.emplace(
            options, launcher, peers, "Lab1",
            [this](const std::string& computer, const std::string& text) {
                sent.push_back(computer + ": " + text);
                return sendWorks;
            },
            [this](const std::string& line) { reports.push_back(line); });
        return *answerer;
    }

    CFakeLauncher launcher;
    CPeerTable peers;
    std::optional<CAnswerer> answerer;
    std::vector<std::string> sent, reports;
    bool sendWorks = true;
};

TEST_F(AnswererTest, MessageRunsTheCommandAsDataAndItsOutputGoesBackToTheSender) {
    CAnswerer& a = Make();
    a.OnMessage(Message("Lab2", "hello\r\n$(rm -rf ~); `reboot`"), 0);
    a.Step(0);
    ASSERT_EQ(launcher.starts.size(), 1u);
    const CStarted& started = launcher.starts[0];
    EXPECT_EQ(started.program, "/bin/fortune");
    EXPECT_EQ(started.arguments, (std::vector<std::string>{"fortune", "-s"})) << "network text is never an argument";
    EXPECT_EQ(started.input, "hello\n$(rm -rf ~); `reboot`\n");
    EXPECT_EQ(started.environment.at("MIVLET_TEXT"), "hello\n$(rm -rf ~); `reboot`");
    EXPECT_EQ(started.environment.at("MIVLET_COMPUTER"), "Lab2");
    EXPECT_EQ(started.environment.at("MIVLET_USER"), "kel");
    EXPECT_EQ(started.environment.at("MIVLET_BROADCAST"), "0");
    EXPECT_EQ(started.timeoutMs, 3000u);
    EXPECT_EQ(started.maxOutput, kMaxAnswerBytes);

    a.Step(10);
    EXPECT_TRUE(sent.empty()) << "still running";
    launcher.End(Printed("line one\nline two\n"));
    a.Step(20);
    EXPECT_EQ(sent, std::vector<std::string>{"Lab2: line one\r\nline two"});
    EXPECT_FALSE(a.IsBusy());
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], "Lab2 (kel): answered with 18 characters");
}

TEST_F(AnswererTest, OwnMessagesAndEmptyOnesAreNeverAnsweredBroadcastsOnlyWhenAsked) {
    const struct {
        const char* what;
        bool broadcasts;
        CMessageRecord record;
        bool answered;
    } cases[] = {
        {"direct message", false, Message("Lab2", "hi"), true},
        {"its own message", false, Message("LAB1", "hi"), false},
        {"its own broadcast", true, Message("Lab1", "hi", true), false},
        {"empty text", false, Message("Lab2", ""), false},
        {"broadcast, not asked for", false, Message("Lab2", "hi all", true), false},
        {"broadcast, asked for", true, Message("Lab2", "hi all", true), true},
    };
    for (const auto& c : cases) {
        launcher.starts.clear();
        CAnswerer& a = Make(c.broadcasts);
        a.OnMessage(c.record, 0);
        a.Step(0);
        EXPECT_EQ(launcher.starts.size(), c.answered ? 1u : 0u) << c.what;
    }
    EXPECT_EQ(launcher.starts.back().environment.at("MIVLET_BROADCAST"), "1");
}

// The same rule as the version reply's: an answer goes only to a computer
// heard from, never to all of them under this user's name.
TEST_F(AnswererTest, SendersNeverHeardFromAreNotAnswered) {
    Heard("Lab2\xa0");  // a ping under a name no computer can have adds nobody
    const struct {
        CMessageRecord record;
        const char* report;
    } cases[] = {
        {Message("*", "hi all", true), "* (kel): not answered, no computer of that name has been heard from"},
        {Message("Lab9", "hi"), "Lab9 (kel): not answered, no computer of that name has been heard from"},
        {Message("Lab2\xa0", "hi"), "Lab2\xa0 (kel): not answered, no computer of that name has been heard from"},
        {Message("203.0.113.5", "hi"), "203.0.113.5 (kel): not answered, no computer of that name has been heard from"},
    };
    for (const auto& c : cases) {
        reports.clear();
        CAnswerer& a = Make(true);
        a.OnMessage(c.record, 0);
        a.Step(0);
        EXPECT_TRUE(launcher.starts.empty()) << c.report;
        EXPECT_EQ(reports, std::vector<std::string>{c.report});
    }
    CAnswerer& a = Make(true);
    a.OnMessage(Message("lab2", "hi all", true), 0);
    a.Step(0);
    launcher.End(Printed("ok"));
    a.Step(0);
    EXPECT_EQ(sent, std::vector<std::string>{"lab2: ok"}) << "a computer heard from, in any case";
}

TEST_F(AnswererTest, OneCommandAtATimeAndABoundedQueue) {
    CAnswerer& a = Make();
    // Distinct senders, so that only the queue limits them.
    for (std::size_t i = 0; i < 1 + CAnswerer::kMaxQueued + 3; ++i) {
        Heard("Host" + std::to_string(i));
        a.OnMessage(Message("Host" + std::to_string(i), "hi"), 0);
        a.Step(0);
    }
    EXPECT_EQ(launcher.starts.size(), 1u) << "the first runs, the others wait";
    EXPECT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0], "Host17 (kel): not answered, 16 messages are waiting already");

    for (std::size_t i = 0; i <= CAnswerer::kMaxQueued; ++i) {
        launcher.End(Printed("ok"));
        a.Step(0);
    }
    EXPECT_EQ(launcher.starts.size(), 1 + CAnswerer::kMaxQueued);
    EXPECT_EQ(sent.size(), 1 + CAnswerer::kMaxQueued);
    EXPECT_FALSE(a.IsBusy());
}

TEST_F(AnswererTest, EachSenderGetsFiveAnswersInTenSeconds) {
    launcher.endAtOnce = Printed("ok");
    CAnswerer& a = Make();
    auto send = [&](const std::string& computer, std::uint32_t now) {
        a.OnMessage(Message(computer, "hi"), now);
        a.Step(now);
        a.Step(now);
    };
    for (int i = 0; i < 7; ++i) send("Lab2", 1000 * i);
    EXPECT_EQ(sent.size(), 5u);
    EXPECT_EQ(reports.back(), "Lab2 (kel): not answered, more than 5 messages in 10 s");
    send("LAB3", 7000);
    EXPECT_EQ(sent.size(), 6u) << "another sender is not held back";
    send("lab2", 10500);  // the first answer is more than 10 s old
    EXPECT_EQ(sent.size(), 7u);
    // The window holds across the wrap of the millisecond clock.
    CAnswerer& b = Make();
    sent.clear();
    for (std::uint32_t i = 0; i < 6; ++i) {
        b.OnMessage(Message("Lab4", "hi"), 0xFFFFF000u + 500 * i);
        b.Step(0);
        b.Step(0);
    }
    EXPECT_EQ(sent.size(), 5u);
}

TEST_F(AnswererTest, FloodOfMadeUpSendersIsBounded) {
    launcher.endAtOnce = Printed("ok");
    CAnswerer& a = Make();
    for (std::size_t i = 0; i < CAnswerer::kMaxSenders + 10; ++i) {
        Heard("Forged" + std::to_string(i));
        a.OnMessage(Message("Forged" + std::to_string(i), "hi"), 100);
        a.Step(100);
        a.Step(100);
    }
    EXPECT_EQ(sent.size(), CAnswerer::kMaxSenders) << "senders past the table's room wait for the window";
    a.OnMessage(Message("Lab2", "hi"), 100 + 10000);
    a.Step(0);
    a.Step(0);
    EXPECT_EQ(sent.size(), CAnswerer::kMaxSenders + 1) << "expired senders make room";
}

TEST_F(AnswererTest, CommandThatFailsSendsNothingAndSaysWhy) {
    CCommandOutcome timedOut, notStarted;
    timedOut.end = CCommandOutcome::EEnd::TimedOut;
    timedOut.output = "half";
    notStarted.end = CCommandOutcome::EEnd::CouldNotStart;
    notStarted.error = "/bin/fortune: Permission denied";
    const struct {
        CCommandOutcome outcome;
        bool sendWorks;
        const char* report;
    } cases[] = {
        {Printed("usage: ...", 2), true, "Lab2 (kel): the command exited with code 2; nothing was sent"},
        {timedOut, true, "Lab2 (kel): the command ran longer than 3000 ms and was ended; nothing was sent"},
        {notStarted, true, "Lab2 (kel): the command could not be started: /bin/fortune: Permission denied"},
        {Printed("\n\r\n"), true, "Lab2 (kel): the command printed nothing; nothing was sent"},
        {Printed("ok"), false, "Lab2 (kel): the answer could not be sent"},
    };
    for (const auto& c : cases) {
        sent.clear();
        reports.clear();
        sendWorks = c.sendWorks;
        CAnswerer& a = Make();
        a.OnMessage(Message("Lab2", "hi"), 0);
        a.Step(0);
        launcher.End(c.outcome);
        a.Step(0);
        EXPECT_EQ(reports, std::vector<std::string>{c.report});
        EXPECT_EQ(sent.size(), c.sendWorks ? 0u : 1u) << c.report;
        EXPECT_FALSE(a.IsBusy()) << c.report;
    }
}

TEST(AnswerText, LineBreaksOfTheChatAndTheSizeOfADirectMessage) {
    const std::string full(kMaxAnswerBytes, 'x');
    const struct {
        const char* what;
        std::string output;
        std::string text;
    } cases[] = {
        {"trailing line feed", "hi\n", "hi"},
        {"line feeds", "a\nb\n\nc", "a\r\nb\r\n\r\nc"},
        {"CR LF kept", "a\r\nb\r\n", "a\r\nb"},
        {"zero bytes", std::string("a\0b", 3), "ab"},
        {"at the limit", full, full},
        {"cut", full + "yyy", full},
        {"cut does not split a line break", std::string(kMaxAnswerBytes - 1, 'x') + "\nz",
         std::string(kMaxAnswerBytes - 1, 'x')},
        {"cut does not split a character", std::string(kMaxAnswerBytes - 1, 'x') + "\xD0\xBF",
         std::string(kMaxAnswerBytes - 1, 'x')},
        {"UTF-8 kept", "\xD0\xBF\xF0\x9F\x98\x80\n", "\xD0\xBF\xF0\x9F\x98\x80"},
        {"what is not UTF-8 reads as U+FFFD", "a\xFF", "a\xEF\xBF\xBD"},
    };
    for (const auto& c : cases) EXPECT_EQ(CAnswerer::AnswerText(c.output), c.text) << c.what;
}

}  // namespace
