#include "messaging/AnswerPlan.h"

#include "messaging/ProtocolLimits.h"

CAnswerPlan PlanAnswer(const CAnswerFacts& facts) {
    const CDatagramSource& source = facts.source;
    CAnswerPlan plan;
    // From the copies' own port the computer's endpoint is where it came
    // from, and an answer goes there as it always did.
    if (source.address == 0 || source.port == 0 || source.port == facts.ownPort) return plan;
    // Nor to the port of a system service: answers go only to a program's
    // port of its own.
    if (source.port < kLowestAnswerPort) return plan;
    // Only to the one address a direct message to that computer goes to,
    // and never to one that would reach many computers, or this one.
    if (!facts.sourceCanBeComputer || facts.learnt == 0 || facts.learnt != source.address) return plan;
    plan.way = CAnswerPlan::EWay::ToSource;
    plan.to = source;
    return plan;
}
