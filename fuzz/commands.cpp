// The command dispatcher with records as any computer can make them: any
// sender, any user-name field, any command line, from this computer or
// another, while the clock moves. Checks what the commands may do: a quit
// is obeyed only by a copy started from a share on the asking computer, a
// copy never lists itself, and the peer table keeps to its bound.

#include <cstdint>
#include <string>

#include "fuzz/FuzzInput.h"
#include "messaging/CommandDispatcher.h"
#include "messaging/CommandText.h"
#include "messaging/PeerTable.h"
#include "util/AsciiText.h"

namespace {

class CContext final : public CCommandContext {
public:
    CPeerTable peers;
    std::string local;
    std::string modulePath;
    bool available = true;
    int exits = 0;
    int versionReplies = 0;

    bool IsAvailable() override { return available; }
    CPeerTable& Peers() override { return peers; }
    const std::string& LocalComputer() override { return local; }
    void SendVersionReply(const std::string&) override { ++versionReplies; }
    void ReceiptArrived(const std::string&, const std::string&) override {}
    std::string ModulePath() override { return modulePath; }
    void Exit() override { ++exits; }
};

}  // namespace

// Input: the local computer name and the program's path (each a length byte
// and its bytes), then records until the input ends: a flags byte (bit 0
// user field is the command marker, bit 1 from this computer, bit 2 sent to
// all, bit 3 the window is gone, bit 4 no program at all), seconds the clock moves (a byte), the
// computer and the text (a length byte each, or two for the text).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzInput input(data, size);
    CContext context;
    context.local = input.ShortText();
    context.modulePath = input.ShortText();
    std::uint32_t now = 957744000;

    while (!input.Empty()) {
        const std::uint8_t flags = input.Byte();
        now += input.Byte();
        CMessageRecord record;
        record.computer = input.ShortText();
        if (flags & 2) record.computer = context.local;
        record.user = (flags & 1) ? kCommandMarker : input.ShortText();
        record.text = input.LongText();
        record.broadcast = (flags >> 2) & 1;
        record.time = now;
        context.available = !(flags & 8);

        const CMessageRecord before = record;
        const std::size_t peersBefore = context.peers.Peers().size();
        const int exitsBefore = context.exits;
        const int result = DispatchCommand(record, (flags & 16) ? nullptr : &context);

        FUZZ_CHECK(result == 0 || result == 1);
        if (!IsCommandRecord(before)) {
            // Chat text is never a command and is left as it came.
            FUZZ_CHECK(result == 0);
            FUZZ_CHECK(record.user == before.user && record.text == before.text);
        }
        if (context.exits != exitsBefore) {
            FUZZ_CHECK(context.available && !(flags & 16));
            FUZZ_CHECK(!EqualsNoCaseAscii(before.computer, context.local));
            FUZZ_CHECK(StartsWithNoCaseAscii(context.modulePath, "\\\\" + before.computer + "\\"));
        }
        if (!context.available || (flags & 16)) FUZZ_CHECK(context.peers.Peers().size() == peersBefore);

        const auto& peers = context.peers.Peers();
        FUZZ_CHECK(peers.size() <= CPeerTable::kMaxPeers);
        for (std::size_t i = 0; i < peers.size(); ++i) {
            FUZZ_CHECK(!peers[i].computer.empty());
            FUZZ_CHECK(peers[i].user.size() <= CPeerTable::kMaxUserBytes &&
                       peers[i].pendingUser.size() <= CPeerTable::kMaxUserBytes);
            FUZZ_CHECK(!EqualsNoCaseAscii(peers[i].computer, context.local));
            FUZZ_CHECK(context.peers.FindPeer(peers[i].computer) == static_cast<int>(i));
        }
        if (input.Byte() & 1) context.peers.CommitPendingUsers();
    }
    return 0;
}
