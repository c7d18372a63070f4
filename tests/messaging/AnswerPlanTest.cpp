// Where a receipt goes: back to the port its message came from only where
// a direct message to that computer would go anyway.

#include <gtest/gtest.h>

#include "messaging/AnswerPlan.h"

namespace {

constexpr std::uint16_t kCopiesPort = 46464;
constexpr InetAddress kLab1 = 0x0A4D0002u;  // 10.77.0.2, learnt from Lab1's pings
constexpr InetAddress kElsewhere = 0x0A4D0009u;

TEST(AnswerPlanTest, AnAnswerGoesBackToItsSourceOnlyWhereTheComputerIs) {
    using EWay = CAnswerPlan::EWay;
    const struct {
        const char* name;
        CDatagramSource source;
        InetAddress learnt;
        bool sourceCanBeComputer;
        EWay way;
    } cases[] = {
        {"a send's own port, from the computer's address", {kLab1, 50000}, kLab1, true, EWay::ToSource},
        {"from the copies' own port: as every datagram to the computer", {kLab1, kCopiesPort}, kLab1, true,
         EWay::ToComputer},
        {"read from a mailslot: no source", {0, 0}, kLab1, true, EWay::ToComputer},
        {"the computer's address never learnt (heard only through its mailslot)", {kLab1, 50000}, 0, true,
         EWay::ToComputer},
        {"another address than the computer's: a third party", {kElsewhere, 50000}, kLab1, true, EWay::ToComputer},
        {"an address no other computer can have (broadcast, this computer's own)", {kLab1, 50000}, kLab1, false,
         EWay::ToComputer},
        {"a system service's port", {kLab1, 53}, kLab1, true, EWay::ToComputer},
        {"the last port below a program's own", {kLab1, 1023}, kLab1, true, EWay::ToComputer},
        {"the first port a program may have", {kLab1, 1024}, kLab1, true, EWay::ToSource},
    };
    for (const auto& c : cases) {
        CAnswerFacts facts;
        facts.source = c.source;
        facts.learnt = c.learnt;
        facts.ownPort = kCopiesPort;
        facts.sourceCanBeComputer = c.sourceCanBeComputer;
        const CAnswerPlan plan = PlanAnswer(facts);
        EXPECT_EQ(plan.way, c.way) << c.name;
        if (plan.way == EWay::ToSource) {
            EXPECT_EQ(plan.to.address, c.source.address) << c.name;
            EXPECT_EQ(plan.to.port, c.source.port) << c.name;
        }
    }
}

}  // namespace
