#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "messaging/FairDatagramQueue.h"
#include "messaging/LossNotice.h"

namespace {

constexpr InetAddress kA = 0x0A000001u, kB = 0x0A000002u, kC = 0x0A000003u;

std::string Chat(int n) { return std::string("Lab\0" "0000", 8) + std::to_string(n % 10) + std::string(1, '\0') + "u>\tt"; }

std::vector<InetAddress> PopOrder(CFairDatagramQueue& queue, std::size_t most) {
    std::vector<InetAddress> order;
    CQueuedDatagram datagram;
    while (order.size() < most && queue.Pop(datagram)) order.push_back(datagram.from);
    return order;
}

TEST(FairDatagramQueue, SourcesAreReadInTurn) {
    CFairDatagramQueue queue;
    for (int i = 0; i < 3; ++i) queue.Push(Chat(i), kA, 0);
    queue.Push(Chat(0), kB, 0);
    queue.Push(Chat(0), kC, 0);
    EXPECT_EQ(PopOrder(queue, 10), (std::vector<InetAddress>{kA, kB, kC, kA, kA}));
    EXPECT_TRUE(queue.Empty());
}

TEST(FairDatagramQueue, AFullQueueTakesRoomFromTheSourceThatHoldsTheMost) {
    CFairDatagramQueue queue;
    for (std::size_t i = 0; i < CFairDatagramQueue::kCapacity; ++i) queue.Push(Chat(1), kA, 0);
    queue.Push(Chat(2), kA, 10);  // the flooder's own oldest goes
    queue.Push(Chat(3), kB, 20);  // a quiet source still gets in
    EXPECT_EQ(queue.Size(), CFairDatagramQueue::kCapacity);
    const auto order = PopOrder(queue, 2);
    EXPECT_EQ(order, (std::vector<InetAddress>{kA, kB}));

    // Told once the source was quiet, or at the latest when overdue.
    EXPECT_TRUE(queue.TakeDropped(1000, 2000, 10000).empty());
    const auto dropped = queue.TakeDropped(2020, 2000, 10000);
    ASSERT_EQ(dropped.size(), 1u);
    EXPECT_EQ(dropped[0].from, kA);
    EXPECT_EQ(dropped[0].datagrams, 2u);
    EXPECT_EQ(dropped[0].messages, 2u);
    EXPECT_TRUE(queue.TakeDropped(5000, 2000, 10000).empty());
}

TEST(FairDatagramQueue, OnlyDroppedChatMessagesCountAsMessages) {
    CFairDatagramQueue queue;
    const std::string ping = std::string("Lab*\0" "00001\0", 11) + "mivletcmd>\tadmin:ping x";
    const std::string chunk = std::string("Lab\0" "00001\0", 10) + "u>\tpart" + std::string(2, '\0');
    const std::string kinds[] = {ping, chunk, "x"};
    for (std::size_t i = 0; i < CFairDatagramQueue::kCapacity; ++i) queue.Push(kinds[i % 3], kA, 0);
    for (int i = 0; i < 3; ++i) queue.Push(Chat(i), kA, 0);  // the three oldest, one of each kind, go
    auto dropped = queue.TakeDropped(10000, 2000, 10000);
    ASSERT_EQ(dropped.size(), 1u);
    EXPECT_EQ(dropped[0].datagrams, 3u);
    EXPECT_EQ(dropped[0].messages, 0u);
}

TEST(LossNotice, CountsChatMessagesWithThousandsSeparated) {
    const struct {
        std::uint64_t messages;
        const char* text;  // nullptr: no notice
    } cases[] = {
        {0, nullptr},
        {1, "1 message from 10.0.0.7 was not shown."},
        {2, "2 messages from 10.0.0.7 were not shown."},
        {1234, "1,234 messages from 10.0.0.7 were not shown."},
        {1234567, "1,234,567 messages from 10.0.0.7 were not shown."},
    };
    for (const auto& c : cases) {
        const auto notice = MakeLossNotice(CDroppedFromSource{0x0A000007u, c.messages + 5, c.messages}, 77);
        ASSERT_EQ(notice.has_value(), c.text != nullptr) << c.messages;
        if (!notice) continue;
        EXPECT_EQ(notice->text, c.text);
        EXPECT_TRUE(notice->notice);
        EXPECT_EQ(notice->time, 77u);
        EXPECT_TRUE(notice->computer.empty());
    }
}

}  // namespace
