#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "messaging/CommandDispatcher.h"
#include "messaging/CommandText.h"
#include "messaging/PeerTable.h"
#include "messaging/ReceiveTick.h"

namespace {

CMessageRecord Record(std::string computer, std::string user, std::string text, std::uint32_t time = 1000,
                      int broadcast = 1) {
    CMessageRecord r;
    r.computer = std::move(computer);
    r.user = std::move(user);
    r.text = std::move(text);
    r.time = time;
    r.broadcast = broadcast;
    return r;
}

CMessageRecord Command(std::string computer, std::string text, std::uint32_t time = 1000) {
    return Record(std::move(computer), kCommandMarker, std::move(text), time);
}

// This computer is Files; its program was started from `modulePath`.
class CFakeContext final : public CCommandContext {
public:
    bool IsAvailable() override { return available; }
    CPeerTable& Peers() override { return peers; }
    const std::string& LocalComputer() override { return local; }
    void SendVersionReply(const std::string& computer) override { versionRepliesTo.push_back(computer); }
    void ReceiptArrived(const std::string& computer, const std::string& sequence) override {
        receipts.push_back(computer + " " + sequence);
    }
    std::string ModulePath() override { return modulePath; }
    void Exit() override { ++exits; }

    bool available = true;
    CPeerTable peers;
    std::string local = "Files";
    std::string modulePath = "c:\\program files\\mivlet\\mivlet.exe";
    std::vector<std::string> versionRepliesTo;
    std::vector<std::string> receipts;
    int exits = 0;
};

TEST(DispatchCommand, PingsAnnounceTheWholeNameOfOtherComputers) {
    const struct {
        const char* computer;
        const char* text;
        const char* announced;  // nullptr: no peer learnt
    } cases[] = {
        {"Lab2", "admin:ping Kel", "Kel"},
        {"Lab2", "ADMIN:PING Kel Smith", "Kel Smith"},
        {"Lab2", "ping Kel", "Kel"},  // the prefix is optional on receipt
        {"Lab2", "admin:pi\r\nng Kel", "Kel"},
        {"Lab2", "admin:ping ", nullptr},
        {"Lab2", "admin:ping", nullptr},
        {"FILES", "admin:ping Me", nullptr},  // this computer's own ping coming back
        {"", "admin:ping Ghost", nullptr},
    };
    for (const auto& c : cases) {
        CFakeContext context;
        CMessageRecord record = Command(c.computer, c.text);
        EXPECT_EQ(DispatchCommand(record, &context), 1) << c.text;
        if (!c.announced) {
            EXPECT_TRUE(context.peers.Peers().empty()) << c.text;
            continue;
        }
        ASSERT_EQ(context.peers.Peers().size(), 1u) << c.text;
        const CPeerRecord& peer = context.peers.Peers()[0];
        EXPECT_EQ(record.user, c.announced);
        EXPECT_EQ(peer.pendingUser, c.announced);
        EXPECT_EQ(peer.user, "");
        EXPECT_EQ(peer.gone, 0);
        EXPECT_EQ(peer.lastSeen, 1000u);
    }
}

TEST(DispatchCommand, VersionQuitExitAndUnknownVerbs) {
    const struct {
        const char* computer;
        const char* text;
        const char* modulePath;
        int result;
        int versionReplies;
        int exits;
    } cases[] = {
        {"Lab2", "admin:version", "", 1, 1, 0},
        {"Files", "Admin:VERSION", "", 1, 1, 0},  // the asker's own copy answers too
        {"Lab2", "ver\r\nsion", "", 1, 1, 0},
        {"Lab2", "admin:quit", "\\\\lab2\\apps\\mivlet.exe", 1, 0, 1},
        {"LAB2", "admin:QUIT", "\\\\lab2\\apps\\mivlet.exe", 1, 0, 1},
        {"Lab2", "admin:quit", "\\\\lab22\\apps\\mivlet.exe", 1, 0, 0},
        {"Lab2", "admin:quit", "c:\\program files\\mivlet\\mivlet.exe", 1, 0, 0},
        {"Files", "admin:quit", "\\\\files\\apps\\mivlet.exe", 1, 0, 0},  // never from itself
        {"Lab2", "admin:reboot", "", 0, 0, 0},
        {"Lab2", "", "", 0, 0, 0},
    };
    for (const auto& c : cases) {
        CFakeContext context;
        context.modulePath = c.modulePath;
        CMessageRecord record = Command(c.computer, c.text);
        EXPECT_EQ(DispatchCommand(record, &context), c.result) << c.text;
        EXPECT_EQ(context.versionRepliesTo.size(), static_cast<std::size_t>(c.versionReplies)) << c.text;
        if (c.versionReplies) {
            EXPECT_EQ(context.versionRepliesTo[0], c.computer);
        }
        EXPECT_EQ(context.exits, c.exits) << c.text << " " << c.modulePath;
    }
}

// Sender fields that only look like a colleague's, or name all computers:
// no command of theirs makes a peer, gets a reply or ends a copy.
TEST(DispatchCommand, SenderFieldsThatCannotNameAComputerCommandNothing) {
    const char* const senders[] = {"Lab2\xa0", "Lab2\xc2\xa0", "Lab2 ", "Lab\x012", "*", "Lab2*", "\\lab2"};
    for (const char* sender : senders) {
        for (const char* text : {"admin:ping Kel", "admin:version", "admin:quit"}) {
            CFakeContext context;
            context.modulePath = "\\\\lab2\\apps\\mivlet.exe";
            CMessageRecord record = Command(sender, text);
            EXPECT_EQ(DispatchCommand(record, &context), 1) << sender << " " << text;
            EXPECT_TRUE(context.peers.Peers().empty()) << sender << " " << text;
            EXPECT_TRUE(context.versionRepliesTo.empty()) << sender << " " << text;
            EXPECT_EQ(context.exits, 0) << sender << " " << text;
        }
    }
}

TEST(PeerTable, RepliesGoOnlyToComputersHeardFromOrToThisOne) {
    CPeerTable peers;
    peers.ApplyPing(Command("Lab2", "admin:ping Kel"), "Kel");
    peers.ApplyPing(Command("Lab3\xa0", "admin:ping Ann"), "Ann");
    const struct {
        const char* computer;
        bool target;
    } cases[] = {
        {"Lab2", true}, {"LAB2", true}, {"files", true},
        {"Lab3", false}, {"Lab3\xa0", false}, {"*", false}, {"", false}, {"203.0.113.5", false},
    };
    for (const auto& c : cases) EXPECT_EQ(peers.IsReplyTarget(c.computer, "Files"), c.target) << c.computer;
}

TEST(DispatchCommand, ChatTextAndAbsentProgramDoNothing) {
    CFakeContext context;
    CMessageRecord chat = Record("Lab2", "Kel", "admin:version");
    EXPECT_EQ(DispatchCommand(chat, &context), 0);
    CMessageRecord upper = Record("Lab2", "MIVLETCMD", "admin:version");  // the marker is exact
    EXPECT_EQ(DispatchCommand(upper, &context), 0);
    EXPECT_TRUE(context.versionRepliesTo.empty());

    CMessageRecord ping = Command("Lab2", "admin:ping Kel");
    EXPECT_EQ(DispatchCommand(ping, nullptr), 1);
    context.available = false;
    EXPECT_EQ(DispatchCommand(ping, &context), 1);
    EXPECT_TRUE(context.peers.Peers().empty());
}

TEST(PeerTable, KeepsTheFrontOfAnOverlongName) {
    CFakeContext context;
    const std::string longName(CPeerTable::kMaxUserBytes + 1000, 'n');
    CMessageRecord ping = Command("Lab2", "admin:ping " + longName);
    DispatchCommand(ping, &context);
    context.peers.CommitPendingUsers();
    EXPECT_EQ(context.peers.Peers()[0].user, longName.substr(0, CPeerTable::kMaxUserBytes));
    // The same name again is no rename.
    context.peers.ApplyMessage(Record("Lab2", longName, "hi", 1001));
    EXPECT_EQ(context.peers.Peers()[0].pendingUser, "");
}

TEST(PeerTable, LivenessExitNoticeAndRenames) {
    CFakeContext context;
    CMessageRecord ping = Command("Lab2", "admin:ping Kel", 1000);
    DispatchCommand(ping, &context);
    CPeerTable& peers = context.peers;
    ASSERT_EQ(peers.FindPeer("LAB2"), 0);
    EXPECT_EQ(peers.FindPeer("Lab3"), -1);
    EXPECT_EQ(peers.Peers()[0].GetPeerListText(true), "Lab2  (Kel)");
    peers.CommitPendingUsers();
    EXPECT_EQ(peers.GetListText("lab2"), "Lab2  (Kel)");
    EXPECT_EQ(peers.GetListText("Lab3"), "");

    const CPeerRecord& peer = peers.Peers()[0];
    EXPECT_TRUE(peer.IsAlive(1014));
    EXPECT_FALSE(peer.IsAlive(1015));

    // A chat message renews the peer and carries a new name as pending.
    peers.ApplyMessage(Record("Lab2", "Kel S", "hi", 1020));
    EXPECT_TRUE(peer.IsAlive(1020));
    EXPECT_EQ(peer.pendingUser, "Kel S");
    EXPECT_EQ(peer.user, "Kel");
    peers.CommitPendingUsers();
    EXPECT_EQ(peer.user, "Kel S");
    EXPECT_EQ(peer.pendingUser, "");

    // An older message does not move last seen back.
    peers.ApplyMessage(Record("Lab2", "Kel S", "late", 900));
    EXPECT_EQ(peer.lastSeen, 1020u);

    CMessageRecord exit = Command("Lab2", kExitNoticeText, 1021);
    DispatchCommand(exit, &context);
    EXPECT_FALSE(peer.IsAlive(1021));
    CMessageRecord unknownExit = Command("Lab9", kExitNoticeText, 1021);
    DispatchCommand(unknownExit, &context);
    EXPECT_EQ(peers.Peers().size(), 1u);

    // A gone peer that pings again is alive again; a chat message from a
    // computer that never pinged adds nobody.
    CMessageRecord again = Command("Lab2", "admin:ping Kel S", 1030);
    DispatchCommand(again, &context);
    EXPECT_TRUE(peer.IsAlive(1030));
    peers.ApplyMessage(Record("Stranger", "Eve", "hello", 1030));
    EXPECT_EQ(peers.Peers().size(), 1u);
}

TEST(PeerTable, AClockSetBackLeavesPeersAlive) {
    CPeerTable peers;
    peers.ApplyPing(Command("Lab2", "admin:ping Kel", 10000), "Kel");
    const CPeerRecord& peer = peers.Peers()[0];
    // The clock goes back an hour: the peer was heard "in the future".
    EXPECT_EQ(peer.GetSecondsSinceSeen(6400), -3600);
    EXPECT_TRUE(peer.IsAlive(6400));
    EXPECT_TRUE(peer.IsAlive(10014));
    EXPECT_FALSE(peer.IsAlive(10015));
}

TEST(PeerTable, APingAlwaysSetsTheNameToShowNext) {
    const struct {
        const char* name;
        std::vector<std::pair<bool, const char*>> before;  // ping (true) or chat record, with its user
        const char* shown;
    } cases[] = {
        {"a version reply, then the ping of the name shown", {{false, "Lab2"}, {true, "Kel"}}, "Kel"},
        {"a rename, then the old name again", {{true, "Kel S"}, {true, "Kel"}}, "Kel"},
        {"a rename", {{true, "Kel S"}}, "Kel S"},
    };
    for (const auto& c : cases) {
        CPeerTable peers;
        peers.ApplyPing(Command("Lab2", "admin:ping Kel", 1000), "Kel");
        peers.CommitPendingUsers();
        for (const auto& [ping, user] : c.before) {
            if (ping)
                peers.ApplyPing(Command("Lab2", std::string("admin:ping ") + user, 1001), user);
            else
                peers.ApplyMessage(Record("Lab2", user, "The build date is December 2, 2000.", 1001));
        }
        peers.CommitPendingUsers();
        EXPECT_EQ(peers.GetListText("Lab2"), std::string("Lab2  (") + c.shown + ")") << c.name;
    }
}

TEST(PeerTable, ASenderThatCannotBeAComputerIsNeverAPeer) {
    CPeerTable peers;
    for (const char* computer : {"*", "", "a\\b", "a/b", "tab\there"})
        peers.ApplyPing(Command(computer, "admin:ping Eve", 1000), "Eve");
    EXPECT_TRUE(peers.Peers().empty());
}

// A full table: peer i is computer "<i>pc" with user "user<i>", heard at
// `heardAt` unless `silent` says otherwise; names committed.
struct CSilentPeer {
    std::size_t index;
    std::uint32_t lastHeard;
    bool exited;
};

std::string PeerName(std::size_t i) { return std::to_string(i) + "pc"; }

CPeerTable FullTable(std::uint32_t heardAt, const std::vector<CSilentPeer>& silent) {
    CPeerTable peers;
    for (std::size_t i = 0; i < CPeerTable::kMaxPeers; ++i) {
        std::uint32_t time = heardAt;
        for (const CSilentPeer& s : silent)
            if (s.index == i) time = s.lastHeard;
        const std::string user = "user" + std::to_string(i);
        peers.ApplyPing(Command(PeerName(i), "admin:ping " + user, time), user);
    }
    for (const CSilentPeer& s : silent)
        if (s.exited) peers.ApplyExit(PeerName(s.index));
    peers.CommitPendingUsers();
    return peers;
}

TEST(PeerTable, FullTableGivesANewComputerOnlyALongSilentSlot) {
    constexpr int kIgnored = -1;
    const struct {
        const char* name;
        std::vector<CSilentPeer> silent;
        std::uint32_t now;
        int slot;
    } cases[] = {
        {"all alive", {}, 1010, kIgnored},
        {"one silent for 61 s", {{7, 940, false}}, 1001, 7},
        {"one silent for exactly 60 s", {{7, 941, false}}, 1001, 7},
        {"one silent for 59 s", {{7, 942, false}}, 1001, kIgnored},
        {"gone by exit notice, heard 5 s ago", {{7, 996, true}}, 1001, kIgnored},
        {"gone by exit notice and long silent", {{7, 900, true}}, 1001, 7},
        {"the longest silent of several", {{3, 930, false}, {7, 900, false}, {4095, 920, false}}, 1001, 7},
        {"clock set back below every last seen", {}, 500, kIgnored},
    };
    for (const auto& c : cases) {
        CPeerTable peers = FullTable(1000, c.silent);
        peers.ApplyPing(Command("Newcomer", "admin:ping Eve", c.now), "Eve");
        ASSERT_EQ(peers.Peers().size(), CPeerTable::kMaxPeers) << c.name;
        EXPECT_EQ(peers.FindPeer("Newcomer"), c.slot) << c.name;
        if (c.slot == kIgnored) {
            for (const CSilentPeer& s : c.silent) {
                EXPECT_EQ(peers.FindPeer(PeerName(s.index)), static_cast<int>(s.index)) << c.name;
                EXPECT_EQ(peers.Peers()[s.index].gone, s.exited ? 1 : 0) << c.name;
            }
            continue;
        }
        EXPECT_EQ(peers.FindPeer(PeerName(c.slot)), -1) << c.name;
        const CPeerRecord& taken = peers.Peers()[c.slot];
        EXPECT_EQ(taken.user, "") << c.name;
        EXPECT_EQ(taken.pendingUser, "Eve") << c.name;
        EXPECT_EQ(taken.gone, 0) << c.name;
        EXPECT_EQ(taken.lastSeen, c.now) << c.name;
        EXPECT_EQ(taken.GetPeerListText(true), "Newcomer  (Eve)") << c.name;
    }

    // Known computers are still heard when the table is full.
    CPeerTable peers = FullTable(1000, {{7, 990, true}});
    peers.ApplyPing(Command(PeerName(7), "admin:ping Kel", 1001), "Kel");
    EXPECT_EQ(peers.Peers().size(), CPeerTable::kMaxPeers);
    EXPECT_TRUE(peers.Peers()[7].IsAlive(1001));
    EXPECT_EQ(peers.Peers()[7].pendingUser, "Kel");
}

// Peers that were first heard long ago but ping on are not silent: only
// the one that stopped gives up its slot, and once it has, nobody else.
TEST(PeerTable, APeerThatPingsOnKeepsItsSlotWhateverItsFirstPing) {
    CPeerTable peers = FullTable(900, {});
    for (std::size_t i = 0; i < CPeerTable::kMaxPeers; ++i)
        if (i != 7) peers.ApplyPing(Command(PeerName(i), "admin:ping user", 1000), "user");
    peers.ApplyPing(Command("Newcomer", "admin:ping Eve", 1001), "Eve");
    EXPECT_EQ(peers.FindPeer("Newcomer"), 7);
    EXPECT_EQ(peers.FindPeer(PeerName(0)), 0);
    peers.ApplyPing(Command("Second", "admin:ping Ann", 1002), "Ann");
    EXPECT_EQ(peers.FindPeer("Second"), -1);
    EXPECT_EQ(peers.Peers().size(), CPeerTable::kMaxPeers);
}

TEST(ReceiveTick, LatestShownChatFromAnotherComputerIsTheLastSender) {
    const struct {
        const char* name;
        std::vector<CMessageRecord> records;
        bool found;
        const char* sender;
    } cases[] = {
        {"direct then broadcast", {Record("Lab2", "Kel", "a", 1, 0), Record("Lab3", "Ann", "b", 1, 1)}, true, ""},
        {"broadcast then direct", {Record("Lab3", "Ann", "b", 1, 1), Record("Lab2", "Kel", "a", 1, 0)}, true, "Lab2"},
        {"own message last", {Record("Lab2", "Kel", "a", 1, 0), Record("files", "Me", "mine", 1, 1)}, true, "Lab2"},
        {"only own and commands", {Record("Files", "Me", "mine"), Command("Lab2", "admin:ping Kel")}, false, ""},
        {"nothing", {}, false, ""},
        // An empty text is shown nowhere, so it moves nothing.
        {"empty text from a made-up computer", {Record("Lab2", "Kel", "a", 1, 0), Record("Ghost", "X", "", 1, 0)},
         true, "Lab2"},
        {"empty text to all", {Record("Ghost", "X", "", 1, 1)}, false, ""},
    };
    for (const auto& c : cases) {
        const CLastSender last = FindLastSender(c.records, "Files");
        EXPECT_EQ(last.found, c.found) << c.name;
        EXPECT_EQ(last.sender, c.sender) << c.name;
    }
}

TEST(ReceiveTick, ShowsChatWithTextAndDispatchesCommandsAfterwards) {
    CFakeContext context;
    std::vector<CMessageRecord> records = {
        Record("Lab2", "Kel", "before ping", 1000),  // Lab2 unknown yet: shown, adds nobody
        Command("Lab2", "admin:ping Kel", 1000),
        Record("Lab2", "Kel", "", 1001),  // empty: not shown
        Command("Lab3", "admin:version", 1001),
        Record("Files", "Me", "mine", 1001),
    };
    std::vector<std::string> shown;
    const CLastSender last = ProcessReceivedRecords(records, context.peers, &context, context.local,
                                                    [&](const CMessageRecord& r) { shown.push_back(r.text); });
    EXPECT_EQ(shown, (std::vector<std::string>{"before ping", "mine"}));
    EXPECT_TRUE(last.found);
    EXPECT_EQ(last.sender, "");  // Lab2's latest chat record went to all users
    EXPECT_EQ(context.peers.Peers().size(), 1u);  // learnt from the ping, after the chat records
    EXPECT_EQ(context.versionRepliesTo, std::vector<std::string>{"Lab3"});
    EXPECT_TRUE(records.empty());
}

TEST(VersionReply, UsesTheLongBuildDateAndTheVersion) {
    EXPECT_EQ(MakeVersionReply({"Dec 12 2000", "1.0.0"}), "The build date is December 12, 2000 (version 1.0.0).");
    EXPECT_EQ(MakeVersionReply({"Dec  2 2000", "2.13.4"}), "The build date is December 2, 2000 (version 2.13.4).");
}

}  // namespace
