#pragma once
#include <string>

#include "messaging/MessagingSession.h"

// The program around a session in the tests: always available, never ending.
class CTestSessionHost final : public CSessionHost {
public:
    bool IsAvailable() override { return true; }
    std::string ModulePath() override { return "c:\\mivlet"; }
    void Exit() override {}
};
