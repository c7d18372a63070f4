// mivlet-peer: a full peer on the UDP carrier without a window, for tests,
// scripts and computers without the chat program.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "chattext/TimeZone.h"
#include "messaging/TypedText.h"
#include "messaging/CommandText.h"
#include "messaging/LocalComputerName.h"
#include "messaging/UdpCarrier.h"
#include "messaging/WireText.h"
#include "messaging/MessagingSession.h"
#include "tools/peer/Answerer.h"
#include "tools/peer/CommandRunner.h"
#include "tools/peer/RawDatagramTap.h"
#include "tools/peer/PeerArguments.h"
#include "tools/peer/PeerNode.h"
#include "tools/peer/PeerOutput.h"
#include "tools/peer/PeerPlatform.h"
#include "tools/peer/SendReceipt.h"
#include "util/AsciiText.h"
#include "util/Utf8Text.h"

namespace {

enum EExit {
    kOk = 0, kSendFailed = 1, kUsage = 2, kPortInUse = 3, kUnresolvable = 4, kBadText = 5, kNoProgram = 6,
    kNoReceipt = 7,  // send: sent, but no receipt came within --wait
};

constexpr char kUsageText[] =
    "usage: mivlet-peer [--port N] COMMAND [options]\n"
    "\n"
    "A windowless Mivlet peer on the UDP carrier. It pings every second as a copy does,\n"
    "answers version requests and keeps the table of live peers.\n"
    "\n"
    "commands:\n"
    "  listen [--json] [--user NAME]        print every message a copy would show\n"
    "  send TARGET TEXT [--wait S] [--json] send TEXT (\"-\": standard input) to TARGET\n"
    "  who [--wait SECONDS] [--user NAME]   list the live peers\n"
    "  who --watch [--user NAME]            print peers as they join and leave\n"
    "  version TARGET [--wait SECONDS]      ask TARGET for its build date\n"
    "  answer [options] -- COMMAND [ARG...] run COMMAND for every message, send back what it prints\n"
    "\n"
    "TARGET is \"*\" for all computers or a computer name. --port defaults to 46464.\n"
    "Text on the command line, standard input and output is UTF-8; on the wire it is in the\n"
    "code page of --codepage N (default 1252), or UTF-8 marked as such where it holds a\n"
    "character outside that page.\n"
    "Run \"mivlet-peer COMMAND --help\" for one command.\n";

const std::map<std::string, const char*> kCommandHelp = {
    {"listen",
     "usage: mivlet-peer listen [--json] [--hex] [--user NAME] [--port N]\n"
     "Prints each message as one line, prefix from the default prefix code then the text\n"
     "(line breaks as \\n); with --json one object per message with computer, user, text,\n"
     "broadcast and time. With --hex every datagram as it came, too: \"hex\", the sender's\n"
     "address and its bytes in hex. Runs until interrupted, then sends its exit notice.\n"},
    {"send",
     "usage: mivlet-peer send TARGET TEXT [--wait SECONDS] [--json] [--user NAME] [--port N]\n"
     "Sends TEXT as the chat window would: leading empty lines shrink to one, trailing line\n"
     "breaks go, \"admin:\" and a verb copies act on (version, quit, ping, ping-appexit)\n"
     "travels as a command, any other text as a message, and messages to all users must\n"
     "stay under 3,000 bytes. TEXT \"-\" reads standard input.\n"
     "A message to another computer then waits up to SECONDS (default 2; 0: no wait) for\n"
     "its receipt, which the receiving copy sends back over UDP to the port it came from;\n"
     "to be answered, send first pings TARGET under --user. The wait is over UDP only, the\n"
     "one carrier of mivlet-peer (a copy that reads only mailslots hears nothing of it), and\n"
     "older copies send no receipt. Messages to all users, to this computer and commands\n"
     "get no receipt and never wait. Prints \"receipt from TARGET\" or \"no receipt\" (with\n"
     "--json one object: sent, awaited, receipt, waited_ms).\n"
     "Exits 0 when sent (and, where awaited, confirmed), 7 when sent but no receipt came\n"
     "within SECONDS; 1 the send failed, 2 usage, 4 TARGET does not resolve, 5 bad text.\n"},
    {"who",
     "usage: mivlet-peer who [--wait SECONDS | --watch] [--user NAME] [--port N]\n"
     "Takes part for SECONDS (default 2), then prints the live peers as the To: list shows them.\n"
     "With --watch it runs until interrupted and prints a line whenever a peer joins or leaves:\n"
     "milliseconds since 1970, \"+\" or \"-\", and the peer's list text.\n"},
    {"version",
     "usage: mivlet-peer version TARGET [--wait SECONDS] [--user NAME] [--port N]\n"
     "Sends the version request to TARGET and prints the replies that come in SECONDS (default 2).\n"},
    {"answer",
     "usage: mivlet-peer answer [--broadcasts] [--timeout SECONDS] [--user NAME] [--port N] -- COMMAND [ARG...]\n"
     "Takes part as listen does and runs COMMAND, directly and never through a shell, for every\n"
     "direct message (with --broadcasts, for messages to all users too). The message is on its\n"
     "standard input and in MIVLET_COMPUTER, MIVLET_USER, MIVLET_TEXT and MIVLET_BROADCAST; what it\n"
     "prints goes back to the sender as a direct message, cut at 20480 characters. One command\n"
     "runs at a time and is ended after SECONDS (default 10); at most 16 messages wait, and each\n"
     "sender gets at most 5 answers in 10 seconds. A command that fails, prints nothing or runs\n"
     "too long sends nothing; every message gets a line on standard error saying what happened.\n"
     "Exits 6 when COMMAND is not found.\n"},
};

int Fail(int code, const std::string& message) {
    std::cerr << "mivlet-peer: " << message << "\n";
    return code;
}

struct CPeerSession {
    std::unique_ptr<CPeerPlatform> platform = MakePeerPlatform();
    std::string computer = ChooseLocalComputerName(platform->ComputerName());
    CUdpCarrier carrier;
    CClock& clock = platform->Clock();
    std::unique_ptr<CCodePage> codePage;  // main() has checked that it opens

    explicit CPeerSession(const CPeerOptions& options)
        : carrier(platform->Sockets(), platform->Clock(), Options(options.port)),
          codePage(OpenCodePage(options.codePage)) {}

    static CUdpCarrier::COptions Options(std::uint16_t port) {
        CUdpCarrier::COptions options;
        options.port = port;
        return options;
    }
};

std::string UserOf(const CPeerOptions& options, CPeerPlatform& platform) {
    return options.user ? *options.user : platform.LoginName();
}

// A node that receives; fails with a clear message when the port is taken.
std::optional<int> CheckOpen(CPeerNode& node, CPeerSession& session) {
    if (node.IsOpen()) return std::nullopt;
    if (node.Endpoint().OpenResult() == EOpenResult::PortInUse)
        return Fail(kPortInUse, "UDP port " + std::to_string(session.carrier.Port()) +
                                    " is in use: another copy runs on this computer");
    return Fail(kPortInUse, "cannot open UDP port " + std::to_string(session.carrier.Port()));
}

// With --hex every datagram's bytes, as a line of their own.
CRawDatagramTap::SeenFunction RawDatagramPrinter(const CPeerOptions& options) {
    if (!options.hex) return {};
    return [](const CReceivedDatagram& datagram) { std::cout << FormatRawDatagramLine(datagram) << std::endl; };
}

int Listen(const CPeerOptions& options) {
    CPeerSession session(options);
    CRawDatagramTap tap(session.carrier, RawDatagramPrinter(options));
    CPeerNode node(tap, session.clock, *session.codePage, session.computer, UserOf(options, *session.platform), ThisBuild());
    if (auto failed = CheckOpen(node, session)) return *failed;
    InstallStopHandler();
    CSystemTimeZone zone;
    node.Run(
        0xFFFFFFFFu,
        [&](const CMessageRecord& record) {
            std::cout << (options.json ? FormatJsonLine(record) : FormatShownLine(record, zone)) << std::endl;
        },
        StopRequested);
    node.SendExitNotice();
    return kOk;
}

// The system clock since 1970 in `Unit`s (std::chrono::milliseconds, ...).
template <typename Unit>
std::uint64_t Since1970() {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<Unit>(system_clock::now().time_since_epoch()).count());
}

// Prints the peers that joined or left since `before`, which it updates.
void PrintPeerChanges(std::vector<std::string>& before, const std::vector<std::string>& now) {
    for (const std::string& text : before)
        if (std::find(now.begin(), now.end(), text) == now.end())
            std::cout << Since1970<std::chrono::milliseconds>() << " - " << EscapeControlCharacters(text) << std::endl;
    for (const std::string& text : now)
        if (std::find(before.begin(), before.end(), text) == before.end())
            std::cout << Since1970<std::chrono::milliseconds>() << " + " << EscapeControlCharacters(text) << std::endl;
    before = now;
}

int Watch(CPeerNode& node) {
    InstallStopHandler();
    std::vector<std::string> shown;
    node.Run(
        0xFFFFFFFFu, [](const CMessageRecord&) {},
        [&] {
            PrintPeerChanges(shown, node.AlivePeerTexts());
            return StopRequested();
        });
    node.SendExitNotice();
    return kOk;
}

int Who(const CPeerOptions& options) {
    CPeerSession session(options);
    CPeerNode node(session.carrier, session.clock, *session.codePage, session.computer, UserOf(options, *session.platform), ThisBuild());
    if (auto failed = CheckOpen(node, session)) return *failed;
    if (options.watch) return Watch(node);
    node.Run(WaitMs(options), [](const CMessageRecord&) {});
    node.SendExitNotice();
    for (const std::string& text : node.AlivePeerTexts()) std::cout << EscapeControlCharacters(text) << "\n";
    return kOk;
}

// Why `text` cannot go as the chat window would send it, if it cannot. The
// limit counts the bytes on the wire, as receivers do.
std::optional<int> CheckSendText(const std::string& target, const std::string& text, const std::string& user,
                                 const CCodePage& codePage) {
    if (text.empty()) return Fail(kBadText, "the text is empty");
    if (!IsValidUtf8(text)) return Fail(kBadText, "the text is not UTF-8");
    const std::string sender = IsCommandText(text) ? kCommandMarker : user;
    if (target == kAllUsersTarget && WireTextBytes(codePage, sender, text) >= kMaxAllUsersTextBytes)
        return Fail(kBadText, "Messages sent to all users need to be under 3,000 characters.");
    if (text.find('\0') != std::string::npos) return Fail(kBadText, "the text holds a zero byte");
    return std::nullopt;
}

std::optional<int> CheckTarget(const std::string& target, CPeerSession& session) {
    if (target == kAllUsersTarget || target.empty() || EqualsNoCaseAscii(target, session.computer)) return std::nullopt;
    if (session.platform->Sockets().Resolve(target).empty())
        return Fail(kUnresolvable, "cannot resolve the computer name \"" + target + "\"");
    return std::nullopt;
}

int Version(const CPeerOptions& options) {
    if (options.arguments.size() != 1) return Fail(kUsage, "version needs one TARGET");
    const std::string& target = options.arguments[0];
    CPeerSession session(options);
    if (auto failed = CheckTarget(target, session)) return *failed;
    CPeerNode node(session.carrier, session.clock, *session.codePage, session.computer, UserOf(options, *session.platform), ThisBuild());
    if (auto failed = CheckOpen(node, session)) return *failed;
    // Copies answer only computers they have heard from.
    node.Ping();
    if (!node.SendText(target, kCommandMarker, "admin:version"))
        return Fail(kSendFailed, "the version request could not be sent");
    node.Run(WaitMs(options), [](const CMessageRecord& record) {
        if (record.text.compare(0, kVersionReplyStart.size(), kVersionReplyStart) == 0)
            std::cout << FormatVersionLine(record) << std::endl;
    });
    node.SendExitNotice();
    return kOk;
}

// Waits for the receipt of the message just sent, where one comes, and
// says whether it came.
int ReportReceipt(bool awaits, CMailslot& endpoint, CPeerSession& session, const std::string& target,
                  const std::string& firstSequence, const CPeerOptions& options) {
    EReceiptOutcome outcome = EReceiptOutcome::NotAwaited;
    std::int64_t took = 0;
    if (awaits) {
        const CReceiptWait wait{target, session.platform->Sockets().Resolve(target), firstSequence, WaitMs(options)};
        took = WaitForReceipt(endpoint, session.clock, wait);
        outcome = took >= 0 ? EReceiptOutcome::Confirmed : EReceiptOutcome::NotConfirmed;
    }
    const std::string line = FormatReceiptOutcome(outcome, target, WaitMs(options), took, options.json);
    if (!line.empty()) std::cout << line << std::endl;
    return outcome == EReceiptOutcome::NotConfirmed ? kNoReceipt : kOk;
}

int Send(const CPeerOptions& options) {
    if (options.arguments.size() != 2) return Fail(kUsage, "send needs TARGET and TEXT");
    const std::string& target = options.arguments[0];
    std::string text = options.arguments[1];
    if (text == "-") text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());

    text = CleanTypedText(text);
    CPeerSession session(options);
    if (auto bad = CheckSendText(target, text, UserOf(options, *session.platform), *session.codePage)) return *bad;
    if (auto failed = CheckTarget(target, session)) return *failed;
    // The port belongs to the copy that listens here; receipts come back to
    // the one the system picks.
    session.carrier.ReceiveAnswersOnly();
    CMailslot endpoint(session.carrier, session.clock, session.computer);
    // Every send is a new process: number from the clock, not from "00001".
    // Receivers drop a datagram whose number repeats the sender's last one,
    // and a script starts sends less than a millisecond apart: microseconds,
    // and the process id where the system clock moves in coarser steps.
    endpoint.SetSequenceCounter(static_cast<std::int32_t>(
        (Since1970<std::chrono::microseconds>() + session.platform->ProcessId()) % kSequenceModulus));
    const std::string sender = IsCommandText(text) ? kCommandMarker : UserOf(options, *session.platform);
    const bool awaits = AwaitsReceipt(endpoint.TargetOf(target), sender, WaitMs(options));
    // A copy confirms only computers it has heard from.
    if (awaits) {
        const std::string ping = std::string(kPingText) + UserOf(options, *session.platform);
        SendWireMessage(endpoint, *session.codePage, target, kCommandMarker, ping, true);
    }
    const std::string first = FormatSequenceField((endpoint.SequenceCounter() + 1) % kSequenceModulus);
    if (!SendWireMessage(endpoint, *session.codePage, target, sender, text, true))
        return Fail(kSendFailed, "Mivlet was unable to send your message.");
    return ReportReceipt(awaits, endpoint, session, target, first, options);
}

int Answer(const CPeerOptions& options) {
    if (options.arguments.empty()) return Fail(kUsage, "answer needs a COMMAND to run, after \"--\"");
    const std::unique_ptr<CCommandLauncher> launcher = MakeCommandLauncher();
    if (!launcher) return Fail(kUsage, "this build of mivlet-peer cannot run commands");
    const auto program = launcher->FindProgram(options.arguments[0]);
    if (!program) return Fail(kNoProgram, "command not found: " + options.arguments[0]);

    CPeerSession session(options);
    const std::string user = UserOf(options, *session.platform);
    CPeerNode node(session.carrier, session.clock, *session.codePage, session.computer, user, ThisBuild());
    if (auto failed = CheckOpen(node, session)) return *failed;
    InstallStopHandler();

    CAnswerOptions answerOptions;
    answerOptions.program = *program;
    answerOptions.arguments = options.arguments;
    answerOptions.timeoutMs = TimeoutMs(options);
    answerOptions.broadcasts = options.broadcasts;
    CAnswerer answerer(
        answerOptions, *launcher, node.Peers(), session.computer,
        [&](const std::string& computer, const std::string& text) {
            // Sent as this user's chat text: an answer that starts with
            // "admin:" is shown, never carried out.
            return node.SendText(computer, user, text);
        },
        // The lines name the sender, whose fields come from the network.
        [](const std::string& line) { std::cerr << "mivlet-peer: " << EscapeControlCharacters(line) << std::endl; });
    CSystemTimeZone zone;
    CClock& clock = session.clock;
    node.Run(
        0xFFFFFFFFu,
        [&](const CMessageRecord& record) {
            std::cout << FormatShownLine(record, zone) << std::endl;
            answerer.OnMessage(record, clock.Ticks());
        },
        [&] {
            answerer.Step(clock.Ticks());
            return StopRequested();
        });
    node.SendExitNotice();
    return kOk;
}

}  // namespace

int main(int argc, char** argv) {
    UseUtf8Console();
    std::vector<std::string> arguments = Utf8Arguments(argc, argv);
    std::vector<char*> pointers;
    for (std::string& argument : arguments) pointers.push_back(argument.data());
    CPeerOptions options;
    if (auto error = ParseArguments(static_cast<int>(pointers.size()), pointers.data(), options)) {
        std::cerr << "mivlet-peer: " << *error << "\n\n" << kUsageText;
        return kUsage;
    }
    if (options.command.empty()) {
        (options.help ? std::cout : std::cerr) << kUsageText;
        return options.help ? kOk : kUsage;
    }
    auto help = kCommandHelp.find(options.command);
    if (help == kCommandHelp.end()) {
        std::cerr << "mivlet-peer: unknown command " << options.command << "\n\n" << kUsageText;
        return kUsage;
    }
    if (options.help) {
        std::cout << help->second;
        return kOk;
    }
    if (!OpenCodePage(options.codePage))
        return Fail(kUsage, "this system has no code page " + std::to_string(options.codePage));
    if (options.command == "listen") return Listen(options);
    if (options.command == "send") return Send(options);
    if (options.command == "who") return Who(options);
    if (options.command == "answer") return Answer(options);
    return Version(options);
}
